#include "kvbFChiusura.h"

#include "VoConnection.h"
#include "VoDBDateEdit.h"
#include "VoDBLookupEdit.h"
#include "VoDataSource.h"
#include "VoDates.h"
#include "VoMessages.h"
#include "VoQuery.h"
#include "VoQueryCollection.h"
#include "VoSearchDialog.h"
#include "VoStatistics.h"
#include "VoTransaction.h"
#include "VoWait.h"
#include "kvbFMessDefCar.h"
#include "kvbUUtil.h"

#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {

const char *const kMessage =
    "Con questa operazione verranno resi definitivi tutti i buoni sia di carico che di scarico, e i relativi "
    "beni, dell'inventario presenti nell'archivio. Prima di procedere controllare che le stampe di verifica "
    "della chiusura siano corrette.";
const char *const kNoType = "Inserire il tipo di chiusura che si desidera effettuare";
const char *const kBadDate = "Data non valida";
const char *const kTypeDone = "Tipo di chiusura già effettuata in questo anno";
const char *const kZeroAmounts = "L'importo dei seguenti buoni è 0.";
const char *const kGoOn = " Vuoi continuare lo stesso?";
const char *const kNothingClosed = "Nessuna chiusura effettuata: nessun buono è stato reso definitivo.";
const char *const kClosed =
    "Chiusura al %1 effettuata.\r\nBuoni resi definitivi: %2 (%3 di carico, %4 di scarico); beni: %5.";

// The register's provisional vouchers up to the date, of every register-year.
const char *const kVouchersSQL =
    "SELECT BUO.iBBuoID, BUO.iBBuoNUMERO, BUO.dBBuoDATA, BUO.iBBuoTIPO, BUO.iBBuoIMPORTO FROM TBBuo_Buoni "
    "BUO "
    "INNER JOIN TDwgFacAnf dia ON (buo.iDwgFacAnfId = dia.iDwgFacAnfId) INNER JOIN TDwgFac di ON "
    "dia.IDwgFacID=di.IDwgFacID WHERE (BUO.ILOCKED<>1) AND (BUO.dBBuoDATA<=:dBBuoData) AND (di.iFacId = "
    ":iFacId) ORDER BY BUO.iBBuoNUMERO, BUO.dBBuoDATA;";
// The goods that the closing's vouchers load or unload, each counted once.
const char *const kGoodsSQL =
    "SELECT COUNT(*) FROM TBInb_Beni INB WHERE EXISTS (SELECT 1 FROM TBBuo_Buoni BUO INNER JOIN TDwgFacAnf "
    "dia ON (buo.iDwgFacAnfId = dia.iDwgFacAnfId) INNER JOIN TDwgFac di ON dia.IDwgFacID=di.IDwgFacID WHERE "
    "(BUO.ILOCKED<>1) AND (BUO.dBBuoDATA<=:dBBuoData) AND (di.iFacId = :iFacId) AND (BUO.iBBuoID = "
    "INB.iBBuoID OR BUO.iBBuoID = INB.iBBuoIDSCARICO))";
const char *const kLastClosingSQL =
    "SELECT MAX(DCHADATACHIUSURA) AS DCHADATACHIUSURA FROM TCHA_CHIUSURAANNO WHERE iFacId = :iFacId;";
const char *const kTypeInYearSQL =
    "SELECT FIRST 1 ICHAID FROM TCHA_CHIUSURAANNO WHERE ITCHID=:ITCHID AND iFacId=:iFacId AND EXTRACT(YEAR "
    "FROM DCHADATACHIUSURA)=:ICHAANNOCHIUSURA";
const char *const kClosingSQL =
    "INSERT INTO TCHA_CHIUSURAANNO (ICHAID, DCHADATACHIUSURA, DINSERT, iFacId, ITCHID) VALUES (:ICHAID, "
    ":DCHADATACHIUSURA, (SELECT SERVERDATE FROM pygetservertimestamp), :iFacId, :ITCHID);";
const char *const kChaCamSQL =
    "INSERT INTO TCHACAM (ICHACAMID, ICHAID, ICAMID, ICHACAMIMPORTO) VALUES ((SELECT L_ICNTID FROM "
    "PYSETGETID('TCHACAM',1)), :ICHAID, :ICAMID, :ICHACAMIMPORTO);";
