#pragma once
// The closing types, as the database holds them: a list to read.
#include "VoRegistry.h"

class TVoDBEdit;

class TfrkvbTipiChiusura : public TfrVoDBRWGrid {
    Q_OBJECT
public:
    explicit TfrkvbTipiChiusura(QWidget *parent = nullptr);
    TVoDBEdit *const xedCodice;
    TVoDBEdit *const xedDesc;
};

class TfmkvbTipiChiusura : public TfmVoRegistry {
    Q_OBJECT
public:
    explicit TfmkvbTipiChiusura(QWidget *parent = nullptr);
    TVoQueryCollection *const xqcMain;
    TfrkvbTipiChiusura *const frMaster;

protected:
    void FormCreate() override;
};
