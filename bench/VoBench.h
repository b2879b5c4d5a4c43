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

// Median time of runs calls of fn, in milliseconds, each after an untimed call of before when given:
// one slow call (a cache filled, another process) does not move it.
double VoMedianMillis(int runs, const std::function<void()> &fn, const std::function<void()> &before = {});
