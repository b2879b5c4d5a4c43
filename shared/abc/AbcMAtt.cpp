#include "AbcMAtt.h"

#include "AbcCProgram.h"
#include "AbcMParams.h"
#include "AbcMVpro.h"
#include "AbcUContext.h"
#include "AbeMSettCons.h"
#include "AbiMBen.h"
#include "VoAddOns.h"
#include "VoConnection.h"
#include "VoForms.h"
#include "VoGlobals.h"
#include "VoMDIMain.h"
#include "VoMessages.h"
#include "VoQuery.h"
#include "VoUtils.h"

#include <QApplication>
#include <QFile>

namespace {

const char *const kParamsFirst = "Prima di eseguire questa operazione bisogna impostare i parametri";
const char *const kCloseWindows = "Bisogna chiudere tutte le finestre attive per modificare i parametri";
// A register-year chosen in the parameters must exist and belong to the program (%1: its registers).
const char *const kRegisterYearOfProgramSQL =
    "SELECT dfa.iDwgFacAnfId FROM TDwgFacAnf dfa INNER JOIN TDwgFac df ON (dfa.iDwgFacId = df.iDwgFacId) "
    "INNER "
    "JOIN TFac_Velisto fac ON (df.iFacId = fac.iFacId) WHERE dfa.iDwgFacAnfId = :iDwgFacAnfId "
    "AND %1";
// The whole beneficiaries registry. Every column is named through its table: an alias beside the
// table's own name in one statement is refused by the database.
const char *const kBeneficiariSQL =
    "SELECT TBEN_BENEFICIARI.IBENID, TBEN_BENEFICIARI.IANAID, TBEN_BENEFICIARI.IEDIID, "
    "TBEN_BENEFICIARI.SBENRAGSOC, TBEN_BENEFICIARI.SBENDESC, TBEN_BENEFICIARI.SBENCODFISCALE, "
    "TBEN_BENEFICIARI.SBENPARTITAIVA, TBEN_BENEFICIARI.LBENAVVPAGAMENTO, TBEN_BENEFICIARI.DSTART, "
    "TBEN_BENEFICIARI.DEND, TBEN_BENEFICIARI.DDELETE, TBEN_BENEFICIARI.lBenPrivacy, "
    "TBEN_BENEFICIARI.lBenEnd, "
    "TBEN_BENEFICIARI.lBenObblTracc, TBEN_BENEFICIARI.lBenEstero, TBEN_BENEFICIARI.sBenStato, "
    "TBEN_BENEFICIARI.lBenAdempFiscNoRegola, TBEN_BENEFICIARI.dBenAdempFiscData, TANA_ANAGRAFICHE.IANAID "
    "AS "
    "IANAID_ANA, TANA_ANAGRAFICHE.IVOMID, TANA_ANAGRAFICHE.SANACODFISCALE, TANA_ANAGRAFICHE.SANANOME, "
    "TANA_ANAGRAFICHE.SANACOGNOME, TANA_ANAGRAFICHE.DANANASCITA, TANA_ANAGRAFICHE.ISRPCID, "
    "TANA_ANAGRAFICHE.IIOCTRLCODE, TSRPC.ISTAID, TSRPC.IPROID, TSRPC.ICOMID, NULL AS VUOTO FROM "
    "TBEN_BENEFICIARI LEFT JOIN TANA_ANAGRAFICHE ON (TBEN_BENEFICIARI.IANAID = TANA_ANAGRAFICHE.IANAID) "
    "LEFT "
    "JOIN TSRPC ON (TANA_ANAGRAFICHE.ISRPCID = TSRPC.ISRPCID) WHERE TBEN_BENEFICIARI.DDELETE IS NULL "
    "ORDER BY "
    "TBEN_BENEFICIARI.SBENRAGSOC";

bool IsUnset(const QVariant &value) {
    return !value.isValid() || value.isNull() || VoVarToInt(value, -1) == -1;
}

} // namespace

QStringList KviArguments(const TVoSQLConnection &connection) {
    return {connection.C, connection.U, connection.P};
}

QString AbcReleaseNotesDir() {
    return GetMainDir() + QStringLiteral("etc/kva/");
}

