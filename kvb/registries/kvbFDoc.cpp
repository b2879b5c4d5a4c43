#include "kvbFDoc.h"

#include "VoClassRegistry.h"
#include "kvaFCodici.h"

// This program's windows that are the consumables register's own, under this program's names; the
// consumables register's names stay out of this program.
VO_REGISTER_CLASS_AS(TfmkvbCond, TfmkvaCond);
VO_REGISTER_CLASS_AS(TfmkvbTipoDoc, TfmkvaTipoDoc);
VO_REGISTER_CLASS(TfmkvbDoc);

TfrkvbDoc::TfrkvbDoc(QWidget *parent)
    : TfrkvaDoc({QStringLiteral("Provenienza / Destinazione"), false, true}, parent) {
    setToolTip(QStringLiteral("Tipo di documenti"));
}

TfmkvbDoc::TfmkvbDoc(QWidget *parent) : TfmkvaDoc(new TfrkvbDoc, parent) {}
