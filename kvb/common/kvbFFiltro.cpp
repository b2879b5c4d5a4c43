#include "kvbFFiltro.h"

#include "VoClassRegistry.h"

VO_REGISTER_CLASS(TfmKvbFiltro);

TfmKvbFiltro::TfmKvbFiltro(QWidget *parent) : TfmVoRptFiltro(parent) {
    setObjectName(QStringLiteral("fmKvbFiltro"));
    frVoFiltro->setObjectName(QStringLiteral("frKvbFiltro"));
    pnClient->setMinimumSize(605, 348);
    resize(sizeHint());
}
