#pragma once
// The rules that keep the register-years of one school register in order: each starts after the
// previous one ends and ends before the next one starts, within its own financial year, and gaps
// between them are allowed only after two confirmations. When a register-year that touched its
// neighbour moves its boundary, the neighbour's boundary moves with it (after a confirmation).
#include <QList>
#include <QString>

// What the user typed in the register-year detail, as day counts (VoNoDate when empty).
struct TRegisterYearInput {
    bool inserting = true;
    int schoolRegisterId = 0; // the school register selected in the upper list
    int yearValue = 0;        // the financial year shown by the year lookup; 0 when empty
    double customStart = -1.0;
    double customEnd = -1.0;
    double defaultStart = -1.0; // the chosen year's default dates shown beside the lookup
    double defaultEnd = -1.0;
    bool customDatesShown = false; // whether the custom date edits are visible (for the focus)
    // Editing only: the row as stored.
    int registerYearId = -1;
    int storedYearValue = 0;
    double storedStart = -1.0; // effective dates as stored (custom when set, else the year's)
    double storedEnd = -1.0;
};

// A neighbour whose boundary moves with the row.
struct TRegisterYearAdjustment {
    int registerYearId = 0;
    double start = 0.0;
    double end = 0.0;
};

struct TRegisterYearCheck {
    enum TFocus { FocusNone, FocusYear, FocusStart, FocusEnd };
    bool ok = false;
    TFocus focus = FocusNone;
    // The year is already open for the school register: the year chosen is to be emptied.
    bool clearYear = false;
    // Neighbours to update before the row itself, in this order (previous, then next).
    QList<TRegisterYearAdjustment> adjustments;
};

// Runs the checks of a register-year post; every message is shown through the message service.
// Nothing is written: the caller saves the row and the adjustments in one transaction when ok.
TRegisterYearCheck CheckRegisterYearPost(const TRegisterYearInput &input);

// Saves the adjustments of the neighbours: the dates and the id are bound as parameters.
void ApplyRegisterYearAdjustments(const QList<TRegisterYearAdjustment> &adjustments);

// The statement that moves a neighbour's boundaries (parameters :DINIZIO, :DFINE, :IDWGFACANFID).
extern const char *const AbcAdjustRegisterYearSQL;
