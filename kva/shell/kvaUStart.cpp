#include "kvaUStart.h"

#include "AbcFMain.h"
#include "VoConnection.h"

const char *const kvaKvbTemplate =
    "\"%_C%\" \"%_U%\" \"%_P%\" \"%_F%\" \"%_RDBMS_DB%\" \"%_RDBMS_U%\" \"%_RDBMS_P%\"";

QString FillConnectionPlaceholders(const QString &text, const TVoSQLConnection &connection) {
    struct Placeholder {
        QString token;
        Qt::CaseSensitivity cs;
        QString value;
    };
    const Placeholder placeholders[] = {
        {QStringLiteral("%_RDBMS_DB%"), Qt::CaseSensitive, connection.Param(QStringLiteral("Database"))},
        {QStringLiteral("%_RDBMS_U%"), Qt::CaseSensitive, connection.Param(QStringLiteral("User_Name"))},
        {QStringLiteral("%_RDBMS_P%"), Qt::CaseSensitive, connection.Param(QStringLiteral("Password"))},
        {QStringLiteral("%_C%"), Qt::CaseInsensitive, connection.C},
        {QStringLiteral("%_U%"), Qt::CaseInsensitive, connection.U},
        {QStringLiteral("%_P%"), Qt::CaseSensitive, connection.P},
        {QStringLiteral("%_F%"), Qt::CaseInsensitive, QString::number(connection.F)},
    };
    QString out;
    for (qsizetype i = 0; i < text.size();) {
        bool matched = false;
        for (const Placeholder &p : placeholders) {
            if (QStringView(text).mid(i).startsWith(p.token, p.cs)) {
                out += p.value;
                i += p.token.size();
                matched = true;
                break;
            }
        }
        if (!matched)
            out += text[i++];
    }
    return out;
}

QString BuildKvbCommandLine(const QString &tmpl, const TVoSQLConnection &connection) {
    return FillConnectionPlaceholders(tmpl, connection);
}

QStringList BuildKvbArguments(const QString &tmpl, const TVoSQLConnection &connection) {
    // The template's quoted tokens are filled one by one, so a value holding blanks or quotes stays
    // one argument.
    QStringList args;
    const QStringList tokens = tmpl.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (QString token : tokens) {
        if (token.size() >= 2 && token.startsWith(QLatin1Char('"')) && token.endsWith(QLatin1Char('"')))
            token = token.mid(1, token.size() - 2);
        args << FillConnectionPlaceholders(token, connection);
    }
    return args;
}

QList<QIcon> kvaMenuImages() {
    // Simple pictures of our own: a coloured tile with a short sign, one per menu function; 13 is
    // the reports'.
    return AbcMenuPictures({
        {"C+", 0x2e7d32},     {"S-", 0xc62828},     {"\u21c4", 0x6a1b9a}, {"V", 0x1565c0},
        {"\u2302", 0x455a64}, {"\u2709", 0x00838f}, {"F", 0xef6c00},      {"A", 0x283593},
        {"\u2630", 0x5d4037}, {"?", 0x546e7a},      {"Cat", 0x00695c},    {"Co", 0x9e9d24},
        {"%", 0xad1457},      {"St", 0xf9a825},     {"Ca", 0x4527a0},     {"P", 0x37474f},
        {"Se", 0x2e7d32},     {"R", 0x6d4c41},      {"N", 0x0277bd},      {"\u2699", 0x616161},
        {"\u2193", 0x1b5e20}, {"\u2191", 0xb71c1c}, {"D", 0x4e342e},      {"\u2630", 0x3e2723},
        {"\u20ac", 0x1a237e}, {"\u2713", 0x880e4f}, {"\u25a6", 0x33691e}, {"M", 0x004d40},
        {"I", 0x3949ab},      {"BD", 0x8d6e63},
    });
}
