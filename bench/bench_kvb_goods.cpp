// Times the goods list on the generated register (VoBenchGoods.h) at 100,000 goods and again once the
// register has grown to 400,000 (or the sizes the arguments say, in whole thousands):
//  - "Elenco beni" from its opening to its first screen, beside the least that click does: the same
//    window opened on a register without goods, and the first screen's keys walked through the
//    vouchers' date index and each date's goods by number, their rows read by key; the list's first
//    read alone beside that walk; and both as they were when the list sorted every key;
//  - "Ultimo" to the last screen, beside every row of the register read once; how often its count
//    moved and how long it stood still; "Annulla" pressed half-way; the memory held while the list
//    stands and once it is closed;
//  - at the first size, one filter of the search box beside its bare key query, and "Sposta beni"
//    listing the start sector's goods and moving 1,000 of them, each in a transaction of its own.
//
//   bench_kvb_goods [goods [grown]]
#include "AbeRRicerca.h"
#include "VoBench.h"
#include "VoBenchGoods.h"
#include "VoClassRegistry.h"
#include "VoDBDateEdit.h"
#include "VoDBGrid.h"
#include "VoIdComboBox.h"
#include "VoMessages.h"
#include "VoQuery.h"
#include "VoQueryCollection.h"
#include "VoTableModel.h"
#include "VoWait.h"
#include "kvbFBeni.h"
#include "kvbFSpostaBeni.h"
#include "kvbRBeni.h"
#include "kvbURegistries.h"
#include "kvbUUtil.h"

#include <QApplication>
#include <QDate>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTextStream>

#include <fstream>
#include <string>

