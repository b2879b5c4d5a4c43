#include "kvaFDataReplace.h"

#include "kvaRDblLstArtSelect.h"

TfmKvaDataReplace::TfmKvaDataReplace(QWidget *parent)
    : TfmAbcDataReplace({QStringLiteral("KVAREPLACE"), QStringLiteral("KVA"),
                         QStringLiteral("Rimpiazzato il dato %s a %d articolo/i"), true},
                        parent),
      frKvaDblLstArtSelect1(new TfrKvaDblLstArtSelect(tsBeni)) {
    setObjectName(QStringLiteral("fmKvaDataReplace"));
    SetPicker(frKvaDblLstArtSelect1);
}
