#pragma once
// The confirmation through which one voucher becomes definitive, with all its goods: the server's
// procedure for the voucher's kind runs in one transaction. It also finds the gaps in the goods
// numbering over the span of a voucher's goods, which the register closing checks.
#include "VoDialogs.h"

class QPlainTextEdit;

class TfmMessDefCar : public TfmVoOkCancDlg {
    Q_OBJECT
public:
    explicit TfmMessDefCar(QWidget *parent = nullptr);

    QPlainTextEdit *const meMessage;

    void SetIdBuono(int voucherId) { m_voucherId = voucherId; }
    // True for a loading voucher, false for an unloading one.
    void SetCarico(bool loading) { m_loading = loading; }

    // Makes the voucher definitive; a voucher id of 0 or less does nothing.
    void actEseguiExecute();
    // Whether the register's goods numbers run without a gap between the lowest and the highest
    // number of the voucher's goods (a number carried by several sub-codes counts once). With
    // showMessage the gaps are shown ("Numero dei beni mancanti:" and the list), else handed back
    // in missing (" 5 7 9").
    bool CheckNumeriMancanti(bool showMessage, QString *missing = nullptr);

protected:
    void showEvent(QShowEvent *e) override;
    void buOkClick() override;

private:
    int m_voucherId = 0;
    bool m_loading = true;
};
