#pragma once
// The list and detail of the budget aggregates: code, description and the validity, shown as labels
// while the aggregate has an end.
#include "VoDBFrames.h"

class QLabel;
class TVoDBEdit;

class TfrAggregati : public TfrVoDBRWGrid {
    Q_OBJECT
public:
    explicit TfrAggregati(QWidget *parent = nullptr);

    QLabel *laCodice;
    TVoDBEdit *xdeCodice;
    QLabel *laDescrizione;
    TVoDBEdit *xdeDescrizione;
    QLabel *laInizio;
    QLabel *laDataInizio;
    QLabel *laFine;
    QLabel *laDataFine;

    // The window's cash flow and total type, copied when it is created.
    int AggCashFlow = 2;
    int AggTotalType = 1;

    // Binds the frame to the module's aggregates and hooks their post.
    void Bind(TVoQueryCollection *dataSet);

    void xacInsertExecute();
    void xacCancelExecute();
    void xacPostExecute();

private:
    void ShowValidity();
    void xdeCodiceKeyDown(int &Key);
    void xqcAggregatiBeforePost();

    TVoHooks m_hooks;
};
