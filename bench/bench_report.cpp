// Times the report engine on a large report: a master of 20,000 rows whose every row re-opens its
// detail of 3 rows, as the programs' scroll handlers do. Medians of 5 runs: the first page of the
// preview on the screen, the whole layout, and beside them the bare query (the master's select and
// the detail's select for each master, read to the end through the same engine in one
// transaction); then the run written as a PDF file.
#include "VoBench.h"
#include "VoConnection.h"
#include "VoDbCreate.h"
#include "VoMessages.h"
#include "VoQuery.h"
#include "VoQueryCollection.h"
#include "VoRptEngine.h"
#include "VoRptLayout.h"
#include "VoRptPages.h"
#include "VoRptTreeView.h"
#include "VoStatistics.h"
#include "VoTransaction.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPrintPreviewWidget>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <algorithm>

namespace {

int kMasters = 20000;
const int kDetails = 3;

bool MakeTables(TVoSQLConnection &conn) {
    const QStringList ddl = {
        QStringLiteral(
            "CREATE TABLE TBR_MASTER (IMID INTEGER NOT NULL PRIMARY KEY, SDESC VARCHAR(60), DDATA DATE)"),
        QStringLiteral("CREATE TABLE TBR_DETAIL (IDID INTEGER NOT NULL PRIMARY KEY, IMID INTEGER NOT NULL, "
                       "SART VARCHAR(60), FQTA DOUBLE PRECISION, FCOSTO DOUBLE PRECISION)"),
        QStringLiteral("CREATE INDEX IX_TBR_DETAIL_MID ON TBR_DETAIL (IMID, IDID)"),
        QStringLiteral(
            "EXECUTE BLOCK AS DECLARE I INTEGER = 1; DECLARE J INTEGER; BEGIN WHILE (I <= %1) DO BEGIN "
            "INSERT INTO TBR_MASTER VALUES (:I, 'Buono di prova numero ' || :I, DATEADD(MOD(:I, 365) DAY TO "
            "DATE '2026-01-01')); J = 1; WHILE (J <= %2) DO BEGIN INSERT INTO TBR_DETAIL VALUES (:I * %2 + "
            ":J, "
            ":I, 'Articolo ' || :J || ' del buono ' || :I, :J * 2, 1.25 * :J); J = J + 1; END I = I + 1; END "
            "END")
            .arg(kMasters)
            .arg(kDetails),
    };
    for (const QString &sql : ddl)
        if (!ExecRaw(conn, sql))
            return false;
    // As the programs find the data once they start.
    VoRefreshStaleStatistics(&conn);
    return true;
}

const char *const kLayout = R"xml(<report id="1" title="Prova" margins="10,10,10,10">
  <pageHeader height="8"><text x="0" y="0" w="190" h="7" caption="Buoni" font="DejaVu Sans,12,bold"/></pageHeader>
  <masterData dataset="qqMaster" height="6">
    <text x="0" y="0" w="20" h="6" expr="[qqMaster.IMID]" format="0000000" font="DejaVu Sans,9,bold"/>
    <text x="22" y="0" w="30" h="6" expr="[qqMaster.DDATA]" format="dd/MM/yyyy"/>
    <text x="52" y="0" w="138" h="6" expr="[qqMaster.SDESC]"/>
    <detailData dataset="qqDetail" height="5">
      <text x="22" y="0" w="100" h="5" expr="[qqDetail.SART]" font="DejaVu Sans,8" wrap="1"/>
      <text x="122" y="0" w="30" h="5" expr="[qqDetail.FQTA]" format="#,##0.00" font="DejaVu Sans,8" align="right"/>
      <text x="152" y="0" w="38" h="5" expr="[qqDetail.FQTA] * [qqDetail.FCOSTO]" format="#,##0.00" font="DejaVu Sans,8" align="right"/>
      <groupFooter expr="[qqMaster.IMID]" height="5">
        <text x="152" y="0" w="38" h="5" expr="SUM([qqDetail.FQTA] * [qqDetail.FCOSTO])" format="#,##0.00" frame="top" align="right"/>
      </groupFooter>
    </detailData>
  </masterData>
  <summary height="8"><text x="122" y="1" w="68" h="6" expr="SUM([qqDetail.FQTA] * [qqDetail.FCOSTO])" format="#,##0.00" align="right"/></summary>
  <pageFooter height="6"><text x="0" y="0" w="190" h="5" expr="'Pagina ' + [PAGE] + ' di ' + [PAGES]" align="center"/></pageFooter>
</report>)xml";

