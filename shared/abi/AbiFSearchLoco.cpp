#include "AbiFSearchLoco.h"

#include "AbiFComEsteri.h"
#include "AbiMCom.h"
#include "VoIdComboBox.h"
#include "VoQuery.h"
#include "VoQueryCollection.h"

#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

const char *const kStatiSQL =
    " SELECT TSTA_STATI.ISTAID, TSTA_STATI.SSTALDESC FROM TSTA_STATI ORDER BY TSTA_STATI.SSTALDESC";
const QString kStateParam = QStringLiteral("ISTAID");

} // namespace

TfmSearchLoco::TfmSearchLoco(QWidget *parent)
    : TVoSearchDialog(parent), laStato(new QLabel(QStringLiteral("&Stato"), this)),
      cbStato(new TVoIdComboBox(this)) {
    SetCaption(QStringLiteral("Comuni"));
    SetEditFormClass(QStringLiteral("TfmComEsteri"));
    // The places of a state are few: all of them at once.
    DataSet()->SetPacketRecords(0);
    laStato->setBuddy(cbStato);
    auto *row = new QFormLayout;
    row->addRow(laStato, cbStato);
    FormLayout()->insertLayout(0, row);

    TVoQuery states(QString::fromLatin1(kStatiSQL), DataSet()->Connection());
    for (states.Open(); !states.Eof(); states.Next())
        cbStato->AddItem(states.AsString(QStringLiteral("SSTALDESC")),
                         states.AsInteger(QStringLiteral("ISTAID")));
    cbStato->OnChange = [this](QObject *) { SelectState(cbStato->SelectedId()); };
}

void TfmSearchLoco::SelectState(int stateId) {
    if (stateId == CurrentStateId)
        return;
    CurrentStateId = stateId > 0 ? stateId : kHomeStateId;
    cbStato->SelectId(CurrentStateId);
    SetParam(kStateParam, CurrentStateId);
    if (!ColumnNames().isEmpty())
        Refresh();
}

// Opened by a lookup that named no state, the form shows the home country.
bool TfmSearchLoco::Open() {
    if (CurrentStateId < 0)
        SelectState(kHomeStateId);
    return TVoSearchDialog::Open();
}

// The home country's places are not kept here.
void TfmSearchLoco::EditExecute() {
    const int state = cbStato->SelectedId();
    if (state > 0 && state != kHomeStateId)
        TVoSearchDialog::EditExecute();
}

void TfmSearchLoco::PrepareEditForm(QWidget *form) {
    if (auto *cities = qobject_cast<TfmComEsteri *>(form))
        cities->PrepareForState(cbStato->SelectedId());
}
