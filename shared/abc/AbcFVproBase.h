#pragma once
// What the budget windows share. They work on the current financial year of the current school: the
// context is checked when a window is made and each time it comes forward again; a window whose context
// is not complete says what is missing and closes, one whose year or school changed meanwhile reads its
// rows again.
#include "VoChildDB.h"

class TfrVoDBROGrid;

class TfmVproBase : public TfmVoChildDB {
    Q_OBJECT
public:
    // A window class's state across its openings in one process.
    struct TYearState {
        bool firstActivation = false;
        int lastYear = 0;
        int lastSchool = 0;
    };

protected:
    TfmVproBase(TYearState &state, QWidget *parent);

    // At creation: whether the context is complete, with the year's dates loaded; when it is not, the
    // window closes.
    bool ContextReady();
    // The end of creation: the next activation is the first, which only records the year and school.
    void CreationDone() { m_state.firstActivation = true; }
    void FormActivate() override;

    // The frame that shows the year.
    virtual TfrVoDBROGrid *YearFrame() const = 0;
    // Reads the window's rows for the current year and school.
    virtual void LoadYear() = 0;

private:
    TYearState &m_state;
};

// A budget frame's caption: its subject, the cash flow and the total type ("Voci Progetti - Uscite -
// In totale").
QString VproCaption(const QString &subject, int cashFlow, int totalType);
