#include "kvbFCodici.h"

#include "AbcUContext.h"
#include "AbcURoutines.h"
#include "VoDBDateEdit.h"
#include "VoDBEdits.h"

namespace {

const char *const kCategorieSQL = "SELECT CAM.ICAMID, CAM.SCAMCODICE, CAM.SCAMDESC, 1 AS ILOCKED FROM "
                                  "TCAM_CATEGORIEINV CAM WHERE iCamId BETWEEN 1 AND 8";

const char *const kAvaSQL = "SELECT IAVAID, SAVACODICE, SAVADESC, ILOCKED FROM TAVA_STATIAVANZA ";
const char *const kAvaUsersSQL = "SELECT IBINBID FROM TBINB_BENI WHERE IAVAID = :IAVAID";

const char *const kCausaliSQL =
    "SELECT ICAVID, SCAVCODICE, SCAVDESC, ICAVTIPO, SCAVCAPITOLO   FROM TCAV_CAUSALIINV ";

const char *const kDelibereSQL = "SELECT IDELID, SDELNUMERO, DDELDATA, SDELDESC FROM TDEL_DELIBERE";
const char *const kDelibereUsersSQL = "SELECT IBBUOID FROM TBBUO_BUONI WHERE IDELID = :IDELID";

const char *const kCodMerceInsertSQL =
    "INSERT INTO TMER_CODICIMERCEOL (IMERID, SMERCODICE, SMERDESC, LMERPRG) "
    "VALUES (:VOGENID, :SMERCODICE, :SMERDESC, 'I') ";

const char *const kCategMerceSQL =
    "SELECT CAE.ICAEID,CAE.ICAMID,CAE.IMERID,CAE.FCAEIMPMINIMO, MER.SMERCODICE, MER.SMERDESC FROM "
    "TCAE_CATEGMERCE CAE LEFT OUTER JOIN TMER_CODICIMERCEOL MER ON CAE.IMERID=MER.IMERID WHERE "
    "CAE.ICAMID=:ICAMID";
const char *const kCategMerceInsertSQL =
    "INSERT INTO TCAE_CATEGMERCE  (ICAEID, ICAMID, IMERID, FCAEIMPMINIMO)  "
    "VALUES (:VOGENID, :ICAMID, :IMERID, :FCAEIMPMINIMO)";
const char *const kCategMerceUpdateSQL =
    "UPDATE TCAE_CATEGMERCE SET IMERID=:IMERID,      FCAEIMPMINIMO=:FCAEIMPMINIMO  WHERE (ICAEID=:VOCURRID)";
const char *const kCategMerceDeleteSQL = "DELETE FROM TCAE_CATEGMERCE WHERE ICAEID=:VOCURRID";
// Goods name their category's goods code through its link.
const char *const kCategMerceUsersSQL = "SELECT IBINBID FROM TBINB_BENI WHERE ICAEID = :ICAEID";
// Every goods code, of both programs.
const char *const kMerceologiaListSQL =
    "SELECT IMERID, SMERCODICE, SMERDESC FROM TMER_CODICIMERCEOL WHERE ##WHERE##";
const char *const kSameLinkSQL = "SELECT ICAEID FROM TCAE_CATEGMERCE WHERE ICAMID = :category AND IMERID = "
                                 ":goodsCode AND ICAEID <> :link";

// The inventory categories, fixed and only listed; a goods code may be allowed in several of them,
// once in each.
const TCategMerceProfile kCategMerce{
    kCategorieSQL,
    QStringLiteral("TCAM_CATEGORIEINV"),
    QStringLiteral("ICAMID"),
    QStringLiteral("Categorie inventariali"),
    QStringLiteral("sCamCodice"),
    QStringLiteral("sCamDesc"),
    231,
    true,
    kCategMerceSQL,
    kCategMerceInsertSQL,
    kCategMerceUpdateSQL,
    kCategMerceDeleteSQL,
    QStringLiteral("ICAEID"),
    QStringLiteral("TCAE_CATEGMERCE"),
    kCategMerceUsersSQL,
    kMerceologiaListSQL,
    {QStringLiteral("Codice"), QStringLiteral("Descrizione")},
    {50, 400},
    nullptr,
    kSameLinkSQL,
    QStringLiteral("Caricare una categoria inventariale"),
};

} // namespace

const TCategMerceProfile &kvbCategMerceProfile() {
    return kCategMerce;
}

// --- Inventory categories -----------------------------------------------------------------------------

TfrkvbCategorie::TfrkvbCategorie(QWidget *parent)
    : TfrVoDBRWGrid(parent),
      xedCodice(VoAddDetailEdit(this, QStringLiteral("Codice"), QStringLiteral("sCamCodice"), 20)),
      xedDesc(VoAddDetailEdit(this, QStringLiteral("Categoria"), QStringLiteral("sCamDesc"), 250)) {
    setToolTip(QStringLiteral("Categorie inventariali"));
    grFrame->AddColumn(QStringLiteral("SCAMCODICE"), QStringLiteral("Codice"), 50);
    grFrame->AddColumn(QStringLiteral("SCAMDESC"), QStringLiteral("Descrizione"), 500);
    SetControlWritable(xedCodice, false);
    SetControlWritable(xedDesc, false);
    // The categories are fixed: the closings and the goods windows count on them.
    for (TVoDataAction *action : {xacInsert, xacEdit, xacDelete}) {
        action->SetLocked(true);
        action->setVisible(false);
    }
}

