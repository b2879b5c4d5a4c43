#pragma once
// Passing goods still in charge to another register of the suite: the chosen goods of the current
// register (every listed one when none is chosen) are discharged onto one new provisional unloading
// voucher carrying the marker that the receiving program looks for. The consumables register and the
// inventory registers differ only in their profile.
#include "VoMultiSelect.h"

struct TkvbTransferProfile {
    const char *caption;
    // With the number of goods and the financial year.
    const char *question;
    // The voucher statement, with its marker.
    const char *voucherSQL;
    const char *description;
    // Dated at the financial year's end, else on 31 December of its year.
    bool atYearEnd;
    // The year of taking in charge is listed.
    bool yearColumn;
};

class TfmKvbSelectVelist : public TfmVoMultiSelect {
    Q_OBJECT
public:
    explicit TfmKvbSelectVelist(QWidget *parent = nullptr);

    // Discharges the goods onto a new voucher, all in one transaction; false with the reason shown
    // when nothing was written.
    bool TransferGoods(const QVariantList &goodIds);

protected:
    TfmKvbSelectVelist(QWidget *parent, const TkvbTransferProfile &profile);
    void FormCreate() override;
    void buOkClick() override;
    TfmVoRptFiltro *NewFilterForm() override;

private:
    const TkvbTransferProfile &m_profile;
};