namespace {

// The first screen's keys walked through the vouchers' date index, each date's goods by number, with
// nothing but the register-years looked up first; the block stops at the last key it is asked for.
const char *const kWalkSQL =
    "EXECUTE BLOCK RETURNS (K INTEGER) AS DECLARE D DATE; DECLARE P DATE; DECLARE F SMALLINT = 1; "
    "DECLARE C INTEGER = 0; BEGIN "
    "FOR SELECT buo.DBBUODATA FROM TBBUO_BUONI buo WHERE buo.IDWGFACANFID IN (%1) ORDER BY buo.DBBUODATA "
    "INTO :D DO IF (F = 1 OR D IS DISTINCT FROM P) THEN BEGIN F = 0; P = D; "
    "FOR SELECT inb.IBINBID FROM TBBUO_BUONI buo INNER JOIN TBINB_BENI inb ON inb.IBBUOID = buo.IBBUOID "
    "WHERE buo.DBBUODATA = :D AND buo.IDWGFACANFID IN (%1) "
    "ORDER BY inb.IBINBNUMERO, inb.SBINBCODNUMERO, inb.IBINBID INTO :K DO BEGIN SUSPEND; C = C + 1; "
    "IF (C >= %2) THEN EXIT; END END END";
// The list's columns of the rows of given keys (as many "?" as keys).
const char *const kRowsSQL =
    "SELECT inb.*, CASE COALESCE(INB.sBInbCodNumero,'') WHEN '' THEN inb.iBInbNumero ELSE inb.iBInbNumero || "
    "'/' || inb.sBInbCodNumero END AS NumCod, (SELECT BEN.SBENRAGSOC FROM TBEN_BENEFICIARI BEN WHERE "
    "BEN.IBENID=INB.IBENID) AS SBENRAGSOC FROM VBInb_Beni INB WHERE INB.IBINBID IN (%1)";
// Every row of the register, in no order: the least "Ultimo" reads.
const char *const kAllRowsSQL =
    "SELECT inb.*, CASE COALESCE(INB.sBInbCodNumero,'') WHEN '' THEN inb.iBInbNumero ELSE inb.iBInbNumero || "
    "'/' || inb.sBInbCodNumero END AS NumCod, (SELECT BEN.SBENRAGSOC FROM TBEN_BENEFICIARI BEN WHERE "
    "BEN.IBENID=INB.IBENID) AS SBENRAGSOC FROM VBInb_Beni INB INNER JOIN TDwgFacAnf dia ON "
    "(inb.iDwgFacAnfId = dia.iDwgFacAnfId) INNER JOIN TDwgFac di ON dia.IDwgFacID=di.IDwgFacID WHERE "
    "(di.iFacId=:f)";
// The keys of the register's goods sorted in the list's order and the search box's filter on the
// number: what the filter reads.
const char *const kBareNumberFilterSQL =
    "SELECT inb.IBINBID FROM TBINB_BENI inb INNER JOIN TBBUO_BUONI buo ON (buo.IBBUOID = inb.IBBUOID) INNER "
    "JOIN TDwgFacAnf dia ON (buo.iDwgFacAnfId = dia.iDwgFacAnfId) INNER JOIN TDwgFac di ON "
    "dia.IDwgFacID=di.IDwgFacID WHERE (di.iFacId=:f) AND (CASE COALESCE(inb.sBInbCodNumero,'') WHEN '' THEN "
    "inb.iBInbNumero ELSE inb.iBInbNumero || '/' || inb.sBInbCodNumero END CONTAINING '99') ORDER BY "
    "buo.DBBUODATA, inb.IBINBNUMERO, inb.SBINBCODNUMERO ROWS 1 TO 25";
// The first packet of keys "Sposta beni" reads of the start sector, in key order.
const char *const kBareSectorKeysSQL =
    "SELECT inb.IBINBID FROM TBINB_BENI inb WHERE (inb.ISECID=:s) AND (inb.IAVAID<3) AND EXISTS (SELECT 1 "
    "FROM TBBUO_BUONI buo INNER JOIN TDwgFacAnf dia ON (buo.iDwgFacAnfId = dia.iDwgFacAnfId) INNER JOIN "
    "TDwgFac di ON dia.IDwgFacID=di.IDwgFacID WHERE (buo.IBBUOID = inb.IBBUOID) AND (di.iFacId=:f)) ORDER BY "
    "inb.IBINBID ROWS 1 TO 100";

double BareMillis(const QString &sql, const QVariantHash &params) {
    return VoMedianMillis(kVoBenchRuns, [&] {
        TVoQuery q(sql);
        for (auto p = params.begin(); p != params.end(); ++p)
            q.SetParam(p.key(), p.value());
        for (q.Open(); !q.Eof(); q.Next()) {
        }
    });
}

// The memory the process holds, in MB.
double ResidentMB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stod(line.substr(6)) / 1024.0;
    return 0;
}

// "Elenco beni" made and shown as the click opens it; sorted, with its keys sorted as before they
// were walked.
TfmBeni *OpenList(bool sorted) {
    auto *window = qobject_cast<TfmBeni *>(CreateVoClass(QStringLiteral("TfmBeni")));
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    if (sorted) {
        TVoKeySlice keys = window->xqcMain->KeySlice();
        keys.walkSelect.clear();
        window->xqcMain->SetKeySlice(keys);
    }
    window->resize(1200, 800);
    window->show();
    QApplication::processEvents();
    return window;
}