TdmAbcAtt::TdmAbcAtt(const TAbcProgram &program, QObject *parent)
    : TdmVoAttivazioni(parent), m_program(program) {
    HelpFile = program.HelpFile;
    xasNotizie =
        AddShell(QStringLiteral("xasNotizie"), nullptr, QString(), QStringLiteral("kva_Notizie.pdf"), 0, -1);
    xasNotizie->Enabled = false;
    xasNotizie->BeforeExecute = [this](TVoCustomAtt *s, bool &a) { xasNotizieBeforeExecute(s, a); };
    xasNotizie->AfterExecute = [this](TVoCustomAtt *s) { xasNotizieAfterExecute(s); };
    // The persons registry serves the responsibles, on the program's connection.
    if (!dmModAnaAtt)
        dmModAnaAtt = new TdmModAnaAtt(qApp);
    if (TdmVoConnection *connection = program.Connection ? program.Connection() : nullptr)
        dmModAnaAtt->SetConnection(connection->xqoMain);
}

TVoAttComponent *TdmAbcAtt::AddParamItem(TVoApgPage *page, int order, int imageIndex) {
    xacParam = AddComponent(QStringLiteral("xacParam"), page, QStringLiteral("Parametri"), order, imageIndex);
    xacParam->OnExecute = [this](TVoCustomAtt *s) { xacParamExecute(s); };
    xacParam->BeforeExecute = [this](TVoCustomAtt *s, bool &a) { xacParamBeforeExecute(s, a); };
    xacParam->AfterExecute = [this](TVoCustomAtt *s) { xacParamAfterExecute(s); };
    return xacParam;
}

TVoAttShell *TdmAbcAtt::AddInvoiceRegisterItem(TVoApgPage *page, int order, int imageIndex) {
    xasFatture = AddShell(QStringLiteral("xasFatture"), page, QStringLiteral("Registro Fatture"),
                          QStringLiteral("kvi"), order, imageIndex);
    xasFatture->Enabled = false;
    xasFatture->Directory = GetMainDir() + QStringLiteral("bin/");
    xasFatture->BeforeExecute = [this](TVoCustomAtt *s, bool &a) { xasFattureBeforeExecute(s, a); };
    return xasFatture;
}

void TdmAbcAtt::PlaceAddOnItem(TVoApgPage *page, int order, int imageIndex) {
    if (!dmznsActivations || !dmznsActivations->xafZnsItem())
        return;
    TVoCustomAtt *addOn = dmznsActivations->xafZnsItem();
    addOn->SetPage(page);
    addOn->ImageIndex = imageIndex;
    addOn->Order = order;
}

void TdmAbcAtt::SetHelpNumbers(std::initializer_list<std::pair<TVoCustomAtt *, int>> topics) {
    for (const auto &[item, topic] : topics)
        item->HelpContext = topic;
}

QWidget *TdmAbcAtt::FindOpenForm(const QString &caption) {
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && w->windowTitle() == caption)
            return w;
    }
    if (TfmVoMDIMain *main = TfmVoMDIMain::Instance()) {
        for (QWidget *w : main->ActiveMDIChildren())
            if (w->windowTitle() == caption)
                return w;
    }
    return nullptr;
}

void TdmAbcAtt::AddResponsabiliFrames(int kind, QStringList &frameClasses, QStringList &frameCaptions) {
    if (kind != 3)
        return;
    frameClasses << QStringLiteral("TfrAnaAbt") << QStringLiteral("TfrAnaTel")
                 << QStringLiteral("TfrAnaEMail");
    frameCaptions << QStringLiteral("Indirizzi") << QStringLiteral("Telefoni") << QStringLiteral("E-Mail");
}

void TdmAbcAtt::xacParamExecute(TVoCustomAtt *) {
    if (TdmAbcParams *params = ParamsModule())
        params->xpmVouParams->Execute(MainWindow());
}

void TdmAbcAtt::xacParamBeforeExecute(TVoCustomAtt *, bool &Allow) {
    TfmVoMDIMain *main = MainWindow();
    Allow = !main || main->MDIChildCount() == 0;
    if (!Allow)
        VoMessageDlg(QString::fromUtf8(kCloseWindows), mtWarning, mbOK);
}