// Per category 1 to 8, the value of the goods the register holds at the date, by the one rule the
// reports print the register by.
const char *const kCategoriesSQL =
    "SELECT cam.ICAMID, CASE cam.ICAMID WHEN 1 THEN reg.IMP1 WHEN 2 THEN reg.IMP2 WHEN 3 THEN reg.IMP3 WHEN "
    "4 "
    "THEN reg.IMP4 WHEN 5 THEN reg.IMP5 WHEN 6 THEN reg.IMP6 WHEN 7 THEN reg.IMP7 ELSE reg.IMP8 END AS "
    "IMPORTO "
    "FROM PKVB_GETCHIUSURA(NULL, :dBBuoData, 1, :iFacId) reg CROSS JOIN TCAM_CATEGORIEINV cam WHERE "
    "cam.ICAMID BETWEEN 1 AND 8 ORDER BY cam.ICAMID";

struct TVoucher {
    int id = 0;
    bool loading = true;
};

// The vouchers the closing makes definitive, in its order; zeroList gets those of amount 0.
QList<TVoucher> ProvisionalVouchers(double date, QString *zeroList) {
    QList<TVoucher> vouchers;
    TVoQuery q(QString::fromLatin1(kVouchersSQL));
    q.SetParamDate(QStringLiteral("dBBuoData"), date).SetParam(QStringLiteral("iFacId"), CurrentRegisterId);
    for (q.Open(); !q.Eof(); q.Next()) {
        vouchers.append(
            {q.AsInteger(QStringLiteral("iBBuoID")), q.AsInteger(QStringLiteral("iBBuoTIPO")) == 0});
        // An amount is 0 when it rounds to no whole unit (amounts are ten-thousandths).
        if (zeroList && qAbs(q.AsLargeInt(QStringLiteral("iBBuoIMPORTO"))) < 5000)
            *zeroList += QStringLiteral("numero %1 del %2\r\n")
                             .arg(q.AsInteger(QStringLiteral("iBBuoNUMERO")))
                             .arg(DaysToDate(q.AsDate(QStringLiteral("dBBuoDATA")))
                                      .toString(QStringLiteral("dd/MM/yyyy")));
    }
    return vouchers;
}

bool DateAfterLastClosing(double date) {
    TVoQuery q(QString::fromLatin1(kLastClosingSQL));
    q.SetParam(QStringLiteral("iFacId"), CurrentRegisterId);
    q.Open();
    const double last =
        q.IsNull(QStringLiteral("DCHADATACHIUSURA")) ? 0.0 : q.AsDate(QStringLiteral("DCHADATACHIUSURA"));
    return date > last;
}

bool TypeClosedInYear(double date, int typeId) {
    return VoSelectValue(QString::fromLatin1(kTypeInYearSQL),
                         {{QStringLiteral("ITCHID"), typeId},
                          {QStringLiteral("iFacId"), CurrentRegisterId},
                          {QStringLiteral("ICHAANNOCHIUSURA"), DaysToDate(date).year()}})
        .isValid();
}

// The check of the date and that of the type, in their order: the message of the first that fails
// (with its buttons), or nothing.
struct TProblem {
    const char *text = nullptr;
    TMsgDlgButtons buttons = mbOK;
};

TProblem DateProblem(double date) {
    if (!DateAfterLastClosing(date))
        return {kBadDate, mbOK};
    return {};
}

TProblem TypeProblem(double date, int typeId) {
    if (TypeClosedInYear(date, typeId))
        return {kTypeDone, mbOKCancel};
    return {};
}

bool Report(const TProblem &problem) {
    if (!problem.text)
        return false;
    VoMessageDlg(QString::fromUtf8(problem.text), mtError, problem.buttons);
    return true;
}

} // namespace

