#include "kvaFArtSost.h"

#include "VoConnection.h"
#include "VoDBLookupEdit.h"
#include "VoDataSource.h"
#include "VoExceptions.h"
#include "VoQuery.h"
#include "VoQueryCollection.h"
#include "VoSearchDialog.h"
#include "VoTransaction.h"
#include "kvaRArticoli.h"
#include "kvaUUtil.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>

namespace {

#define KVA_ARTICLE_WITH_CODES_SELECT                                                                        \
    "SELECT far.iFarId, sFarSDesc, sFarLDesc, sCafDesc, sMerDesc, sDcmDescL, sUnmDescS, fAlvIva, "           \
    "COALESCE(far.sFarLibTitolo, '') AS sFarLibTitolo, COALESCE(far.sFarLibAutore, '') AS sFarLibAutore, "   \
    "COALESCE(far.sFarLibEditore, '') AS sFarLibEditore, far.iCafId, far.iUnmId, far.iAlvId, far.IMERID, "   \
    "far.IDcmID " KVA_ARTICLES_WITH_CODES

const char *const kArticlesSQL = KVA_ARTICLE_WITH_CODES_SELECT;
const char *const kDescListSQL = KVA_ARTICLE_WITH_CODES_SELECT "WHERE ##WHERE##";
const char *const kCodListSQL = "SELECT iFarId, sFarSDesc FROM TFar_FacArticoli WHERE ##WHERE##";

const char *const kMoveRowsSQL = "UPDATE TAfc_ArtVelist SET iFarId = :iFarId_new WHERE iFarId = :iFarId_old;";
const char *const kDeleteOldSQL = "DELETE FROM TFar_FacArticoli WHERE iFarId = :iFarId_old;";
const char *const kRepriceSQL = "EXECUTE PROCEDURE PKVA_RIPREZZAARTICOLO(:iFarId)";

const char *const kSameArticleMessage = "Impossibile proseguire, è stato scelto lo stesso articolo.";
const char *const kQuestion =
    "Procedere con la sostituzione dell'articolo\r\n %s-%s\r\n con il nuovo articolo\r\n %s-%s\r\nin tutti i "
    "movimenti di tutti gli anni?\r\nCon questa operazione verranno ricalcolati i costi di scarico del nuovo "
    "articolo.";

// The captions of the old article's values, one a line.
const char *const kOldCaptions[] = {
    "Codice:",          "Descrizione:", "Categoria:", "Codice merceologico:", "Dettaglio cod merceol:",
    "Unità di misura:", "Aliquota iva:"};
const char *const kOldFields[] = {"sFarSDesc", "sFarLDesc", "sCafDesc", "sMerDesc",
                                  "sDcmDescL", "sUnmDescS", "fAlvIva"};

QLabel *Title(const QString &text, QWidget *parent) {
    auto *label = new QLabel(text, parent);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

} // namespace

void kvaReplaceArticle(int oldId, int newId) {
    TVoTransaction transaction;
    transaction.StartTransaction();
    VoExecSQL(QString::fromLatin1(kMoveRowsSQL),
              {{QStringLiteral("iFarId_new"), newId}, {QStringLiteral("iFarId_old"), oldId}});
    VoExecSQL(QString::fromLatin1(kDeleteOldSQL), {{QStringLiteral("iFarId_old"), oldId}});
    VoExecSQL(QString::fromLatin1(kRepriceSQL), {{QStringLiteral("iFarId"), newId}});
    transaction.Commit();
}

TfmKvaArtSost::TfmKvaArtSost(QWidget *parent)
    : TfmVoOkCancDlg(parent), xqc(new TVoQueryCollection(this)), xds(new TVoDataSource(this)),
      laArtOld(new QLabel(pnClient)), xelCod(new TVoDBLookupEdit(pnClient)),
      xelDesc(new TVoDBLookupEdit(pnClient)), xelCat(new TVoDBLookupEdit(pnClient)),
      xelCodMerce(new TVoDBLookupEdit(pnClient)), xelDettCodMerce(new TVoDBLookupEdit(pnClient)),
      xelUniMis(new TVoDBLookupEdit(pnClient)), xelIva(new TVoDBLookupEdit(pnClient)) {
    setObjectName(QStringLiteral("fmKvaArtSost"));
    // Named as the action that opens it.
    setWindowTitle(QStringLiteral("Sostituisci articolo"));
    resize(595, 443);
    xqc->setObjectName(QStringLiteral("xqc"));
    xqc->SetAutoBuildSQL(false);
    xds->SetDataSet(xqc);

    auto *layout = new QGridLayout(pnClient);
    layout->addWidget(Title(QStringLiteral("Articolo originale"), pnClient), 0, 0, 1, 2);
    QStringList captions;
    for (const char *caption : kOldCaptions)
        captions << QString::fromUtf8(caption);
    layout->addWidget(new QLabel(captions.join(QLatin1Char('\n')), pnClient), 1, 0, Qt::AlignTop);
    laArtOld->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(laArtOld, 1, 1, Qt::AlignTop);
    layout->addWidget(Title(QStringLiteral("Sostituisci con:"), pnClient), 2, 0, 1, 2);
    auto *form = new QFormLayout;
    layout->addLayout(form, 3, 0, 1, 2);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(4, 1);

    const std::tuple<const char *, TVoDBLookupEdit *, const char *> lookups[] = {
        {"Codice", xelCod, "iFarId"},
        {"Descrizione", xelDesc, "iFarId"},
        {"Categoria", xelCat, "iCafId"},
        {"Codice merceologico", xelCodMerce, "iMerId"},
        {"Dettaglio cod merceol", xelDettCodMerce, "iDcmId"},
        {"Unità di misura", xelUniMis, "iUnmId"},
        {"Aliquota iva", xelIva, "iAlvId"}};
    for (const auto &[caption, lookup, field] : lookups) {
        auto *label = new QLabel(QString::fromUtf8(caption), pnClient);
        label->setBuddy(lookup);
        form->addRow(label, lookup);
        lookup->Bind(xds, QString::fromLatin1(field));
    }
    kvaSetUpArticleLookups(xelCat, xelCodMerce, xelDettCodMerce, xelUniMis, xelIva);
    xelCod->SetKeyField(QStringLiteral("iFarId"));
    xelCod->SetListField(QStringLiteral("sFarSDesc"));
    xelCod->setFixedWidth(137);
    xelDesc->SetKeyField(QStringLiteral("iFarId"));
    xelDesc->SetListField(QStringLiteral("sFarLDesc"));
    for (TVoDBLookupEdit *lookup : Followers()) {
        lookup->SetReadOnly(true);
        lookup->setFocusPolicy(Qt::NoFocus);
    }
    xelDesc->OnShowSearchForm.Add(
        [this](TVoDBLookupEdit *, TVoSearchDialog *Form) { xelDescShowSearchForm(Form); });
    xelDesc->OnChangeFKValue.Add([this](TVoDBLookupEdit *) { xelDescChangeFKValue(); });
}

QList<TVoDBLookupEdit *> TfmKvaArtSost::Followers() const {
    return {xelCod, xelCat, xelCodMerce, xelDettCodMerce, xelUniMis, xelIva};
}

void TfmKvaArtSost::FormCreate() {
    TfmVoOkCancDlg::FormCreate();
    xqc->SetConnection(qqoVoGlobConn);
    xqc->SetCommandText(QString::fromLatin1(kArticlesSQL));
    xelDesc->SetListSQL(QString::fromLatin1(kDescListSQL));
    xelCod->SetListSQL(QString::fromLatin1(kCodListSQL));
}

void TfmKvaArtSost::FormShow() {
    TfmVoOkCancDlg::FormShow();
    xqc->Open();
    if (!xqc->Locate(QStringLiteral("iFarId"), iFarId)) {
        laArtOld->setText(QStringLiteral("Impossibile visualizzare i dati"));
    } else {
        QStringList values;
        for (const char *field : kOldFields)
            values << xqc->FieldByName(QString::fromLatin1(field))->AsString();
        laArtOld->setText(values.join(QLatin1Char('\n')));
    }
    xelDesc->setFocus(Qt::OtherFocusReason);
}

void TfmKvaArtSost::FormClose(TCloseAction &Action) {
    TfmVoOkCancDlg::FormClose(Action);
    xqc->Close();
}

void TfmKvaArtSost::xelDescShowSearchForm(TVoSearchDialog *Form) {
    Form->SetFormWidth(800);
    SetSearchForm(Form,
                  {QStringLiteral("Codice"), QStringLiteral("Articolo"), QStringLiteral("Categoria"),
                   QStringLiteral("Cod. Merceol."), QStringLiteral("Dett. Merceol."),
                   QStringLiteral("Unità misura"), QStringLiteral("Iva"), QStringLiteral("Titolo"),
                   QStringLiteral("Autore"), QStringLiteral("Editore")},
                  {100, 300, 100, 100, 100, 100, 50, 100, 100, 100});
}

void TfmKvaArtSost::xelDescChangeFKValue() {
    for (TVoDBLookupEdit *lookup : Followers())
        lookup->SetReadOnly(false);
    xelCod->SetKeyValue(xelDesc->KeyValue());
    const std::pair<TVoDBLookupEdit *, const char *> codes[] = {{xelCat, "iCafId"},
                                                                {xelCodMerce, "IMERID"},
                                                                {xelDettCodMerce, "IDcmID"},
                                                                {xelUniMis, "iUnmId"},
                                                                {xelIva, "iAlvId"}};
    for (const auto &[lookup, column] : codes)
        lookup->SetKeyValue(xelDesc->ListValue(QString::fromLatin1(column)));
    for (TVoDBLookupEdit *lookup : Followers())
        lookup->SetReadOnly(true);
}

void TfmKvaArtSost::buOkClick() {
    const int newId = xelDesc->KeyValue().toInt();
    if (newId == iFarId) {
        VoMessageDlg(QString::fromUtf8(kSameArticleMessage), mtInformation, mbOK);
        return;
    }
    const QString question =
        VoFormat(QString::fromUtf8(kQuestion), {sFarSDesc, sFarLDesc, xelCod->text(), xelDesc->text()});
    if (VoMessageDlg(question, mtConfirmation, mbYesNoCancel) != mrYes)
        return;
    kvaReplaceArticle(iFarId, newId);
    TfmVoOkCancDlg::buOkClick();
}
