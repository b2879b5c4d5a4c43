#include "CliFVerbali.h"

#include "AbcURoutines.h"
#include "VoConnection.h"
#include "VoDBDateEdit.h"
#include "VoDBEdits.h"
#include "VoDBLookupEdit.h"
#include "VoQuery.h"

#include <QScopeGuard>

const QString KCliVerbaleInUso =
    QStringLiteral("Impossibile cancellare il verbale: ci sono dei beni collegati.");

namespace {

const char *const kVerbaliSQL =
    "SELECT ver.iVerId, ver.sVerNumero, ver.dVerData, ver.sVerDesc, ver.sVerPreside, ver.sVerResponsabile, "
    "ver.sVerNote, cms.iCmsId, cms.sCmsDesc, tvr.iTvrId, tvr.sTvrDesc, tpcm.sTpcmDesc FROM TVer_Verbali ver "
    "LEFT "
    "JOIN TCms_Commissioni cms ON (ver.iCmsId = cms.iCmsId) LEFT JOIN TTpcm_TipoComm tpcm ON (cms.iTpcmId = "
    "tpcm.iTpcmId) LEFT JOIN TTvr_TipoVer tvr ON (ver.iTvrId = tvr.iTvrId) ORDER BY ver.dVerData, "
    "ver.sVerNumero;";
const char *const kVerbaliInsertSQL =
    "INSERT INTO TVer_Verbali (iVerId, sVerNumero, dVerData, sVerDesc, iCmsId, sVerPreside, "
    "sVerResponsabile, "
    "sVerNote, iTvrId) VALUES (:VOGENID, :sVerNumero, :dVerData, :sVerDesc, :iCmsId, :sVerPreside, "
    ":sVerResponsabile, :sVerNote, :iTvrId);";
const char *const kVerbaliUpdateSQL =
    "UPDATE TVer_Verbali SET sVerNumero = :sVerNumero, dVerData = :dVerData, sVerDesc = :sVerDesc, iCmsId = "
    ":iCmsId, sVerPreside = :sVerPreside, sVerResponsabile = :sVerResponsabile, sVerNote = :sVerNote, iTvrId "
    "= "
    ":iTvrId WHERE iVerId = :VOCURRID;";
const char *const kVerbaliMembersDeleteSQL = "DELETE FROM TCpcVer WHERE iVerId = :VOCURRID;";
const char *const kVerbaliDeleteSQL = "DELETE FROM TVer_Verbali WHERE iVerId = :VOCURRID;";
const char *const kVerbaliUsersSQL = "SELECT IBINBVERID FROM TBINBVER WHERE IVERID = :IVERID";

const char *const kComponentiSQL =
    "SELECT cpc.iCpcId, cpc.sCpcNome, cpc.sCpcCognome, cpc.iQuapId, quap.sQuapLDesc,        rco.sRcoLDesc, "
    "cv.iCpcVerId, rco.iRcoId FROM TCpc_CompComm cpc LEFT JOIN TCpcVer cv ON (cpc.iCpcId = cv.iCpcId) LEFT "
    "JOIN "
    "TQuap_QualPers quap ON (cpc.iQuapId = quap.iQuapId) LEFT JOIN TRco_RuoloComp rco ON (cv.iRcoId = "
    "rco.iRcoId) WHERE cv.iVerId=:iVerId ORDER BY cpc.sCpcCognome, cpc.sCpcNome;";
const char *const kPresenceInsertSQL =
    "INSERT INTO TCpcVer (iCpcVerId, iCpcId, iVerId, iRcoId) VALUES (:VOGENID, :iCpcId, :iVerId, :iRcoId);";
const char *const kPresenceUpdateSQL = "UPDATE TCpcVer SET iRcoId = :iRcoId WHERE iCpcVerId = :iCpcVerId;";
const char *const kPresenceDeleteSQL = "DELETE FROM TCpcVer WHERE (iCpcId = :iCpcId) AND (iVerId = :iVerId);";
const char *const kMemberExistsSQL =
    "SELECT ICPCVERID FROM TCPCVER WHERE ICPCID = :ICPCID AND IVERID = :IVERID";

const char *const kReplaceDeleteSQL = "DELETE FROM TCpcVer WHERE iVerId = :iVerId;";
const char *const kCommissionMembersSQL = "SELECT iCpcId, iRcoId FROM TCpcCms WHERE iCmsId = :iCmsId;";
const char *const kReplaceInsertSQL =
    "INSERT INTO TCpcVer (iCpcVerId, iCpcId, iVerId, iRcoId) VALUES ((SELECT "
    "L_ICNTID FROM PYSetGetId('TCPCVER',0)), :iCpcId, :iVerId, :iRcoId);";

const char *const kCommissioneListSQL =
    "SELECT ICMSID, SCMSDESC, STPCMDESC FROM TCMS_COMMISSIONI cms LEFT JOIN "
    "TTPCM_TIPOCOMM tpcm ON (cms.iTpcmId = tpcm.iTpcmId) WHERE ##WHERE##";
const char *const kTipoVerListSQL = "SELECT ITVRID, STVRDESC FROM TTVR_TIPOVER WHERE ##WHERE##";
const char *const kQualificaListSQL = "SELECT IQUAPID, SQUAPLDESC FROM TQUAP_QUALPERS WHERE ##WHERE##";

const TCliMembersProfile kVerbali{QStringLiteral("Verbali di collaudo"),
                                  QStringLiteral("TVER_VERBALI"),
                                  QStringLiteral("IVERID"),
                                  QStringLiteral("TCPCVER"),
                                  QStringLiteral("ICPCVERID"),
                                  QStringLiteral("Commissario già inserito in questo verbale"),
                                  true,
                                  kVerbaliSQL,
                                  {CliSql(kVerbaliInsertSQL)},
                                  {CliSql(kVerbaliUpdateSQL)},
                                  {CliSql(kVerbaliMembersDeleteSQL), CliSql(kVerbaliDeleteSQL)},
                                  kComponentiSQL,
                                  kPresenceInsertSQL,
                                  kPresenceUpdateSQL,
                                  kPresenceDeleteSQL,
                                  kMemberExistsSQL,
                                  kQualificaListSQL};

} // namespace

