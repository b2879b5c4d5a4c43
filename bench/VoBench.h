#pragma once
// What the timed tools share: their output, statements run as they are written, databases of their
// own, and the mean time of a call.
#include "VoConnection.h"
#include "VoMessages.h"

#include <QApplication>
#include <QString>
#include <QTemporaryDir>
#include <QTextStream>
#include <functional>
#include <memory>

QTextStream &Out();
// The least a read costs: the statement prepared beforehand, run with its values ("?" in their order)
// and read to its end in a transaction already open. Milliseconds; rows, when given, receives how
// many rows it gave.
double VoBenchBareRead(TVoSQLConnection *conn, const QString &sql, const QVariantList &values = {},
                       int *rows = nullptr);
// The least a re-pricing of an article's unloading rows does, as one block to run with ExecRaw: the
// article's rows that meet scope (a condition on its rows afc and their vouchers b) read once in date
// order, and each unloading row among them that meets written (on b: those whose cost the job changes)
// written once by its key.
QString VoBenchRepricingFloorSQL(int article, const QString &scope, const QString &written = QStringLiteral("1 = 1"));
// Runs a statement without the framework's parameters (PSQL blocks name their variables ":name");
// false, with the database's message printed, when it fails.
bool ExecRaw(TVoSQLConnection &conn, const QString &sql);
// Makes a database of the schema alone in the folder and opens it as the global connection; false,
// with the reason printed, when it cannot.
bool VoBenchDatabase(const QTemporaryDir &dir, const QString &name, TVoSQLConnection &conn);
// Makes a database with the demo data named name in dir and opens it; on failure says why on out and
// returns none.
std::unique_ptr<TVoSQLConnection> VoBenchDemoDatabase(const QTemporaryDir &dir, const QString &name,
                                                      QTextStream &out);
// Numbers 0..999 as the table N; two crossed give up to a million rows without a table.
inline const QString kVoBenchNumbers = QStringLiteral(
    "WITH RECURSIVE N AS (SELECT 0 AS I FROM RDB$DATABASE UNION ALL SELECT I + 1 FROM N WHERE I < 999) ");
// Draws count keys of a table; the first of them.
int VoBenchReserve(TVoSQLConnection *conn, const QString &table, int count);
// Mean time of one call, in microseconds, over calls calls of fn(i).
double VoMeanMicros(int calls, const std::function<void(int)> &fn);
// Time of one call, in milliseconds.
double VoMillis(const std::function<void()> &fn);
// The median of runs values of fn() (runs of a timed step, each giving its own time).
double VoMedianOf(int runs, const std::function<double()> &fn);
// One line of a figure beside its bare query: both times and their ratio.
void VoBenchBeside(const QString &what, double time, const QString &bare, double bareTime,
                   const QString &unit = QStringLiteral("ms"));

// How many runs every figure and its bare query are the median of.
inline constexpr int kVoBenchRuns = 5;

// A timed step of a figure: the call timed, and an untimed call before each (the previous window
// closed, the rows of the previous run cleared away). With more than one call, the step is the mean
// call, in microseconds; otherwise its time in milliseconds. A step whose figure is one part of what
// it runs (a step of a job that its window times) gives timed instead, which returns the part's
// milliseconds.
struct TVoBenchStep {
    std::function<void()> run;
    std::function<void()> before = {};
    int calls = 1;
    std::function<double()> timed = {};
};

// Every figure as the benchmarks print it: the index statistics of the tables the benchmark grew
// measured again first, as the programs find them once they start (a plan made on the statistics of
// an empty table can cost three times a fresh one); then kVoBenchRuns runs of the figure and of its
// bare query in turns: the median of each, and the median of the turns' ratios. A window's figure is
// the whole click (construction, first read, first paint); a job's bare query makes the writes the
// job must make. Returns the figure; bareTime, when given, receives the bare query's.
// A job that rewrites a whole table may be given fewer runs.
double VoBenchFigure(const QString &what, const TVoBenchStep &figure, const QString &bare,
                     const TVoBenchStep &bareStep, double *bareTime = nullptr, int runs = kVoBenchRuns);
// A window shown and painted for the first time, as the user sees it after the click that opens it.
void VoBenchShow(QWidget *window);

// The start of every timed tool that drives windows: the offscreen platform unless the caller chose
// another, the application, the program's questions answered at once, and a demo database of its own
// as the global connection. Ok() is false, with the reason printed, when the database could not be
// made.
class TVoBenchApp {
public:
    TVoBenchApp(int &argc, char **argv, const QString &name);
    ~TVoBenchApp();
    TVoBenchApp(const TVoBenchApp &) = delete;
    TVoBenchApp &operator=(const TVoBenchApp &) = delete;

    bool Ok() const { return m_db != nullptr; }
    TVoSQLConnection *Db() const { return m_db.get(); }
    const QTemporaryDir &Dir() const { return m_dir; }

    TVoScriptedMessages messages;

private:
    static int &ChoosePlatform(int &argc);

    QApplication m_app;
    QTemporaryDir m_dir;
    std::unique_ptr<TVoSQLConnection> m_db;
};

// The database as it stands, kept aside, so that every run of a job that rewrites much of it starts
// from the same file: a run in a transaction rolled back would leave the next run the versions it
// wrote to clean up, which costs more than the job itself. Made, it closes the connection and opens it
// again on a fresh copy.
class TVoBenchSnapshot {
public:
    explicit TVoBenchSnapshot(TVoSQLConnection *conn);
    ~TVoBenchSnapshot();
    TVoBenchSnapshot(const TVoBenchSnapshot &) = delete;
    TVoBenchSnapshot &operator=(const TVoBenchSnapshot &) = delete;
    // Closes the connection and opens it on a fresh copy of the kept database (the last copy goes).
    void Fresh();

private:
    TVoSQLConnection *m_conn;
    QString m_kept;
    QString m_copy;
    int m_copies = 0;
};

// Median time of runs calls of fn, in milliseconds, each after an untimed call of before when given:
// one slow call (a cache filled, another process) does not move it.
double VoMedianMillis(int runs, const std::function<void()> &fn, const std::function<void()> &before = {});
