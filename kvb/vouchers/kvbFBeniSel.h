#pragma once
// The goods picker of the loading-voucher window: the register's goods still in charge (states 1 and
// 2, of every register-year), from which the user picks the one to copy into a new good.
#include "VoDialogs.h"

class QTreeWidget;

class TfmkvbBeniSel : public TfmVoOkCancDlg {
    Q_OBJECT
public:
    explicit TfmkvbBeniSel(QWidget *parent = nullptr);

    QTreeWidget *const lwBeni;

    // The good picked, -1 after Cancel.
    int Result() const { return m_result; }

protected:
    void FormShow() override;
    void buOkClick() override;
    void buCancelClick() override;

private:
    int m_result = -1;
};
