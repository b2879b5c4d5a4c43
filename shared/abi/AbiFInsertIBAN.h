#pragma once
// The dialog through which a whole IBAN is typed: blanks are left out, letters upper-cased, and an
// Italian IBAN must be correct before the dialog closes; a foreign bank's IBAN is taken as typed.
#include "VoDialogs.h"

class QCheckBox;
class QLabel;
class TVoDBEdit;

class TfmInsertIBAN : public TfmVoOkCancDlg {
    Q_OBJECT
public:
    explicit TfmInsertIBAN(QWidget *parent = nullptr);

    QLabel *laIban;
    TVoDBEdit *edIban;
    QLabel *laTotCaratteri;
    QLabel *laNumCaratteri;
    QCheckBox *ckEstera;

    // The IBAN confirmed, without blanks.
    QString Iban() const;

protected:
    void buOkClick() override;
};