TfmkvbChiusura::TfmkvbChiusura(QWidget *parent)
    : TfmVoWizard(parent), tsMessage(new QWidget), tsDate(new QWidget), laMsg(new QLabel(tsMessage)),
      deDataChiusura(new TVoDBDateEdit(tsDate)), xqcMain(new TVoQueryCollection(this)),
      xdsMain(new TVoDataSource(this)), xleTipoChiusura(new TVoDBLookupEdit(tsDate)) {
    setObjectName(QStringLiteral("fmkvbChiusura"));
    // The menu names it after what it does (closing or check); opened otherwise, it closes.
    setWindowTitle(QStringLiteral("Chiusura"));
    resize(480, 260);
    laMsg->setText(QString::fromUtf8(kMessage));
    laMsg->setWordWrap(true);
    laMsg->setAlignment(Qt::AlignCenter);
    QFont bold = laMsg->font();
    bold.setBold(true);
    laMsg->setFont(bold);
    (new QVBoxLayout(tsMessage))->addWidget(laMsg);

    auto *dateLayout = new QVBoxLayout(tsDate);
    dateLayout->addWidget(
        new QLabel(QStringLiteral("Selezionare la data in cui si desidera effettuare la chiusura"), tsDate));
    deDataChiusura->setFixedWidth(120);
    dateLayout->addWidget(deDataChiusura);
    auto *typeLabel = new QLabel(QStringLiteral("Tipo di chiusura"), tsDate);
    typeLabel->setBuddy(xleTipoChiusura);
    dateLayout->addWidget(typeLabel);
    xleTipoChiusura->setFixedWidth(300);
    dateLayout->addWidget(xleTipoChiusura);
    dateLayout->addStretch(1);

    xqcMain->setObjectName(QStringLiteral("xqcMain"));
    xqcMain->SetAutoBuildSQL(false);
    xdsMain->SetDataSet(xqcMain);
    xleTipoChiusura->Bind(xdsMain, QStringLiteral("iTchId"));
    xleTipoChiusura->SetKeyField(QStringLiteral("iTchId"));
    xleTipoChiusura->SetListField(QStringLiteral("sTchLDesc"));
    xleTipoChiusura->SetSearchField(QStringLiteral("sTchLDesc"));
    xleTipoChiusura->SetDefaultValue(0);
    xleTipoChiusura->OnShowSearchForm.Add([](TVoDBLookupEdit *, TVoSearchDialog *Form) {
        SetSearchFormTable(Form, QStringLiteral("Tipo chiusura"));
    });

    AddPage(tsMessage);
    AddPage(tsDate);
    buOk->setText(QStringLiteral("Esegui"));
    buOk->setToolTip(QStringLiteral("Esegui"));
}

void TfmkvbChiusura::FormCreate() {
    TfmVoWizard::FormCreate();
    xleTipoChiusura->SetConnection(qqoVoGlobConn);
    xleTipoChiusura->SetListSQL(
        QStringLiteral("select iTchId, sTchLDesc from ttch_tipochiusura where ##WHERE##"));
    // A scratch record for the lookup; it is never posted.
    xqcMain->SetConnection(qqoVoGlobConn);
    xqcMain->SetCommandText(QStringLiteral("SELECT * FROM TCha_ChiusuraAnno;"));
    xqcMain->Open();
    xqcMain->Insert();
}

void TfmkvbChiusura::showEvent(QShowEvent *e) {
    deDataChiusura->SetDate(QDate::currentDate());
    if (!m_closing) {
        SetActivePageIndex(pcMain->indexOf(tsDate));
        buNext->hide();
        buPrior->hide();
    }
    TfmVoWizard::showEvent(e);
    if (ActivePageIndex() == pcMain->indexOf(tsDate))
        deDataChiusura->setFocus();
}

void TfmkvbChiusura::CheckButtons() {
    TfmVoWizard::CheckButtons();
    buOk->setEnabled(pcMain->currentWidget() == tsDate);
    if (pcMain->currentWidget() == tsDate && isVisible())
        deDataChiusura->setFocus();
}

void TfmkvbChiusura::buOkClick() {
    VoGuarded([this] { actEseguiExecute(); });
}

