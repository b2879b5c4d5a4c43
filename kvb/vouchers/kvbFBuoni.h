#pragma once
// The loading-voucher window ("Gestione movimenti"): the loading vouchers of the current
// register-year, and below the chosen one its goods (with each good's minutes) and its documents.
// New vouchers and goods are numbered over the whole register; voucher dates stay in number order.
#include "VoChildDB.h"
#include "VoQueryCollection.h"

class QAction;
class QSplitter;
class QTabWidget;
class QToolButton;
class TVoMasterDetail;
class TfrkvaBuoIdc;
class TfrkvbBeniCarico;
class TfrkvbBuoniCarico;
using TfrkvbBuoIdc = TfrkvaBuoIdc;

class TfmkvbBuoni : public TfmVoChildDB {
    Q_OBJECT
public:
    explicit TfmkvbBuoni(QWidget *parent = nullptr);

    TVoQueryCollection *const xqcMain;
    TVoQueryCollection *const xqcDetail;
    TVoQueryCollection *const xqcDoc;
    TVoQueryCollection *const xqcVerbali;
    TfrkvbBuoniCarico *const frMaster;
    QSplitter *const Splitter1;
    QTabWidget *const pcDetail;
    TfrkvbBeniCarico *const frDetail;
    TfrkvbBuoIdc *const frBuoDoc;

    QAction *const xacCopiaBene;
    QAction *const xacDefBuono;
    QAction *const xacFiltraImporti;
    QAction *const xacImpostaImporto;
    QAction *const xacRinumeraBeni;
    QAction *const xacCopiaAltroBene;
    QAction *const xacDuplUnivBeni;
    QToolButton *tbDuplBeni = nullptr;
    QToolButton *tbDuplAltriBeni = nullptr;

    int ProposedVoucherNumber() const { return m_proposedVoucher; }
    int ProposedGoodsNumber() const { return m_proposedGoods; }

    // The actions' work (the hidden ones are reached from here only).
    void xacCopiaBeneExecute();
    void xacCopiaAltroBeneExecute();
    void xacImpostaImportoExecute();
    void xacFiltraImportiExecute();
    void xacDefBuonoExecute();
    void xacRinumeraBeniExecute();

protected:
    void FormCreate() override;
    void FormShow() override;
    void FormClose(TCloseAction &Action) override;

private:
    void SetUpCollections();
    void SetUpActions();
    void HookEvents();
    void OpenVouchers();
    // The current voucher when it is saved and shown as it is stored; -1 otherwise.
    int CurrentVoucher() const;
    int CurrentGood() const;
    void ApplyLock();
    void frMasterxdsMainDataChange(TVoField *field);
    void frMasterxdsMainAfterStateChange();
    void frMasterxneNumeroValidate(bool &Ok, QString &Msg);
    void frMasterxdeDataValidate(bool &Ok, QString &Msg);
    void xqcMainVoBeforeExec(TVoQueryProp &Prop);
    void frDetailxdsMainAfterStateChange();
    void frDetailxdsMainDataChange(TVoField *field);
    void frDetailxneNumeroValidate(bool &Ok, QString &Msg);
    void xqcDetailVoBeforeExec(TVoQueryProp &Prop);
    void xqcDetailAfterScroll();
    void xqcVerbaliVoBeforeExec(TVoQueryProp &Prop);
    void SetSectorList();
    // The header's amounts follow the goods written.
    void RefreshVouchers();

    int m_proposedVoucher = 0;
    int m_proposedGoods = 0;
    TVoMasterDetail *m_goods;
    TVoMasterDetail *m_documents;
    TVoMasterDetail *m_minutes;
};
