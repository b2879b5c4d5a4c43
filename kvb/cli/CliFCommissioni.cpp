#include "CliFCommissioni.h"

#include "AbcURoutines.h"
#include "VoConnection.h"
#include "VoDBDateEdit.h"
#include "VoDBEdits.h"
#include "VoDBLookupEdit.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>

const QString KCliCommissioneInUso =
    QStringLiteral("Impossibile cancellare la commissione: ci sono dei componenti o dei verbali collegati.");

namespace {

const char *const kCommissioniSQL =
    "SELECT cms.iCmsId, cms.iTpcmId, cms.sCmsCodice, cms.sCmsDesc, cms.dCmsStartVal, cms.dCmsEndVal, "
    "tpcm.sTpcmDesc, cms.sCmsNumProvv, cms.dCmsDataProvv, cms.sCmsDirScol, cms.bCmsNote FROM "
    "TCms_Commissioni "
    "cms INNER JOIN TTpcm_TipoComm tpcm ON (cms.iTpcmId = tpcm.iTpcmId) ORDER BY sCmsDesc;";
const char *const kCommissioniInsertSQL =
    "INSERT INTO TCms_Commissioni (iCmsId, iTpcmId, sCmsCodice, sCmsDesc, dCmsStartVal, dCmsEndVal, "
    "sCmsNumProvv, dCmsDataProvv, sCmsDirScol, bCmsNote) VALUES (:VOGENID, :iTpcmId, :sCmsCodice, :sCmsDesc, "
    ":dCmsStartVal, :dCmsEndVal, :sCmsNumProvv, :dCmsDataProvv, :sCmsDirScol, :bCmsNote);";
const char *const kCommissioniUpdateSQL =
    "UPDATE TCms_Commissioni SET iTpcmId=:iTpcmId, sCmsCodice=:sCmsCodice, sCmsDesc=:sCmsDesc, "
    "dCmsStartVal=:dCmsStartVal, dCmsEndVal=:dCmsEndVal,  sCmsNumProvv = :sCmsNumProvv, dCmsDataProvv = "
    ":dCmsDataProvv, sCmsDirScol = :sCmsDirScol, bCmsNote = :bCmsNote  WHERE iCmsId=:VOCURRID;";
const char *const kCommissioniDeleteSQL = "DELETE FROM TCms_Commissioni WHERE iCmsId=:VOCURRID;";
const char *const kCommissioniUsersSQL =
    "SELECT ICPCCMSID FROM TCPCCMS WHERE ICMSID = :ICMSID UNION ALL SELECT "
    "IVERID FROM TVER_VERBALI WHERE ICMSID = :ICMSID";

const char *const kComponentiSQL =
    "SELECT cpc.iCpcId, cpc.sCpcNome, cpc.sCpcCognome, cpc.iQuapId, quap.sQuapLDesc,        rco.sRcoLDesc, "
    "cc.iCpcCmsId, rco.iRcoId FROM TCpc_CompComm cpc INNER JOIN TCpcCms cc ON (cpc.iCpcId = cc.iCpcId) LEFT "
    "JOIN TQuap_QualPers quap ON (cpc.iQuapId = quap.iQuapId) LEFT JOIN TRco_RuoloComp rco ON (cc.iRcoId = "
    "rco.iRcoId) WHERE cc.iCmsId=:iCmsId ORDER BY cpc.sCpcCognome, cpc.sCpcNome;";
const char *const kMembershipInsertSQL =
    "INSERT INTO TCpcCms (iCpcCmsId, iCpcId, iCmsId, iRcoId) VALUES (:VOGENID, :iCpcId, :iCmsId, :iRcoId);";
const char *const kMembershipUpdateSQL = "UPDATE TCpcCms SET iRcoId = :iRcoId WHERE iCpcCmsId = :iCpcCmsId;";
const char *const kMembershipDeleteSQL =
    "DELETE FROM TCpcCms WHERE (iCpcId = :iCpcId) AND (iCmsId = :iCmsId);";
const char *const kMemberExistsSQL =
    "SELECT ICPCCMSID FROM TCPCCMS WHERE ICPCID = :ICPCID AND ICMSID = :ICMSID";

const char *const kTipoCommissioneListSQL = "SELECT iTpcmId, sTpcmDesc FROM TTpcm_TipoComm WHERE ##WHERE##";
const char *const kQualificaListSQL = "SELECT iQuapId, sQuapLDesc FROM TQuap_QualPers WHERE ##WHERE##";

const TCliMembersProfile kCommissioni{QStringLiteral("Commissioni"),
                                      QStringLiteral("TCMS_COMMISSIONI"),
                                      QStringLiteral("ICMSID"),
                                      QStringLiteral("TCPCCMS"),
                                      QStringLiteral("ICPCCMSID"),
                                      QStringLiteral("Commissario già inserito in questa commissione"),
                                      false,
                                      kCommissioniSQL,
                                      {CliSql(kCommissioniInsertSQL)},
                                      {CliSql(kCommissioniUpdateSQL)},
                                      {CliSql(kCommissioniDeleteSQL)},
                                      kComponentiSQL,
                                      kMembershipInsertSQL,
                                      kMembershipUpdateSQL,
                                      kMembershipDeleteSQL,
                                      kMemberExistsSQL,
                                      kQualificaListSQL};

} // namespace

