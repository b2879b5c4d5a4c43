#include "AbeFSettConsegna.h"

#include "AbeMSettCons.h"
#include "AbeRResponsabili.h"
#include "AbeRRicerca.h"
#include "AbeRSettConsegna.h"
#include "VoMasterDetail.h"

TfmSettConsegna::TfmSettConsegna(QWidget *parent)
    : TfmVoRegistry(parent), frSettConsegna(new TfrSettConsegna), frResponsabili(new TfrResponsabili),
      frAbeRicerca1(new TfrAbeRicerca) {
    setObjectName(QStringLiteral("fmSettConsegna"));
    setWindowTitle(QStringLiteral("Settori di consegna"));
    frSettConsegna->AddControlWidget(frAbeRicerca1);
}

void TfmSettConsegna::FormCreate() {
    TfmVoRegistry::FormCreate();
    TdmSecSettCons *dm = dmSecSettCons;
    Arrange(frSettConsegna, dm->xqcsettConsegna, frResponsabili, dm->xqcResponsabili);
    frSettConsegna->Bind(dm->xqcsettConsegna);
    frResponsabili->Bind(dm->xqcResponsabili, dm->qcdAux);
    frSettConsegna->ShowList();
    frResponsabili->ShowList();
    frSettConsegna->ShowCurrent();
    // A responsible needs a saved sector to belong to.
    m_hooks.Add(dm->xqcResponsabili, dm->xqcResponsabili->AfterOpen, [this, dm](TVoQueryCollection *) {
        frResponsabili->SetReadOnly(dm->mdResponsabili->MasterKey().isNull());
    });
    m_firstActivation = true;
    SetSortIndex(frSettConsegna->grFrame,
                 {{0, QStringLiteral("SSECCOD"), true}, {1, QStringLiteral("SSECDESCS"), true}});
    SetSortIndex(frResponsabili->grFrame, {{0, QStringLiteral("SANACAGCODE"), true},
                                           {1, QStringLiteral("SANACOGNOME"), true},
                                           {2, QStringLiteral("SANANOME"), true},
                                           {3, QStringLiteral("SRSPQUALIFICA"), true}});
}

void TfmSettConsegna::FormShow() {
    TfmVoRegistry::FormShow();
    frAbeRicerca1->DataSet = dmSecSettCons->xqcsettConsegna;
    frAbeRicerca1->Grid = frSettConsegna->grFrame;
    frAbeRicerca1->SetupSearchBox();
}

void TfmSettConsegna::FormActivate() {
    if (m_firstActivation) {
        m_firstActivation = false;
        return;
    }
    for (TfrVoDBRWGrid *frame : std::initializer_list<TfrVoDBRWGrid *>{frSettConsegna, frResponsabili}) {
        TVoQueryCollection *c = frame->DataSet();
        if (c && c->Active() && c->State() == dsBrowse)
            c->Refresh();
    }
}

void TfmSettConsegna::FormClose(TCloseAction &Action) {
    if (dmSecSettCons->qcdAux->Active())
        dmSecSettCons->qcdAux->Close();
    TfmVoRegistry::FormClose(Action);
}
