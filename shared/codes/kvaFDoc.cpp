#include "kvaFDoc.h"

#include "AbcUContext.h"
#include "AbcURoutines.h"
#include "VoConnection.h"
#include "VoDBDateEdit.h"
#include "VoDBEdits.h"
#include "VoDBLookupEdit.h"

namespace {

const char *const kBenefListSQL = "SELECT IBENID, SBENRAGSOC FROM TBEN_BENEFICIARI WHERE ##WHERE##";
const char *const kTipoDocListSQL = "SELECT ITIDID, STIDDESC FROM TTID_TIPOINVDOC WHERE ##WHERE##";
// Documents without a type or a supplier are listed too.
const char *const kDocSQL =
    "SELECT idc.iIdcId, idc.sIdcNumero, idc.dIdcData, idc.sIdcDesc, tid.iTidId, tid.sTidDesc, ben.iBenId, "
    "ben.sBenRagSoc FROM TIdc_InvDoc idc LEFT OUTER JOIN TTid_TipoInvDoc tid ON (tid.iTidId = idc.iTidId) "
    "LEFT OUTER JOIN TBen_Beneficiari ben ON (ben.iBenId = idc.iBenId) WHERE idc.sIdcPrg LIKE ('1____')";
const char *const kDocInsertSQL = "INSERT INTO TIDC_INVDOC (IIDCID, DIDCDATA, SIDCNUMERO, SIDCDESC, ITIDID, "
                                  "IBENID, SIDCPRG) VALUES (:VOGENID, :DIDCDATA, :SIDCNUMERO, :SIDCDESC, "
                                  ":ITIDID, :IBENID, :SIDCPRG);";
// The program code is never changed.
const char *const kDocUpdateSQL = "UPDATE TIDC_INVDOC SET DIDCDATA = :DIDCDATA, SIDCNUMERO = :SIDCNUMERO, "
                                  "SIDCDESC = :SIDCDESC, ITIDID = :ITIDID, IBENID = :IBENID WHERE (IIDCID = "
                                  ":VOCURRID);";
const char *const kDocDeleteSQL = "DELETE FROM TIDC_INVDOC WHERE IIDCID=:VOCURRID";
const char *const kDocUsersSQL = "SELECT IFBUOIDCID FROM TFBUOIDC WHERE IIDCID = :IIDCID";

const char *const kTipoDocSQL = "SELECT iTidId, sTidCodice, sTidDesc, iLocked FROM TTid_TipoInvDoc ORDER BY "
                                "sTidDesc;";

} // namespace

// --- Documents ----------------------------------------------------------------------------------------

TfrkvaDoc::TfrkvaDoc(QWidget *parent)
    : TfrkvaDoc({QStringLiteral("Fornitore / Destinatario"), true, false}, parent) {}

TfrkvaDoc::TfrkvaDoc(const TProfile &profile, QWidget *parent)
    : TfrVoDBRWGrid(parent),
      xedNumero(VoAddDetailEdit(this, QStringLiteral("Numero"), QStringLiteral("SIDCNUMERO"), 50)),
      xdeData(VoAddDetailControl<TVoDBDateEdit>(this, QStringLiteral("Data"), QStringLiteral("DIDCDATA"))),
      xedDesc(VoAddDetailEdit(this, QStringLiteral("Descrizione"), QStringLiteral("SIDCDESC"), 250)),
      xleBenef(VoAddDetailControl<TVoDBLookupEdit>(this, profile.benefCaption, QStringLiteral("iBenId"))),
      xleTipoDoc(VoAddDetailControl<TVoDBLookupEdit>(this, QStringLiteral("Tipo documento"),
                                                     QStringLiteral("iTidId"))) {
    grFrame->AddColumn(QStringLiteral("SIDCNUMERO"), QStringLiteral("Numero"), 100);
    grFrame->AddColumn(QStringLiteral("DIDCDATA"), QStringLiteral("Data"));
    grFrame->AddColumn(QStringLiteral("sTidDesc"), QStringLiteral("Tipo di documento"), 200);
    grFrame->AddColumn(QStringLiteral("SIDCDESC"), QStringLiteral("Descrizione"), 200);
    grFrame->AddColumn(QStringLiteral("sBenRagSoc"), QStringLiteral("Fornitore / Destinatario"), 200);
    xdeData->SetPickerKey(119);
    xleBenef->SetKeyField(QStringLiteral("iBenId"));
    xleBenef->SetListField(QStringLiteral("sBenRagSoc"));
    xleBenef->SetSearchField(QStringLiteral("sBenRagSoc"));
    xleTipoDoc->SetKeyField(QStringLiteral("iTidId"));
    xleTipoDoc->SetListField(QStringLiteral("sTidDesc"));
    xleTipoDoc->SetSearchField(QStringLiteral("sTidDesc"));
    if (profile.numberAndDateRequired) {
        VoRequireValue(xedNumero, QStringLiteral("numero"));
        VoRequireValue(xdeData, QStringLiteral("data"));
    }
    VoRequireValue(xedDesc, QStringLiteral("descrizione"));
    VoRequireValue(xleTipoDoc, QStringLiteral("tipo di documento"));
    if (profile.benefRequired)
        VoRequireValue(xleBenef, QStringLiteral("fornitore / destinatario"));
    xleBenef->OnShowSearchForm.Add([](TVoDBLookupEdit *, TVoSearchDialog *Form) {
        SetSearchFormTable(Form, QStringLiteral("fornitori"));
    });
    xleTipoDoc->OnShowSearchForm.Add([](TVoDBLookupEdit *, TVoSearchDialog *Form) {
        SetSearchFormTable(Form, QStringLiteral("Tipi di documento"));
    });
}