TfmkvbCategorie::TfmkvbCategorie(QWidget *parent)
    : TfmVoRegistry(parent), xqcMain(NewCollection(QStringLiteral("xqcMain"))),
      frDetail(new TfrkvbCategorie) {
    setWindowTitle(QStringLiteral("Categorie inventariali"));
    Arrange(frDetail, xqcMain);
}

void TfmkvbCategorie::FormCreate() {
    TfmVoRegistry::FormCreate();
    SetUpRegistry(frDetail, xqcMain, CurrDwgReplaced(kCategorieSQL),
                  {{0, QStringLiteral("sCamCodice"), true}, {1, QStringLiteral("sCamDesc"), true}});
    xqcMain->SetAutoBuildSQL(false);
    xqcMain->SetLockedRowsReadOnly(true);
}

// --- States of goods ----------------------------------------------------------------------------------

TfrkvbTAva::TfrkvbTAva(QWidget *parent)
    : TfrVoDBRWGrid(parent),
      xedCodice(VoAddDetailEdit(this, QStringLiteral("Codice"), QStringLiteral("SAVACODICE"), 20)),
      xedDesc(VoAddDetailEdit(this, QStringLiteral("Descrizione"), QStringLiteral("SAVADESC"), 100)) {
    grFrame->AddColumn(QStringLiteral("sAvaCodice"), QStringLiteral("Codice"), 72);
    grFrame->AddColumn(QStringLiteral("sAvaDesc"), QStringLiteral("Descrizione"), 333);
    // The states are the goods' life cycle: they are described here, never added.
    xacInsert->SetLocked(true);
}

TfmkvbAva::TfmkvbAva(QWidget *parent)
    : TfmVoRegistry(parent), xqcMain(NewCollection(QStringLiteral("xqcMain"))), frMaster(new TfrkvbTAva) {
    setWindowTitle(QStringLiteral("Stati di avanzamento"));
    Arrange(frMaster, xqcMain);
    GuardDeleteWhileUsed(xqcMain, QStringLiteral("TAVA_STATIAVANZA"), QStringLiteral("IAVAID"),
                         QString::fromLatin1(kAvaUsersSQL));
}

void TfmkvbAva::FormCreate() {
    TfmVoRegistry::FormCreate();
    SetUpRegistry(frMaster, xqcMain, CurrDwgReplaced(kAvaSQL),
                  {{0, QStringLiteral("sAvaCodice"), true}, {1, QStringLiteral("sAvaDesc"), true}});
    xqcMain->SetLockedRowsReadOnly(true);
}

// --- Inventory causals --------------------------------------------------------------------------------

TfmkvbCausali::TfmkvbCausali(QWidget *parent)
    : TfmkvaCausali(QStringLiteral("Causali inventariali"), kCausaliSQL, parent) {}

// --- Acceptance documents -----------------------------------------------------------------------------

TfrkvbDelibere::TfrkvbDelibere(QWidget *parent)
    : TfrVoDBRWGrid(parent),
      xedNumero(VoAddDetailEdit(this, QStringLiteral("Numero"), QStringLiteral("SDELNUMERO"), 50)),
      xdeData(VoAddDetailControl<TVoDBDateEdit>(this, QStringLiteral("Data"), QStringLiteral("DDELDATA"))),
      xedDesc(VoAddDetailEdit(this, QStringLiteral("Descrizione"), QStringLiteral("SDELDESC"), 250)) {
    grFrame->AddColumn(QStringLiteral("SDELNUMERO"), QStringLiteral("Numero delibera"), 100);
    grFrame->AddColumn(QStringLiteral("DDELDATA"), QStringLiteral("Data"));
    grFrame->AddColumn(QStringLiteral("SDELDESC"), QStringLiteral("Descrizione"), 200);
    xdeData->SetPickerKey(119);
}

TfmkvbDelibere::TfmkvbDelibere(QWidget *parent)
    : TfmVoRegistry(parent), xqcMain(NewCollection(QStringLiteral("xqcMain"))), frMaster(new TfrkvbDelibere) {
    setWindowTitle(QStringLiteral("Documenti di accettazione"));
    Arrange(frMaster, xqcMain);
    GuardDeleteWhileUsed(xqcMain, QStringLiteral("TDEL_DELIBERE"), QStringLiteral("IDELID"),
                         QString::fromLatin1(kDelibereUsersSQL));
}

void TfmkvbDelibere::FormCreate() {
    TfmVoRegistry::FormCreate();
    SetUpRegistry(frMaster, xqcMain, CurrDwgReplaced(kDelibereSQL),
                  {{0, QStringLiteral("sDelNumero"), true},
                   {1, QStringLiteral("dDelData"), false},
                   {2, QStringLiteral("sDelDesc"), true}});
}

// --- Goods codes --------------------------------------------------------------------------------------

TfmkvbCodMerce::TfmkvbCodMerce(QWidget *parent) : TfmkvaCodMerce(kCodMerceInsertSQL, parent) {}