// The least a screen of rows in the list's order reads: its keys walked, and its rows read by key,
// each statement prepared once and run in a transaction kept open. Gives the keys it read.
class TWalkFloor {
public:
    TWalkFloor(TVoSQLConnection *db, int facId, int rows) : m_db(db), m_rows(rows) {
        QStringList years;
        TVoQuery q(QStringLiteral("SELECT dia.IDWGFACANFID FROM TDWGFACANF dia INNER JOIN TDWGFAC di ON "
                                  "di.IDWGFACID = dia.IDWGFACID WHERE di.IFACID = :f"));
        for (q.SetParam(QStringLiteral("f"), facId).Open(); !q.Eof(); q.Next())
            years << q.Value(0).toString();
        m_walkText = QString::fromLatin1(kWalkSQL).arg(years.join(QLatin1Char(','))).arg(rows);
        QStringList marks;
        for (int i = 0; i < rows; ++i)
            marks << QStringLiteral("?");
        m_rowsText = QString::fromLatin1(kRowsSQL).arg(marks.join(QLatin1Char(',')));
    }
    // Milliseconds of the keys walked and, with rows, their rows read.
    double Run(bool rows) {
        m_db->StartTransaction();
        QSqlQuery walk(m_db->Database()), read(m_db->Database());
        walk.setForwardOnly(true);
        read.setForwardOnly(true);
        walk.prepare(m_walkText);
        read.prepare(m_rowsText);
        m_keys.clear();
        const double ms = VoMillis([&] {
            walk.exec();
            while (walk.next())
                m_keys << walk.value(0).toInt();
            if (!rows)
                return;
            for (int i = 0; i < m_rows; ++i)
                read.bindValue(i, i < m_keys.size() ? m_keys[i] : -1);
            read.exec();
            while (read.next()) {
            }
        });
        walk.finish();
        read.finish();
        m_db->Commit();
        return ms;
    }
    QList<int> Keys() const { return m_keys; }

private:
    TVoSQLConnection *m_db;
    int m_rows;
    QString m_walkText, m_rowsText;
    QList<int> m_keys;
};

struct TLast {
    double ms = 0;
    int read = 0, steps = 0;
    qint64 stillFor = 0;
    double heldMB = 0, closedMB = 0;
};

// "Ultimo" on a list just opened, as the user clicks it; Annulla pressed once annullaAt rows are read
// (0: never). The memory is measured against what the process held before the list opened.
TLast ClickLast(bool sorted, int annullaAt) {
    TLast r;
    const double before = ResidentMB();
    std::unique_ptr<TfmBeni> window(OpenList(sorted));
    QElapsedTimer sinceStep;
    fmVoWait()->OnProgress = [&](int position) {
        ++r.steps;
        r.stillFor = qMax(r.stillFor, sinceStep.restart());
        if (annullaAt > 0 && position >= annullaAt)
            fmVoWait()->Cancel();
    };
    sinceStep.start();
    r.ms = VoMillis([&] {
        window->frMaster->xacLast->trigger();
        QApplication::processEvents();
    });
    r.stillFor = qMax(r.stillFor, sinceStep.elapsed());
    fmVoWait()->OnProgress = nullptr;
    r.read = window->xqcMain->FetchedCount();
    r.heldMB = ResidentMB() - before;
    window->close();
    window.reset();
    QApplication::processEvents();
    r.closedMB = ResidentMB() - before;
    return r;
}

void PrintLast(const QString &what, const TLast &r) {
    Out() << "  " << what << ": " << r.ms << " ms, " << r.read << " rows read, the count moved " << r.steps
          << " times and stood still at most " << r.stillFor << " ms; " << qRound(r.heldMB) << " MB held, "
          << qRound(r.closedMB) << " MB once the list is closed\n";
    Out().flush();
}

struct TScreen {
    double click = 0, read = 0, walk = 0;
};

