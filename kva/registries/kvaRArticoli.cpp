#include "kvaRArticoli.h"

#include "VoDBEdits.h"
#include "VoDBLookupEdit.h"
#include "VoDates.h"
#include "VoDisplayFormat.h"
#include "VoForms.h"
#include "VoMessages.h"
#include "VoQuery.h"
#include "VoRegistry.h"
#include "VoUtils.h"
#include "kvaFArtSost.h"
#include "kvaUUtil.h"

#include <QFormLayout>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>
#include <QToolBar>
#include <functional>
#include <memory>

namespace {

const char *const kCatListSQL = "SELECT iCafId, sCafCodice, sCafDesc FROM TCaf_CategorieFac WHERE ##WHERE##";
const char *const kCodMerceListSQL =
    "SELECT mer.IMERID, mer.sMerCodice, mer.SMERDESC, cfm.iCafId FROM TMER_CODICIMERCEOL mer  LEFT JOIN "
    "TCFM_CATEGFACMERCE cfm ON (mer.iMerId = cfm.iMerId)  WHERE ##WHERE##";
const char *const kCodMerceOfCategorySQL =
    "SELECT mer.IMERID, mer.sMerCodice, mer.SMERDESC, cfm.iCafId FROM TMER_CODICIMERCEOL mer  LEFT JOIN "
    "TCFM_CATEGFACMERCE cfm ON (mer.iMerId = cfm.iMerId)  WHERE iCafId = :iCafId AND ##WHERE##";
const char *const kDettCodMerceListSQL =
    "SELECT IDcmID, sDcmDescS, SDCMDESCL FROM TDcm_DettCodMerc  WHERE ##WHERE##";
const char *const kDettCodMerceOfCodeSQL =
    "SELECT IDcmID, sDcmDescS, SDCMDESCL FROM TDcm_DettCodMerc  WHERE iMerId = :iMerId AND ##WHERE##";
const char *const kUniMisListSQL = "SELECT iUnmId, sUnmDescS FROM TUnm_UnitaMisura WHERE ##WHERE##";
const char *const kIvaListSQL = "SELECT iAlvId, fAlvIva, sAlvDescL FROM TAlv_AliquoteIva WHERE ##WHERE##";
const char *const kCategoryCodesSQL = "SELECT COUNT(*) FROM TCFM_CATEGFACMERCE WHERE ICAFID = :iCafId";
const char *const kCodeUsedSQL =
    "SELECT sFarSDesc FROM TFar_FacArticoli WHERE sFarSDesc = :sFarSDesc AND iFarId <> :iFarId;";

const QString kDescField = QStringLiteral("sFarLDesc");
const QString kTitleField = QStringLiteral("SFARLIBTITOLO");

void SetUpLookup(TVoDBLookupEdit *lookup, const char *keyField, const char *listField, const char *sql,
                 const std::function<void(TVoSearchDialog *)> &searchForm) {
    lookup->SetKeyField(QString::fromLatin1(keyField));
    lookup->SetListField(QString::fromLatin1(listField));
    lookup->SetListSQL(QString::fromLatin1(sql));
    lookup->SetSearchFormClass(QStringLiteral("TfmVoSearch"));
    lookup->SetAutoSeek(false);
    lookup->SetDefaultValue(0);
    lookup->OnShowSearchForm.Add(
        [searchForm](TVoDBLookupEdit *, TVoSearchDialog *Form) { searchForm(Form); });
}

// A code the article needs: a lookup without a chosen row is refused with the word, or with where to
// give what its list lacks.
void RequireCode(TVoDBLookupEdit *lookup, const QString &word, const std::function<QString()> &message = {}) {
    lookup->OnValidate.Add([lookup, word, message](QWidget *, bool &Ok, QString &Msg) {
        if (lookup->KeyValue().toInt() < 1) {
            Ok = false;
            Msg = message ? message() : word;
        }
    });
}

// A restricted list of a lookup: its text with the parameter, given the id.
void Restrict(TVoDBLookupEdit *lookup, const char *sql, const QString &param, const QVariant &id) {
    lookup->SetListSQL(QString::fromLatin1(sql));
    lookup->ListDataSet()->SetParam(param, id.isNull() ? QVariant(0) : id);
    lookup->RefreshList();
}

} // namespace

