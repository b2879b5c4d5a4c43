#pragma once
// The closing of the durable-goods register at a date, and its verification. The checks come first:
// the date after the register's last closing, a question on the vouchers of amount 0, one closing of
// a type per calendar year. A closing then makes definitive every provisional voucher of the register
// up to the date and records the closing with the register's value per inventory category, all in
// one transaction; the verification writes nothing.
#include "VoDialogs.h"
#include "kvbMAtt.h"

class TVoDBDateEdit;
class QLabel;
class TVoDataSource;
class TVoDBLookupEdit;
class TVoQueryCollection;

class TfmkvbChiusura : public TfmVoWizard, public IkvbClosingWindow {
    Q_OBJECT
public:
    explicit TfmkvbChiusura(QWidget *parent = nullptr);

    QWidget *tsMessage;
    QWidget *tsDate;
    QLabel *laMsg;
    TVoDBDateEdit *deDataChiusura;
    TVoQueryCollection *xqcMain;
    TVoDataSource *xdsMain;
    TVoDBLookupEdit *xleTipoChiusura;

    // 1 closing, 0 verification; set before the window is shown.
    void SetClosingMode(int mode) override { m_closing = mode != 0; }
    bool ClosingMode() const { return m_closing; }
    // The closing row written by the last closing (0 before).
    int ChaId() const { return m_chaId; }

    // Runs the checks and, in closing mode, the closing; the window closes afterwards, except when a
    // closing lacks its type.
    void actEseguiExecute();

protected:
    void FormCreate() override;
    void showEvent(QShowEvent *e) override;
    void buOkClick() override;
    void CheckButtons() override;

private:
    bool RunChecks(double date, int typeId);
    void WriteClosing(double date, int typeId);

    bool m_closing = true;
    int m_chaId = 0;
};
