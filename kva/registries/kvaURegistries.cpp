// The code registries and the documents windows by their class names. They are registered here, apart
// from their units, because the durable-goods program links some of those windows under names of its
// own and must not offer them under these.
#include "VoClassRegistry.h"
#include "kvaFCodici.h"
#include "kvaFDoc.h"

VO_REGISTER_CLASS(TfmkvaCond);
VO_REGISTER_CLASS(TfmkvaCausali);
VO_REGISTER_CLASS(TfmkvaCategorie);
VO_REGISTER_CLASS(TfmkvaCollocazioni);
VO_REGISTER_CLASS(TfmkvaAliquoteIVA);
VO_REGISTER_CLASS(TfmkvaUniMisura);
VO_REGISTER_CLASS(TfmkvaDoc);
VO_REGISTER_CLASS(TfmkvaTipoDoc);
