#include "VoBench.h"

#include "VoConnection.h"
#include "VoDbCreate.h"
#include "VoQuery.h"
#include "VoStatistics.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QWidget>
#include <algorithm>
#include <vector>

QTextStream &Out() {
    static QTextStream out(stdout);
    return out;
}

bool ExecRaw(TVoSQLConnection &conn, const QString &sql) {
    QSqlQuery q(conn.Database());
    if (q.exec(sql))
        return true;
    Out() << "failed: " << q.lastError().text() << "\n" << sql << "\n";
    return false;
}

QString VoBenchRepricingFloorSQL(int article, const QString &scope, const QString &written) {
    return QStringLiteral("EXECUTE BLOCK AS DECLARE K INTEGER; DECLARE T SMALLINT; BEGIN FOR SELECT afc.IAFCID, "
                          "IIF(b.IFBUOTIPO = 1 AND %3, 1, 0) FROM TAFC_ARTVELIST afc INNER JOIN TFBUO_BUONI b ON "
                          "b.IFBUOID = afc.IFBUOID WHERE afc.IFARID = %1 AND %2 ORDER BY b.DFBUODATA INTO :K, :T DO "
                          "IF (T = 1) THEN UPDATE TAFC_ARTVELIST SET FAFCCOSTOUNIT = FAFCCOSTOUNIT + 1 WHERE IAFCID = "
                          ":K; END")
        .arg(article)
        .arg(scope, written);
}

bool VoBenchDatabase(const QTemporaryDir &dir, const QString &name, TVoSQLConnection &conn) {
    const QString path = dir.path() + QLatin1Char('/') + name;
    QString error;
    TVoDbCreateOptions options;
    options.demoData = false;
    if (!VoCreateDatabase(path, options, &error)) {
        Out() << "create failed: " << error << "\n";
        return false;
    }
    conn.SetParam(QStringLiteral("Database"), path);
    if (!conn.Open(&error)) {
        Out() << "open failed: " << error << "\n";
        return false;
    }
    qqoVoGlobConn = &conn;
    return true;
}

std::unique_ptr<TVoSQLConnection> VoBenchDemoDatabase(const QTemporaryDir &dir, const QString &name,
                                                      QTextStream &out) {
    QStandardPaths::setTestModeEnabled(true);
    const QString path = dir.path() + QLatin1Char('/') + name + QStringLiteral(".fdb");
    QString error;
    if (!VoCreateDatabase(path, TVoDbCreateOptions{}, &error)) {
        out << "create failed: " << error << "\n";
        return nullptr;
    }
    auto conn = std::make_unique<TVoSQLConnection>(nullptr, QStringLiteral("bench"));
    conn->SetParam(QStringLiteral("Database"), path);
    if (!conn->Open(&error)) {
        out << "open failed: " << error << "\n";
        return nullptr;
    }
    return conn;
}

double VoMeanMicros(int calls, const std::function<void(int)> &fn) {
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < calls; ++i)
        fn(i);
    return t.nsecsElapsed() / 1000.0 / calls;
}

double VoMillis(const std::function<void()> &fn) {
    return VoMeanMicros(1, [&fn](int) { fn(); }) / 1000.0;
}

namespace {
double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}
} // namespace

double VoMedianOf(int runs, const std::function<double()> &fn) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i)
        times.push_back(fn());
    return Median(times);
}

namespace {
void PrintBeside(const QString &what, double time, const QString &bare, double bareTime, const QString &unit,
                 double ratio) {
    Out() << "  " << what << ": " << time << " " << unit << "  |  " << bare << ": " << bareTime << " " << unit
          << "  |  ratio " << ratio << "\n";
    Out().flush();
}
} // namespace

void VoBenchBeside(const QString &what, double time, const QString &bare, double bareTime,
                   const QString &unit) {
    PrintBeside(what, time, bare, bareTime, unit, bareTime > 0 ? time / bareTime : 0.0);
}

double VoMedianMillis(int runs, const std::function<void()> &fn, const std::function<void()> &before) {
    return VoMedianOf(runs, [&] {
        if (before)
            before();
        return VoMillis(fn);
    });
}

namespace {
double RunStep(const TVoBenchStep &step) {
    if (step.before)
        step.before();
    if (step.timed)
        return step.timed();
    const int calls = qMax(1, step.calls);
    const double ms = VoMillis([&] {
        for (int i = 0; i < calls; ++i)
            step.run();
    });
    return calls > 1 ? ms * 1000.0 / calls : ms;
}
} // namespace

