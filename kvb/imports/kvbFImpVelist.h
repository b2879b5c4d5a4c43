#pragma once
// Taking over, as durable goods, what the consumables register handed out on an unloading voucher it
// marked for this program; the source is marked as imported in the same transaction.
#include "kvbFImpWizard.h"

class TfmkvbImpVelist : public TfmkvbImpWizard {
    Q_OBJECT
public:
    explicit TfmkvbImpVelist(QWidget *parent = nullptr);

    enum { colCount = colMerId + 1 };

protected:
    void LoadUnits() override;
    bool Post() override;

private:
    QVariant SourceId() const;
};
