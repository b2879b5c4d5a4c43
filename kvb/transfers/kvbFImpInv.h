#pragma once
// Taking over what the inventory registers discharged for this program: every unloading voucher they
// marked "BENDUR" becomes, when chosen, a provisional loading voucher of the current register holding
// a copy of each good it discharged, and is marked as imported.
#include "VoMultiSelect.h"
#include "kvbUBuoni.h"

class TfmkvbImpInv : public TfmVoMultiSelect {
    Q_OBJECT
public:
    explicit TfmkvbImpInv(QWidget *parent = nullptr);

    // Imports the chosen vouchers, in the list's order, all in one transaction; false with the
    // reason shown when nothing was written.
    bool ImportVouchers(const QVariantList &sourceIds);
    // The loading vouchers the last import wrote, in their order.
    const QList<TkvbNewVoucher> &Written() const { return m_written; }

protected:
    void FormCreate() override;
    void buOkClick() override;

private:
    void ImportVoucher(const QVariant &sourceId);

    QList<TkvbNewVoucher> m_written;
};
