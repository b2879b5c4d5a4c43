#pragma once
// The testing minutes, each drawn up by one commission, with the members present. A minute saved
// with a commission it did not have before takes that commission's members, with their roles, in
// place of those it listed.
#include "CliRComponenti.h"

class TVoDBDateEdit;
class TVoDBEdit;
class TVoDBLookupEdit;
class TVoDBMemo;

class TfrCliVerbali : public TfrVoDBRWGrid {
    Q_OBJECT
public:
    explicit TfrCliVerbali(QWidget *parent = nullptr);
    TVoDBEdit *const xedNumero;
    TVoDBDateEdit *const xdeData;
    TVoDBEdit *const xedDesc;
    TVoDBLookupEdit *const xleCommissione;
    TVoDBEdit *const xedPreside;
    TVoDBEdit *const xedResponsabile;
    TVoDBMemo *const xmeNote;
    TVoDBLookupEdit *const xleTipoVer;

private:
    void xleCommissioneChangeFKValue();
};

class TfmCliVerbali : public TfmCliMembri {
    Q_OBJECT
public:
    explicit TfmCliVerbali(QWidget *parent = nullptr);
    TfrCliVerbali *const frMaster;

protected:
    void FormCreate() override;

private:
    void xqcMainVoBeforeExec(const TVoQueryProp &Prop);
    void xqcMainVoAfterExec(const TVoQueryProp &Prop);
    void ReplaceMinuteMembers(const QVariant &commission, const QVariant &minute);

    bool FReplaceMembers = false;
};

// The refusal of deleting a minute that goods still name.
extern const QString KCliVerbaleInUso;
