// Times the rows of the loading voucher on the demo database with a catalogue of 20,000 articles:
// a new row opened (the whole catalogue read for its drop-down), one narrowing of the drop-down,
// and the save of a loading row of an article with 50, 500 and 5,000 unloading rows over two years
// of a register numbered across its years, where the save prices every one of them again. The
// pricing walks the article's rows once, so ten times the rows should cost about ten times the
// time; the walk alone, when no cost changes, is timed too, and the statement that asked the stock
// procedure once per unloading row beside it (up to 500 rows: it grows with their square).
//
// A save commits the changed rows to disk: on a busy disk the write dominates and varies from one
// run to the next. With the database in memory the figures show the work itself:
//
//   bench_rows                       (the database in the temporary folder)
//   TMPDIR=/dev/shm bench_rows       (the database in memory)
#include "VoBench.h"
#include "VoDBEdits.h"
#include "VoDBFrames.h"
#include "VoForms.h"
#include "VoGlobals.h"
#include "VoMessages.h"
#include "VoQuery.h"
#include "VoQueryCollection.h"
#include "VoStatistics.h"
#include "VoTableModel.h"
#include "VoTransaction.h"
#include "kvaFBuoni.h"
#include "kvaRBeniCarico.h"
#include "kvaUBuoni.h"
#include "kvaURegistries.h"
#include "kvaUUtil.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <memory>
#include <vector>