void kvaAddBookRows(QFormLayout *form, int row, TVoDBEdit *author, TVoDBEdit *publisher,
                    TVoDataSource *source) {
    for (auto [caption, edit, field] : {std::tuple{"Autore", author, "sFarLibAutore"},
                                        std::tuple{"Editore", publisher, "sFarLibEditore"}}) {
        auto *label = new QLabel(QString::fromLatin1(caption));
        label->setBuddy(edit);
        form->insertRow(row++, label, edit);
        VoSetMaxLength(edit, 100);
        edit->Bind(source, QString::fromLatin1(field));
    }
}

void kvaSetUpArticleLookups(TVoDBLookupEdit *cat, TVoDBLookupEdit *codMerce, TVoDBLookupEdit *dettCodMerce,
                            TVoDBLookupEdit *uniMis, TVoDBLookupEdit *iva) {
    const auto codeAnd = [](const char *caption) {
        return [caption](TVoSearchDialog *Form) {
            SetSearchForm(Form, {QStringLiteral("Codice"), QString::fromUtf8(caption)}, {100, 300});
        };
    };
    SetUpLookup(cat, "iCafId", "sCafDesc", kCatListSQL, codeAnd("Categoria"));
    SetUpLookup(codMerce, "mer.iMerId", "sMerDesc", kCodMerceListSQL, codeAnd("Codice merceologico"));
    SetUpLookup(dettCodMerce, "iDcmId", "sDcmDescL", kDettCodMerceListSQL, codeAnd("Dettaglio cod merceol"));
    SetUpLookup(uniMis, "iUnmId", "sUnmDescS", kUniMisListSQL,
                [](TVoSearchDialog *Form) { SetSearchFormTable(Form, QStringLiteral("Unità di misura")); });
    SetUpLookup(iva, "iAlvId", "fAlvIva;sAlvDescL", kIvaListSQL, [](TVoSearchDialog *Form) {
        SetSearchForm(Form, {QStringLiteral("Aliquota"), QStringLiteral("Descrizione")}, {100, 300});
    });
    // A rate is named by its percentage or by its description ("Aliquota ord"), which the edit does
    // not show but the drop-down does, so the first row that begins with the text is taken.
    iva->SetSearchField(QStringLiteral("fAlvIva;sAlvDescL"));
    iva->SetAutoSeek(true);
}

