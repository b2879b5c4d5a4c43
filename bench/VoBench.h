#pragma once
// What the timed tools share: their output, statements run as they are written, databases of their
// own, and the mean time of a call.
#include "VoConnection.h"

#include <QString>
#include <QTextStream>
#include <functional>
#include <memory>

class QTemporaryDir;

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
// Mean time of one call, in microseconds, over calls calls of fn(i).
double VoMeanMicros(int calls, const std::function<void(int)> &fn);
// Time of one call, in milliseconds.
double VoMillis(const std::function<void()> &fn);