namespace {

constexpr int kCatalogue = 20000;

const char *const kMoreArticlesSQL =
    "INSERT INTO TFAR_FACARTICOLI (IFARID, SFARSDESC, SFARLDESC, SFARLIBTITOLO, SFARLIBAUTORE, "
    "SFARLIBEDITORE, ICAFID) "
    "WITH RECURSIVE N AS (SELECT 0 AS I FROM RDB$DATABASE UNION ALL SELECT I + 1 FROM N WHERE I < 999) "
    "SELECT (SELECT L_ICNTID FROM PYSETGETID('TFAR_FACARTICOLI', 0)), LPAD(100000 + a.I * 1000 + b.I, 7, "
    "'0'), 'CATALOGO ' || (a.I * 1000 + b.I), '', '', '', 1 FROM N a CROSS JOIN N b WHERE a.I * 1000 + b.I < "
    ":n";
const char *const kRegisterYearSQL =
    "SELECT dfa.IDWGFACANFID FROM TDWGFACANF dfa INNER JOIN TANF_ANNIFINANZ a ON a.IANFID = dfa.IANFID "
    "INNER JOIN TDWGFAC df ON df.IDWGFACID = dfa.IDWGFACID INNER JOIN TFAC_VELISTO f ON f.IFACID = "
    "df.IFACID WHERE a.IANFVALORE = :v AND f.SFACDESC = 'Facile consumo'";
// What every save did before: the stock procedure asked once per unloading row.
const char *const kPerRowSQL =
    "UPDATE TAFC_ARTVELIST afc SET afc.FAFCCOSTOUNIT = (SELECT g.COSTOUNIMED FROM TFBUO_BUONI b CROSS JOIN "
    "PKVA_GETGIACENZA(afc.IFARID, b.DFBUODATA, b.IDWGFACANFID, NULL) g WHERE b.IFBUOID = afc.IFBUOID) / "
    "FKVA_FATTOREUNITA(afc.IFARID) WHERE afc.IFARID = :iFarId AND afc.IFBUOID IN (SELECT sca.IFBUOID FROM "
    "TFBUO_BUONI sca WHERE sca.IFBUOTIPO = 1)";

int Count(const QString &sql) {
    return VoSelectValue(sql).toInt();
}

double Millis(const std::function<void()> &fn, int calls = 1) {
    return VoMeanMicros(calls, [&fn](int) { fn(); }) / 1000.0;
}

// The median of several calls: the saves write to disk on a shared machine, and one slow write
// should not stand for them all.
double MedianMillis(const std::function<void()> &fn, int calls) {
    std::vector<double> times;
    for (int i = 0; i < calls; ++i)
        times.push_back(Millis(fn));
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

int RegisterYear(int year) {
    return VoSelectValue(QString::fromLatin1(kRegisterYearSQL), {{QStringLiteral("v"), year}}).toInt();
}

int Voucher(int kind, const QDate &date, int registerYear) {
    const int id = NewId(QStringLiteral("TFBUO_BUONI"));
    VoExecSQL(
        QStringLiteral("INSERT INTO TFBUO_BUONI (IFBUOID, IDWGFACANFID, IFBUONUMERO, DFBUODATA, IFBUOTIPO, "
                       "ILOCKED) VALUES (:id, :y, :id, :d, :k, 0)"),
        {{QStringLiteral("id"), id},
         {QStringLiteral("y"), registerYear},
         {QStringLiteral("d"), date},
         {QStringLiteral("k"), kind}});
    return id;
}

void Row(int voucher, int article, double quantity, double cost) {
    VoExecSQL(
        QStringLiteral("INSERT INTO TAFC_ARTVELIST (IAFCID, IFBUOID, IFARID, FAFCQUANTITA, FAFCCOSTOUNIT) "
                       "VALUES (:id, :v, :a, :q, :c)"),
        {{QStringLiteral("id"), NewId(QStringLiteral("TAFC_ARTVELIST"))},
         {QStringLiteral("v"), voucher},
         {QStringLiteral("a"), article},
         {QStringLiteral("q"), quantity},
         {QStringLiteral("c"), cost}});
}

// An article with unloads unloading rows, half in each year, one a day, and a load every tenth day.
int ArticleWithUnloads(int unloads, const QList<int> &years) {
    const int article = FindOrInsertArticle(QStringLiteral("SCARICATO %1 VOLTE").arg(unloads), {}, {}, {}, 1,
                                            -1, -1, -1, -1, -1, true);
    TVoTransaction t;
    t.StartTransaction();
    for (int i = 0; i < unloads; ++i) {
        const int year = years[i * 2 / unloads];
        const QDate date =
            QDate(2025 + i * 2 / unloads, 1, 1).addDays((i % (unloads / 2)) * 360 / (unloads / 2));
        if (i % 10 == 0)
            Row(Voucher(kvaLoading, date, year), article, 20, 1.0 + i % 7);
        Row(Voucher(kvaUnloading, date, year), article, 1, 0);
    }
    t.Commit();
    // As the programs find the data once they start.
    VoRefreshStaleStatistics();
    return article;
}

} // namespace

int main(int argc, char *argv[]) {
    TVoBenchApp bench(argc, argv, QStringLiteral("bench_rows"));
    if (!bench.Ok())
        return 1;
    kvaRegisterWindows();
    QTextStream &out = Out();
    out << "database in " << bench.Dir().path() << "\n";
    VoExecSQL(QStringLiteral("UPDATE TFAC_VELISTO SET IFACNUMERAZ = 0 WHERE SFACDESC = 'Facile consumo'"));
    const QList<int> years = {RegisterYear(2025), RegisterYear(2026)};
    xgvmGlobalVar.Add(ParSchool,
                      VoSelectValue(QStringLiteral("SELECT MIN(IDWGID) FROM TDOW_DATAOWNER")).toString());
    xgvmGlobalVar.Add(ParRegisterYear, QString::number(years[1]));
    kva::LoadWorkingContext(false);
    kva::GetParamDescription(ParRegisterYear);
    VoExecSQL(
        QString::fromLatin1(kMoreArticlesSQL),
        {{QStringLiteral("n"), kCatalogue - Count(QStringLiteral("SELECT COUNT(*) FROM TFAR_FACARTICOLI"))}});
    const int load = Voucher(kvaLoading, QDate(2026, 1, 2), years[1]);

    std::unique_ptr<TfmkvaBuoni> window(VoNewForm<TfmkvaBuoni>());
    window->show();
    QApplication::processEvents();
    TfrkvaBeniCarico *rows = window->frDetail;
    window->xqcMain->Locate(QStringLiteral("IFBUOID"), load);
    const double open = Millis([&] {
        rows->xacInsert->Execute();
        rows->xacCancel->Execute();
    });
    rows->xacInsert->Execute();
    rows->xdeDesc->setText(QStringLiteral("catalogo 1234"));
    const double narrow = Millis([&] { rows->SearchArticles(Qt::Key_4); }, 10);
    // The catalogue the drop-down reads, read bare.
    const double catalogue = VoMedianOf(5, [] {
        return VoBenchBareRead(qqoVoGlobConn,
                               QStringLiteral("SELECT IFARID, SFARSDESC, ICFMID, ICAFID, IDCMID, IMERID, IUNMID, "
                                              "SFARLIBEDITORE, SFARLIBAUTORE, SFARLIBTITOLO, SFARLDESC, IALVID, "
                                              "UPPER(sFarSDesc || ' ' || sFarLDesc) AS DESCRIZIONE FROM TFar_FacArticoli"));
    });
    VoBenchBeside(QStringLiteral("new row over %1 articles (the catalogue read for the drop-down)")
                      .arg(Count(QStringLiteral("SELECT COUNT(*) FROM TFAR_FACARTICOLI"))),
                  open, QStringLiteral("the catalogue's select read bare"), catalogue);
    out << "one narrowing of the drop-down (\"catalogo 1234\", " << rows->ArticleModel->rowCount()
        << " shown, in memory): " << narrow << " ms\n";
    rows->xacCancel->Execute();
    window->close();

    out << "save of a loading row, its article's unloading rows priced again (register across years):\n";
    double previous = 0;
    for (const int unloads : {50, 500, 5000}) {
        const int article = ArticleWithUnloads(unloads, years);
        TVoQueryCollection collection;
        collection.SetCommandText(QStringLiteral("SELECT * FROM TAFC_ARTVELIST WHERE IFBUOID = :IFBUOID"));
        collection.SetParam(QStringLiteral("IFBUOID"), load);
        kvaSetRowLists(&collection, kvaLoading);
        collection.Open();
        const auto save = [&] {
            collection.Append();
            collection.FieldByName(QStringLiteral("IFBUOID"))->SetValue(load);
            collection.FieldByName(QStringLiteral("IFARID"))->SetValue(article);
            collection.FieldByName(QStringLiteral("FAFCQUANTITA"))->SetValue(5.0);
            collection.FieldByName(QStringLiteral("FAFCCOSTOUNIT"))->SetValue(3.0);
            collection.Post();
        };
        // The first save reads the article's rows into the cache; the median of the next ones is given.
        save();
        const double saved = MedianMillis(save, 7);
        const double pricing = Millis(
            [&] {
                TVoTransaction t;
                t.StartTransaction();
                VoExecSQL(QString::fromLatin1(kvaSQLRePricing),
                          {{QStringLiteral("iFarId"), article}, {QStringLiteral("iFBuoId"), load}});
                t.Commit();
            },
            5);
        // The least a save does: the row written, the article's rows read once in date order and each
        // of its unloading rows whose cost the new load changes (those from its date on) written once,
        // committed.
        const QString changed =
            QStringLiteral("b.DFBUODATA >= DATE '%1'")
                .arg(VoSelectValue(QStringLiteral("SELECT DFBUODATA FROM TFBUO_BUONI WHERE IFBUOID = :v"),
                                   {{QStringLiteral("v"), load}})
                         .toDate()
                         .toString(Qt::ISODate));
        const QVariantHash a{{QStringLiteral("a"), article}, {QStringLiteral("v"), load}};
        const double least = MedianMillis(
            [&] {
                TVoTransaction t;
                t.StartTransaction();
                VoExecSQL(QStringLiteral("INSERT INTO TAFC_ARTVELIST (IAFCID, IFBUOID, IFARID, FAFCQUANTITA, FAFCCOSTOUNIT) "
                                         "SELECT L_ICNTID, :v, :a, 5, 3 FROM PYSETGETID('TAFC_ARTVELIST', 1)"),
                          a);
                ExecRaw(*qqoVoGlobConn, VoBenchRepricingFloorSQL(article, QStringLiteral("1 = 1"), changed));
                t.Commit();
            },
            7);
        VoBenchBeside(QStringLiteral("  %1 unloading rows, the save").arg(unloads), saved,
                      QStringLiteral("the row written, the rows read in date order, each unloading row from its date written"),
                      least);
        out << "    (the walk over its rows when no cost changes " << pricing << " ms)";
        if (previous > 0)
            out << " (" << saved / previous << " times the previous)";
        previous = saved;
        if (unloads <= 500) {
            const double perRow = Millis([&] {
                TVoTransaction t;
                t.StartTransaction();
                VoExecSQL(QString::fromLatin1(kPerRowSQL), {{QStringLiteral("iFarId"), article}});
                t.Rollback();
            });
            out << "; the stock procedure per unloading row took " << perRow << " ms";
        }
        out << "\n";
    }
    return 0;
}