TfmkvaDoc::TfmkvaDoc(QWidget *parent) : TfmkvaDoc(new TfrkvaDoc, parent) {}

TfmkvaDoc::TfmkvaDoc(TfrkvaDoc *frame, QWidget *parent)
    : TfmVoRegistry(parent), xqcMain(NewCollection(QStringLiteral("xqcMain"))), frMaster(frame) {
    setWindowTitle(QStringLiteral("Tipo di documenti"));
    setToolTip(QStringLiteral("Tipo di documenti"));
    Arrange(frMaster, xqcMain);
    xqcMain->VoBeforeExec.Add(
        [this](TVoQueryCollection *, TVoQueryProp &Prop, bool &) { xqcMainVoBeforeExec(Prop); });
    GuardDeleteWhileUsed(xqcMain, QStringLiteral("TIDC_INVDOC"), QStringLiteral("IIDCID"),
                         QString::fromLatin1(kDocUsersSQL));
}

void TfmkvaDoc::FormCreate() {
    TfmVoRegistry::FormCreate();
    for (TVoDBLookupEdit *lookup : {frMaster->xleBenef, frMaster->xleTipoDoc})
        lookup->SetConnection(qqoVoGlobConn);
    frMaster->xleBenef->SetListSQL(QString::fromLatin1(kBenefListSQL));
    frMaster->xleTipoDoc->SetListSQL(QString::fromLatin1(kTipoDocListSQL));
    SetUpRegistry(frMaster, xqcMain, CurrDwgReplaced(kDocSQL),
                  {{0, QStringLiteral("sIdcNumero"), true},
                   {1, QStringLiteral("dIdcData"), false},
                   {2, QStringLiteral("sTidDesc"), true},
                   {3, QStringLiteral("sIdcDesc"), true},
                   {4, QStringLiteral("sBenRagSoc"), true}},
                  TVoRegistryStatements::Of(kDocInsertSQL, kDocUpdateSQL, kDocDeleteSQL));
}

// The program code tells the other programs of the suite which documents are this program's: an
// invoice (type 1) or another document.
void TfmkvaDoc::xqcMainVoBeforeExec(TVoQueryProp &Prop) {
    if (Prop.Kind != skInsert)
        return;
    const bool invoice = xqcMain->FieldByName(QStringLiteral("iTidId"))->AsInteger() == 1;
    Prop.Values.Add(QStringLiteral("SIDCPRG"), invoice ? QStringLiteral("11000") : QStringLiteral("10000"));
}

// --- Document types -----------------------------------------------------------------------------------

TfrkvaTipoDoc::TfrkvaTipoDoc(QWidget *parent)
    : TfrVoDBRWGrid(parent),
      xdeCodice(VoAddDetailEdit(this, QStringLiteral("Codice"), QStringLiteral("sTidCodice"), 20)),
      xdeDesc(VoAddDetailEdit(this, QStringLiteral("Descrizione"), QStringLiteral("sTidDesc"), 250)) {
    grFrame->AddColumn(QStringLiteral("sTidCodice"), QStringLiteral("Codice"));
    grFrame->AddColumn(QStringLiteral("sTidDesc"), QStringLiteral("Descrizione"), 200);
    VoRequireValue(xdeDesc, QStringLiteral("Descrizione tipo documento"));
}

TfmkvaTipoDoc::TfmkvaTipoDoc(QWidget *parent)
    : TfmVoRegistry(parent), xqcMain(NewCollection(QStringLiteral("xqcMain"))), frMaster(new TfrkvaTipoDoc) {
    setWindowTitle(QStringLiteral("Tipo Documenti"));
    setToolTip(QStringLiteral("Tipo Documenti"));
    Arrange(frMaster, xqcMain);
}

void TfmkvaTipoDoc::FormCreate() {
    TfmVoRegistry::FormCreate();
    SetUpRegistry(frMaster, xqcMain, CurrDwgReplaced(kTipoDocSQL),
                  {{0, QStringLiteral("sTidCodice"), true}, {1, QStringLiteral("sTidDesc"), true}});
}
