#pragma once
// The goods filter of the transfer lists: the framework's filter form under this program's class name,
// with the frame named as the lists look it up.
#include "VoFiltro.h"

class TfmKvbFiltro : public TfmVoRptFiltro {
    Q_OBJECT
public:
    explicit TfmKvbFiltro(QWidget *parent = nullptr);
};
