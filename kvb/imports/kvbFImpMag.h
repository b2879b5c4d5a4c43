#pragma once
// Taking over, as durable goods, what the school warehouse issued: the voucher names the movement,
// which is offered no more; it gets the documents of the movement's load, and each good the minutes
// of its article's rows in that load.
#include "kvbFImpWizard.h"

class TfmkvbImpMag : public TfmkvbImpWizard {
    Q_OBJECT
public:
    explicit TfmkvbImpMag(QWidget *parent = nullptr);

    enum { colCount = colNote + 1 };

protected:
    void LoadUnits() override;
    bool Post() override;

private:
    QVariant MovementId() const;
};
