#pragma once
// The article rows of an unloading voucher: the loading rows frame with the unloading profile, and
// the hidden button for inserting several rows at once.
#include "kvaRBeniCarico.h"

class TfrkvaBeniCaricoSca : public TfrkvaBeniCarico {
    Q_OBJECT
public:
    explicit TfrkvaBeniCaricoSca(QWidget *parent = nullptr);

    QAction *const tbInsMult;
};
