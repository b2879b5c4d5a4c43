#include "CliRComponenti.h"

#include "AbcUContext.h"
#include "AbcURoutines.h"
#include "CliFCompCommMulti.h"
#include "VoConnection.h"
#include "VoDBEdits.h"
#include "VoDBLookupEdit.h"
#include "VoExceptions.h"
#include "VoMasterDetail.h"
#include "VoMessages.h"
#include "VoQuery.h"

#include <QAction>
#include <QToolBar>

namespace {

const char *const kRuoloListSQL = "SELECT iRcoId, sRcoLDesc FROM TRco_RuoloComp WHERE ##WHERE##";
const char *const kCpcHomonymSQL =
    "SELECT cpc.iCpcId, cc.iCmsId, cv.iVerId FROM TCpc_CompComm cpc LEFT OUTER JOIN TCpcCms cc ON "
    "(cpc.iCpcId = "
    "cc.iCpcId) LEFT OUTER JOIN TCpcVer cv ON (cpc.iCpcId = cv.iCpcId) WHERE (cpc.sCpcNome = :sCpcNome) AND "
    "(cpc.sCpcCognome = :sCpcCognome);";
const char *const kHomonymQuestion = "Nell'archivio esiste già un commissario con questi dati:\r\n cognome: "
                                     "%s\r\n nome: %s\r\nSi tratta dello stesso soggetto?";
const char *const kPersonInsertSQL =
    "INSERT INTO TCpc_CompComm (iCpcId, sCpcNome, sCpcCognome, iQuapId) VALUES "
    "(:VOGENID, :sCpcNome, :sCpcCognome, :iQuapId);";
const char *const kPersonUpdateSQL =
    "UPDATE TCpc_CompComm SET sCpcNome = :sCpcNome, sCpcCognome = :sCpcCognome, "
    "iQuapId=:iQuapId WHERE iCpcId = :VOCURRID;";
const char *const kOrphanDeleteSQL = "DELETE FROM TCpc_CompComm cpc WHERE (cpc.iCpcId NOT IN (SELECT "
                                     "cv.iCpcId FROM TCpcVer cv)) AND (cpc.iCpcId "
                                     "NOT IN (SELECT cc.iCpcId FROM TCpcCms cc));";
const QString kPersonTable = QStringLiteral("TCPC_COMPCOMM");
const QString kPersonKey = QStringLiteral("ICPCID");

} // namespace

void CliSetStatements(TVoQueryCollection *collection, const QStringList &insert, const QStringList &update,
                      const QStringList &del) {
    collection->SetAutoBuildSQL(false);
    for (TVoSQLList *list : {&collection->SQLInsert, &collection->SQLUpdate, &collection->SQLDelete})
        list->Clear();
    for (const QString &sql : insert)
        collection->SQLInsert.Add(sql);
    for (const QString &sql : update)
        collection->SQLUpdate.Add(sql);
    for (const QString &sql : del)
        collection->SQLDelete.Add(sql);
}

// --- The members frame --------------------------------------------------------------------------------

