#pragma once
// The loading-voucher window: the loading vouchers of the current register-year with the detail of
// the chosen one, and below it two pages with its article rows and its linked documents. The
// unloading-voucher window is the same window with the unloading profile (TfmkvaBuoniSca).
#include "AbcFBuoni.h"

class TfrkvaBuoIdc;
class TfrkvaBeniCarico;
class TfrkvaBuoniCarico;

class TfmkvaBuoni : public TfmAbcBuoni {
    Q_OBJECT
public:
    explicit TfmkvaBuoni(QWidget *parent = nullptr);

    TfrkvaBuoniCarico *const frMaster;
    QWidget *const tsBeni;
    QWidget *const tsDoc;
    TfrkvaBeniCarico *const frDetail;
    TfrkvaBuoIdc *const frBuoDoc;

protected:
    // kind 0 loading, 1 unloading.
    TfmkvaBuoni(int kind, QWidget *parent);
    void FormCreate() override;
    void ApplyLock() override;
    // The shared rule, and for a saved voucher whose date moves, the stock of its articles.
    QString DateProblem(double date, int number) const override;

private:
    void xqcDetailAfterOpen();
    void xqcMainBeforeDelete();
    void xqcMainBeforeWrite(int listKind);
    void xqcMainVoBeforeExec(TVoQueryProp &prop);
    void xqcMainVoAfterExec(const TVoQueryProp &prop);
    void xqcDetailBeforeWrite(int listKind);
    void xqcDetailVoBeforeExec(TVoQueryProp &prop);
    // Unloading rows.
    void SetUpUnloading();
    void UnloadingRowBeforeWrite(int listKind);
    void xqcDetailVoBeforeExecSca(TVoQueryProp &prop, bool &Allow);
    void xqcDetailVoAfterExec(const TVoQueryProp &prop);
    void frDetailPrice();
    void frDetailxneQuantValidate(bool &Ok, QString &Msg);
    bool SectorChanged() const;

    // The article of the row being written, fixed before its first statement.
    int m_rowArticle = -1;
    // The unloading row the sector history statements write about: the one the list just saved.
    int m_lastRow = -1;
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
