// Times the query collection on a large table: opening 100,000 rows to the first screen of a grid
// and of a list-and-detail window, moving and scrolling to row 50,000, each beside the bare read of
// the same rows (the statement prepared beforehand, in a transaction open); posting one row through a
// three-statement insert list, and 1,000 such posts in a row, beside the same three statements in a
// transaction committed.
#include "VoBench.h"
#include "VoConnection.h"
#include "VoDBDateEdit.h"
#include "VoDBEdits.h"
#include "VoDBFrames.h"
#include "VoDbCreate.h"
#include "VoMessages.h"
#include "VoQuery.h"
#include "VoQueryCollection.h"
#include "VoSqlText.h"
#include "VoStatistics.h"
#include "VoTableModel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFormLayout>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextStream>
#include <QVBoxLayout>
#include <algorithm>

namespace {

const int kRows = 100000;
const int kPosts = 1000;

bool MakeTables(TVoSQLConnection &conn) {
    const QStringList ddl = {
        QStringLiteral("CREATE TABLE TBQ_ROWS (IROWID INTEGER NOT NULL PRIMARY KEY, SCODICE VARCHAR(20), "
                       "SDESC VARCHAR(100), FIMPORTO DOUBLE PRECISION, DDATA DATE)"),
        QStringLiteral(
            "CREATE TABLE TBQ_LOG (ILOGID INTEGER NOT NULL PRIMARY KEY, IROWID INTEGER, SNOTE VARCHAR(40))"),
        QStringLiteral("CREATE TABLE TBQ_TOT (ITOTID INTEGER NOT NULL PRIMARY KEY, N INTEGER)"),
        QStringLiteral("INSERT INTO TBQ_TOT (ITOTID, N) VALUES (1, 0)"),
        QStringLiteral("INSERT INTO TBQ_TOT (ITOTID, N) VALUES (2, 0)"),
        QStringLiteral(
            "EXECUTE BLOCK AS DECLARE I INTEGER = 1; BEGIN WHILE (I <= %1) DO BEGIN "
            "INSERT INTO TBQ_ROWS VALUES (:I, LPAD(:I, 7, '0'), 'Articolo di prova numero ' || :I, "
            ":I * 1.25, DATEADD(MOD(:I, 365) DAY TO DATE '2025-01-01')); I = I + 1; END END")
            .arg(kRows),
    };
    for (const QString &sql : ddl)
        if (!ExecRaw(conn, sql))
            return false;
    // The rows above took their keys by hand: the counter starts after them.
    VoSelectValue(QStringLiteral("SELECT L_ICNTID FROM PYSETGETID('TBQ_ROWS', :n)"),
                  {{QStringLiteral("n"), kRows}});
    // As the programs find the data once they start.
    VoRefreshStaleStatistics(&conn);
    return true;
}

// Opens the collection under a grid and paints the grid's first screen; returns milliseconds.
double OpenToFirstScreen(TVoQueryCollection &qc, int packetRecords, int *fetched) {
    qc.Close();
    qc.SetPacketRecords(packetRecords);
    TVoTableModel model(&qc);
    model.AddColumn(QStringLiteral("SCODICE"), QStringLiteral("Codice"), 80);
    model.AddColumn(QStringLiteral("SDESC"), QStringLiteral("Descrizione"), 340);
    model.AddColumn(QStringLiteral("FIMPORTO"), QStringLiteral("Importo"), 100, QStringLiteral("#,##0.00"));
    model.AddColumn(QStringLiteral("DDATA"), QStringLiteral("Data"), 78);
    QTableView view;
    view.resize(1000, 700);
    view.setModel(&model);
    view.show();
    QElapsedTimer timer;
    timer.start();
    qc.Open();
    QApplication::processEvents();
    view.grab();
    const double ms = timer.nsecsElapsed() / 1e6;
    *fetched = qc.FetchedCount();
    return ms;
}

// Builds a window holding a list-and-detail frame over the collection, opens it and paints its
// first screen; returns milliseconds.
double OpenFrameToFirstScreen(TVoQueryCollection &qc, int *fetched) {
    qc.Close();
    qc.SetPacketRecords(25);
    QElapsedTimer timer;
    timer.start();
    QWidget window;
    auto *frame = new TfrVoDBRWGrid(&window);
    frame->grFrame->AddColumn(QStringLiteral("SCODICE"), QStringLiteral("Codice"), 80);
    frame->grFrame->AddColumn(QStringLiteral("SDESC"), QStringLiteral("Descrizione"), 340);
    frame->grFrame->AddColumn(QStringLiteral("FIMPORTO"), QStringLiteral("Importo"), 100, Qt::AlignRight,
                              QStringLiteral("#,##0.00"));
    frame->grFrame->AddColumn(QStringLiteral("DDATA"), QStringLiteral("Data"), 78);
    frame->grFrame->ColsIndex().Add(0, QStringLiteral("SCODICE"), QString(), true);
    frame->grFrame->ColsIndex().Add(1, QStringLiteral("SDESC"), QString(), true);
    auto *form = new QFormLayout(frame->tsDetail);
    const QList<std::pair<QString, TVoDBControl *>> edits = {
        {QStringLiteral("SCODICE"), new TVoDBEdit},
        {QStringLiteral("SDESC"), new TVoDBEdit},
        {QStringLiteral("FIMPORTO"), new TVoDBCurrencyEdit},
        {QStringLiteral("DDATA"), new TVoDBDateEdit},
    };
    for (const auto &[field, edit] : edits) {
        form->addRow(field, edit->Widget());
        edit->Bind(frame->xdsMain, field);
    }
    (new QVBoxLayout(&window))->addWidget(frame);
    frame->SetDataSet(&qc);
    qc.Open();
    window.resize(1000, 700);
    window.show();
    QApplication::processEvents();
    window.grab();
    const double ms = timer.nsecsElapsed() / 1e6;
    *fetched = qc.FetchedCount();
    return ms;
}

double Median(QList<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Transactions of this program's connection open now, the one asking left out.
int OpenTransactions() {
    return VoSelectValue(QStringLiteral("SELECT COUNT(*) FROM MON$TRANSACTIONS WHERE MON$ATTACHMENT_ID = "
                                        "CURRENT_CONNECTION AND MON$TRANSACTION_ID <> CURRENT_TRANSACTION"))
        .toInt();
}

// Opens the collection under a grid, then moves its cursor to row 50,000 (as a locate or a jump does);
// returns the milliseconds of the move.
double MoveToRow(TVoQueryCollection &qc, int row) {
    qc.Close();
    qc.SetPacketRecords(25);
    qc.Open();
    QElapsedTimer timer;
    timer.start();
    qc.SetRecNo(row);
    const double ms = timer.nsecsElapsed() / 1e6;
    if (qc.RecNo() != row)
        Out() << "moved to row " << qc.RecNo() << " instead of " << row << "\n";
    return ms;
}

// Opens the collection under a grid and drags its scroll bar to the end until row 50,000 is on
// screen, as a user scrolling through the list; returns milliseconds.
double ScrollGridToRow(TVoQueryCollection &qc, int row) {
    qc.Close();
    qc.SetPacketRecords(25);
    TVoTableModel model(&qc);
    model.AddColumn(QStringLiteral("SCODICE"), QStringLiteral("Codice"), 80);
    model.AddColumn(QStringLiteral("SDESC"), QStringLiteral("Descrizione"), 340);
    QTableView view;
    view.resize(1000, 700);
    view.setModel(&model);
    view.show();
    qc.Open();
    QApplication::processEvents();
    QElapsedTimer timer;
    timer.start();
    while (model.rowCount() < row && model.canFetchMore(QModelIndex())) {
        view.scrollToBottom();
        QApplication::processEvents();
    }
    view.scrollTo(model.index(row - 1, 0));
    view.grab();
    return timer.nsecsElapsed() / 1e6;
}

bool PostOne(TVoQueryCollection &qc, int n) {
    qc.Insert();
    qc.FieldByName(QStringLiteral("SCODICE"))->SetValue(QStringLiteral("N%1").arg(n));
    qc.FieldByName(QStringLiteral("SDESC"))->SetValue(QStringLiteral("Riga inserita %1").arg(n));
    qc.FieldByName(QStringLiteral("FIMPORTO"))->SetAsFloat(n * 0.5);
    qc.FieldByName(QStringLiteral("DDATA"))->SetAsDate(45658 + n % 365);
    return qc.Post();
}

} // namespace

int main(int argc, char *argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    TVoScriptedMessages messages;
    QTemporaryDir dir;
    TVoSQLConnection conn(nullptr, QStringLiteral("bench"));
    if (!VoBenchDatabase(dir, QStringLiteral("bench_qc.fdb"), conn))
        return 1;

    QElapsedTimer timer;
    timer.start();
    if (!MakeTables(conn))
        return 1;
    Out() << "fill " << kRows << " rows: " << timer.elapsed() << " ms\n";

    TVoQueryCollection qc;
    qc.SetCommandText(
        QStringLiteral("SELECT IROWID, SCODICE, SDESC, FIMPORTO, DDATA FROM TBQ_ROWS ORDER BY IROWID"));
    qc.SetConfirmations(cfNone);

    int fetched = 0;
    QList<double> packets, everything;
    for (int i = 0; i < 5; ++i)
        packets << OpenToFirstScreen(qc, 25, &fetched);
    const QString select = qc.CommandText();
    const auto bare = [&](int rows) {
        QList<double> times;
        for (int i = 0; i < 5; ++i)
            times << VoBenchBareRead(&conn, rows > 0 ? VoSlice(select, 1, rows) : select);
        return Median(times);
    };
    VoBenchBeside(QStringLiteral("open %1 rows to the first screen, packets of 25 (median of 5, %2 rows read)")
                      .arg(kRows)
                      .arg(fetched),
                  Median(packets), QStringLiteral("bare read of as many"), bare(fetched));
    for (int i = 0; i < 3; ++i)
        everything << OpenToFirstScreen(qc, -1, &fetched);
    VoBenchBeside(QStringLiteral("open %1 rows to the first screen, every row read first (median of 3)").arg(kRows),
                  Median(everything), QStringLiteral("bare read of every row"), bare(0));
    QList<double> frames;
    for (int i = 0; i < 5; ++i)
        frames << OpenFrameToFirstScreen(qc, &fetched);
    VoBenchBeside(QStringLiteral("open a list-and-detail window over %1 rows to its first screen, packets of 25 "
                                 "(median of 5, %2 rows read)")
                      .arg(kRows)
                      .arg(fetched),
                  Median(frames), QStringLiteral("bare read of as many"), bare(fetched));
    {
        qc.Close();
        qc.SetPacketRecords(25);
        TVoTableModel model(&qc);
        QTableView view;
        view.setModel(&model);
        view.show();
        qc.Open();
        QApplication::processEvents();
        Out() << "transactions open while the list of " << kRows << " rows stands: " << OpenTransactions()
              << "\n";
    }
    QList<double> moves, scrolls;
    for (int i = 0; i < 3; ++i)
        moves << MoveToRow(qc, 50000);
    const double half = bare(50000);
    VoBenchBeside(QStringLiteral("move the cursor to row 50,000 (median of 3)"), Median(moves),
                  QStringLiteral("bare read of 50,000 rows"), half);
    for (int i = 0; i < 3; ++i)
        scrolls << ScrollGridToRow(qc, 50000);
    VoBenchBeside(QStringLiteral("scroll a grid down to row 50,000 (median of 3)"), Median(scrolls),
                  QStringLiteral("bare read of 50,000 rows"), half);

    qc.Close();
    qc.SetPacketRecords(25);
    qc.SQLInsert.Add(QStringLiteral("INSERT INTO TBQ_ROWS (IROWID, SCODICE, SDESC, FIMPORTO, DDATA) "
                                    "VALUES (:VOGENID, :SCODICE, :SDESC, :FIMPORTO, :DDATA)"));
    qc.SQLInsert.Add(
        QStringLiteral("INSERT INTO TBQ_LOG (ILOGID, IROWID, SNOTE) VALUES (:VOGENID, :IROWID, :SNOTE)"));
    qc.SQLInsert.Add(QStringLiteral("UPDATE TBQ_TOT SET N = N + 1 WHERE ITOTID = 1"));
    qc.VoBeforeExec.Add([](TVoQueryCollection *, TVoQueryProp &prop, bool &) {
        if (prop.TableName == QLatin1String("TBQ_LOG"))
            prop.Values.Add(QStringLiteral("SNOTE"), QStringLiteral("inserimento"));
    });
    qc.Open();

    timer.restart();
    if (!PostOne(qc, 0)) {
        Out() << "post failed: " << messages->LastText() << "\n";
        return 1;
    }
    Out() << "first post through a three-statement list: " << timer.nsecsElapsed() / 1e6 << " ms\n";
    QList<double> single;
    for (int i = 1; i <= 5; ++i) {
        timer.restart();
        PostOne(qc, i);
        single << timer.nsecsElapsed() / 1e6;
    }
    // The three statements the post runs, in a transaction committed, keys given without a draw.
    int key = 900000;
    const auto floorPost = [&] {
        conn.StartTransaction();
        const int row = ++key;
        VoExecSQL(QStringLiteral("INSERT INTO TBQ_ROWS (IROWID, SCODICE, SDESC, FIMPORTO, DDATA) VALUES (:r, 'F', "
                                 "'Riga del confronto', 1, DATE '2025-01-01')"),
                  {{QStringLiteral("r"), row}}, &conn);
        VoExecSQL(QStringLiteral("INSERT INTO TBQ_LOG (ILOGID, IROWID, SNOTE) VALUES (:r, :r, 'inserimento')"),
                  {{QStringLiteral("r"), row}}, &conn);
        VoExecSQL(QStringLiteral("UPDATE TBQ_TOT SET N = N + 1 WHERE ITOTID = 2"), {}, &conn);
        conn.Commit();
    };
    QList<double> floors;
    for (int i = 0; i < 5; ++i)
        floors << VoMillis(floorPost);
    VoBenchBeside(QStringLiteral("one post through a three-statement list (median of 5)"), Median(single),
                  QStringLiteral("its three statements committed"), Median(floors));

    timer.restart();
    for (int i = 0; i < kPosts; ++i)
        if (!PostOne(qc, 100 + i)) {
            Out() << "post failed: " << messages->LastText() << "\n";
            return 1;
        }
    const double total = timer.nsecsElapsed() / 1e6;
    const double floorTotal = VoMillis([&] {
        for (int i = 0; i < kPosts; ++i)
            floorPost();
    });
    VoBenchBeside(QStringLiteral("%1 posts in a row").arg(kPosts), total,
                  QStringLiteral("their statements, committed one post at a time"), floorTotal);

    // The comparison's rows have keys of their own, from 900,000 on.
    const int logged = VoSelectValue(QStringLiteral("SELECT COUNT(*) FROM TBQ_LOG WHERE ILOGID < 900000")).toInt();
    const int counted = VoSelectValue(QStringLiteral("SELECT N FROM TBQ_TOT WHERE ITOTID = 1")).toInt();
    const int expected = kPosts + 6;
    Out() << "check: " << logged << " log rows, counter " << counted << ", expected " << expected << "\n";
    qc.Close();
    qqoVoGlobConn = nullptr;
    return logged == expected && counted == expected ? 0 : 1;
}
