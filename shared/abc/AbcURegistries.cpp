#include "AbcURegistries.h"

#include "AbcFAggregati.h"
#include "AbcFVoci.h"
#include "AbeFSettConsegna.h"
#include "AbeRRicerca.h"
#include "AbiFBenSearch.h"
#include "AbiFBeneficiari.h"
#include "AbiFComEsteri.h"
#include "AbiFMultiSelectBen.h"
#include "AbiFSearchLoco.h"
#include "VoAddOns.h"
#include "VoClassRegistry.h"
#include "VoRptTreeView.h"

void AbcRegisterWindows() {
    VoRptRegisterWindows();
    VoAddOnsRegisterWindows();

    VO_REGISTER_CLASS(TfmBeneficiari);
    VO_REGISTER_CLASS(TfmAbiBenSearch);
    VO_REGISTER_CLASS(TfmAbiMultiSelectBen);
    VO_REGISTER_CLASS(TfmSearchLoco);
    VO_REGISTER_CLASS(TfmComEsteri);

    VO_REGISTER_CLASS(TfmVoci);
    VO_REGISTER_CLASS(TfmAggregati);

    VO_REGISTER_CLASS(TfmSettConsegna);
    VO_REGISTER_CLASS(TfrAbeRicerca);
    VO_REGISTER_CLASS(TfrKvaRicerca);
    VO_REGISTER_CLASS(TfrKvbRicerca);
}