// The list's figures at the register's present size.
TScreen MeasureList(TVoSQLConnection *db, int facId, int goods, bool first) {
    QTextStream &out = Out();
    const int total = VoSelectValue(QStringLiteral("SELECT COUNT(*) FROM TBINB_BENI inb INNER JOIN TBBUO_BUONI buo "
                                                   "ON buo.IBBUOID = inb.IBBUOID INNER JOIN TDWGFACANF dia ON "
                                                   "dia.IDWGFACANFID = buo.IDWGFACANFID INNER JOIN TDWGFAC di ON "
                                                   "di.IDWGFACID = dia.IDWGFACID WHERE di.IFACID = :f"),
                                    {{QStringLiteral("f"), facId}})
                          .toInt();
    out << "\n" << goods << " goods generated, " << total << " in the register; medians of " << kVoBenchRuns
        << " runs:\n";
    TScreen s;
    std::unique_ptr<TfmBeni> window;
    const auto close = [&] {
        if (window)
            window->close();
        window.reset();
    };
    // How many rows the first read takes, and the same keys from the walk.
    window.reset(OpenList(false));
    const int packet = window->xqcMain->FetchedCount();
    QList<int> listKeys;
    for (int r = 0; r < packet; ++r)
        listKeys << window->xqcMain->RowValue(r, window->xqcMain->FieldByName(QStringLiteral("iBInbID"))->Index()).toInt();
    close();
    TWalkFloor screen(db, facId, 25), read(db, facId, packet);
    read.Run(true);
    out << "  the walk gives the list's first " << packet << " keys: "
        << (read.Keys() == listKeys ? "yes" : "NO, the floor reads other rows") << "\n";

    // The window on a register without goods: what the click costs whatever the rows.
    const auto emptyWindow = [&] {
        const int registerId = CurrentRegisterId;
        CurrentRegisterId = -1;
        const double ms = VoMillis([&] { window.reset(OpenList(false)); });
        CurrentRegisterId = registerId;
        close();
        return ms;
    };
    s.click = VoBenchFigure(QStringLiteral("Elenco beni to its first screen (%1 rows read)").arg(packet),
                            {[&] { window.reset(OpenList(false)); }, close},
                            QStringLiteral("the window without goods, and %1 keys walked and their rows read").arg(packet),
                            {{}, {}, 1, [&] { return emptyWindow() + read.Run(true); }});
    window.reset(OpenList(false));
    s.read = VoBenchFigure(QStringLiteral("  of which the list's first read"),
                           {{}, {}, 1, [&] {
                                window->xqcMain->Close();
                                return VoMillis([&] { window->xqcMain->Open(); });
                            }},
                           QStringLiteral("%1 keys walked and their rows read").arg(packet),
                           {{}, {}, 1, [&] { return read.Run(true); }});
    close();
    VoBenchFigure(QStringLiteral("  the first screen's 25 keys walked and their rows read"),
                  {{}, {}, 1, [&] { return screen.Run(true); }}, QStringLiteral("the 25 keys walked alone"),
                  {{}, {}, 1, [&] { return screen.Run(false); }}, &s.walk);
    VoBenchFigure(QStringLiteral("  Elenco beni to its first screen, keys sorted (before)"),
                  {[&] { window.reset(OpenList(true)); }, close},
                  QStringLiteral("the window without goods, and %1 keys walked and their rows read").arg(packet),
                  {{}, {}, 1, [&] { return emptyWindow() + read.Run(true); }});

    // "Ultimo", beside every row of the register read once.
    const TLast last = ClickLast(false, 0);
    const double all = VoMedianMillis(3, [&] {
        TVoQuery q(QString::fromLatin1(kAllRowsSQL));
        q.SetParam(QStringLiteral("f"), facId).Open().CountToEnd();
    });
    VoBenchBeside(QStringLiteral("Ultimo (once)"), last.ms, QStringLiteral("every row read once, in no order"), all);
    PrintLast(QStringLiteral("Ultimo"), last);
    PrintLast(QStringLiteral("Ultimo, Annulla pressed half-way"), ClickLast(false, total / 2));
    if (first)
        PrintLast(QStringLiteral("Ultimo with the keys sorted (before)"), ClickLast(true, 0));
    return s;
}

} // namespace

