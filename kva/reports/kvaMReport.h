#pragma once
// The report data module: the datasets, variables and selection lists that the layouts of this
// program print from. Its datasets are closed between runs; each one's BeforeOpen handler rebuilds
// its text and parameters from the working context, so a change of the parameters counts at the next
// run.
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

    // The loading register and the current register.
    TVoQueryCollection *qquRegCarichi;
    TfrDBDataSet *frdRegCarichi;
    TVoQueryCollection *qquFacCurr;
    TfrDBDataSet *frdFacCurr;
    // The stock and average cost of the current article, one row.
    TVoQueryCollection *cdsGiacenze;
    TfrDBDataSet *frdGiacenze;
    // The vouchers the user chooses, with their rows and documents.
    TVoQueryCollection *cdsBuoni;
    TVofrDBDataSet *xfrBuoni;
    TVoQueryCollection *qquArtXBuono;
    TfrDBDataSet *frdArtXBuono;
    TVoQueryCollection *qquDocXBuono;
    TfrDBDataSet *frdDocXBuono;

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
    void qquFacCurrBeforeOpen(TVoQueryCollection *DataSet);
    void cdsBuoniBeforeOpen(TVoQueryCollection *DataSet);
    void cdsBuoniAfterScroll(TVoQueryCollection *DataSet);
    void xfrBuoniBeforeSelectForm(TVofrDBDataSet *Sender, TfmVoMultiSelect *Form);

private:
    TVoQueryCollection *Query(const QString &name, TfrDBDataSet **publisher);
    // The register reports: the scope of the numbering, then the period asked of the user.
    void RegisterBeforeOpen(TVoQueryCollection *query, const char *byYearSQL, const char *byRegisterSQL);
};

extern TdmkvaReport *dmkvaReport;

// The program's standard layouts.
QStringList kvaReportLayouts();
// Connects the report module to the engine and designer of the report tree, and writes the standard
// layouts that the database lacks (at the first activation).
void kvaHookReports(TVoRptTreeView *tree);
