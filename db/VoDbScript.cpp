#include "VoDbScript.h"

#include <QRegularExpression>

QStringList SplitSqlScript(const QString &script) {
    QStringList statements;
    QString terminator = QStringLiteral(";");
    QString current;
    const qsizetype n = script.size();
    auto flush = [&]() {
        const QString s = current.trimmed();
        current.clear();
        if (s.isEmpty())
            return;
        static const QRegularExpression setTerm(QStringLiteral("^SET\\s+TERM\\s+(\\S+)\\s*$"),
                                                QRegularExpression::CaseInsensitiveOption);
        const auto m = setTerm.match(s);
        if (m.hasMatch()) {
            terminator = m.captured(1);
            return;
        }
        statements << s;
    };
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = script[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            qsizetype j = i + 1;
            while (j < n && script[j] != c)
                ++j;
            current += script.mid(i, j - i + 1);
            i = j;
            continue;
        }
        if (c == QLatin1Char('-') && i + 1 < n && script[i + 1] == QLatin1Char('-')) {
            while (i < n && script[i] != QLatin1Char('\n'))
                ++i;
            current += QLatin1Char('\n');
            continue;
        }
        if (c == QLatin1Char('/') && i + 1 < n && script[i + 1] == QLatin1Char('*')) {
            const qsizetype end = script.indexOf(QStringLiteral("*/"), i + 2);
            i = end < 0 ? n : end + 1;
            current += QLatin1Char(' ');
            continue;
        }
        if (script.mid(i, terminator.size()) == terminator) {
            // "SET TERM ^ ;" is itself ended by the old terminator, even when that is "^".
            flush();
            i += terminator.size() - 1;
            continue;
        }
        current += c;
    }
    flush();
    return statements;
}
