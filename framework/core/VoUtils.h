#pragma once
#include <QList>
#include <QString>
#include <QVariantHash>

class TVoSQLConnection;

// One (id, text) pair of an enumeration read from the database.
struct TVoEnumValue {
    int id = 0;
    QString text;
};

// Reads (id, text) pairs from a query whose first column is the id and second the text.
QList<TVoEnumValue> LoadEnumValues(const QString &sql, TVoSQLConnection *connection = nullptr);
// The same with the statement's parameters by name.
QList<TVoEnumValue> LoadEnumValues(const QString &sql, const QVariantHash &params,
                                   TVoSQLConnection *connection = nullptr);

// An XML text kept in the framework's archive, by its code (and list code when given); an unknown
// code raises EVoError.
QString GetDBXML(const QString &code, const QString &listCode = QString(),
                 TVoSQLConnection *connection = nullptr);

// The suite's main folder: the environment's VELISTO_HOME when set, else the folder above the one
// holding the running program (the programs live in its "bin" folder). Ends with a separator.
QString GetMainDir();
// The folder of the running program, ending with a separator.
QString GetProgramDir();

// Pads text on the left with ch up to length characters (longer text is returned as it is).
QString PadL(const QString &text, int length, QChar ch = QLatin1Char(' '));