TfrkvaArticoli::TfrkvaArticoli(QWidget *parent)
    : TfrVoDBRWGrid(parent),
      xedCodice(VoAddDetailEdit(this, QStringLiteral("Codice"), QStringLiteral("sFarSDesc"), 7)),
      laDesc(new QLabel(QStringLiteral("Descrizione"), tsDetail)), xedDesc(new TVoDBEdit(tsDetail)),
      paBeneLibro(new QWidget(tsDetail)), xedAutore(new TVoDBEdit(paBeneLibro)),
      xedEditore(new TVoDBEdit(paBeneLibro)), laDescLibro(new QLabel(paBeneLibro)),
      xelCat(
          VoAddDetailControl<TVoDBLookupEdit>(this, QStringLiteral("Categoria"), QStringLiteral("iCafId"))),
      xelCodMerce(VoAddDetailControl<TVoDBLookupEdit>(this, QStringLiteral("Codice merceologico"),
                                                      QStringLiteral("iMerId"))),
      xelDettCodMerce(VoAddDetailControl<TVoDBLookupEdit>(this, QStringLiteral("Dettaglio cod merceol"),
                                                          QStringLiteral("iDcmId"))),
      xelUniMis(VoAddDetailControl<TVoDBLookupEdit>(this, QStringLiteral("Unità di misura"),
                                                    QStringLiteral("iUnmId"))),
      xelIva(VoAddDetailControl<TVoDBLookupEdit>(this, QStringLiteral("Aliquota iva"),
                                                 QStringLiteral("iAlvId"))),
      xoaUtility(new QToolBar(this)),
      xacGiacenza(new QAction(style()->standardIcon(QStyle::SP_FileDialogInfoView),
                              QStringLiteral("Visualizza giacenza articolo"), this)),
      xacSostituisci(new QAction(style()->standardIcon(QStyle::SP_BrowserReload),
                                 QStringLiteral("Sostituisci articolo"), this)),
      pmGiac(new QMenu(this)) {
    setObjectName(QStringLiteral("frArticoli"));
    grFrame->AddColumn(QStringLiteral("sFarSDesc"), QStringLiteral("Codice"));
    grFrame->AddColumn(QStringLiteral("sFarLDesc"), QStringLiteral("Descrizione"), 300);
    grFrame->AddColumn(QStringLiteral("sCafDesc"), QStringLiteral("Categoria"), 200);
    grFrame->AddColumn(QStringLiteral("sMerDesc"), QStringLiteral("Codice merceologico"), 200);
    grFrame->AddColumn(QStringLiteral("sDcmDescL"), QStringLiteral("Dettaglio codice merceologico"), 200);
    grFrame->AddColumn(QStringLiteral("sUnmDescS"), QStringLiteral("Unità di misura"), 100);
    grFrame->AddColumn(QStringLiteral("fAlvIva"), QStringLiteral("Aliquota iva"));

    // Articles come from the voucher rows only; one is changed after F2 alone.
    xacInsert->SetLocked(true);
    xacInsert->setVisible(false);
    xdsMain->SetAutoEdit(false);

    // Description (a book's title), then the book's other two fields, then the codes.
    QFormLayout *form = VoDetailForm(this);
    form->insertRow(1, laDesc, xedDesc);
    laDesc->setBuddy(xedDesc);
    xedDesc->SetUpperCase(true);
    xedDesc->Bind(xdsMain, kDescField);
    auto *book = new QFormLayout(paBeneLibro);
    book->setContentsMargins(0, 0, 0, 0);
    kvaAddBookRows(book, 0, xedAutore, xedEditore, xdsMain);
    xedAutore->SetUpperCase(true);
    xedEditore->SetUpperCase(true);
    QFont bold = laDescLibro->font();
    bold.setBold(true);
    laDescLibro->setFont(bold);
    laDescLibro->setWordWrap(true);
    book->addRow(laDescLibro);
    form->insertRow(2, paBeneLibro);
    paBeneLibro->hide();
    // The book's captions line up with those of the page.
    int captions = 0;
    for (int row = 0; row < form->rowCount(); ++row)
        if (QLayoutItem *item = form->itemAt(row, QFormLayout::LabelRole); item && item->widget())
            captions = qMax(captions, item->widget()->sizeHint().width());
    book->setHorizontalSpacing(form->horizontalSpacing());
    for (int row = 0; row < book->rowCount(); ++row)
        if (QLayoutItem *item = book->itemAt(row, QFormLayout::LabelRole); item && item->widget())
            item->widget()->setFixedWidth(captions);
    setTabOrder(xedCodice, xedDesc);
    setTabOrder(xedDesc, xedAutore);
    setTabOrder(xedAutore, xedEditore);
    setTabOrder(xedEditore, xelCat);

    kvaSetUpArticleLookups(xelCat, xelCodMerce, xelDettCodMerce, xelUniMis, xelIva);
    RequireCode(xelCat, QStringLiteral("Categoria"));
    RequireCode(xelCodMerce, kvaGoodsCodeWord, [this] { return kvaGoodsCodeRequired(xelCat->KeyValue()); });
    RequireCode(xelUniMis, QStringLiteral("Unità di misura"));
    RequireCode(xelIva, QStringLiteral("Iva"));

    xacGiacenza->setToolTip(xacGiacenza->text());
    xacGiacenza->setShortcut(QKeySequence(Qt::ControlModifier | Qt::Key_G));
    xacSostituisci->setToolTip(xacSostituisci->text());
    xacSostituisci->setShortcut(QKeySequence(Qt::ControlModifier | Qt::Key_R));
    xoaUtility->setIconSize(QSize(16, 16));
    for (QAction *action : {xacGiacenza, xacSostituisci}) {
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(action);
        xoaUtility->addAction(action);
        pmGiac->addAction(action);
    }
    AddControlWidget(xoaUtility);
    grFrame->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(grFrame, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { pmGiac->popup(grFrame->viewport()->mapToGlobal(at)); });
    connect(xacGiacenza, &QAction::triggered, this, [this] { VoGuarded([this] { xacGiacenzaExecute(); }); });
    connect(xacSostituisci, &QAction::triggered, this,
            [this] { VoGuarded([this] { xacSostituisciExecute(); }); });

    xdsMain->OnDataChange.Add([this](TVoDataSource *, TVoField *Field) { xdsMainDataChange(Field); });
    xdsMain->AfterStateChange.Add([this](TVoDataSource *) { xdsMainAfterStateChange(); });
    OnPageChanging.Add([this](TfrVoDBRWGrid *, int) { pcMainChanging(); });
    xelCat->OnChangeFKValue.Add([this](TVoDBLookupEdit *) { xelCatChangeFKValue(); });
    xelCodMerce->OnChangeFKValue.Add([this](TVoDBLookupEdit *) { xelCodMerceChangeFKValue(); });
    xedCodice->OnValidate.Add([this](QWidget *, bool &Ok, QString &Msg) { xedCodiceValidate(Ok, Msg); });
    xdsMainAfterStateChange();
}

