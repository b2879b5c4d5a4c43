#pragma once
// The year closing of the current register-year. For a register numbered per register-year every
// article still in stock is carried into the next register-year of the same school register by a
// closing unloading voucher at the year's end and an opening loading voucher numbered 1 at the next
// year's start, at the same stock and average cost; a register numbered across its years carries its
// stock by itself and gets no voucher. Either way the vouchers are locked and the closing is recorded
// with each goods category's value (loads less unloads). All of it is written in one transaction, or
// nothing.
#include "VoDialogs.h"

#include <QList>
#include <functional>

class QCheckBox;
class QLabel;
class QProgressBar;

class TfmKvaChiusura : public TfmVoWizard {
    Q_OBJECT
public:
    explicit TfmKvaChiusura(QWidget *parent = nullptr);

    QWidget *tsInfo;
    QWidget *tsGiacenze;
    QLabel *laInfo;
    QCheckBox *ckAzzeraGiac;
    QLabel *laImpostazioneGiacenze;
    QLabel *laArticoli;
    QLabel *laNumArticoli;
    QProgressBar *gaProgressArticoli;

    // The closing row written by the last closing (0 before).
    int ChaId() const { return m_chaId; }
    // Told as each step of the closing begins ("articles", "totals", "commit") and when it has
    // ended ("done"): the benchmark times the steps with it.
    std::function<void(const char *step)> OnStep;

protected:
    void FormCreate() override;
    void NavigatorClick(QObject *Sender) override;
    void buOkClick() override;

private:
    void CountArticles();
    void CarryStock();
    void RecordClosing();
    void Step(const char *step) const;

    int m_articleCount = 0;
    int m_chaId = 0;
};