TfrCliComponenti::TfrCliComponenti(bool withRoleSort, QWidget *parent)
    : TfrVoDBRWGrid(parent),
      xedNome(VoAddDetailEdit(this, QStringLiteral("Nome"), QStringLiteral("sCpcNome"), 100)),
      xedCognome(VoAddDetailEdit(this, QStringLiteral("Cognome"), QStringLiteral("sCpcCognome"), 100)),
      xleQualifica(
          VoAddDetailControl<TVoDBLookupEdit>(this, QStringLiteral("Qualifica"), QStringLiteral("iQuapId"))),
      xleRuolo(VoAddDetailControl<TVoDBLookupEdit>(this, QStringLiteral("Ruolo"), QStringLiteral("iRcoId"))) {
    setToolTip(QStringLiteral("Componenti"));
    grFrame->AddColumn(QStringLiteral("sCpcCognome"), QStringLiteral("Cognome"), 200);
    grFrame->AddColumn(QStringLiteral("sCpcNome"), QStringLiteral("Nome"), 200);
    grFrame->AddColumn(QStringLiteral("sQuapLDesc"), QStringLiteral("Qualifica"), 200);
    grFrame->AddColumn(QStringLiteral("sRcoLDesc"), QStringLiteral("Ruolo"), 100);
    xleQualifica->SetKeyField(QStringLiteral("iQuapId"));
    xleQualifica->SetListField(QStringLiteral("sQuapLDesc"));
    xleRuolo->SetKeyField(QStringLiteral("iRcoId"));
    xleRuolo->SetListField(QStringLiteral("sRcoLDesc"));
    VoRequireValue(xedNome, QStringLiteral("Nome componente"));
    VoRequireValue(xedCognome, QStringLiteral("Cognome componente"));
    xleQualifica->OnShowSearchForm.Add([](TVoDBLookupEdit *, TVoSearchDialog *Form) {
        SetSearchFormTable(Form, QStringLiteral("qualifiche"));
    });
    xleRuolo->OnShowSearchForm.Add(
        [](TVoDBLookupEdit *, TVoSearchDialog *Form) { SetSearchFormTable(Form, QStringLiteral("ruoli")); });
    TVoColsIndex &index = grFrame->ColsIndex();
    index.Add(0, QStringLiteral("sCpcCognome"), QStringLiteral("sCpcCognome"), true);
    index.Add(1, QStringLiteral("sCpcNome"), QStringLiteral("sCpcNome"), true);
    index.Add(2, QStringLiteral("sQuapLDesc"), QStringLiteral("sQuapLDesc"), true);
    if (withRoleSort)
        index.Add(3, QStringLiteral("sRcoLDesc"), QStringLiteral("sRcoLDesc"), true);
}

// --- The members windows ------------------------------------------------------------------------------

TfmCliMembri::TfmCliMembri(const TCliMembersProfile &profile, TfrVoDBRWGrid *master, QWidget *parent)
    : TfmVoRegistry(parent), xqcMain(NewCollection(QStringLiteral("xqcMain"))),
      xqcDetail(NewCollection(QStringLiteral("xqcDetail"))),
      frDetail(new TfrCliComponenti(!profile.perVerbale)),
      acCarMulti(new QAction(QStringLiteral("Carico multiplo"), this)), m_profile(profile),
      m_masterFrame(master), m_link(new TVoMasterDetail(xqcMain, xqcDetail, profile.masterKey, this)) {
    setWindowTitle(profile.caption);
    setToolTip(profile.caption);
    Arrange(master, xqcMain, frDetail, xqcDetail);
    acCarMulti->setToolTip(QStringLiteral("Carico multiplo"));
    frDetail->tbControl->addAction(acCarMulti);
    connect(acCarMulti, &QAction::triggered, this, [this] { acCarMultiExecute(); });
    VoDetailFollowsMaster(m_link, frDetail);
    xqcDetail->AfterOpen.Add([this](TVoQueryCollection *) { UpdateCarMulti(); });
    xqcDetail->AfterClose.Add([this](TVoQueryCollection *) { UpdateCarMulti(); });
    xqcDetail->BeforePost.Add([this](TVoQueryCollection *) { xqcDetailBeforePost(); });
    xqcDetail->BeforeWrite.Add(
        [this](TVoQueryCollection *, int listKind) { xqcDetailBeforeWrite(listKind); });
    xqcDetail->VoBeforeExec.Add([this](TVoQueryCollection *, TVoQueryProp &Prop, bool &Allow) {
        xqcDetailVoBeforeExec(Prop, Allow);
    });
    xqcDetail->VoAfterExec.Add(
        [this](TVoQueryCollection *, TVoQueryProp &Prop) { xqcDetailVoAfterExec(Prop); });
    UpdateCarMulti();
}

void TfmCliMembri::FormCreate() {
    TfmVoRegistry::FormCreate();
    for (TVoDBLookupEdit *lookup : {frDetail->xleQualifica, frDetail->xleRuolo})
        lookup->SetConnection(qqoVoGlobConn);
    frDetail->xleQualifica->SetListSQL(QString::fromLatin1(m_profile.qualificationList));
    frDetail->xleRuolo->SetListSQL(QString::fromLatin1(kRuoloListSQL));
    SetUpCollection(xqcMain, CurrDwgReplaced(m_profile.masterSelect));
    CliSetStatements(xqcMain, m_profile.masterInsert, m_profile.masterUpdate, m_profile.masterDelete);
    SetUpCollection(xqcDetail, QString::fromUtf8(m_profile.detailSelect));
    RebuildParamsFromSQL(xqcDetail);
    CliSetStatements(xqcDetail, {CliSql(kPersonInsertSQL), CliSql(m_profile.linkInsert)},
                     {CliSql(kPersonUpdateSQL), CliSql(m_profile.linkUpdate)},
                     {CliSql(m_profile.linkDelete), CliSql(kOrphanDeleteSQL)});
    frDetail->ShowList();
}

