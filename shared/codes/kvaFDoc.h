#pragma once
// The documents that vouchers may be linked to (number, date, description, type, supplier or
// recipient) and their types. Each document carries a program code written once, when it is made:
// these windows list only the codes "1" followed by four characters.
#include "VoRegistry.h"

class TVoDBDateEdit;
class TVoDBEdit;
class TVoDBLookupEdit;

class TfrkvaDoc : public TfrVoDBRWGrid {
    Q_OBJECT
public:
    explicit TfrkvaDoc(QWidget *parent = nullptr);
    TVoDBEdit *const xedNumero;
    TVoDBDateEdit *const xdeData;
    TVoDBEdit *const xedDesc;
    TVoDBLookupEdit *const xleBenef;
    TVoDBLookupEdit *const xleTipoDoc;

protected:
    // The frame of another program over the same documents: its caption of the supplier or recipient,
    // and whether the number and date or the supplier or recipient are required.
    struct TProfile {
        QString benefCaption;
        bool numberAndDateRequired;
        bool benefRequired;
    };
    TfrkvaDoc(const TProfile &profile, QWidget *parent);
};

class TfmkvaDoc : public TfmVoRegistry {
    Q_OBJECT
public:
    explicit TfmkvaDoc(QWidget *parent = nullptr);
    TVoQueryCollection *const xqcMain;
    TfrkvaDoc *const frMaster;

protected:
    // The window over another program's frame.
    TfmkvaDoc(TfrkvaDoc *frame, QWidget *parent);
    void FormCreate() override;

private:
    void xqcMainVoBeforeExec(TVoQueryProp &Prop);
};

class TfrkvaTipoDoc : public TfrVoDBRWGrid {
    Q_OBJECT
public:
    explicit TfrkvaTipoDoc(QWidget *parent = nullptr);
    TVoDBEdit *const xdeCodice;
    TVoDBEdit *const xdeDesc;
};

class TfmkvaTipoDoc : public TfmVoRegistry {
    Q_OBJECT
public:
    explicit TfmkvaTipoDoc(QWidget *parent = nullptr);
    TVoQueryCollection *const xqcMain;
    TfrkvaTipoDoc *const frMaster;

protected:
    void FormCreate() override;
};
