#pragma once
// The report data module: the datasets, variables and selection lists that the layouts of this
// program print from. Its datasets are closed between runs; each one's BeforeOpen handler rebuilds
// its text and parameters from the working context, so a change of the parameters counts at the next
// run. What a list prints under each of its rows (the rows or articles of a sector, a goods code, a
// category, a supplier, a document, a responsible) follows the standard report the running report
// stands for.
#include "kvaUUtil.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

class TVoQueryCollection;
class TVoRptTreeView;
class TVofrDBDataSet;
class TfmVoMultiSelect;
class TfrDBDataSet;

class TdmkvaReport : public QObject {
    Q_OBJECT
public:
    explicit TdmkvaReport(QObject *parent = nullptr);

    // Registers: loading, the current register, unloading, general; the stock list with the stock of
    // its current article.
    TVoQueryCollection *qquRegCarichi;
    TfrDBDataSet *frdRegCarichi;
    TVoQueryCollection *qquFacCurr;
    TfrDBDataSet *frdFacCurr;
    TVoQueryCollection *qquRegScarichi;
    TfrDBDataSet *frdRegScarichi;
    TVoQueryCollection *qquRegistro;
    TfrDBDataSet *frdRegistro;
    TVoQueryCollection *qquGiacenza;
    TfrDBDataSet *frdGiacenze;
    TVoQueryCollection *cdsGiacenze;
    TfrDBDataSet *frdCdsGiacenze;
    // Vouchers with their rows and documents.
    TVoQueryCollection *cdsBuoni;
    TVofrDBDataSet *xfrBuoni;
    TVoQueryCollection *qquArtXBuono;
    TfrDBDataSet *frdArtXBuono;
    TVoQueryCollection *cdsSettori;
    TVofrDBDataSet *xfrSettori;
    TVoQueryCollection *qquDocXBuono;
    TfrDBDataSet *frdDocXBuono;
    // Registries.
    TVoQueryCollection *qquIstVelist;
    TfrDBDataSet *frdIstVelist;
    TVoQueryCollection *qquCaus;
    TfrDBDataSet *frdCaus;
    TVoQueryCollection *qquCat;
    TfrDBDataSet *frdCat;
    TVoQueryCollection *qquBenefici;
    TfrDBDataSet *frdBenefici;
    TVoQueryCollection *qquSettCons;
    TfrDBDataSet *frdSettCons;
    TVoQueryCollection *qquCatMerce;
    TfrDBDataSet *frdCatMerce;
    TVoQueryCollection *qquVelist;
    TfrDBDataSet *frdVelist;
    // The rows or articles of the key chosen in a selection list, and the other lists.
    TVoQueryCollection *qquArt;
    TfrDBDataSet *frdArt;
    TVoQueryCollection *cdsMerce;
    TVofrDBDataSet *xfrMerce;
    TVoQueryCollection *cdsCateg;
    TVofrDBDataSet *xfrCateg;
    TVoQueryCollection *cdsFornitori;
    TVofrDBDataSet *xfrFornitori;
    TVoQueryCollection *cdsDocumenti;
    TVofrDBDataSet *xfrDocumenti;
    TVoQueryCollection *qquCodDoppi;
    TfrDBDataSet *frdCodDoppi;
    TVoQueryCollection *qquDescDoppi;
    TfrDBDataSet *frdDescDoppi;
    TVoQueryCollection *cdsArticoli;
    TVofrDBDataSet *xfrArticoli;
    TVoQueryCollection *qquMovArt;
    TfrDBDataSet *frdMovArt;
    TVoQueryCollection *cdsSecMerc;
    TVofrDBDataSet *xfrSecMerc;
    TVoQueryCollection *qquFornXMerce;
    TfrDBDataSet *frdFornXMerce;
    TVoQueryCollection *cdsSettoriRsp;
    TVofrDBDataSet *xfrSettoriRsp;

    // Report variables (all but SelectedSecId).
    QString data_inizio;
    QString data_fine;
    double art_giacenza = 0.0;
    double art_costomedio = 0.0;
    int SelectedSecId = -1;
    QString sSettore;

    void SetReportSqlTexts();
    // The engine asks for a variable: a name of the module's sets the value, another leaves it.
    void GetReportValue(const QString &name, QVariant &value);
    // After every run: the next one opens the datasets again.
    void CloseReportDatasets();
    // The designer's hook: each selection list is opened and closed in turn.
    void OpenCloseSelectionLists();