QVariant TfmCliMembri::MasterKey() const {
    return m_link->MasterKey();
}

// Whether the new member is a stored person is asked before the member is written: no question is
// asked while the write holds its rows.
void TfmCliMembri::xqcDetailBeforePost() {
    m_linkStoredPerson = false;
    if (xqcDetail->State() != dsInsert)
        return;
    const QString nome = xqcDetail->FieldByName(QStringLiteral("sCpcNome"))->AsString();
    const QString cognome = xqcDetail->FieldByName(QStringLiteral("sCpcCognome"))->AsString();
    TVoQuery quCpc_s(QString::fromUtf8(kCpcHomonymSQL));
    quCpc_s.SetParam(QStringLiteral("sCpcNome"), nome)
        .SetParam(QStringLiteral("sCpcCognome"), cognome)
        .Open();
    if (quCpc_s.Eof())
        return;
    const int person = quCpc_s.AsInteger(kPersonKey);
    if (VoMessageDlg(VoFormat(QString::fromUtf8(kHomonymQuestion), {cognome, nome}), mtConfirmation,
                     mbYesNo) != mrYes)
        return;
    const int master = MasterKey().toInt();
    for (; !quCpc_s.Eof(); quCpc_s.Next())
        if (!quCpc_s.IsNull(m_profile.masterKey) && quCpc_s.AsInteger(m_profile.masterKey) == master) {
            VoMessageDlg(m_profile.alreadyPresent, mtInformation, mbOK);
            throw EVoAbort();
        }
    FLinkCpcId = person;
    m_linkStoredPerson = true;
    xqcDetail->FieldByName(kPersonKey)->SetValue(person);
}

// Another copy of the program may have added the same person meanwhile: the master is locked and the
// membership looked for again inside the write.
void TfmCliMembri::xqcDetailBeforeWrite(int listKind) {
    if (listKind != skInsert)
        return;
    const QVariant master = MasterKey();
    VoLockRow(m_profile.masterTable, m_profile.masterKey, master);
    if (m_linkStoredPerson && VoSelectValue(QString::fromLatin1(m_profile.memberExistsSQL),
                                            {{kPersonKey, FLinkCpcId}, {m_profile.masterKey, master}})
                                  .isValid())
        throw EVoError(m_profile.alreadyPresent);
}

void TfmCliMembri::xqcDetailVoBeforeExec(TVoQueryProp &Prop, bool &Allow) {
    const bool person = Prop.TableName == kPersonTable;
    if (Prop.Kind == skInsert) {
        if (person) {
            Allow = !m_linkStoredPerson;
            return;
        }
        Prop.Values.Add(m_profile.masterKey, MasterKey());
        Prop.Values.Add(kPersonKey, FLinkCpcId);
    } else if (Prop.Kind == skUpdate) {
        if (!person)
            Prop.Values.Add(m_profile.linkKey, xqcDetail->FieldByName(m_profile.linkKey)->Value());
    } else if (Prop.Kind == skDelete) {
        Prop.Values.Add(m_profile.masterKey, MasterKey());
        Prop.Values.Add(kPersonKey, xqcDetail->FieldByName(kPersonKey)->Value());
    }
}

void TfmCliMembri::xqcDetailVoAfterExec(const TVoQueryProp &Prop) {
    if (Prop.Kind != skInsert)
        return;
    if (Prop.TableName == kPersonTable)
        FLinkCpcId = Prop.Values.Value(QStringLiteral("VOGENID")).toInt();
    else
        // The list reads the new membership's key and the person as stored.
        xqcDetail->Refresh();
}

// Persons can only be added to a saved commission or minute.
void TfmCliMembri::UpdateCarMulti() {
    acCarMulti->setEnabled(xqcDetail->Active() && !MasterKey().isNull());
}

void TfmCliMembri::acCarMultiExecute() {
    const QVariant master = MasterKey();
    if (master.isNull())
        return;
    auto *form = VoNewForm<TfmCliCompCommMulti>(this);
    form->FPerVerbale = m_profile.perVerbale;
    form->FIdMaster = master.toInt();
    form->exec();
    delete form;
    xqcDetail->Refresh();
}