void TfrkvaArticoli::SetBookMode(int category, bool recordChanged) {
    m_book = category == kvaBooksCategory;
    paBeneLibro->setVisible(m_book);
    laDesc->setText(m_book ? QStringLiteral("Titolo") : QStringLiteral("Descrizione"));
    const QString field = m_book ? kTitleField : kDescField;
    if (xedDesc->DataField().compare(field, Qt::CaseInsensitive) != 0)
        xedDesc->SetDataField(field);
    // A title is at most 100 characters; a description holds a book's title, author and publisher.
    VoSetMaxLength(xedDesc, m_book ? 100 : 400);
    const TVoQueryCollection *c = DataSet();
    if (m_book && recordChanged && c && c->Active() && !c->IsEmpty())
        laDescLibro->setText(c->FieldByName(kDescField)->AsString());
    if (DetailShown() && xedDesc->isVisible() && xedDesc->isEnabled() &&
        xedDesc->focusPolicy() != Qt::NoFocus)
        xedDesc->setFocus(Qt::OtherFocusReason);
}

const QString kvaGoodsCodeWord = QStringLiteral("Codice merceologico");

QString kvaGoodsCodeRequired(const QVariant &category) {
    // Only the classification gives a category its goods codes: the lookup has nothing to offer.
    if (category.toInt() > 0 &&
        VoSelectValue(QString::fromLatin1(kCategoryCodesSQL), {{QStringLiteral("iCafId"), category}})
                .toInt() == 0)
        return QStringLiteral("Attenzione ! \r\nCampo obbligatorio \"%1\": la categoria non ha codici "
                              "merceologici. Associarli alla categoria in \"Classificazioni\".")
            .arg(kvaGoodsCodeWord);
    return kvaGoodsCodeWord;
}

void kvaRestrictGoodsCodes(TVoDBLookupEdit *codMerce, const QVariant &category) {
    Restrict(codMerce, kCodMerceOfCategorySQL, QStringLiteral("iCafId"), category);
}

void kvaRestrictDetails(TVoDBLookupEdit *dettCodMerce, const QVariant &goodsCode) {
    Restrict(dettCodMerce, kDettCodMerceOfCodeSQL, QStringLiteral("iMerId"), goodsCode);
}

void kvaShowAllCodes(TVoDBLookupEdit *codMerce, TVoDBLookupEdit *dettCodMerce) {
    for (auto [lookup, sql] :
         {std::pair{codMerce, kCodMerceListSQL}, std::pair{dettCodMerce, kDettCodMerceListSQL}})
        if (lookup->ListSQL() != QLatin1String(sql)) {
            lookup->SetListSQL(QString::fromLatin1(sql));
            lookup->RefreshList();
        }
}

void TfrkvaArticoli::RestrictGoodsCodes(const QVariant &category) {
    kvaRestrictGoodsCodes(xelCodMerce, category);
}

void TfrkvaArticoli::RestrictDetails(const QVariant &goodsCode) {
    kvaRestrictDetails(xelDettCodMerce, goodsCode);
}

