#pragma once
// The durable-goods registers (types 5 and 7): the common registers window (AbcFFac.h) with
// description and type only; the consumables register's options are neither shown nor written.
#include "AbcFFac.h"

class TfrkvbTFac : public TfrAbcTFac {
    Q_OBJECT
public:
    explicit TfrkvbTFac(QWidget *parent = nullptr);
};

class TfmkvbFac : public TfmAbcFac {
    Q_OBJECT
public:
    explicit TfmkvbFac(QWidget *parent = nullptr);

    TfrkvbTFac *frkvbFac;
};