// The report's datasets, published as a program's report module publishes them.
struct TModule : QObject {
    TModule() {
        master.setObjectName(QStringLiteral("qqMaster"));
        master.SetCommandText(QStringLiteral("SELECT IMID, SDESC, DDATA FROM TBR_MASTER ORDER BY IMID"));
        master.SetPacketRecords(200);
        detail.setObjectName(QStringLiteral("qqDetail"));
        detail.SetCommandText(
            QStringLiteral("SELECT SART, FQTA, FCOSTO FROM TBR_DETAIL WHERE IMID = :iMId ORDER BY IDID"));
        master.AfterScroll.Add([this](TVoQueryCollection *) {
            QElapsedTimer reading;
            reading.start();
            detail.Close();
            detail.SetParam(QStringLiteral("iMId"), master.FieldByName(QStringLiteral("IMID"))->Value());
            detail.Open();
            detailNanos += reading.nsecsElapsed();
        });
        engine.OnEndDoc.Add([this] {
            master.Close();
            detail.Close();
        });
    }
    TVoQueryCollection master;
    TVoQueryCollection detail;
    // Time spent re-opening the detail, as the layout's share of reading.
    qint64 detailNanos = 0;
    TfrDBDataSet masterPublisher{this, &master};
    TfrDBDataSet detailPublisher{this, &detail};
    TVoReport engine;
};

} // namespace

int main(int argc, char *argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // A smaller master for a quick look: bench_report ROWS.
    if (argc > 1)
        kMasters = QString::fromLocal8Bit(argv[1]).toInt();
    QStandardPaths::setTestModeEnabled(true);
    TVoScriptedMessages messages;
    QTemporaryDir dir;
    TVoSQLConnection conn(nullptr, QStringLiteral("bench"));
    if (!VoBenchDatabase(dir, QStringLiteral("bench_report.fdb"), conn))
        return 1;
    QElapsedTimer timer;
    timer.start();
    if (!MakeTables(conn))
        return 1;
    Out() << "fill " << kMasters << " masters with " << kDetails << " details each: " << timer.elapsed()
          << " ms\n";

    TModule module;
    const TVoRptLayout layout = TVoRptLayout::Parse(QString::fromLatin1(kLayout));

    const auto median = [](QList<double> values) {
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    };
    QList<double> firstPages;
    QList<double> wholePreviews;
    QList<double> layouts;
    QList<double> details;
    QList<double> bares;
    int pages = 0;
    int prepared = 0;
    // The preview paints its first page while the run goes on: the moment it has a page painted.
    double firstPage = 0;
    QTimer watch;
    watch.setInterval(0);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *p = qobject_cast<TfmVoRptPreview *>(w);
                p && p->pvPages->pageCount() > 0 && !firstPage) {
                p->grab();
                firstPage = timer.elapsed();
            }
    });
    for (int run = 0; run < 5; ++run) {
        firstPage = 0;
        watch.start();
        timer.restart();
        TfmVoRptPreview *preview = VoRptShowPreview(module.engine, layout);
        if (!preview) {
            Out() << "the run failed: " << messages->Texts().join(QLatin1Char('\n')) << "\n";
            return 1;
        }
        while (preview->pvPages->pageCount() < preview->Document().PageCount())
            QApplication::processEvents();
        preview->grab();
        wholePreviews << timer.elapsed();
        watch.stop();
        firstPages << (firstPage ? firstPage : wholePreviews.last());
        pages = preview->Document().PageCount();
        delete preview;

        const int preparedBefore = conn.PreparedCount();
        module.detailNanos = 0;
        timer.restart();
        if (!module.engine.Run(layout))
            return 1;
        layouts << timer.elapsed();
        details << module.detailNanos / 1e6;
        prepared = conn.PreparedCount() - preparedBefore;
        bares << VoMillis([&] {
            TVoTransaction reading(&conn);
            reading.StartTransaction();
            TVoQuery master(QStringLiteral("SELECT IMID, SDESC, DDATA FROM TBR_MASTER ORDER BY IMID"), &conn);
            TVoQuery detail(module.detail.CommandText(), &conn);
            for (master.Open(); !master.Eof(); master.Next()) {
                detail.SetParam(QStringLiteral("iMId"), master.Value(0));
                for (detail.Open(); !detail.Eof(); detail.Next())
                    detail.Value(0);
            }
            reading.Commit();
        });
    }
    const double bare = median(bares);
    Out() << "report of " << pages << " pages, statements prepared in a run: " << prepared << "\n";
    Out() << "first preview page: " << median(firstPages) << " ms, " << median(firstPages) / bare
          << "x the bare query (median of 5)\n";
    Out() << "whole layout: " << median(layouts) << " ms, " << median(layouts) / bare
          << "x the bare query (median of 5)\n";
    Out() << "  of which the details re-opened for each master: " << median(details) << " ms\n";
    Out() << "preview with every page: " << median(wholePreviews) << " ms (median of 5)\n";
    Out() << "bare query, master and detail for each master: " << bare << " ms (median of 5)\n";

    timer.restart();
    const auto document = module.engine.Run(layout);
    const QString pdf = dir.path() + QStringLiteral("/bench_report.pdf");
    if (!document || !document->WritePdf(pdf)) {
        Out() << "the PDF failed\n";
        return 1;
    }
    Out() << "PDF of " << document->PageCount() << " pages: " << timer.elapsed() << " ms, "
          << QFileInfo(pdf).size() / 1024 << " KB\n";
    qqoVoGlobConn = nullptr;
    return 0;
}
