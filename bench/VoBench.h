#pragma once
// What the timed tools share: their output, statements run as they are written, and an empty
// database of their own opened as the global connection.
#include <QString>
#include <QTextStream>

class QTemporaryDir;
class TVoSQLConnection;

QTextStream &Out();
// Runs a statement without the framework's parameters (PSQL blocks name their variables ":name");
// false, with the database's message printed, when it fails.
bool ExecRaw(TVoSQLConnection &conn, const QString &sql);
// Makes a database of the schema alone in the folder and opens it as the global connection; false,
// with the reason printed, when it cannot.
bool VoBenchDatabase(const QTemporaryDir &dir, const QString &name, TVoSQLConnection &conn);
