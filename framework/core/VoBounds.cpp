#include "VoBounds.h"

#include "VoDisplayFormat.h"

#include <cmath>

namespace {

QString Shown(double bound) {
    return VoFormatFloat(QStringLiteral("#,##0.####"), bound);
}

} // namespace

TVoBounds TVoBounds::Positive(double max, const QString &caption, int scale) {
    return {0.0, false, max, scale, caption};
}

TVoBounds TVoBounds::NotNegative(double max, const QString &caption, int scale) {
    return {0.0, true, max, scale, caption};
}

QString VoBoundsSentence(const TVoBounds &bounds, const QVariant &stored, const QString &caption) {
    if (stored.isNull() || !stored.isValid() || !VoIsNumber(stored))
        return QString();
    double value = stored.toDouble();
    if (bounds.scale > 0)
        value /= std::pow(10.0, bounds.scale);
    const QString name = caption.trimmed().isEmpty() ? bounds.caption : caption.trimmed();
    if (value < bounds.min || (!bounds.minIncluded && value == bounds.min))
        return (bounds.minIncluded ? QStringLiteral("Il campo \"%1\" non può essere minore di %2.")
                                   : QStringLiteral("Il campo \"%1\" deve essere maggiore di %2."))
            .arg(name, Shown(bounds.min));
    if (value > bounds.max)
        return QStringLiteral("Il campo \"%1\" non può superare %2.").arg(name, Shown(bounds.max));
    return QString();
}

QString VoBoundsProblem(const TVoBounds &bounds, const QVariant &stored, const QString &caption) {
    const QString sentence = VoBoundsSentence(bounds, stored, caption);
    return sentence.isEmpty() ? sentence : QStringLiteral("Attenzione ! \r\n") + sentence + QLatin1Char(' ');
}

TVoBounds VoTypeBounds(int typeId) {
    TVoBounds held;
    switch (typeId) {
    case QMetaType::Short:
        held.min = std::numeric_limits<qint16>::min();
        held.max = std::numeric_limits<qint16>::max();
        break;
    case QMetaType::Int:
        held.min = std::numeric_limits<qint32>::min();
        held.max = std::numeric_limits<qint32>::max();
        break;
    case QMetaType::LongLong:
        // The largest doubles a 64-bit integer still holds.
        held.min = -9223372036854774784.0;
        held.max = 9223372036854774784.0;
        break;
    default:
        break;
    }
    return held;
}

QString VoNumberCharsProblem(const QString &text, const QString &caption) {
    for (const QChar c : text)
        if ((c < QLatin1Char('0') || c > QLatin1Char('9')) && c != QLatin1Char(',') &&
            c != QLatin1Char('.') && c != QLatin1Char('-') && !c.isSpace())
            return QStringLiteral("Attenzione ! \r\nNel campo \"%1\" si scrivono solo cifre, la virgola dei "
                                  "decimali e i punti delle migliaia. ")
                .arg(caption.trimmed());
    return QString();
}
