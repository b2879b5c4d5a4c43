#pragma once
// The loading-voucher window: the loading vouchers of the current register-year with the detail of
// the chosen one, and below it two pages with its article rows and its linked documents. The
// unloading-voucher window is the same window with the unloading profile (TfmkvaBuoniSca).
#include "VoChildDB.h"
#include "VoQueryCollection.h"

class QSplitter;
class QTabWidget;
class TVoMasterDetail;
class TfrVoDBRWGrid;
class TfrkvaBuoIdc;
class TfrkvaBeniCarico;
class TfrkvaBuoniCarico;

class TfmkvaBuoni : public TfmVoChildDB {
    Q_OBJECT
public:
    explicit TfmkvaBuoni(QWidget *parent = nullptr);

    TVoQueryCollection *const xqcMain;
    TVoQueryCollection *const xqcDetail;
    TVoQueryCollection *const xqcDoc;
    TfrkvaBuoniCarico *const frMaster;
    QSplitter *const Splitter1;
    QTabWidget *const pcDetail;
    QWidget *const tsBeni;
    QWidget *const tsDoc;
    TfrkvaBeniCarico *const frDetail;
    TfrkvaBuoIdc *const frBuoDoc;

    // The number proposed for the voucher being inserted.
    int ProposedNumber() const { return m_proposedNumber; }

protected:
    // kind 0 loading, 1 unloading.
    TfmkvaBuoni(int kind, QWidget *parent);
    void FormCreate() override;
    void FormShow() override;
    void FormClose(TCloseAction &Action) override;

private:
    // Rows and documents follow the header: the current voucher's, none while one is inserted.
    void OpenDetails();
    void ApplyLock();

    void frMasterxdsMainDataChange(TVoField *field);
    void frMasterxdsMainAfterStateChange();
    void ProposeNewVoucher();
    void frMasterxneNumeroValidate(bool &Ok, QString &Msg);
    void frMasterxdeDataValidate(bool &Ok, QString &Msg);
    void xqcMainAfterOpen();
    void xqcDetailAfterOpen();
    void xqcMainBeforeDelete();
    void xqcMainBeforeWrite(int listKind);
    void xqcMainVoBeforeExec(TVoQueryProp &prop);
    void xqcMainVoAfterExec(const TVoQueryProp &prop);
    void xqcDetailBeforeWrite(int listKind);
    void xqcDetailVoBeforeExec(TVoQueryProp &prop);
    void xqcDetailVoRefresh();
    // Unloading rows.
    void SetUpUnloading();
    void UnloadingRowBeforeWrite(int listKind);
    void xqcDetailVoBeforeExecSca(TVoQueryProp &prop, bool &Allow);
    void xqcDetailVoAfterExec(const TVoQueryProp &prop);
    void frDetailPrice();
    void frDetailxneQuantValidate(bool &Ok, QString &Msg);
    bool SectorChanged() const;

    const int m_kind;
    int m_proposedNumber = 0;
    // The article of the row being written, fixed before its first statement.
    int m_rowArticle = -1;
    // The unloading row the sector history statements write about: the one the list just saved.
    int m_lastRow = -1;
    TVoMasterDetail *m_rows;
    TVoMasterDetail *m_documents;
};

class TfrkvaBeniCaricoSca;
class TfrkvaBuoniScarico;

// The unloading-voucher window.
class TfmkvaBuoniSca : public TfmkvaBuoni {
    Q_OBJECT
public:
    explicit TfmkvaBuoniSca(QWidget *parent = nullptr);

    TfrkvaBuoniScarico *Master() const;
    TfrkvaBeniCaricoSca *Rows() const;
};
