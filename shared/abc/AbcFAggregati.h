#pragma once
// The budget aggregates of one cash flow and total type valid in the current financial year, of the
// school or common to all schools. Only listed and shown here: they are kept by the budgeting program.
#include "AbcFVproBase.h"

class TfrAggregati;

class TfmAggregati : public TfmVproBase {
    Q_OBJECT
public:
    explicit TfmAggregati(QWidget *parent = nullptr);

    TfrAggregati *frFAggregati;

protected:
    void FormCreate() override;
    bool FormCloseQuery() override;
    void FormClose(TCloseAction &Action) override;
    TfrVoDBROGrid *YearFrame() const override;
    // The year's aggregates read anew.
    void LoadYear() override;
};
