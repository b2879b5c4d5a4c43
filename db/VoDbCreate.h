#pragma once
// Makes a new database file with the schema, views and procedures of the programs, and optionally
// the demo data a new user starts from.
#include <QString>
#include <QStringList>

class TVoSQLConnection;

struct TVoDbCreateOptions {
    bool demoData = true;
    bool overwrite = false;
};

// Names of the schema scripts and of the demo scripts, in the order they are applied.
QStringList VoSchemaScripts();
QStringList VoDemoScripts();
QString VoScriptText(const QString &name);

// Creates the file at path (the in-process engine, or "host:/path" on a server). On failure the
// half-made file is removed, error tells why, and the result is false.
bool VoCreateDatabase(const QString &path, const TVoDbCreateOptions &options, QString *error);

// Applies to an open database the schema scripts it has not had yet, each recorded once applied.
// A database that keeps no record of its scripts is left as it is.
bool VoUpgradeDatabase(TVoSQLConnection *connection, QString *error);

// Runs the statements of a script on an open connection; false with the failing statement's message.
bool VoApplyScript(TVoSQLConnection *connection, const QString &script, QString *error);
