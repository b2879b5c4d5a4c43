#pragma once
// The list and detail of the budget items and projects of one cash flow and total type: the aggregate
// an item belongs to, its code, description, validity and accounts (competenza, residui).
//
// Every post of the items (the frame's, the close question's, a move away from the row) runs
// the item's rules in a fixed order first; the first one that fails shows its message, puts the focus
// on the field at fault and leaves the row as the user left it. Whether the code is free is decided
// inside the write, after locking the aggregate, so that two copies cannot give it twice.
#include "AbcRVproConto.h"

class QLabel;
class TVoDBDateEdit;
class TVoDBEdit;
class TVoDBLookupEdit;
class TVoSearchDialog;

class TfrVociProgetti : public TfrVproConto {
    Q_OBJECT
public:
    explicit TfrVociProgetti(QWidget *parent = nullptr);

    QLabel *laAggregato;
    TVoDBLookupEdit *xdlAggregato;
    QLabel *laCodice;
    TVoDBEdit *xdeCodice;
    QLabel *laDescrizione;
    TVoDBEdit *xdeDescrizione;
    QLabel *laDataInizio;
    TVoDBDateEdit *xddDataInizio;
    QLabel *laDataFine;
    TVoDBDateEdit *xddDataFine;

    // The window's cash flow and total type, copied when it is created.
    int VproCashFlow = 2;
    int VproTotalType = 1;

    // Binds the frame to the module's items and hooks their post.
    void Bind(TVoQueryCollection *dataSet);
    // The aggregates the lookup offers: those of the frame's cash flow and total type valid in the
    // current financial year.
    void SetAggregateList();

    // The frame's own insert, edit, trash, cancel and post, which the actions run.
    void xacInsertExecute();
    void xacEditExecute();
    void xacDeleteExecute();
    void xacCancelExecute();
    void xacPostExecute();

protected:
    bool StoredAccount(bool competenza) const override;
    void StartChange() override;

private:
    void ShowRow();
    void xdlAggregatoChangeFKValue();
    void xdlAggregatoSetSearchQuery(TVoSearchDialog *Form);
    void xdlAggregatoShowSearchForm(TVoSearchDialog *Form);
    void xdeCodiceKeyDown(int &Key);
    void xqcVociAfterInsert();
    void xqcVociBeforePost();
    void xqcVociBeforeWrite(int ListKind);
    void xqcVociAfterPost();
    QString AggregateText() const;
    int ItemId() const;

    TVoHooks m_hooks;
};
