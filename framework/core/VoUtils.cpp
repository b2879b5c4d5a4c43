#include "VoUtils.h"

#include "VoExceptions.h"
#include "VoQuery.h"

#include <QCoreApplication>
#include <QDir>

QList<TVoEnumValue> LoadEnumValues(const QString &sql, TVoSQLConnection *connection) {
    return LoadEnumValues(sql, QVariantHash(), connection);
}

QList<TVoEnumValue> LoadEnumValues(const QString &sql, const QVariantHash &params,
                                   TVoSQLConnection *connection) {
    QList<TVoEnumValue> values;
    TVoQuery q(sql, connection);
    for (auto it = params.cbegin(); it != params.cend(); ++it)
        q.SetParam(it.key(), it.value());
    q.Open();
    while (!q.Eof()) {
        values.append(TVoEnumValue{q.Value(0).toInt(), VoVariantToText(q.Value(1))});
        q.Next();
    }
    return values;
}

QString GetDBXML(const QString &code, const QString &listCode, TVoSQLConnection *connection) {
    QString sql = QStringLiteral("SELECT x.BYXARXMLFILE FROM TYXAR_XMLARCHIVIO x");
    if (!listCode.isEmpty())
        sql += QStringLiteral(" INNER JOIN TYXLS_XMLLISTA l ON (l.IYXLSID = x.IYXLSID)"
                              " WHERE x.SYXARCODICE = :code AND l.SYXLSCODICE = :list");
    else
        sql += QStringLiteral(" WHERE x.SYXARCODICE = :code");
    TVoQuery q(sql, connection);
    q.SetParam(QStringLiteral("code"), code);
    if (!listCode.isEmpty())
        q.SetParam(QStringLiteral("list"), listCode);
    q.Open();
    if (q.Eof())
        throw EVoError(VoFormat(QStringLiteral("XML codice %s Non trovato nel DB"), {code}));
    return VoVariantToText(q.Value(0));
}

QString GetProgramDir() {
    QString dir = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

QString GetMainDir() {
    QString dir = qEnvironmentVariable("VELISTO_HOME");
    if (dir.isEmpty()) {
        QDir programDir(GetProgramDir());
        programDir.cdUp();
        dir = programDir.absolutePath();
    }
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

QString PadL(const QString &text, int length, QChar ch) {
    if (text.size() >= length)
        return text;
    return QString(length - text.size(), ch) + text;
}
