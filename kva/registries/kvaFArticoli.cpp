#include "kvaFArticoli.h"

#include "AbeRRicerca.h"
#include "VoDBEdits.h"
#include "VoDBLookupEdit.h"
#include "VoExceptions.h"
#include "VoQuery.h"
#include "kvaRArticoli.h"
#include "kvaUUtil.h"

namespace {

const char *const kListSQL =
    "SELECT iFarId, sFarLDesc, sFarSDesc, unm.iUnmId, alv.iAlvId, caf.iCafId, mer.iMerId, dcm.iDcmId, "
    "COALESCE(far.sFarLibTitolo, '') AS sFarLibTitolo, COALESCE(far.sFarLibAutore, '') AS sFarLibAutore, "
    "COALESCE(far.sFarLibEditore, '') AS sFarLibEditore, fUnmFattoreProp, sCafDesc, sMerDesc, sDcmDescL, "
    "sUnmDescS, fAlvIva " KVA_ARTICLES_WITH_CODES "ORDER BY UPPER(sFarLDesc)";
const char *const kUpdateSQL =
    "UPDATE TFar_FacArticoli SET  sFarSDesc=:sFarSDesc, sFarLDesc=:sFarLDesc, sFarLibTitolo=:sFarLibTitolo, "
    "sFarLibAutore=:sFarLibAutore, sFarLibEditore=:sFarLibEditore, iCafId=:iCafId, iMerId=:iMerId, "
    "iDcmId=:iDcmId, iUnmId=:iUnmId, iAlvId=:iAlvId WHERE iFarId = :VOCURRID;";
const char *const kDeleteSQL = "DELETE FROM TFar_FacArticoli WHERE iFarId = :VOCURRID;";
const char *const kRowsSQL = "SELECT iFarId FROM TAfc_ArtVelist WHERE iFarId = :iFarId";
const char *const kInUseMessage = "Impossibile cancellare l'articolo. ci sono dei movimenti collegati.";
// The rows hold quantities and unloading costs in the unit the article had: a unit of another factor
// would change what they mean.
const char *const kOtherFactorSQL =
    "SELECT 1 FROM RDB$DATABASE WHERE FKVA_FATTOREUNITA(:iFarId) <> COALESCE((SELECT "
    "NULLIF(unm.fUnmFattoreProp, 0) FROM TUnm_UnitaMisura unm WHERE unm.iUnmId = :iUnmId), 1) AND EXISTS "
    "(SELECT 1 FROM TAfc_ArtVelist afc WHERE afc.iFarId = :iFarId)";
const char *const kOtherFactorMessage =
    "Impossibile cambiare l'unità di misura: l'articolo ha dei movimenti collegati.";

const QString kBookFields[] = {QStringLiteral("sFarLibTitolo"), QStringLiteral("sFarLibAutore"),
                               QStringLiteral("sFarLibEditore")};

} // namespace

TfmkvaArticoli::TfmkvaArticoli(QWidget *parent)
    : TfmVoRegistry(parent), xqcArticoli(NewCollection(QStringLiteral("xqcArticoli"))),
      frArticoli(new TfrkvaArticoli), frKvaRicerca1(new TfrKvaRicerca) {
    setObjectName(QStringLiteral("fmkvaArticoli"));
    setWindowTitle(QStringLiteral("Articoli"));
    Arrange(frArticoli, xqcArticoli);
    frArticoli->AddControlWidget(frKvaRicerca1);
    // After the data source's own writing of the controls.
    xqcArticoli->BeforePost.Add([this](TVoQueryCollection *) { xqcArticoliBeforePost(); });
    xqcArticoli->VoBeforeExec.Add(
        [this](TVoQueryCollection *, TVoQueryProp &Prop, bool &) { xqcArticoliVoBeforeExec(Prop); });
    xqcArticoli->BeforeWrite.Add(
        [this](TVoQueryCollection *, int listKind) { xqcArticoliBeforeWrite(listKind); });
    GuardDeleteWhileUsed(xqcArticoli, QStringLiteral("TFAR_FACARTICOLI"), QStringLiteral("IFARID"),
                         QString::fromLatin1(kRowsSQL), QString::fromUtf8(kInUseMessage));
}

void TfmkvaArticoli::FormCreate() {
    TfmVoRegistry::FormCreate();
    SetUpRegistry(frArticoli, xqcArticoli, QString::fromLatin1(kListSQL),
                  {{0, QStringLiteral("sFarSDesc"), true},
                   {1, QStringLiteral("sFarLDesc"), true},
                   {2, QStringLiteral("sCafDesc"), true},
                   {3, QStringLiteral("sMerDesc"), true},
                   {4, QStringLiteral("sDcmDescL"), true},
                   {5, QStringLiteral("sUnmDescS"), true},
                   {6, QStringLiteral("fAlvIva"), false}},
                  TVoRegistryStatements::Of("", kUpdateSQL, kDeleteSQL));
    // Nothing is added here.
    xqcArticoli->SQLInsert.Clear();
    frKvaRicerca1->DataSet = xqcArticoli;
    frKvaRicerca1->Grid = frArticoli->grFrame;
    frKvaRicerca1->SetupSearchBox();
}

void TfmkvaArticoli::FormShow() {
    frArticoli->ShowList();
    TfmVoRegistry::FormShow();
}

TVoFieldValue TfmkvaArticoli::BookValues() const {
    TVoFieldValue values;
    if (frArticoli->xelCat->KeyValue().toInt() != kvaBooksCategory) {
        for (const QString &field : kBookFields)
            values.Add(field, QStringLiteral(""));
        return values;
    }
    values.Add(QStringLiteral("sFarLDesc"), frArticoli->xedDesc->text() + QStringLiteral(" - ") +
                                                frArticoli->xedAutore->text() + QStringLiteral(" - ") +
                                                frArticoli->xedEditore->text());
    return values;
}

// The row shows what the update stores.
void TfmkvaArticoli::xqcArticoliBeforePost() {
    const TVoFieldValue values = BookValues();
    for (const QString &name : values.Names())
        xqcArticoli->FieldByName(name)->SetValue(values.Value(name));
}

void TfmkvaArticoli::xqcArticoliVoBeforeExec(TVoQueryProp &Prop) {
    if (Prop.Kind != skUpdate)
        return;
    const TVoFieldValue values = BookValues();
    for (const QString &name : values.Names())
        Prop.Values.Add(name, values.Value(name));
}

void TfmkvaArticoli::xqcArticoliBeforeWrite(int listKind) {
    if (listKind != skUpdate)
        return;
    const QVariant article = xqcArticoli->FieldByName(QStringLiteral("iFarId"))->Value();
    VoLockRow(QStringLiteral("TFAR_FACARTICOLI"), QStringLiteral("IFARID"), article);
    const QVariant row = VoSelectValue(
        QString::fromLatin1(kOtherFactorSQL),
        {{QStringLiteral("iFarId"), article},
         {QStringLiteral("iUnmId"), xqcArticoli->FieldByName(QStringLiteral("iUnmId"))->Value()}});
    if (row.isValid())
        throw EVoError(QString::fromUtf8(kOtherFactorMessage));
}
