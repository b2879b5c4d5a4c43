#pragma once
// The multiple unloading ("Inserimento scarichi multiplo"): the register's goods in charge, loaded up
// to a date and narrowed by a saved filter if the user wants, discharged at once onto one unloading
// voucher with one cause. Opened for a voucher by the unloading window, or by the menu as the
// recognition, where the user picks one of the register-year's recognition vouchers.
#include "VoDialogs.h"
#include "kvbMAtt.h"

class QWidget;
struct TVoFilterCondition;
class TVoIdComboBox;
class TVoQueryCollection;
class TfrVoMultiSelect;

class TfmBuoniScaMulti : public TfmVoWizard, public IkvbRecognitionWindow {
    Q_OBJECT
public:
    explicit TfmBuoniScaMulti(QWidget *parent = nullptr);

    QWidget *const tsBeni;
    TfrVoMultiSelect *const frVoMultiSelect1;
    TVoQueryCollection *const xqcBeni;
    QWidget *const tsScarico;
    TVoIdComboBox *const cbCausale;
    QWidget *const paBuono;
    TVoIdComboBox *const cbBuono;

    // The wizard date (a day count, its time ignored): goods loaded after it are not offered.
    void SetVoucherDate(double date) override { m_date = date; }
    // The voucher the goods go on; -1: the user chooses it on the second page.
    void SetVoucherId(int voucherId) { m_voucherId = voucherId; }
    void SetTargetVoucher(int voucherId) override { SetVoucherId(voucherId); }
    // A condition added to the vouchers offered (program text, never the user's); reloads them.
    void SetVoucherCondition(const QString &condition) override;

    // Reopens the goods restricted by the filter's conditions (all of them with an empty one); true
    // when a condition was applied.
    bool ApplyGoodsFilter(const TVoFilterCondition &condition);
    // Discharges the ticked goods (all of them when none is) and sets the voucher's amount, in one
    // transaction; false when nothing was written.
    bool ExecuteUnloading();

protected:
    void FormCreate() override;
    void FormShow() override;
    void buOkClick() override;
    void CheckButtons() override;

private:
    void LoadGoods();
    void LoadVouchers();
    bool CanFinish() const;

    double m_date = 0.0;
    int m_voucherId = -1;
    QString m_voucherCondition;
};
