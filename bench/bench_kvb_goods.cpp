// Times the goods list and the moves of goods on the generated register of 100,000 goods, or as many
// thousands as the argument says (VoBenchGoods.h): "Elenco beni" from its opening to its first
// screen, beside the walk of the list's first keys through the vouchers' date index, and as it was
// when it sorted every key; "Ultimo" to the last screen and the memory held until the list closes;
// one filter of the search box beside its bare key query; and "Sposta beni" listing the start
// sector's goods and moving 1,000 of them, each in a transaction of its own.
//
//   bench_kvb_goods [goods]
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
#include "kvbFBeni.h"
#include "kvbFSpostaBeni.h"
#include "kvbRBeni.h"
#include "kvbURegistries.h"
#include "kvbUUtil.h"

#include <QApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>

#include <fstream>
#include <string>

namespace {

constexpr int kRuns = 5;

// The least the list's first screen reads: the first screen of keys in the list's order, walked
// through the vouchers' date index and each date's goods by number.
const char *const kBareWalkSQL =
    "SELECT VO_KEY FROM PKVB_BENIINORDINE(:f, 0, NULL, NULL, NULL, NULL) ROWS 1 TO 25";
// Every key in the list's order, walked.
const char *const kBareWalkAllSQL = "SELECT COUNT(*) FROM PKVB_BENIINORDINE(:f, 0, NULL, NULL, NULL, NULL)";
// The keys of the register's goods sorted in the list's order, as the list read them before it walked
// them, their first screen read; with the search box's filter, what the filter reads.
const char *const kBareKeysSQL =
    "SELECT inb.IBINBID FROM TBINB_BENI inb INNER JOIN TBBUO_BUONI buo ON (buo.IBBUOID = inb.IBBUOID) INNER "
    "JOIN "
    "TDwgFacAnf dia ON (buo.iDwgFacAnfId = dia.iDwgFacAnfId) INNER JOIN TDwgFac di ON "
    "dia.IDwgFacID=di.IDwgFacID "
    "WHERE (di.iFacId=:f) %1 ORDER BY buo.DBBUODATA, inb.IBINBNUMERO, inb.SBINBCODNUMERO ROWS 1 TO 25";
const char *const kBareNumberFilter =
    "AND (CASE COALESCE(inb.sBInbCodNumero,'') WHEN '' THEN inb.iBInbNumero ELSE inb.iBInbNumero || '/' || "
    "inb.sBInbCodNumero END CONTAINING '99')";
// The first packet of keys "Sposta beni" reads of the start sector, in key order.
const char *const kBareSectorKeysSQL =
    "SELECT inb.IBINBID FROM TBINB_BENI inb WHERE (inb.ISECID=:s) AND (inb.IAVAID<3) AND EXISTS (SELECT 1 "
    "FROM TBBUO_BUONI buo INNER JOIN TDwgFacAnf dia ON (buo.iDwgFacAnfId = dia.iDwgFacAnfId) INNER JOIN "
    "TDwgFac di ON dia.IDwgFacID=di.IDwgFacID WHERE (buo.IBBUOID = inb.IBBUOID) AND (di.iFacId=:f)) ORDER BY "
    "inb.IBINBID ROWS 1 TO 100";

double BareMillis(const QString &sql, const QVariantHash &params) {
    return VoMedianMillis(kRuns, [&] {
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

} // namespace

int main(int argc, char *argv[]) {
    TVoBenchApp bench(argc, argv, QStringLiteral("bench_kvb_goods"));
    if (!bench.Ok())
        return 1;
    kvbRegisterWindows();
    TVoSQLConnection *const db = bench.Db();
    QTextStream &out = Out();
    const int goods = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : kGoods;
    const TVoBenchGoods k = VoBenchGenerateGoods(db, goods);
    CurrentRegisterId = k.facId;
    const QVariantHash facParams{{QStringLiteral("f"), k.facId}};
    out << goods << " goods; medians of " << kRuns << " runs\n";

    {
        std::unique_ptr<TfmBeni> window;
        const auto close = [&] {
            if (window)
                window->close();
            window.reset();
        };
        for (const bool sorted : {false, true}) {
            VoBenchFigure(sorted ? QStringLiteral("Elenco beni to its first screen, keys sorted (before)")
                                 : QStringLiteral("Elenco beni to its first screen"),
                          {[&] { window.reset(OpenList(sorted)); }, close},
                          sorted ? QStringLiteral("the keys sorted, first screen")
                                 : QStringLiteral("the first screen's keys walked"),
                          {[&] {
                               TVoQuery q(sorted ? QString::fromLatin1(kBareKeysSQL).arg(QString())
                                                 : QString::fromLatin1(kBareWalkSQL));
                               q.SetParam(QStringLiteral("f"), k.facId);
                               for (q.Open(); !q.Eof(); q.Next()) {
                               }
                           }});
        }
        close();
        // "Ultimo" once each way: before, the rows were read in packets each sorting every key.
        const double before = ResidentMB();
        for (const bool sorted : {false, true}) {
            window.reset(OpenList(sorted));
            // Before, "Ultimo" read every row at once.
            const double last = VoMillis([&] {
                if (sorted)
                    window->xqcMain->Last();
                else
                    window->frMaster->xacLast->trigger();
                QApplication::processEvents();
            });
            const int read = window->xqcMain->FetchedCount();
            const double held = ResidentMB();
            close();
            out << "Ultimo" << (sorted ? " with the keys sorted (before)" : "") << ": " << last << " ms, "
                << read << " rows read; " << qRound(held - before) << " MB held, "
                << qRound(ResidentMB() - before) << " MB once the list is closed\n";
        }
        const double walkAll = VoMillis([&] { VoSelectValue(QString::fromLatin1(kBareWalkAllSQL), facParams); });
        out << "  every key of the list walked in its order: " << walkAll << " ms\n";
        window.reset(OpenList(false));
        // The box takes the text as the user types it: focused first, so that its placeholder goes.
        QLineEdit *box = window->frMaster->frRicerca->edRicerca;
        QFocusEvent focus(QEvent::FocusIn, Qt::MouseFocusReason);
        QApplication::sendEvent(box, &focus);
        const double filtered = VoMedianMillis(
            kRuns,
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
        VoBenchBeside(
            QStringLiteral("search box filter \"99\" on the number (%1 rows read first)")
                .arg(window->frMaster->grFrame->Model()->rowCount()),
            filtered, QStringLiteral("bare query"),
            BareMillis(QString::fromLatin1(kBareKeysSQL).arg(QString::fromLatin1(kBareNumberFilter)),
                       facParams),
            QStringLiteral("ms"));
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
            kRuns,
            [&] {
                wizard->buNext->click();
                QApplication::processEvents();
            },
            open);
        VoBenchBeside(QStringLiteral("Sposta beni: the start sector's goods listed (%1 rows read)")
                          .arg(wizard->xqcBeni->FetchedCount()),
                      listed, QStringLiteral("bare query"),
                      BareMillis(QString::fromLatin1(kBareSectorKeysSQL),
                                 {{QStringLiteral("f"), k.facId}, {QStringLiteral("s"), k.sector}}),
                      QStringLiteral("ms"));
        while (wizard->xqcBeni->FetchedCount() < 1000 && wizard->xqcBeni->CanFetchMore())
            wizard->xqcBeni->FetchMore();
        for (int i = 0; i < 1000 && i < wizard->xqcBeni->FetchedCount(); ++i)
            wizard->SetTicked(i, true);
        const double moved = VoMillis([&] { wizard->buOk->click(); });
        out << "Sposta beni: 1,000 goods moved, one transaction each: " << moved << " ms\n";
    }
    for (const QString &text : bench.messages->Texts())
        out << "  message: " << text << "\n";
    return 0;
}
