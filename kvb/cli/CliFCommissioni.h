#pragma once
// The commissions that test new goods (a type, validity dates, the act that appointed them) with
// their members and roles.
#include "CliRComponenti.h"

class TVoDBDateEdit;
class TVoDBEdit;
class TVoDBLookupEdit;
class TVoDBMemo;

class TfrCliCommissioni : public TfrVoDBRWGrid {
    Q_OBJECT
public:
    explicit TfrCliCommissioni(QWidget *parent = nullptr);
    TVoDBEdit *const xedCodice;
    TVoDBEdit *const xedDesc;
    TVoDBLookupEdit *const xleTipoCommissione;
    TVoDBDateEdit *const xdeStartVal;
    TVoDBDateEdit *const xdeEndVal;
    TVoDBEdit *const xedNumProvv;
    TVoDBDateEdit *const xdeDataProvv;
    TVoDBEdit *const xedDirScol;
    TVoDBMemo *const xmeNote;
};

class TfmCliCommissioni : public TfmCliMembri {
    Q_OBJECT
public:
    explicit TfmCliCommissioni(QWidget *parent = nullptr);
    TfrCliCommissioni *const frMaster;

protected:
    void FormCreate() override;
};

// The refusal of deleting a commission that still has members or minutes.
extern const QString KCliCommissioneInUso;
