#pragma once
// Hands unloading vouchers of the current register-year to the durable-goods program: the chosen
// vouchers (none chosen: all of them) are marked "BENDUR", which the durable-goods program lists for
// its import. The year-end voucher and the vouchers already imported are not offered. Marking changes
// nothing else of a voucher and is written for all of them or for none.
#include "VoMultiSelect.h"

class TfmkvaSelectBenDur : public TfmVoMultiSelect {
    Q_OBJECT
public:
    explicit TfmkvaSelectBenDur(QWidget *parent = nullptr);

protected:
    void FormCreate() override;
    void FormShow() override;
    void buOkClick() override;

private:
    QVariantList m_ids;
};
