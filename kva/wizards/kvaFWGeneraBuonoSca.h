#pragma once
// Turns a loading voucher into an unloading voucher: the user picks the loading voucher, the
// unloading date, and then sees every article of it still in stock with the quantity to unload, in
// unloading units (pieces, not boxes), and the site, delivery sector, responsible and causal of each
// row. OK writes one unloading voucher marked "SCAAUTO" with its rows at the average cost, and marks
// the loading voucher as unloaded, all in one transaction.
#include "VoImpWizard.h"

#include <QList>

class TVoDBDateEdit;

class TfmKvaWGeneraBuonoSca : public TfmVoImpWizard {
    Q_OBJECT
    // 0: every loading voucher with rows; otherwise only those still to unload. Set by the opener
    // before the window is shown.
    Q_PROPERTY(int SoloDaScaricare MEMBER SoloDaScaricare)
    // The unloading voucher written (its id), 0 until one is; read by the opener once the wizard ends.
    Q_PROPERTY(int BuonoGenerato READ BuonoGenerato)
public:
    explicit TfmKvaWGeneraBuonoSca(QWidget *parent = nullptr);

    enum {
        colAfcId = 0,
        colSedeId = 1,
        colSecId = 2,
        colRspId = 3,
        colCavId = 4,
        colCodice = 5,
        colDesc = 6,
        colCaricata = 7,
        colGiacenza = 8,
        colCosto = 9,
        colFattore = 10,
        colQuantita = 11,
        colSede = 12,
        colLuogo = 13,
        colResp = 14,
        colCausale = 15,
        colCount = 16
    };
    enum { pgBuoni = 0, pgDataScarico = 1, pgArticoli = 2 };

    int SoloDaScaricare = 0;
    QWidget *tsDataScarico;
    TVoDBDateEdit *dtpDataScarico;

    // Checks the grid and writes the voucher; false, after telling the user why, when nothing was
    // written.
    bool GeneraBuonoScarico();
    int BuonoGenerato() const { return m_voucher; }

protected:
    void FormCreate() override;
    void FormShow() override;
    void CheckButtons() override;
    void pcMainChanging(QObject *Sender, bool &AllowChange) override;
    void NavigatorClick(QObject *Sender) override;
    void buOkClick() override;

    void LoadGoods() override;
    bool RowsComplete() override;
    QString ConfirmationText() override { return QString(); }
    bool Post() override;
    QString AlreadyImportedText() override { return QString(); }
    bool SameForAllAllowed(int column) override;
    QString PickedText(const TVoImpSearch &search) override;

private:
    void ProposeDate();
    double UnloadDate() const;
    void CheckQuantity();
    // The article of each data row, in grid order.
    QList<int> m_articles;
    // The voucher written: its id, number and rows.
    int m_voucher = 0;
    int m_number = 0;
    int m_rows = 0;
};