void TfrkvaArticoli::xdsMainDataChange(TVoField *Field) {
    if (Field)
        return;
    const TVoQueryCollection *c = DataSet();
    if (!c || !c->Active())
        return;
    const bool row = !c->IsEmpty();
    SetBookMode(row ? c->FieldByName(QStringLiteral("iCafId"))->AsInteger() : 0, true);
    RestrictGoodsCodes(row ? c->FieldByName(QStringLiteral("iCafId"))->Value() : QVariant());
    RestrictDetails(row ? c->FieldByName(QStringLiteral("iMerId"))->Value() : QVariant());
    xdsMainAfterStateChange();
}

void TfrkvaArticoli::pcMainChanging() {
    const TVoQueryCollection *c = DataSet();
    if (!c || !c->Active() || c->IsEmpty())
        return;
    RestrictGoodsCodes(c->FieldByName(QStringLiteral("iCafId"))->Value());
    RestrictDetails(c->FieldByName(QStringLiteral("iMerId"))->Value());
}

void TfrkvaArticoli::xelCatChangeFKValue() {
    const int category = xelCat->KeyValue().toInt();
    SetBookMode(category, false);
    if (category > 0) {
        RestrictGoodsCodes(category);
        xelCodMerce->SetKeyValue(-1);
        return;
    }
    xelCat->clear();
    xelCodMerce->SetListSQL(QString::fromLatin1(kCodMerceListSQL));
    xelCodMerce->RefreshList();
}

void TfrkvaArticoli::xelCodMerceChangeFKValue() {
    const int goodsCode = xelCodMerce->KeyValue().toInt();
    if (goodsCode < 1)
        xelCodMerce->clear();
    RestrictDetails(goodsCode);
    xelDettCodMerce->SetKeyValue(-1);
}

void TfrkvaArticoli::xedCodiceValidate(bool &Ok, QString &Msg) {
    if (xedCodice->text().isEmpty()) {
        Msg = QStringLiteral("Codice articolo");
        Ok = false;
    }
    const QString code = PadL(xedCodice->text(), 7, QLatin1Char('0'));
    xedCodice->setText(code);
    TVoQuery q(QString::fromLatin1(kCodeUsedSQL));
    q.SetParam(QStringLiteral("sFarSDesc"), code)
        .SetParam(QStringLiteral("iFarId"), DataSet()->FieldByName(QStringLiteral("iFarId"))->Value())
        .Open();
    if (!q.Eof()) {
        Msg = QStringLiteral("Codice articolo già usato");
        Ok = false;
    }
}

void TfrkvaArticoli::xdsMainAfterStateChange() {
    const TVoQueryCollection *c = DataSet();
    const bool row = c && c->Active() && !c->IsEmpty();
    const bool browse = !xdsMain->Editing();
    xacGiacenza->setEnabled(browse && row);
    xacSostituisci->setEnabled(browse && row && !ReadOnly());
    if (browse && row && m_book)
        laDescLibro->setText(c->FieldByName(kDescField)->AsString());
}

void TfrkvaArticoli::xacGiacenzaExecute() {
    const TVoQueryCollection *c = DataSet();
    const double stock = GetStock(c->FieldByName(QStringLiteral("iFarId"))->AsInteger(), -1, TodayDays());
    VoMessageDlg(QStringLiteral("Giacenza di ") + c->FieldByName(kDescField)->AsString() +
                     QStringLiteral(" al ") + FormatDays(TodayDays()) + QStringLiteral(" : ") +
                     VoFloatToText(stock),
                 mtInformation, mbOK);
}

void TfrkvaArticoli::xacSostituisciExecute() {
    TVoQueryCollection *c = DataSet();
    std::unique_ptr<TfmKvaArtSost> dialog(VoNewForm<TfmKvaArtSost>(nullptr));
    dialog->iFarId = c->FieldByName(QStringLiteral("iFarId"))->AsInteger();
    dialog->sFarSDesc = c->FieldByName(QStringLiteral("sFarSDesc"))->AsString();
    dialog->sFarLDesc = c->FieldByName(kDescField)->AsString();
    dialog->exec();
    dialog.reset();
    c->Refresh();
}