TfrCliCommissioni::TfrCliCommissioni(QWidget *parent)
    : TfrVoDBRWGrid(parent),
      xedCodice(VoAddDetailEdit(this, QStringLiteral("Codice"), QStringLiteral("sCmsCodice"), 20)),
      xedDesc(VoAddDetailEdit(this, QStringLiteral("Descrizione"), QStringLiteral("sCmsDesc"), 250)),
      xleTipoCommissione(VoAddDetailControl<TVoDBLookupEdit>(this, QStringLiteral("Tipo commissione"),
                                                             QStringLiteral("iTpcmId"))),
      xdeStartVal(VoAddDetailControl<TVoDBDateEdit>(this, QStringLiteral("Data inizio validità"),
                                                    QStringLiteral("dCmsStartVal"))),
      xdeEndVal(VoAddDetailControl<TVoDBDateEdit>(this, QStringLiteral("Data fine validità"),
                                                  QStringLiteral("dCmsEndVal"))),
      xedNumProvv(new TVoDBEdit), xdeDataProvv(new TVoDBDateEdit), xedDirScol(new TVoDBEdit),
      xmeNote(new TVoDBMemo) {
    setToolTip(QStringLiteral("Commissioni"));
    grFrame->AddColumn(QStringLiteral("sCmsCodice"), QStringLiteral("Codice"), 100);
    grFrame->AddColumn(QStringLiteral("sCmsDesc"), QStringLiteral("Descrizione"), 300);
    grFrame->AddColumn(QStringLiteral("sTpcmDesc"), QStringLiteral("Tipo commissione"), 200);
    grFrame->AddColumn(QStringLiteral("dCmsStartVal"), QStringLiteral("Data inizio validità"), 200);
    grFrame->AddColumn(QStringLiteral("dCmsEndVal"), QStringLiteral("Data fine validità"), 200);
    // The act that appointed the commission, grouped apart.
    auto *group = new QGroupBox(QStringLiteral("Provvedimento di nomina"), tsDetail);
    auto *groupForm = new QFormLayout(group);
    const auto addToGroup = [&](const QString &caption, TVoDBControl *control, const QString &field) {
        auto *label = new QLabel(caption, group);
        label->setBuddy(control->Widget());
        groupForm->addRow(label, control->Widget());
        control->Bind(xdsMain, field);
    };
    addToGroup(QStringLiteral("Numero"), xedNumProvv, QStringLiteral("sCmsNumProvv"));
    addToGroup(QStringLiteral("Data"), xdeDataProvv, QStringLiteral("dCmsDataProvv"));
    addToGroup(QStringLiteral("Dirigente Scolastico"), xedDirScol, QStringLiteral("sCmsDirScol"));
    VoSetMaxLength(xedNumProvv, 30);
    VoSetMaxLength(xedDirScol, 100);
    VoDetailForm(this)->addRow(group);
    VoPlaceDetailControl(this, QStringLiteral("Note"), xmeNote, QStringLiteral("bCmsNote"));
    xleTipoCommissione->SetKeyField(QStringLiteral("iTpcmId"));
    xleTipoCommissione->SetListField(QStringLiteral("sTpcmDesc"));
    VoRequireValue(xedCodice, QStringLiteral("Codice commissione"));
    VoRequireValue(xedDesc, QStringLiteral("Descrizione commissione"));
    VoRequireValue(xleTipoCommissione, QStringLiteral("Tipo commissione"));
    xleTipoCommissione->OnShowSearchForm.Add([](TVoDBLookupEdit *, TVoSearchDialog *Form) {
        SetSearchFormTable(Form, QStringLiteral("tipo commissioni"));
    });
    TVoColsIndex &index = grFrame->ColsIndex();
    index.Add(0, QStringLiteral("sCmsCodice"), QStringLiteral("sCmsCodice"), true);
    index.Add(1, QStringLiteral("sCmsDesc"), QStringLiteral("sCmsDesc"), true);
    index.Add(2, QStringLiteral("sTpcmDesc"), QStringLiteral("sTpcmDesc"), true);
}

TfmCliCommissioni::TfmCliCommissioni(QWidget *parent)
    : TfmCliMembri(kCommissioni, new TfrCliCommissioni, parent),
      frMaster(static_cast<TfrCliCommissioni *>(MasterFrame())) {
    GuardDeleteWhileUsed(xqcMain, QStringLiteral("TCMS_COMMISSIONI"), QStringLiteral("ICMSID"),
                         CliSql(kCommissioniUsersSQL), KCliCommissioneInUso);
}

void TfmCliCommissioni::FormCreate() {
    TfmCliMembri::FormCreate();
    frMaster->xleTipoCommissione->SetConnection(qqoVoGlobConn);
    frMaster->xleTipoCommissione->SetListSQL(CliSql(kTipoCommissioneListSQL));
    frMaster->ShowList();
}