double VoBenchFigure(const QString &what, const TVoBenchStep &figure, const QString &bare,
                     const TVoBenchStep &bareStep, double *bareTime, int runs) {
    VoRefreshStaleStatistics();
    // In turns, so that a load that comes and goes on a shared machine weighs on both alike; the
    // ratio is the median of each turn's.
    std::vector<double> times, floors, ratios;
    for (int run = 0; run < runs; ++run) {
        times.push_back(RunStep(figure));
        floors.push_back(RunStep(bareStep));
        ratios.push_back(floors.back() > 0 ? times.back() / floors.back() : 0.0);
    }
    const double time = Median(times);
    const double floor = Median(floors);
    PrintBeside(what, time, bare, floor, figure.calls > 1 ? QStringLiteral("us") : QStringLiteral("ms"),
                Median(ratios));
    if (bareTime)
        *bareTime = floor;
    return time;
}

void VoBenchShow(QWidget *window) {
    window->show();
    // The expose and the first paint are events: the click is over once they are delivered.
    QApplication::processEvents();
}

namespace {
QtMessageHandler qtHandler = nullptr;
// The offscreen platform says at every popup and window what it cannot do: hundreds of lines between
// the figures.
void DropPlatformNotes(QtMsgType type, const QMessageLogContext &context, const QString &text) {
    if (text.startsWith(QLatin1String("This plugin does not support")))
        return;
    if (qtHandler)
        qtHandler(type, context, text);
}
} // namespace

int &TVoBenchApp::ChoosePlatform(int &argc) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qtHandler = qInstallMessageHandler(DropPlatformNotes);
    return argc;
}

TVoBenchApp::TVoBenchApp(int &argc, char **argv, const QString &name)
    : m_app(ChoosePlatform(argc), argv), m_db(VoBenchDemoDatabase(m_dir, name, Out())) {
    qqoVoGlobConn = m_db.get();
}

TVoBenchApp::~TVoBenchApp() {
    qqoVoGlobConn = nullptr;
}

int VoBenchReserve(TVoSQLConnection *conn, const QString &table, int count) {
    return VoSelectValue(QStringLiteral("SELECT L_ICNTID FROM PYSETGETID(:t, :n)"),
                         {{QStringLiteral("t"), table}, {QStringLiteral("n"), count}}, conn)
        .toInt();
}

TVoBenchSnapshot::TVoBenchSnapshot(TVoSQLConnection *conn) : m_conn(conn) {
    m_copy = conn->Param(QStringLiteral("Database"));
    m_kept = m_copy + QStringLiteral(".kept");
    m_conn->Close();
    QFile::remove(m_kept);
    if (!QFile::copy(m_copy, m_kept))
        Out() << "could not keep " << m_copy << "\n";
    Fresh();
}

TVoBenchSnapshot::~TVoBenchSnapshot() {
    QFile::remove(m_kept);
}

void TVoBenchSnapshot::Fresh() {
    m_conn->Close();
    const QString previous = m_copy;
    m_copy = m_kept + QStringLiteral(".%1").arg(++m_copies);
    if (!QFile::copy(m_kept, m_copy))
        Out() << "could not copy " << m_kept << "\n";
    if (previous.endsWith(QStringLiteral(".%1").arg(m_copies - 1)) && m_copies > 1)
        QFile::remove(previous);
    m_conn->SetParam(QStringLiteral("Database"), m_copy);
    QString error;
    if (!m_conn->Open(&error))
        Out() << "open failed: " << error << "\n";
}

double VoBenchBareRead(TVoSQLConnection *conn, const QString &sql, const QVariantList &values, int *rows) {
    conn->StartTransaction();
    QSqlQuery q(conn->Database());
    q.setForwardOnly(true);
    if (!q.prepare(sql))
        Out() << "bare read failed: " << q.lastError().text() << "\n" << sql << "\n";
    int count = 0;
    const double ms = VoMillis([&] {
        for (int i = 0; i < values.size(); ++i)
            q.bindValue(i, values[i]);
        q.exec();
        while (q.next())
            ++count;
    });
    q.finish();
    conn->Commit();
    if (rows)
        *rows = count;
    return ms;
}
