#include "VoDates.h"

#include <cmath>

namespace {
const QDate kDayZero(1899, 12, 30);
}

double DateToDays(const QDate &date) {
    if (!date.isValid())
        return VoNoDate;
    return static_cast<double>(kDayZero.daysTo(date));
}

double DateTimeToDays(const QDateTime &dateTime) {
    if (!dateTime.isValid())
        return VoNoDate;
    const double day = DateToDays(dateTime.date());
    const double msecs = dateTime.time().msecsSinceStartOfDay();
    return day + msecs / 86400000.0;
}

QDate DaysToDate(double days) {
    return kDayZero.addDays(static_cast<qint64>(std::floor(days)));
}

QDateTime DaysToDateTime(double days) {
    const double whole = std::floor(days);
    const QDate date = kDayZero.addDays(static_cast<qint64>(whole));
    const int msecs = static_cast<int>(std::llround((days - whole) * 86400000.0));
    return QDateTime(date, QTime(0, 0).addMSecs(qMin(msecs, 86399999)));
}

double VariantToDays(const QVariant &value) {
    if (value.isNull() || !value.isValid())
        return 0.0;
    switch (value.typeId()) {
    case QMetaType::QDate:
        return DateToDays(value.toDate());
    case QMetaType::QDateTime:
        return DateTimeToDays(value.toDateTime());
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::LongLong:
        return value.toDouble();
    default: {
        const double parsed = ParseDays(value.toString());
        return parsed < 0 ? 0.0 : parsed;
    }
    }
}

QVariant DaysToDateParam(double days) {
    if (VoIsNoDate(days))
        return QVariant(QMetaType(QMetaType::QDate));
    return DaysToDate(days);
}

QVariant DaysToTimestampParam(double days) {
    if (VoIsNoDate(days))
        return QVariant(QMetaType(QMetaType::QDateTime));
    return DaysToDateTime(days);
}

namespace {
QDate &FixedToday() {
    static QDate day;
    return day;
}
} // namespace

double TodayDays() {
    return DateToDays(FixedToday().isValid() ? FixedToday() : QDate::currentDate());
}

void VoFixToday(const QDate &day) {
    FixedToday() = day;
}

double NowDays() {
    return DateTimeToDays(QDateTime::currentDateTime());
}

QString FormatDays(double days) {
    if (VoIsNoDate(days))
        return QString();
    return DaysToDate(days).toString(QStringLiteral("dd/MM/yyyy"));
}

double ParseDays(const QString &text) {
    const QStringList parts = text.trimmed().split(QLatin1Char('/'));
    if (parts.size() != 3)
        return VoNoDate;
    bool okD = false, okM = false, okY = false;
    const int d = parts[0].toInt(&okD);
    const int m = parts[1].toInt(&okM);
    int y = parts[2].toInt(&okY);
    if (!okD || !okM || !okY)
        return VoNoDate;
    if (parts[2].size() <= 2)
        y += y < 50 ? 2000 : 1900;
    const QDate date(y, m, d);
    return date.isValid() ? DateToDays(date) : VoNoDate;
}
