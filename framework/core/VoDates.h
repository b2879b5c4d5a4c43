#pragma once
// Dates cross the framework as day counts (day 0 = 30 December 1899, fractions are the time of day),
// because the programs' rules are written that way. Every conversion to and from Qt and the
// database happens here.
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVariant>

inline constexpr double VoNoDate = -1.0;     // an unset date
inline constexpr double VoOpenEnd = 99999.0; // open upper bound of a date window

// Whether a day count stands for no date. Day 0 is a date like any other; nothing before it is one.
inline constexpr bool VoIsNoDate(double days) {
    return days < 0;
}

double DateToDays(const QDate &date);
double DateTimeToDays(const QDateTime &dateTime);
QDate DaysToDate(double days);
QDateTime DaysToDateTime(double days);

// A value read from the database as a day count; NULL and unreadable values read as day 0.
double VariantToDays(const QVariant &value);
// A day count as a DATE parameter value; no date becomes a typed NULL.
QVariant DaysToDateParam(double days);
// A day count with its time part as a TIMESTAMP parameter value; no date becomes NULL.
QVariant DaysToTimestampParam(double days);

// Today (no time part) and now, as day counts.
double TodayDays();
// Fixes the day TodayDays answers (an invalid date gives the calendar's day back): data made for
// given years keep the dates proposed from today inside those years whatever the calendar says.
void VoFixToday(const QDate &day);
double NowDays();

// "dd/MM/yyyy", always with a four-digit year; an empty text for no date.
QString FormatDays(double days);
// Parses "dd/MM/yyyy" (also "d/M/yyyy" and two-digit years in 1950..2049); VoNoDate when invalid.
double ParseDays(const QString &text);