TfrCliVerbali::TfrCliVerbali(QWidget *parent)
    : TfrVoDBRWGrid(parent),
      xedNumero(VoAddDetailEdit(this, QStringLiteral("Numero"), QStringLiteral("sVerNumero"), 30)),
      xdeData(VoAddDetailControl<TVoDBDateEdit>(this, QStringLiteral("Data"), QStringLiteral("dVerData"))),
      xedDesc(VoAddDetailEdit(this, QStringLiteral("Descrizione"), QStringLiteral("sVerDesc"), 250)),
      xleCommissione(
          VoAddDetailControl<TVoDBLookupEdit>(this, QStringLiteral("Commissione"), QStringLiteral("iCmsId"))),
      xedPreside(VoAddDetailEdit(this, QStringLiteral("Preside"), QStringLiteral("sVerPreside"), 100)),
      xedResponsabile(
          VoAddDetailEdit(this, QStringLiteral("Responsabile"), QStringLiteral("sVerResponsabile"), 100)),
      xmeNote(VoAddDetailControl<TVoDBMemo>(this, QStringLiteral("Note"), QStringLiteral("sVerNote"))),
      xleTipoVer(VoAddDetailControl<TVoDBLookupEdit>(this, QStringLiteral("Tipo di verbale"),
                                                     QStringLiteral("iTvrId"))) {
    grFrame->AddColumn(QStringLiteral("SVERNUMERO"), QStringLiteral("Numero verbale"), 100);
    grFrame->AddColumn(QStringLiteral("DVERDATA"), QStringLiteral("Data"));
    grFrame->AddColumn(QStringLiteral("SVERDESC"), QStringLiteral("Descrizione"), 200);
    grFrame->AddColumn(QStringLiteral("sTvrDesc"), QStringLiteral("Tipo verbale"), 200);
    grFrame->AddColumn(QStringLiteral("sCmsDesc"), QStringLiteral("Commissione"), 200);
    grFrame->AddColumn(QStringLiteral("sTpcmDesc"), QStringLiteral("Tipo Commissione"), 200);
    xleCommissione->SetKeyField(QStringLiteral("ICMSID"));
    xleCommissione->SetListField(QStringLiteral("SCMSDESC"));
    xleTipoVer->SetKeyField(QStringLiteral("ITVRID"));
    xleTipoVer->SetListField(QStringLiteral("STVRDESC"));
    VoRequireValue(xleCommissione, QStringLiteral("Commissione"));
    xleCommissione->OnChangeFKValue.Add([this](TVoDBLookupEdit *) { xleCommissioneChangeFKValue(); });
    xleCommissione->OnShowSearchForm.Add([](TVoDBLookupEdit *, TVoSearchDialog *Form) {
        SetSearchForm(Form,
                      {QStringLiteral("Tabella delle commissioni"), QStringLiteral("Tipo di commissione")});
    });
    xleTipoVer->OnShowSearchForm.Add([](TVoDBLookupEdit *, TVoSearchDialog *Form) {
        SetSearchFormTable(Form, QStringLiteral("Tipo di verbale"));
    });
    TVoColsIndex &index = grFrame->ColsIndex();
    const char *const sorted[] = {"sVerNumero", "dVerData", "sVerDesc", "sTvrDesc", "sCmsDesc", "sTpcmDesc"};
    for (int column = 0; column < 6; ++column)
        index.Add(column, QString::fromLatin1(sorted[column]), QString::fromLatin1(sorted[column]),
                  column != 1);
}

