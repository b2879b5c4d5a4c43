#pragma once
// The goods picker of the loading-voucher window: the register's goods still in charge (states 1 and
// 2, of every register-year), from which the user picks the one to copy into a new good. A register
// may hold a hundred thousand goods: the list reads the columns it shows a packet at a time, in the
// goods number's index order, as the view scrolls.
#include "VoDialogs.h"

class QTableView;
class TVoQueryCollection;
class TVoTableModel;

class TfmkvbBeniSel : public TfmVoOkCancDlg {
    Q_OBJECT
public:
    explicit TfmkvbBeniSel(QWidget *parent = nullptr);

    QTableView *const lwBeni;
    TVoQueryCollection *const xqcBeni;

    // The good picked, -1 after Cancel.
    int Result() const { return m_result; }
    // The text of a listed row's column (0 number, 1 description, 2 value), as the list shows it.
    QString RowText(int row, int column) const;

protected:
    void FormShow() override;
    void buOkClick() override;
    void buCancelClick() override;

private:
    TVoTableModel *m_model;
    int m_result = -1;
};