    void qquRegCarichiBeforeOpen(TVoQueryCollection *DataSet);
    void qquRegScarichiBeforeOpen(TVoQueryCollection *DataSet);
    void qquRegistroBeforeOpen(TVoQueryCollection *DataSet);
    void qquFacCurrBeforeOpen(TVoQueryCollection *DataSet);
    void qquGiacenzaBeforeOpen(TVoQueryCollection *DataSet);
    void qquGiacenzaAfterScroll(TVoQueryCollection *DataSet);
    void cdsBuoniBeforeOpen(TVoQueryCollection *DataSet);
    void cdsBuoniAfterScroll(TVoQueryCollection *DataSet);
    void qquCatAfterScroll(TVoQueryCollection *DataSet);
    void cdsAfterScroll(TVoQueryCollection *DataSet);
    void qquArtAfterScroll(TVoQueryCollection *DataSet);
    void cdsFornitoriBeforeOpen(TVoQueryCollection *DataSet);
    void cdsDocumentiBeforeOpen(TVoQueryCollection *DataSet);
    void cdsArticoliAfterScroll(TVoQueryCollection *DataSet);
    void cdsMerceAfterScroll(TVoQueryCollection *DataSet);

    void xfrBuoniBeforeSelectForm(TVofrDBDataSet *Sender, TfmVoMultiSelect *Form);
    void xfrSettoriBeforeSelectForm(TVofrDBDataSet *Sender, TfmVoMultiSelect *Form);
    void xfrMerceBeforeSelectForm(TVofrDBDataSet *Sender, TfmVoMultiSelect *Form);
    void xfrCategBeforeSelectForm(TVofrDBDataSet *Sender, TfmVoMultiSelect *Form);
    void xfrFornitoriBeforeSelectForm(TVofrDBDataSet *Sender, TfmVoMultiSelect *Form);
    void xfrDocumentiBeforeSelectForm(TVofrDBDataSet *Sender, TfmVoMultiSelect *Form);
    void xfrArticoliBeforeSelectForm(TVofrDBDataSet *Sender, TfmVoMultiSelect *Form);
    void xfrSecMercBeforeSelectForm(TVofrDBDataSet *Sender, TfmVoMultiSelect *Form);
    void xfrSettoriRspBeforeSelectForm(TVofrDBDataSet *Sender, TfmVoMultiSelect *Form);
    void xfrSecMercAfterSelectForm(TVofrDBDataSet *Sender, TfmVoMultiSelect *Form);

private:
    TVoQueryCollection *Query(const QString &name, TfrDBDataSet **publisher);
    TVoQueryCollection *SelectionList(const QString &name, TVofrDBDataSet **publisher,
                                      void (TdmkvaReport::*beforeSelectForm)(TVofrDBDataSet *,
                                                                             TfmVoMultiSelect *));
    // The registers and the stock list: one register-year when numbered per year, else the register.
    void RegisterBeforeOpen(TVoQueryCollection *query, const char *byYearSQL, const char *byRegisterSQL);
    // The period of a register, asked of the user; Cancel ends the run.
    void AskPeriod(TVoQueryCollection *query);
    // cdsGiacenze as the stock, average cost and value of one article at a date, over all sectors
    // (-1) or in one (0: its rows without a sector), where the cost is the article's over all sectors.
    void FillStock(TVoQueryCollection *articles, int sectorId, double date);
    // Reads what FillStock gives for a date, once a run: over all sectors, and in each sector when
    // bySector is set.
    void ReadStocks(double date, bool bySector);
    QList<TVoQueryCollection *> SelectionLists() const;

    // The date of the last stock list, as the user confirmed it.
    double m_stockDate = 0.0;
    // The stock and cost of every article over all sectors at m_stocksDate, read in the current run.
    QHash<int, TkvaStock> m_stocks;
    bool m_stocksRead = false;
    double m_stocksDate = -1.0;
    // The stock and value of every article in each sector (by article, then sector), read with them.
    struct TSectorStock {
        double stock = 0.0;
        double value = 0.0;
    };
    QHash<int, QMap<int, TSectorStock>> m_sectorStocks;
    bool m_sectorStocksRead = false;
};

extern TdmkvaReport *dmkvaReport;

// The program's standard layouts.
QStringList kvaReportLayouts();
// Connects the report module to the engine and designer of the report tree, and writes the standard
// layouts that the database lacks (at the first activation).
void kvaHookReports(TVoRptTreeView *tree);