// The list shows the chosen commission's type beside it.
void TfrCliVerbali::xleCommissioneChangeFKValue() {
    if (xdsMain->Editing())
        DataSet()
            ->FieldByName(QStringLiteral("sTpcmDesc"))
            ->SetValue(xleCommissione->ListValue(QStringLiteral("STPCMDESC")));
}

TfmCliVerbali::TfmCliVerbali(QWidget *parent)
    : TfmCliMembri(kVerbali, new TfrCliVerbali, parent),
      frMaster(static_cast<TfrCliVerbali *>(MasterFrame())) {
    xqcMain->VoBeforeExec.Add(
        [this](TVoQueryCollection *, TVoQueryProp &Prop, bool &) { xqcMainVoBeforeExec(Prop); });
    xqcMain->VoAfterExec.Add([this](TVoQueryCollection *, TVoQueryProp &Prop) { xqcMainVoAfterExec(Prop); });
    GuardDeleteWhileUsed(xqcMain, QStringLiteral("TVER_VERBALI"), QStringLiteral("IVERID"),
                         CliSql(kVerbaliUsersSQL), KCliVerbaleInUso);
}

void TfmCliVerbali::FormCreate() {
    TfmCliMembri::FormCreate();
    for (TVoDBLookupEdit *lookup : {frMaster->xleCommissione, frMaster->xleTipoVer})
        lookup->SetConnection(qqoVoGlobConn);
    frMaster->xleCommissione->SetListSQL(CliSql(kCommissioneListSQL));
    frMaster->xleTipoVer->SetListSQL(CliSql(kTipoVerListSQL));
    frMaster->ShowList();
}

// A new minute, or one given another commission than the one stored, is to list that commission's
// members.
void TfmCliVerbali::xqcMainVoBeforeExec(const TVoQueryProp &Prop) {
    if (Prop.TableName != QLatin1String("TVER_VERBALI"))
        return;
    if (Prop.Kind == skInsert) {
        FReplaceMembers = true;
    } else if (Prop.Kind == skUpdate) {
        const TVoField *commission = xqcMain->FieldByName(QStringLiteral("ICMSID"));
        const QVariant now = commission->Value();
        const QVariant before = commission->OldValue();
        FReplaceMembers = now.isNull() != before.isNull() || now.toInt() != before.toInt();
    }
}

void TfmCliVerbali::xqcMainVoAfterExec(const TVoQueryProp &Prop) {
    if (Prop.TableName != QLatin1String("TVER_VERBALI") || (Prop.Kind != skInsert && Prop.Kind != skUpdate))
        return;
    const QVariant minute =
        Prop.Values.Value(Prop.Kind == skInsert ? QStringLiteral("VOGENID") : QStringLiteral("VOCURRID"));
    ReplaceMinuteMembers(Prop.Values.Value(QStringLiteral("ICMSID")), minute);
}

// Runs inside the minute's own write: the minute and its members are saved together or not at all.
void TfmCliVerbali::ReplaceMinuteMembers(const QVariant &commission, const QVariant &minute) {
    const auto done = qScopeGuard([this] { FReplaceMembers = false; });
    if (!FReplaceMembers)
        return;
    VoExecSQL(CliSql(kReplaceDeleteSQL), {{QStringLiteral("iVerId"), minute}});
    TVoQuery members(CliSql(kCommissionMembersSQL));
    members.SetParam(QStringLiteral("iCmsId"), commission).Open();
    TVoQuery insert(CliSql(kReplaceInsertSQL));
    for (; !members.Eof(); members.Next()) {
        insert.ClearParams();
        insert.SetParam(QStringLiteral("iCpcId"), members.Value(QStringLiteral("iCpcId")));
        insert.SetParam(QStringLiteral("iVerId"), minute);
        if (members.IsNull(QStringLiteral("iRcoId")))
            insert.SetParamNull(QStringLiteral("iRcoId"));
        else
            insert.SetParam(QStringLiteral("iRcoId"), members.Value(QStringLiteral("iRcoId")));
        insert.Exec();
    }
}