void TdmAbcAtt::xacParamAfterExecute(TVoCustomAtt *) {
    if (TfmVoMDIMain *main = MainWindow())
        main->RefreshPanels();
}

void TdmAbcAtt::ParametersGuard(bool &Allow) {
    TVoParamManager *params = ParamsModule()->xpmVouParams;
    const QVariant school = params->GetParams(ParSchool);
    const QVariant registerYear = params->GetParams(ParRegisterYear);
    // A stored register-year that names none of this program (the dialog stores "0" without a
    // choice) is as good as unset: no voucher may be written against it.
    if (IsUnset(school) || IsUnset(registerYear) ||
        VoSelectValue(QString::fromLatin1(kRegisterYearOfProgramSQL)
                          .arg(AbcOwnRegisters(m_program.DurableGoods, QStringLiteral("fac.ITFCID"))),
                      {{QStringLiteral("iDwgFacAnfId"), VoVarToInt(registerYear, -1)}})
            .isNull()) {
        VoMessageDlg(QString::fromUtf8(kParamsFirst), mtWarning, mbOK);
        Allow = false;
        xacParam->Execute();
    }
}

void TdmAbcAtt::xafBeneficiariBeforeExecute(TVoCustomAtt *, bool &) {
    if (!dmBeneficiari)
        return;
    dmBeneficiari->BindConnection(qqoVoGlobConn);
    dmBeneficiari->BenPublishersMode = false;
    dmBeneficiari->AmountFormat = false;
    dmBeneficiari->xqcBeneficiari->SetCommandText(QString::fromLatin1(kBeneficiariSQL));
}

void TdmAbcAtt::xafSettConsBeforeExecute(TVoCustomAtt *, bool &) {
    if (dmSecSettCons)
        dmSecSettCons->BindConnection(qqoVoGlobConn);
}

void TdmAbcAtt::BudgetGuard(TVoAttForm *item, const QPointer<QWidget> &open, bool &Allow) {
    if (!EnsureVproDBQuery()) {
        Allow = false;
        return;
    }
    dmVproDBQuery->BindConnection(qqoVoGlobConn);
    if (item->HasOpenForm() && open)
        TfmVoMDIMain::BringToFront(open);
    else
        CashFlow = 2;
    TotalType = 1;
}

void TdmAbcAtt::BudgetFormInitialised(QWidget *Form, int helpContext, QPointer<QWidget> &open) {
    if (auto *base = dynamic_cast<TVoFormBase *>(Form))
        base->HelpContext = helpContext;
    open = Form;
}

void TdmAbcAtt::xafResponsabiliBeforeExecute(TVoCustomAtt *Sender, bool &Allow) {
    dmModAnaAtt->OnAddFrames = &TdmAbcAtt::AddResponsabiliFrames;
    dmModAnaAtt->CategorieAmmesse = {3};
    dmModAnaAtt->FilterDialogSpecificsDef(3, {1, 11, 13, 17, 18});
    TVoAttForm *own = dmModAnaAtt->xafAnagrafica;
    own->ImageIndex = Sender->ImageIndex;
    own->Order = Sender->Order;
    own->Caption = Sender->Caption;
    Allow = false;
    if (own->HasOpenForm()) {
        if (QWidget *open = FindOpenForm(own->Caption))
            TfmVoMDIMain::BringToFront(open);
        return;
    }
    own->Execute();
}

void TdmAbcAtt::xasFattureBeforeExecute(TVoCustomAtt *, bool &) {
    if (qqoVoGlobConn)
        xasFatture->Parameters = KviArguments(*qqoVoGlobConn);
}

void TdmAbcAtt::xasNotizieBeforeExecute(TVoCustomAtt *, bool &) {
    if (xasNotizie->Directory.isEmpty())
        xasNotizie->Directory = AbcReleaseNotesDir();
}

void TdmAbcAtt::xasNotizieAfterExecute(TVoCustomAtt *) {
    const QString marker = GetMainDir() + m_program.ReleaseNotesMarker;
    if (QFile::exists(marker))
        QFile::remove(marker);
}
