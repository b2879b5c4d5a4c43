#include "AbiRComEsteri.h"

#include "AbiMCom.h"
#include "VoDBEdits.h"
#include "VoDBLookupEdit.h"
#include "VoRegistry.h"
#include "VoSearchDialog.h"

namespace {

// The foreign states: the home country is not one.
const char *const kStatiEsteriSQL =
    " SELECT TSTA_STATI.ISTAID, TSTA_STATI.SSTALDESC, TSTA_STATI.SSTACODICE, TSTA_STATI.SSTAISTAT FROM "
    "TSTA_STATI  WHERE (TSTA_STATI.ISTAID <> %1) AND (##WHERE##) ORDER BY TSTA_STATI.ISTAID";

} // namespace

TfrComEsteri::TfrComEsteri(QWidget *parent) : TfrVoDBRWGrid(parent) {
    setObjectName(QStringLiteral("frComEster"));
    grFrame->AddColumn(QStringLiteral("SCOMDESC"), QStringLiteral("Città"), 250);
    grFrame->AddColumn(QStringLiteral("SSTALDESC"), QStringLiteral("Stato"), 250);
    grFrame->ColsIndex().Add(0, QStringLiteral("SCOMDESC;SSTALDESC"));
    grFrame->ColsIndex().Add(1, QStringLiteral("SSTALDESC;SCOMDESC"));

    xelStato =
        VoAddDetailControl<TVoDBLookupEdit>(this, QStringLiteral("Stato estero"), QStringLiteral("ISTAID"));
    xelStato->SetListSQL(QString::fromLatin1(kStatiEsteriSQL).arg(kHomeStateId));
    xelStato->SetKeyField(QStringLiteral("TSTA_STATI.ISTAID"));
    xelStato->SetListField(QStringLiteral("TSTA_STATI.SSTALDESC"));
    xdeComune = VoAddDetailEdit(this, QStringLiteral("Comune/Città"), QStringLiteral("SCOMDESC"), 100);
    xdeCodCatasto =
        VoAddDetailEdit(this, QStringLiteral("Codice Catastale"), QStringLiteral("SSRPCCODCATA"), 10);
    xdeCodIstat = VoAddDetailEdit(this, QStringLiteral("Codice ISTAT"), QStringLiteral("SSRPCCOMRISTAT"), 10);

    xelStato->OnShowSearchForm.Add(
        [this](TVoDBLookupEdit *s, TVoSearchDialog *f) { xelStatoShowSearchForm(s, f); });
    xelStato->OnChangeFKValue.Add([this](TVoDBLookupEdit *s) { xelStatoChangeFKValue(s); });
    xdsMain->AfterStateChange.Add([this](TVoDataSource *) {
        if (xdsMain->State() == dsInsert && DefaultStateId > 0 && xelStato->KeyValue().isNull())
            xelStato->SetKeyValue(DefaultStateId);
    });
    ShowList();
}

void TfrComEsteri::xelStatoShowSearchForm(TVoDBLookupEdit *, TVoSearchDialog *Form) {
    Form->ShowColumns(Form->windowTitle(), 400,
                      {{1, QStringLiteral("Stato"), 200},
                       {2, QStringLiteral("Codice"), 70},
                       {3, QStringLiteral("ISTAT"), 70}});
}

// A foreign city has its state's codes.
void TfrComEsteri::xelStatoChangeFKValue(TVoDBLookupEdit *) {
    if (!xdsMain->Editing())
        return;
    TVoQueryCollection *c = DataSet();
    c->FieldByName(QStringLiteral("SSRPCCODCATA"))
        ->SetValue(xelStato->ListValue(QStringLiteral("SSTACODICE")));
    c->FieldByName(QStringLiteral("SSRPCCOMRISTAT"))
        ->SetValue(xelStato->ListValue(QStringLiteral("SSTAISTAT")));
}
