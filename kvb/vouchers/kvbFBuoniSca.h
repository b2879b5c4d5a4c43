#pragma once
// The unloading-voucher window ("Gestione buoni di scarico"): the unloading vouchers of the current
// register-year and the goods each discharges. A good is never created here: putting it on a voucher
// discharges it (state 3, with the cause and its value at discharge), taking it off puts it back in
// charge (state 2). Numbers and dates follow the loading window's rules, for the unloading kind.
#include "VoChildDB.h"
#include "VoQueryCollection.h"

class QAction;
class QSplitter;
class QTabWidget;
class TVoMasterDetail;
class TfrkvaBuoIdc;
class TfrkvbBeniCaricoSca;
class TfrkvbBuoniScarico;

class TfmkvbBuoniSca : public TfmVoChildDB {
    Q_OBJECT
public:
    explicit TfmkvbBuoniSca(QWidget *parent = nullptr);

    TVoQueryCollection *const xqcMain;
    TVoQueryCollection *const xqcDetail;
    TVoQueryCollection *const xqcDoc;
    TfrkvbBuoniScarico *const frMaster;
    QSplitter *const Splitter1;
    QTabWidget *const pcDetail;
    TfrkvbBeniCaricoSca *const frDetail;
    TfrkvaBuoIdc *const frBuoDoc;

    QAction *const xacDefBuono;
    QAction *const xacFiltraImporti;
    QAction *const xacImpostaImporto;

    int ProposedVoucherNumber() const { return m_proposedVoucher; }

    void xacFiltraImportiExecute();
    void xacImpostaImportoExecute();

protected:
    void FormCreate() override;
    void FormShow() override;
    void FormClose(TCloseAction &Action) override;

private:
    void SetUpCollections();
    void SetUpActions();
    void HookEvents();
    int CurrentVoucher() const;
    bool CurrentVoucherDefinitive() const;
    void ApplyLock();
    void frMasterxdsMainDataChange(TVoField *field);
    void frMasterxdsMainAfterStateChange();
    void frMasterxneNumeroValidate(bool &Ok, QString &Msg);
    void frMasterxdeDataValidate(bool &Ok, QString &Msg);
    void frDetailtsDetailShow();
    void frDetailxelNumeroChangeFKValue();
    void xqcDetailVoBeforeExec(TVoQueryProp &Prop);
    void xqcDetailAfterScroll();
    // The goods that may still be discharged at the voucher's stored date.
    QString DischargeableGoodsSQL() const;
    void RefreshVouchers();

    int m_proposedVoucher = 0;
    TVoMasterDetail *m_goods;
    TVoMasterDetail *m_documents;
};
