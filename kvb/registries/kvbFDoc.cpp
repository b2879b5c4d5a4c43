#include "kvbFDoc.h"

TfrkvbDoc::TfrkvbDoc(QWidget *parent)
    : TfrkvaDoc({QStringLiteral("Provenienza / Destinazione"), false, true}, parent) {
    setToolTip(QStringLiteral("Tipo di documenti"));
}

TfmkvbDoc::TfmkvbDoc(QWidget *parent) : TfmkvaDoc(new TfrkvbDoc, parent) {}
