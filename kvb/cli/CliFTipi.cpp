#include "CliFTipi.h"

#include "AbcUContext.h"
#include "AbcURoutines.h"
#include "VoConnection.h"
#include "VoDBEdits.h"
#include "VoDBLookupEdit.h"

const QString KCliTipoInUso =
    QStringLiteral("Impossibile cancellare il tipo: ci sono delle commissioni o dei verbali collegati.");

namespace {

// The general type's description is read under a name of its own: the lookup writes the shown column
// into the row's field of the same name, which would otherwise be the type's own description.
const TCliTypeProfile kTipiCommissione{
    QStringLiteral("Tipi commissione"),
    QStringLiteral("Tipi commissione"),
    "SELECT iTpcmId, sTpcmCodice, sTpcmDesc, iLocked, iTpcmId_p FROM TTpcm_TipoComm ORDER BY sTpcmDesc;",
    "SELECT iTpcmId, sTpcmDesc AS sTpcmGenDesc FROM TTpcm_TipoComm WHERE (iTpcmId < 1000000) AND ##WHERE##",
    "TTPCM_TIPOCOMM",
    QStringLiteral("ITPCMID"),
    QStringLiteral("sTpcmCodice"),
    QStringLiteral("sTpcmDesc"),
    QStringLiteral("iTpcmId_p"),
    QStringLiteral("sTpcmGenDesc"),
    QStringLiteral("Descrizione tipo commissione"),
    "SELECT ICMSID FROM TCMS_COMMISSIONI WHERE ITPCMID = :ITPCMID"};

const TCliTypeProfile kTipiVerbale{
    QStringLiteral("Tipi di verbale"),
    QString(),
    "SELECT iTvrId, sTvrCodice, sTvrDesc, iLocked, iTvrId_p FROM TTvr_TipoVer ORDER BY sTvrDesc;",
    "SELECT iTvrId, sTvrDesc AS sTvrGenDesc FROM TTvr_TipoVer WHERE (iTvrId < 1000000) AND ##WHERE##",
    "TTVR_TIPOVER",
    QStringLiteral("ITVRID"),
    QStringLiteral("sTvrCodice"),
    QStringLiteral("sTvrDesc"),
    QStringLiteral("iTvrId_p"),
    QStringLiteral("sTvrGenDesc"),
    QStringLiteral("Descrizione tipo verbale"),
    "SELECT IVERID FROM TVER_VERBALI WHERE ITVRID = :ITVRID"};

} // namespace

TfrCliTipo::TfrCliTipo(const TCliTypeProfile &profile, QWidget *parent)
    : TfrVoDBRWGrid(parent),
      xedCodice(VoAddDetailEdit(this, QStringLiteral("Codice"), profile.codeField, 20)),
      xedDesc(VoAddDetailEdit(this, QStringLiteral("Descrizione"), profile.descField, 100)),
      xelGen(
          VoAddDetailControl<TVoDBLookupEdit>(this, QStringLiteral("Tipo generale"), profile.parentField)) {
    if (!profile.frameHint.isEmpty())
        setToolTip(profile.frameHint);
    grFrame->AddColumn(profile.codeField, QStringLiteral("Codice"));
    grFrame->AddColumn(profile.descField, QStringLiteral("Descrizione"), 200);
    xelGen->SetKeyField(profile.keyField);
    xelGen->SetListField(profile.generalDescField);
    xelGen->SetSearchField(profile.descField);
    VoRequireValue(xedDesc, profile.descWord);
    VoRequireValue(xelGen, QStringLiteral("Tipo generale"));
    xelGen->OnShowSearchForm.Add([](TVoDBLookupEdit *, TVoSearchDialog *Form) {
        SetSearchFormTable(Form, QStringLiteral("Tipo generale"));
    });
}

TfmCliTipo::TfmCliTipo(const TCliTypeProfile &profile, QWidget *parent)
    : TfmVoRegistry(parent), xqcMain(NewCollection(QStringLiteral("xqcMain"))),
      frMaster(new TfrCliTipo(profile)), m_profile(profile) {
    setWindowTitle(profile.caption);
    setToolTip(profile.caption);
    Arrange(frMaster, xqcMain);
    xqcMain->SetLockedRowsReadOnly(true);
    GuardDeleteWhileUsed(xqcMain, QString::fromLatin1(profile.table), profile.keyField,
                         QString::fromLatin1(profile.usersSQL), KCliTipoInUso);
}

void TfmCliTipo::FormCreate() {
    TfmVoRegistry::FormCreate();
    frMaster->xelGen->SetConnection(qqoVoGlobConn);
    frMaster->xelGen->SetListSQL(QString::fromLatin1(m_profile.generalList));
    SetUpRegistry(frMaster, xqcMain, CurrDwgReplaced(m_profile.select),
                  {{0, m_profile.codeField, true}, {1, m_profile.descField, true}});
}

TfmCliTipiCommissione::TfmCliTipiCommissione(QWidget *parent) : TfmCliTipo(kTipiCommissione, parent) {}

TfmCliTipoVer::TfmCliTipoVer(QWidget *parent) : TfmCliTipo(kTipiVerbale, parent) {}
