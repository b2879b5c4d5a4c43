#pragma once
// "Cerca Beneficiario": one beneficiary chosen from the rows of the opener's select. The rows read are
// narrowed, 500 ms after the last key, to those whose value in the grid's current column contains the
// typed text, ignoring case; entering another column starts the search over on it.
#include "VoSearchDialog.h"

class QLineEdit;
class QTimer;
class TAbiSearchBoxLook;

class TfmAbiBenSearch : public TVoSearchDialog {
    Q_OBJECT
public:
    explicit TfmAbiBenSearch(QWidget *parent = nullptr);

    QLineEdit *const edRicerca;
    QTimer *const tmFilt;

    // The field of the column searched.
    QString SearchColumn() const { return m_searchColumn; }
    void tmFiltTimer();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void edRicercaChange();
    void GridColumnEnter(int column);
    void FilterOff();

    TAbiSearchBoxLook *m_look;
    QString m_searchColumn;
    int m_column = -1;
};
