#pragma once
// The sub-items of the current item (kept in the income windows): a three-digit code, a description and
// the accounts. A sub-item may choose its accounts only when its item has both; otherwise its boxes
// show the item's accounts and cannot be changed. Its post runs its rules first, like the item's.
#include "AbcRVproConto.h"

class QLabel;
class TVoDBEdit;

class TfrSottoVoci : public TfrVproConto {
    Q_OBJECT
public:
    explicit TfrSottoVoci(QWidget *parent = nullptr);

    QLabel *laCodice;
    TVoDBEdit *xdeCodice;
    QLabel *laDescrizione;
    TVoDBEdit *xdeDescrizione;

    // Binds the frame to the module's sub-items and hooks their post.
    void Bind(TVoQueryCollection *dataSet);
    // The boxes as the current sub-item and its item allow.
    void ShowRow();

    void xacInsertExecute();
    void xacCancelExecute();
    void xacRefreshExecute();
    void xacPostExecute();

protected:
    bool StoredAccount(bool competenza) const override;
    void StartChange() override;

private:
    bool NoSubItems() const;
    bool ItemHasBoth() const;
    void ClearAccounts();
    // Boxes disabled, showing the item's accounts, which the sub-item takes.
    void FollowItem();
    void InsertAccounts();
    void tsDetailShow();
    void xdsMainAfterStateChange();
    void xqcSottoVociAfterInsert();
    void xqcSottoVociBeforePost();

    TVoHooks m_hooks;
};
