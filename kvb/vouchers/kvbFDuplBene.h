#pragma once
// "Duplicazione beni": copies of a good on its own voucher, numbered from a start number on. The
// server makes the copies; numbers below the register's next free one are checked first.
#include "VoDialogs.h"

class QLabel;
class QSpinBox;

class TfmkvbDuplBene : public TfmVoOkCancDlg {
    Q_OBJECT
public:
    explicit TfmkvbDuplBene(QWidget *parent = nullptr);

    QSpinBox *const udNumAnni;
    QSpinBox *const udNumPartenza;
    QAction *const actEsegui;

    // The good to copy.
    void SetGoodId(int goodId) { m_goodId = goodId; }
    // The register's next free goods number, when the caller computed it.
    int NextFree = 0;

    // Makes the copies: refuses a number already in use below the next free one with "Numero del
    // bene già inserito"; the check and the copies run in one transaction, with the register locked.
    void actEseguiExecute();

protected:
    void buOkClick() override;

private:
    int m_goodId = -1;
};
