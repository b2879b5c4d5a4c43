#include "kvbFStorico.h"

#include "AbcUContext.h"
#include "VoQuery.h"
#include "VoQueryCollection.h"
#include "kvbMAtt.h"

#include <QTabWidget>

namespace {

const char *const kSectorsSQL =
    " SELECT BSE.IBBSEID, BSE.ISECID, BSE.DSTART, BSE.DEND, SEC.SSECDESCS    FROM TBBse_BeniSettori BSE   "
    "LEFT "
    "OUTER JOIN TSEC_SETTCONS SEC ON SEC.ISECID=BSE.ISECID  WHERE iBInbID=:iBInbID ORDER BY BSE.DSTART";
const char *const kAmountsSQL = " SELECT BIM.IBBIMID, BIM.IBBIMIMPORTO, BIM.DSTART, BIM.DEND    FROM "
                                "TBBim_Importi BIM WHERE iBInbID=:iBInbID ORDER BY BIM.DSTART";
const char *const kSitesSQL =
    " SELECT SIN.IBSINID, SIN.ISEDINFID, SIN.DSTART, SIN.DEND, SI.SSEDINFLDESC    FROM TBSIN_SEDIBENISTOR "
    "SIN "
    "   LEFT OUTER JOIN TSEDINF_SEDEINFO SI ON SIN.ISEDINFID=SI.ISEDINFID  WHERE IBINBID=:IBINBID  ORDER BY "
    "SIN.DSTART";

const char *const kGoodSQL =
    "SELECT IBINBNUMERO, SBINBCODNUMERO, SBINBDESC FROM TBINB_BENI WHERE IBINBID = :iBInbID";

} // namespace

TfmkvbStorico::TfmkvbStorico(QWidget *parent, const QString &caption, const char *select,
                             std::initializer_list<TkvbStorColumn> columns)
    : TfmVoRegistry(parent), xqcMain(NewCollection(QStringLiteral("xqcMain"))), frMaster(new TfrVoDBRWGrid),
      m_select(QString::fromLatin1(select)) {
    setWindowTitle(caption);
    Arrange(frMaster, xqcMain);
    for (const TkvbStorColumn &column : columns)
        frMaster->grFrame->AddColumn(QString::fromLatin1(column.Field), QString::fromUtf8(column.Title),
                                     column.Width);
    // A history is the server's: nothing here writes it, and its rows hold nothing more to detail.
    frMaster->SetReadOnly(true);
    frMaster->pcMain->setTabVisible(frMaster->pcMain->indexOf(frMaster->tsDetail), false);
    for (TVoDataAction *action : {frMaster->xacInsert, frMaster->xacEdit, frMaster->xacDelete}) {
        action->SetLocked(true);
        action->setVisible(false);
    }
}

void TfmkvbStorico::FormCreate() {
    TfmVoRegistry::FormCreate();
    ReplaceCurrDwg(m_select);
    SetUpCollection(xqcMain, m_select);
    xqcMain->SetAutoBuildSQL(false);
    RebuildParamsFromSQL(xqcMain);
    frMaster->ShowList();
    if (dmkvbAtt)
        m_goodId = dmkvbAtt->HistoryGoodId();
    // Several histories may be open at once: each says whose it is.
    TVoQuery good(QString::fromLatin1(kGoodSQL));
    good.SetParam(QStringLiteral("iBInbID"), m_goodId).Open();
    if (!good.Eof()) {
        QString number =
            QStringLiteral("%1").arg(good.AsInteger(QStringLiteral("IBINBNUMERO")), 7, 10, QLatin1Char('0'));
        if (const QString subCode = good.AsString(QStringLiteral("SBINBCODNUMERO")); !subCode.isEmpty())
            number += QLatin1Char('/') + subCode;
        setWindowTitle(QStringLiteral("%1 del bene %2 - %3")
                           .arg(windowTitle(), number, good.AsString(QStringLiteral("SBINBDESC"))));
    }
}

void TfmkvbStorico::FormShow() {
    xqcMain->SetParam(xqcMain->Params().Names().value(0), m_goodId);
    TfmVoRegistry::FormShow();
}

TfmkvbStorLuoghi::TfmkvbStorLuoghi(QWidget *parent)
    : TfmkvbStorico(
          parent, QStringLiteral("Storico settori"), kSectorsSQL,
          {{"Settore", "SSECDESCS", 182}, {"Data inserimento", "DSTART", 89}, {"Data finale", "DEND", 0}}) {
    setObjectName(QStringLiteral("fmkvbStorLuoghi"));
}

TfmkvbStorImp::TfmkvbStorImp(QWidget *parent)
    : TfmkvbStorico(parent, QStringLiteral("Storico importi"), kAmountsSQL,
                    {{"Valore", "IBBIMIMPORTO", 153},
                     {"Data inserimento", "DSTART", 89},
                     {"Data finale", "DEND", 87}}) {
    setObjectName(QStringLiteral("fmkvbStorImp"));
}

void TfmkvbStorImp::FormCreate() {
    TfmkvbStorico::FormCreate();
    xqcMain->AfterOpen.Add([this](TVoQueryCollection *) {
        TVoField *amount = xqcMain->FieldByName(QStringLiteral("IBBIMIMPORTO"));
        amount->SetDisplayFormat(QStringLiteral("#,##0.00"));
        amount->SetDisplayScale(4);
    });
}

TfmKvbStorSedi::TfmKvbStorSedi(QWidget *parent)
    : TfmkvbStorico(
          parent, QStringLiteral("Storico sedi"), kSitesSQL,
          {{"Sede", "SSEDINFLDESC", 300}, {"Data inserimento", "DSTART", 89}, {"Data finale", "DEND", 0}}) {
    setObjectName(QStringLiteral("fmKvbStorSedi"));
}