int main(int argc, char *argv[]) {
    TVoBenchApp bench(argc, argv, QStringLiteral("bench_kvb_goods"));
    if (!bench.Ok())
        return 1;
    kvbRegisterWindows();
    TVoSQLConnection *const db = bench.Db();
    QTextStream &out = Out();
    const int goods = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : kGoods;
    const int grown = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 4 * goods;
    const TVoBenchGoods k = VoBenchGenerateGoods(db, goods);
    CurrentRegisterId = k.facId;
    const QVariantHash facParams{{QStringLiteral("f"), k.facId}};
    const TScreen small = MeasureList(db, k.facId, goods, true);

    {
        std::unique_ptr<TfmBeni> window(OpenList(false));
        // The box takes the text as the user types it: focused first, so that its placeholder goes.
        QLineEdit *box = window->frMaster->frRicerca->edRicerca;
        QFocusEvent focus(QEvent::FocusIn, Qt::MouseFocusReason);
        QApplication::sendEvent(box, &focus);
        const double filtered = VoMedianMillis(
            kVoBenchRuns,
            [&] {
                window->frMaster->frRicerca->tmFiltTimer();
                QApplication::processEvents();
            },
            [&] {
                box->setText(QString());
                window->frMaster->frRicerca->tmFiltTimer();
                QApplication::processEvents();
                box->setText(QStringLiteral("99"));
            });
        VoBenchBeside(QStringLiteral("search box filter \"99\" on the number (%1 rows read first)")
                          .arg(window->frMaster->grFrame->Model()->rowCount()),
                      filtered, QStringLiteral("bare key query"),
                      BareMillis(QString::fromLatin1(kBareNumberFilterSQL), facParams), QStringLiteral("ms"));
        window->close();
    }

    const int destination =
        VoSelectValue(QStringLiteral("SELECT MIN(ISECID) FROM TSEC_SETTCONS WHERE ISECID <> :s"),
                      {{QStringLiteral("s"), k.sector}})
            .toInt();
    {
        std::unique_ptr<TfmkvbSpostaBeni> wizard;
        const auto open = [&] {
            wizard.reset(qobject_cast<TfmkvbSpostaBeni *>(CreateVoClass(QStringLiteral("TfmkvbSpostaBeni"))));
            wizard->show();
            wizard->cbSettStart->SelectId(k.sector);
            wizard->cbSettEnd->SelectId(destination);
            wizard->rxdeSpost->SetDate(QDate(2026, 12, 1));
        };
        const double listed = VoMedianMillis(
            kVoBenchRuns,
            [&] {
                wizard->buNext->click();
                QApplication::processEvents();
            },
            open);
        VoBenchBeside(QStringLiteral("Sposta beni: the start sector's goods listed (%1 rows read)")
                          .arg(wizard->xqcBeni->FetchedCount()),
                      listed, QStringLiteral("bare key query"),
                      BareMillis(QString::fromLatin1(kBareSectorKeysSQL),
                                 {{QStringLiteral("f"), k.facId}, {QStringLiteral("s"), k.sector}}),
                      QStringLiteral("ms"));
        while (wizard->xqcBeni->FetchedCount() < 1000 && wizard->xqcBeni->CanFetchMore())
            wizard->xqcBeni->FetchMore();
        QList<int> ticked;
        for (int i = 0; i < 1000 && i < wizard->xqcBeni->FetchedCount(); ++i) {
            wizard->SetTicked(i, true);
            ticked << wizard->xqcBeni->RowValue(i, wizard->xqcBeni->FieldByName(QStringLiteral("IBINBID"))->Index())
                          .toInt();
        }
        const double moved = VoMillis([&] { wizard->buOk->click(); });
        // Each good is moved by the server's procedure in a transaction of its own: the least is the
        // same calls, each committed, with nothing read before (the same goods moved on again).
        const double calls = VoMillis([&] {
            for (const int good : std::as_const(ticked)) {
                db->StartTransaction();
                VoExecSQL(QStringLiteral("EXECUTE PROCEDURE PKVB_INSMULTISETTORE(:g, :s, :d)"),
                          {{QStringLiteral("g"), good},
                           {QStringLiteral("s"), k.sector},
                           {QStringLiteral("d"), QDateTime(QDate(2026, 12, 2), QTime(0, 0))}});
                db->Commit();
            }
        });
        VoBenchBeside(QStringLiteral("Sposta beni: %1 goods moved, one transaction each (once)").arg(ticked.size()),
                      moved, QStringLiteral("the server's procedure called for each, committed"), calls);
    }
    for (const QString &text : bench.messages->Texts())
        out << "  message: " << text << "\n";
    bench.messages->Clear();

    if (grown > goods) {
        VoBenchAddGoods(db, k, goods, grown - goods);
        const TScreen large = MeasureList(db, k.facId, grown, false);
        out << "\nat " << grown << " goods beside " << goods << ": the first screen's click " << large.click / small.click
            << " times, the list's first read " << large.read / small.read << " times, the 25 keys walked "
            << large.walk / small.walk << " times\n";
    }
    return 0;
}
