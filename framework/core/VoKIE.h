#pragma once
// Text components for registries of persons: a control code that recognises the same person typed
// again, a normaliser of names and a filter for the names' ordering keys.
#include <QString>

// A person's control code from surname, name and birth date. Case, accents, blanks and punctuation
// do not count, so the same person typed a little differently gets the same code; the code is the
// same on every computer and in every release.
class TKIEAnaIoccGen {
public:
    // birthDate is a day count (-1.0 or less: no date).
    int Generate(const QString &surname, const QString &name, double birthDate) const;
};

// Keeps letters (accented ones too) and digits; every run of other characters becomes one blank,
// none at the ends.
class TKIENormalizeString {
public:
    QString Execute(const QString &text) const;
};

// Drops the accents of letters and every blank.
class TKIEFilterString {
public:
    QString Execute(const QString &text) const;
};
