#include "kvbFFiltro.h"

TfmKvbFiltro::TfmKvbFiltro(QWidget *parent) : TfmVoRptFiltro(parent) {
    setObjectName(QStringLiteral("fmKvbFiltro"));
    frVoFiltro->setObjectName(QStringLiteral("frKvbFiltro"));
    pnClient->setMinimumSize(605, 348);
    resize(sizeHint());
}
