#pragma once
// What the loading- and unloading-voucher windows share: the register-year's vouchers of one kind
// above, the chosen voucher's goods and documents below; the header's numbering and date rules,
// its amount actions and making a voucher definitive. Each window adds its own goods frame.
#include "VoChildDB.h"
#include "VoQueryCollection.h"

class QAction;
class QSplitter;
class QTabWidget;
class TVoMasterDetail;
class TfrVoDBRWGrid;
class TfrkvaBuoIdc;
class TfrkvbBuoniCarico;
using TfrkvbBuoIdc = TfrkvaBuoIdc;

class TfmkvbBuoniBase : public TfmVoChildDB {
    Q_OBJECT
public:
    TVoQueryCollection *const xqcMain;
    TVoQueryCollection *const xqcDetail;
    TVoQueryCollection *const xqcDoc;
    TfrkvbBuoniCarico *const frMaster;
    QSplitter *const Splitter1;
    QTabWidget *const pcDetail;
    TfrkvbBuoIdc *const frBuoDoc;

    QAction *const xacDefBuono;
    QAction *const xacFiltraImporti;
    QAction *const xacImpostaImporto;

    int ProposedVoucherNumber() const { return m_proposedVoucher; }

    void xacImpostaImportoExecute();
    void xacFiltraImportiExecute();
    void xacDefBuonoExecute();

protected:
    // kind: kvbLoading or kvbUnloading; the frames are taken over.
    TfmkvbBuoniBase(QWidget *parent, int kind, const QString &caption, TfrkvbBuoniCarico *header,
                    TfrVoDBRWGrid *goods);

    // The header, its lookups and rules, the documents and the header's actions; the window then
    // sets up its goods.
    void FormCreate() override;
    void FormShow() override;
    void FormClose(TCloseAction &Action) override;

    // The current voucher when it is saved and shown as it is stored; -1 otherwise.
    int CurrentVoucher() const;
    bool CurrentVoucherDefinitive() const;
    // Whether the current voucher takes no new goods: definitive, or not saved as shown.
    bool TakesNoGoods() const;
    TfrVoDBRWGrid *GoodsFrame() const { return m_goodsFrame; }
    // A voucher not saved yet takes no goods (they would have no owner), a definitive one neither;
    // a definitive voucher is not deleted.
    virtual void ApplyLock();
    virtual void frMasterxdsMainDataChange(TVoField *field);
    // The header's amounts follow the goods written.
    void RefreshVouchers();

    const int m_kind;
    int m_proposedVoucher = 0;
    TVoMasterDetail *m_goods;
    TVoMasterDetail *m_documents;

private:
    void SetUpHeader();
    void SetUpActions();
    void HookEvents();
    void frMasterxdsMainAfterStateChange();
    void frMasterxneNumeroValidate(bool &Ok, QString &Msg);
    void frMasterxdeDataValidate(bool &Ok, QString &Msg);

    TfrVoDBRWGrid *const m_goodsFrame;
};
