#pragma once
// The loading-voucher window ("Gestione movimenti"): the loading vouchers of the current
// register-year, and below the chosen one its goods (with each good's minutes) and its documents.
// New vouchers and goods are numbered over the whole register; voucher dates stay in number order.
#include "kvbFBuoniBase.h"

class QToolButton;
class TfrkvbBeniCarico;

class TfmkvbBuoni : public TfmkvbBuoniBase {
    Q_OBJECT
public:
    explicit TfmkvbBuoni(QWidget *parent = nullptr);

    TVoQueryCollection *const xqcVerbali;
    TfrkvbBeniCarico *const frDetail;

    QAction *const xacCopiaBene;
    QAction *const xacRinumeraBeni;
    QAction *const xacCopiaAltroBene;
    QAction *const xacDuplUnivBeni;
    QToolButton *tbDuplBeni = nullptr;
    QToolButton *tbDuplAltriBeni = nullptr;

    int ProposedGoodsNumber() const { return m_proposedGoods; }

    // The actions' work (the hidden ones are reached from here only).
    void xacCopiaBeneExecute();
    void xacCopiaAltroBeneExecute();
    void xacRinumeraBeniExecute();

protected:
    void FormCreate() override;
    void ApplyLock() override;

private:
    void SetUpCollections();
    void SetUpActions();
    void HookEvents();
    int CurrentGood() const;
    void frDetailxdsMainAfterStateChange();
    void frDetailxdsMainDataChange(TVoField *field);
    void frDetailxneNumeroValidate(bool &Ok, QString &Msg);
    void xqcDetailVoBeforeExec(TVoQueryProp &Prop);
    void xqcDetailAfterScroll();
    void xqcVerbaliVoBeforeExec(TVoQueryProp &Prop);
    void SetSectorList();

    int m_proposedGoods = 0;
    TVoMasterDetail *m_minutes;
};
