#pragma once
// Makes a new database file with the schema, views and procedures of the programs, and optionally
// the demo data a new user starts from.
#include <QString>
#include <QStringList>
#include <functional>

class TVoSQLConnection;

struct TVoDbCreateOptions {
    bool demoData = true;
    // With the demo data, the sample movements (vouchers, a customised report) that show a new user
    // the registers and reports at work; the tests start from the demo data without them.
    bool samples = true;
    // Replaces a file of this computer that is not open; a database on a server is never replaced.
    bool overwrite = false;
    // Whether every write reaches the disk before the engine goes on. A register's file keeps them;
    // a file that only tests copy (and throw away) is made and used much faster without.
    bool forcedWrites = true;
    // The login that creates a database on a server and opens it to fill it; the in-process engine
    // asks for no password.
    QString userName = QStringLiteral("SYSDBA");
    QString password;
    // The scripts applied ("sql/..." and "demo/..." names); all when unset. A database as an earlier
    // release made it takes the scripts of that release only.
    std::function<bool(const QString &name)> include;
    // Told before each script: what is being done, and how many of the scripts are done of all.
    std::function<void(const QString &step, int done, int total)> progress;
};

// The steps the progress tells.
inline const char *const VoCreatingSchemaText = "Creazione del database...";
inline const char *const VoWritingDemoDataText = "Scrittura dei dati dimostrativi...";

// A script: the name it is recorded under, and its statements.
struct TVoDbScript {
    QString name;
    QString text;
};

// Names of the schema scripts and of the demo scripts, in the order they are applied.
QStringList VoSchemaScripts();
// The schema scripts with their texts, in order.
QList<TVoDbScript> VoSchemaScriptList();
QStringList VoDemoScripts();
// Whether a demo script holds sample movements (its name has "_samples").
bool VoIsSampleScript(const QString &name);
QString VoScriptText(const QString &name);

// Creates the file at path (the in-process engine, or "host:/path" on a server). On failure the
// half-made file is removed, error tells why, and the result is false. A file of the in-process
// engine is made and filled under a temporary name in the same folder and takes its name only when
// complete, so that a program stopped half-way leaves no database that looks made; the temporaries
// such a stop left behind go at the next creation. A file that exists is replaced only when asked,
// and never while a program has it open.
bool VoCreateDatabase(const QString &path, const TVoDbCreateOptions &options, QString *error);

// Applies to an open database the schema scripts it has not had yet, in order, each in a transaction
// of its own together with its record. A script that fails is rolled back whole and stops the
// upgrade: error names the script and the failing statement and says what to do, and the next start
// tries it again. Two programs upgrading one database at once take turns: the second waits for the
// first and finds the scripts applied. A database that keeps no record of its scripts is left as it
// is.
bool VoUpgradeDatabase(TVoSQLConnection *connection, QString *error);
// The same with a given list of scripts in place of the program's.
bool VoUpgradeDatabaseWith(TVoSQLConnection *connection, const QList<TVoDbScript> &scripts, QString *error);

// Runs the statements of a script on an open connection; false with the failing statement's message.
bool VoApplyScript(TVoSQLConnection *connection, const QString &script, QString *error);
