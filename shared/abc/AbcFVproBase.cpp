#include "AbcFVproBase.h"

#include "AbcUUtil.h"
#include "VoDBFrames.h"
#include "VoDataSource.h"

TfmVproBase::TfmVproBase(TYearState &state, QWidget *parent) : TfmVoChildDB(parent), m_state(state) {
    OpenMaximized = true;
}

bool TfmVproBase::ContextReady() {
    if (!CheckCompleteContext(CurrentYearValue, CurrentSchoolId)) {
        PostClose();
        return false;
    }
    GetFinancialYearDates(CurrentYearValue, CurrentSchoolId, CurrentYearStart, CurrentYearEnd);
    return true;
}

void TfmVproBase::FormActivate() {
    TfmVoChildDB::FormActivate();
    if (m_state.firstActivation) {
        m_state.lastYear = CurrentYearValue;
        m_state.lastSchool = CurrentSchoolId;
        m_state.firstActivation = false;
        return;
    }
    if (!CheckCompleteContext(CurrentYearValue, CurrentSchoolId)) {
        // Nothing is written for a year that is not there.
        for (TVoDataSource *source : findChildren<TVoDataSource *>())
            if (source->Editing())
                source->Cancel();
        PostClose();
        return;
    }
    GetFinancialYearDates(CurrentYearValue, CurrentSchoolId, CurrentYearStart, CurrentYearEnd);
    YearFrame()->SetInfoText(QStringLiteral("Esercizio Finanziario ") + QString::number(CurrentYearValue));
    if (CurrentYearValue == m_state.lastYear && CurrentSchoolId == m_state.lastSchool)
        return;
    LoadYear();
    m_state.lastYear = CurrentYearValue;
    m_state.lastSchool = CurrentSchoolId;
}

QString VproCaption(const QString &subject, int cashFlow, int totalType) {
    return subject + (cashFlow == 1 ? QStringLiteral(" - Entrate") : QStringLiteral(" - Uscite")) +
           (totalType == 1 ? QStringLiteral(" - In totale") : QStringLiteral(" - Fuori totale"));
}
