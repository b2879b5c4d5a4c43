// Every window of this program by its class name. The consumables register's windows that this
// program shares come under this program's names or with its profile; the consumables register's own
// names stay out of this program.
#include "kvbURegistries.h"

#include "AbcURegistries.h"
#include "CliFCommissioni.h"
#include "CliFTipi.h"
#include "CliFVerbali.h"
#include "VoClassRegistry.h"
#include "kvaFCodici.h"
#include "kvaFDoc.h"
#include "kvbFBeni.h"
#include "kvbFBeniSel.h"
#include "kvbFBlocco.h"
#include "kvbFBuoni.h"
#include "kvbFBuoniSca.h"
#include "kvbFBuoniScaMulti.h"
#include "kvbFChiusura.h"
#include "kvbFCodici.h"
#include "kvbFDataReplace.h"
#include "kvbFDoc.h"
#include "kvbFFac.h"
#include "kvbFFiltro.h"
#include "kvbFImpInv.h"
#include "kvbFImpMag.h"
#include "kvbFImpVelist.h"
#include "kvbFNuovoAnno.h"
#include "kvbFRinumeraBeni.h"
#include "kvbFRptBeniData.h"
#include "kvbFSelectInv.h"
#include "kvbFSelectVelist.h"
#include "kvbFSpostaBeni.h"
#include "kvbFStorico.h"
#include "kvbFTipiChiusura.h"

void kvbRegisterWindows() {
    AbcRegisterWindows();

    VO_REGISTER_CLASS(TfmkvbBuoni);
    VO_REGISTER_CLASS(TfmkvbBuoniSca);
    VO_REGISTER_CLASS(TfmBuoniScaMulti);
    VO_REGISTER_CLASS(TfmkvbBeniSel);

    VO_REGISTER_CLASS(TfmBeni);
    VO_REGISTER_CLASS(TfmkvbSpostaBeni);
    VO_REGISTER_CLASS(TfmkvbRinumeraBeni);
    VO_REGISTER_CLASS(TfmkvbStorLuoghi);
    VO_REGISTER_CLASS(TfmkvbStorImp);
    VO_REGISTER_CLASS(TfmKvbStorSedi);
    VO_REGISTER_CLASS(TfmKvbFiltro);

    VO_REGISTER_CLASS(TfmkvbCategorie);
    VO_REGISTER_CLASS(TfmkvbAva);
    VO_REGISTER_CLASS(TfmkvbCausali);
    VO_REGISTER_CLASS(TfmkvbDelibere);
    VO_REGISTER_CLASS_AS(TfmkvbCollocazioni, TfmkvaCollocazioni);
    VO_REGISTER_CLASS(TfmkvbCodMerce);
    RegisterVoClass(QStringLiteral("TfmCategMerce"), [](QWidget *parent) -> QWidget * {
        return new TfmCategMerce(kvbCategMerceProfile(), parent);
    });
    VO_REGISTER_CLASS_AS(TfmkvbCond, TfmkvaCond);
    VO_REGISTER_CLASS_AS(TfmkvbTipoDoc, TfmkvaTipoDoc);
    VO_REGISTER_CLASS(TfmkvbDoc);
    VO_REGISTER_CLASS(TfmkvbFac);
    RegisterVoClass(QStringLiteral("TfmNuovoAnno"), [](QWidget *parent) -> QWidget * {
        return new TfmNuovoAnno(kvbNuovoAnnoProfile(), parent);
    });

    VO_REGISTER_CLASS(TfmCliCommissioni);
    VO_REGISTER_CLASS(TfmCliVerbali);
    VO_REGISTER_CLASS(TfmCliTipiCommissione);
    VO_REGISTER_CLASS(TfmCliTipoVer);

    VO_REGISTER_CLASS(TfmkvbImpMag);
    VO_REGISTER_CLASS(TfmkvbImpVelist);
    VO_REGISTER_CLASS(TfmkvbImpInv);
    VO_REGISTER_CLASS(TfmkvbSelectinv);
    VO_REGISTER_CLASS(TfmKvbSelectVelist);

    VO_REGISTER_CLASS(TfmkvbBlocco);
    VO_REGISTER_CLASS(TfmkvbSblocco);
    VO_REGISTER_CLASS(TfmkvbTipiChiusura);
    VO_REGISTER_CLASS(TfmkvbChiusura);
    VO_REGISTER_CLASS(TfmKvbDataReplace);
    VO_REGISTER_CLASS(TfmKvbRptBeniData);
}
