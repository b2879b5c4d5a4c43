#pragma once
// The shared data module of the budget: aggregates, items and sub-items.
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
};

extern TdmVproDBQuery *dmVproDBQuery;

// Which budget window is opened: 1 income, 2 expenses; 1 in total, else out of total.
extern int CashFlow;
extern int TotalType;

// Makes sure the module exists (creating it bound to the global connection); true when it does.
bool EnsureVproDBQuery();
