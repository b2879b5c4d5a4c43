#include "VoKIE.h"

#include "VoDates.h"

namespace {

// The letters without their accents (decomposed, the marks dropped).
QString WithoutAccents(const QString &text) {
    QString plain;
    for (const QChar c : text.normalized(QString::NormalizationForm_D))
        if (c.category() != QChar::Mark_NonSpacing)
            plain += c;
    return plain;
}

} // namespace

int TKIEAnaIoccGen::Generate(const QString &surname, const QString &name, double birthDate) const {
    const auto fold = [](const QString &part) {
        QString kept;
        for (const QChar c : WithoutAccents(part).toUpper())
            if (c.isLetterOrNumber())
                kept += c;
        return kept;
    };
    const QString birth =
        !VoIsNoDate(birthDate) ? DaysToDate(birthDate).toString(QStringLiteral("yyyyMMdd")) : QString();
    const QByteArray key =
        (fold(surname) + QLatin1Char('|') + fold(name) + QLatin1Char('|') + birth).toUtf8();
    // FNV-1a: fixed constants, so that codes stored years ago still match.
    quint32 hash = 2166136261u;
    for (const char byte : key) {
        hash ^= quint8(byte);
        hash *= 16777619u;
    }
    return int(hash & 0x7FFFFFFFu);
}

QString TKIENormalizeString::Execute(const QString &text) const {
    QString result;
    bool pendingBlank = false;
    for (const QChar c : text) {
        if (c.isLetterOrNumber()) {
            if (pendingBlank && !result.isEmpty())
                result += QLatin1Char(' ');
            pendingBlank = false;
            result += c;
        } else {
            pendingBlank = true;
        }
    }
    return result;
}

QString TKIEFilterString::Execute(const QString &text) const {
    QString result;
    for (const QChar c : WithoutAccents(text))
        if (!c.isSpace())
            result += c;
    return result;
}
