#pragma once
// The report data module of the durable-goods program: the datasets, variables and selection lists
// that its layouts print from. Every dataset is closed between runs; its BeforeOpen handler takes the
// register (or register-year) of the working context, so a change of the parameters counts at the next
// run. Details follow their master: the goods and documents of a voucher, the goods codes of a
// category, what a sector or a location holds, the members and goods of a minute, the movements and
// the previous totals of a closing.
#include "VoDates.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

class TVoQueryCollection;
class TVoRptTreeView;
class TVofrDBDataSet;
class TfmVoMultiSelect;
class TfrDBDataSet;

// The base report of the testing minutes; any other minutes report prints the other kinds.
inline constexpr int kvbTestingMinutesReport = 33024;

class TdmkvbReport : public QObject {
    Q_OBJECT
public:
    explicit TdmkvbReport(QObject *parent = nullptr);

    // Registries.
    TVoQueryCollection *qquCaus, *qquCat, *qquCatMerce, *qquBenefici, *qquCondiz, *qquSettCons, *qquBenDur,
        *qquStAvanz, *qquIstBenDur, *qquFacCurr;
    // Vouchers of the register and of the register-year, with their goods and documents.
    TVoQueryCollection *qquBuoni, *qquScarico, *qquBuoniCarico, *qquBuoniScarico, *qquBeniBuoniCarico,
        *qquBeniBuoniScarico, *qquDocXBuono;
    // Goods lists, books, labels.
    TVoQueryCollection *qquVBeni, *qquVBeniCarico, *qquVBeniScarico, *qquVLibriCarico, *qquEtichette,
        *qquEtichette_sett;
    // Sectors, number histories, locations.
    TVoQueryCollection *qquSettCons_S, *qquBeniSettCons, *qquStoricoNumeri, *qquStoricoNumeri_Sec,
        *qquDataUltimoStor, *qquCollocazioni, *qquBeni_coll;
    // Closings.
    TVoQueryCollection *qquChiusure, *qquVBeniChiusure, *qquChiusPrec, *qquChiusureTotali, *qquNewChiusura,
        *qquLastChiu;
    // Minutes.
    TVoQueryCollection *qquCollaudo, *qquCommisColl, *qquInbColl;

    // The publishers whose rows the user chooses.
    TVofrDBDataSet *frdSettCons_S, *frdBuoniCarico, *frdBuoniScarico, *frdVBeni, *frdCollaudo,
        *frdCollocazioni;

    // The dates asked for, as day counts, and the text date of the last list asked for.
    double VerificationDate = VoNoDate;
    double PreviousClosingDate = VoNoDate;
    QString DateAl;
    double GoodsListDate = VoNoDate;

    // The engine asks for a variable: a name of the module's sets the value, another leaves it.
    void GetReportValue(const QString &name, QVariant &value);
    // After every run: the next one opens the datasets again.
    void CloseReportDatasets();
    // The designer's hook: each dataset whose rows the user chooses is opened and closed in turn.
    void OpenCloseClientDatasets();

    // The minutes' select of a base report.
    static QString MinutesSQL(int baseReportId);

private:
    TVoQueryCollection *Query(const QString &name);
    TVoQueryCollection *SelectionList(const QString &name, TVofrDBDataSet **publisher);
    void ReopenDetail(TVoQueryCollection *detail, const char *param, const QVariant &value);
    void ReopenMovements(double after, double upTo);
    void HistoryBeforeOpen(TVoQueryCollection *history);
    void MinutesBeforeOpen(TVoQueryCollection *minutes);

    void BeforeGoodsForm(TfmVoMultiSelect *form);
    void AfterGoodsForm(TfmVoMultiSelect *form);
};

extern TdmkvbReport *dmkvbReport;

// The program's standard layouts.
QStringList kvbReportLayouts();
// Connects the report module to the engine and designer of the report tree, and writes the standard
// layouts that the database lacks (at the first activation).
void kvbHookReports(TVoRptTreeView *tree);
