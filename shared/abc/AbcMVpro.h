#pragma once
// The shared data module of the budget: aggregates, items (and projects) and the current item's
// sub-items, with the state that the budget windows hand to the write statements.
//
// The items' statement lists are rebuilt by the items frame at each post; the module adds to every
// statement the values that the user does not type: the account kind chosen by the boxes, the school,
// the item's dates for its sub-items, the owner item of a sub-item, the cash flow and total type of a
// new aggregate. Items are retired by their DDELETE time, never deleted.
#include "AbcUVpro.h"
#include "VoQueryCollection.h"

#include <QObject>

class TVoSQLConnection;

class TdmVproDBQuery : public QObject {
    Q_OBJECT
public:
    explicit TdmVproDBQuery(QObject *parent = nullptr);

    TVoQueryCollection *xqcAggregati;
    TVoQueryCollection *xqcVoci;
    TVoQueryCollection *xqcSottoVoci;
    // The connection of the module's plain queries.
    TVoSQLConnection *qquTmp = nullptr;

    // Binds the datasets and the plain query to a connection, in the order the menu does.
    void BindConnection(TVoSQLConnection *connection);

    // The current item, followed by the items' cursor and by every item insert.
    int CurrentVproId = 0;
    // Account kinds to write (1 competenza, 2 residui, 3 both) for the item and sub-item being posted.
    int VproCorId = 0;
    int SvoCorId = 0;
    // ITCKID of an inserted item; -1 for none.
    int VproTckId = -1;
    // The accounts of the current item and sub-item as stored.
    bool VproCompetenza = false;
    bool VproResidui = false;
    bool SvoCompetenza = false;
    bool SvoResidui = false;
    // The dates typed for the item being posted (-1: none), which its sub-items take.
    double VproStart = -1.0;
    double VproEnd = -1.0;

private:
    void CalcConti(TVoQueryCollection *dataSet);
    void xqcVociAfterScroll();
    void xqcVociVoBeforeExec(TVoQueryProp &Prop);
    void xqcVociVoAfterExec(TVoQueryProp &Prop);
    void xqcSottoVociVoBeforeExec(TVoQueryProp &Prop);
    void xqcAggregatiVoBeforeExec(TVoQueryProp &Prop);
};

extern TdmVproDBQuery *dmVproDBQuery;