void TfmkvbChiusura::actEseguiExecute() {
    const int typeId = xqcMain->FieldByName(QStringLiteral("iTchId"))->AsInteger();
    if (m_closing && typeId <= 0) {
        VoMessageDlg(QString::fromUtf8(kNoType), mtError, mbOK);
        return;
    }
    const double date = DateToDays(deDataChiusura->Date());
    if (!RunChecks(date, typeId)) {
        // The window closes after a refusal: the user is told that the register stays as it was.
        if (m_closing)
            VoMessageDlg(QString::fromUtf8(kNothingClosed), mtInformation, mbOK);
    } else if (m_closing) {
        WriteClosing(date, typeId);
    }
    TfmVoWizard::buOkClick();
}

bool TfmkvbChiusura::RunChecks(double date, int typeId) {
    TVoHourglass hourglass;
    if (const TProblem problem = DateProblem(date); problem.text) {
        hourglass.Restore();
        return !Report(problem);
    }
    QString zeroList;
    ProvisionalVouchers(date, &zeroList);
    if (!zeroList.isEmpty()) {
        hourglass.Restore();
        if (VoMessageDlg(QString::fromUtf8(kZeroAmounts) + QStringLiteral("\r\n") + zeroList +
                             QString::fromUtf8(kGoOn),
                         mtWarning, mbYesNo) != mrYes)
            return false;
    }
    const TProblem problem = TypeProblem(date, typeId);
    hourglass.Restore();
    return !Report(problem);
}

void TfmkvbChiusura::WriteClosing(double date, int typeId) {
    TProblem problem;
    QString done;
    {
        TVoHourglass hourglass;
        TVoTransaction transaction;
        transaction.StartTransaction();
        // Of two closings at once the second waits here, and then finds the first one's row.
        VoLockRow(QStringLiteral("TFAC_VELISTO"), QStringLiteral("IFACID"), CurrentRegisterId);
        problem = DateProblem(date);
        if (!problem.text)
            problem = TypeProblem(date, typeId);
        if (!problem.text) {
            TfmMessDefCar defCar(this);
            const QList<TVoucher> vouchers = ProvisionalVouchers(date, nullptr);
            const int goods = VoSelectValue(QString::fromLatin1(kGoodsSQL),
                                            {{QStringLiteral("dBBuoData"), DaysToDate(date)},
                                             {QStringLiteral("iFacId"), CurrentRegisterId}})
                                  .toInt();
            const auto loading = std::count_if(vouchers.cbegin(), vouchers.cend(),
                                               [](const TVoucher &voucher) { return voucher.loading; });
            done = QString::fromUtf8(kClosed)
                       .arg(FormatDays(date))
                       .arg(vouchers.size())
                       .arg(loading)
                       .arg(vouchers.size() - loading)
                       .arg(goods);
            for (const TVoucher &voucher : vouchers) {
                defCar.SetIdBuono(voucher.id);
                defCar.SetCarico(voucher.loading);
                defCar.actEseguiExecute();
            }
            const int chaId = NewId(QStringLiteral("TCHA_CHIUSURAANNO"));
            VoExecSQL(QString::fromLatin1(kClosingSQL),
                      {{QStringLiteral("ICHAID"), chaId},
                       {QStringLiteral("DCHADATACHIUSURA"), DaysToDate(date)},
                       {QStringLiteral("iFacId"), CurrentRegisterId},
                       {QStringLiteral("ITCHID"), typeId}});
            TVoQuery categories(QString::fromLatin1(kCategoriesSQL));
            categories.SetParamDate(QStringLiteral("dBBuoData"), date)
                .SetParam(QStringLiteral("iFacId"), CurrentRegisterId);
            for (categories.Open(); !categories.Eof(); categories.Next())
                VoExecSQL(
                    QString::fromLatin1(kChaCamSQL),
                    {{QStringLiteral("ICHAID"), chaId},
                     {QStringLiteral("ICAMID"), categories.AsInteger(QStringLiteral("ICAMID"))},
                     {QStringLiteral("ICHACAMIMPORTO"), categories.AsLargeInt(QStringLiteral("IMPORTO"))}});
            transaction.Commit();
            VoRefreshStaleStatistics();
            m_chaId = chaId;
        }
    }
    if (Report(problem))
        VoMessageDlg(QString::fromUtf8(kNothingClosed), mtInformation, mbOK);
    else
        VoMessageDlg(done, mtInformation, mbOK);
}
