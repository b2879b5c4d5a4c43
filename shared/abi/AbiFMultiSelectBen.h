#pragma once
// "Seleziona il Beneficiario": several beneficiaries ticked at once. The opener gives the select,
// which delivers SBENRAGSOC, LBENEND (0 or 1), lBenObblTracc, sBenCodFiscale, iSediOil and iPagamOil.
// The list shows the current beneficiaries, or the historicised ones alone when asked, narrowed by the
// check boxes and, 500 ms after the last key, by the typed name; every change of them drops the ticks.
#include "VoMultiSelect.h"

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QTimer;
class TAbiSearchBoxLook;

class TfmAbiMultiSelectBen : public TfmVoMultiSelect {
    Q_OBJECT
public:
    explicit TfmAbiMultiSelectBen(QWidget *parent = nullptr);

    QGroupBox *const gbFiltri;
    QLineEdit *const edRicerca;
    QCheckBox *const ckBenTraccAss;
    QCheckBox *const ckBenStor;
    QCheckBox *const ckDatiOIL;
    QTimer *const tmFilt;

    // The rows shown: the check boxes' conditions and the given one ("1 = 1" for none); the ticks
    // are dropped, and with "ckDatiOIL" every row shown is ticked.
    void Filter(const std::function<bool(const TVoQueryCollection *)> &condition);
    void tmFiltTimer();

protected:
    void FormShow() override;
    void buOkClick() override;

private:
    void edRicercaChange();
    void FilterAll();

    TAbiSearchBoxLook *m_look;
};
