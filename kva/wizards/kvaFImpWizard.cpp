#include "kvaFImpWizard.h"

#include "VoClassRegistry.h"
#include "VoDBGrid.h"
#include "VoDataSource.h"
#include "VoImages.h"
#include "VoMessages.h"
#include "VoQuery.h"
#include "VoQueryCollection.h"
#include "VoSearchDialog.h"
#include "VoStringGrid.h"
#include "VoTransaction.h"
#include "kvaMAtt.h"
#include "kvaUBuoni.h"
#include "kvaUUtil.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

const char *const kvaImpAlreadyImported = "Il buono selezionato è già stato importato";

TfmKvaImpWizard::TfmKvaImpWizard(QWidget *parent)
    : TfmVoWizard(parent), tbBuoni(new QWidget), sgBuoni(new TVoDBGrid(tbBuoni)),
      xdsMainBuoni(new TVoDataSource(this)), xqcBuoni(new TVoQueryCollection(this)), tbArticoli(new QWidget),
      sgArticoli(new TVoStringGrid(tbArticoli)), fmKvaSearchDialog(new TVoSearchDialog(this)) {
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    resize(942, 348);
    for (QWidget *page : {tbBuoni, tbArticoli}) {
        auto *layout = new QVBoxLayout(page);
        layout->setContentsMargins(0, 0, 0, 0);
        AddPage(page);
    }
    tbBuoni->layout()->addWidget(sgBuoni);
    tbArticoli->layout()->addWidget(sgArticoli);
    sgBuoni->setSelectionBehavior(QAbstractItemView::SelectRows);
    sgBuoni->setEditTriggers(QAbstractItemView::NoEditTriggers);
    xqcBuoni->SetPacketRecords(25);
    xdsMainBuoni->SetDataSet(xqcBuoni);
    sgBuoni->SetDataSource(xdsMainBuoni);
    TVoImageList images;
    LoadDefaultImages(images, {QStringLiteral("search")});
    sgArticoli->SetMarker(images.Icon(0));
    fmKvaSearchDialog->SetDefaultColumnsVisible(false);
    sgArticoli->OnColumnFocused.Add([this](int column) { ColumnFocused(column); });
    sgArticoli->OnSearch.Add([this](int column, int row) { VoGuarded([&] { SearchCell(column, row); }); });
}

void TfmKvaImpWizard::SetList(const QString &sql, const QString &paramName, const QVariant &paramValue) {
    m_listSQL = sql;
    m_listParam = paramName;
    m_listValue = paramValue;
}

void TfmKvaImpWizard::AddSearch(const TKvaImpSearch &search) {
    m_searches << search;
    auto *button = new QPushButton(search.buttonCaption, this);
    button->setEnabled(false);
    ButtonLayout()->insertWidget(int(m_sameButtons.size()), button);
    m_sameButtons << button;
    const int column = search.column;
    connect(button, &QPushButton::clicked, this, [this, column] { VoGuarded([&] { SearchAll(column); }); });
}

TKvaImpSearch TfmKvaImpWizard::SiteSearch(int column, int idColumn) {
    return {column,
            idColumn,
            QStringLiteral("Selezione Unica Sede"),
            QStringLiteral("SELECT ISEDINFID, SSEDINFLDESC FROM TSEDINF_SEDEINFO"),
            QStringLiteral("ISEDINFID"),
            QStringLiteral("SSEDINFLDESC"),
            QStringLiteral("Sede"),
            {},
            {},
            -1};
}

void TfmKvaImpWizard::SetGoodsColumns(int count, std::initializer_list<TShownColumn> shown) {
    sgArticoli->SetColCount(count);
    for (int column = 0; column < count; ++column)
        sgArticoli->SetColumn(column, QString(), -1);
    for (const TShownColumn &c : shown)
        sgArticoli->SetColumn(c.column, c.title, c.width);
}

QPushButton *TfmKvaImpWizard::SameButton(int column) const {
    for (int i = 0; i < m_searches.size(); ++i)
        if (m_searches[i].column == column)
            return m_sameButtons[i];
    return nullptr;
}

const TKvaImpSearch *TfmKvaImpWizard::SearchOf(int column) const {
    for (const TKvaImpSearch &search : m_searches)
        if (search.column == column)
            return &search;
    return nullptr;
}

void TfmKvaImpWizard::FormCreate() {
    TfmVoWizard::FormCreate();
    QList<int> selectable;
    for (const TKvaImpSearch &search : m_searches)
        selectable << search.column;
    sgArticoli->SetSelectableColumns(selectable);
    sgArticoli->SetRowCount(2);
    xqcBuoni->SetCommandText(m_listSQL);
    xqcBuoni->SetParam(m_listParam, m_listValue);
    xqcBuoni->Open();
}

void TfmKvaImpWizard::FormClose(TCloseAction &Action) {
    TfmVoWizard::FormClose(Action);
    xqcBuoni->Close();
}

void TfmKvaImpWizard::ColumnFocused(int column) {
    for (int i = 0; i < m_searches.size(); ++i)
        m_sameButtons[i]->setEnabled(m_searches[i].column == column);
}

void TfmKvaImpWizard::NavigatorClick(QObject *) {
    if (xqcBuoni->IsEmpty())
        return;
    const QStringList codes = UnclassifiedCodes();
    if (!codes.isEmpty()) {
        buOk->setEnabled(false);
        VoMessageDlg(QStringLiteral("I seguenti codici non sono associati a nessuna categoria di Velisto") +
                         QStringLiteral("\r\n") + codes.join(QStringLiteral("\r\n")),
                     mtError, mbOK);
        if (dmkvaAtt)
            dmkvaAtt->xafCatMerc->Execute();
        else if (QWidget *classification = CreateVoClass(QStringLiteral("TfmCategMerce")))
            classification->show();
        close();
        return;
    }
    buOk->setEnabled(true);
    ClearGoods();
    LoadGoods();
    ColumnFocused(-1);
}

void TfmKvaImpWizard::ClearGoods() {
    sgArticoli->clearContents();
    sgArticoli->SetRowCount(2);
}

int TfmKvaImpWizard::AppendGoodsRow() {
    // The last row is the empty one that the next row of the source fills.
    const int row = sgArticoli->RowCount() - 1;
    sgArticoli->SetRowCount(row + 2);
    return row;
}

void TfmKvaImpWizard::DropTrailingRow() {
    if (sgArticoli->RowCount() > 2)
        sgArticoli->SetRowCount(sgArticoli->RowCount() - 1);
}

int TfmKvaImpWizard::FirstEmpty(int column) const {
    for (int row = 1; row < sgArticoli->RowCount(); ++row)
        if (sgArticoli->Cells(column, row).isEmpty())
            return row;
    return 0;
}

int TfmKvaImpWizard::CellId(int column, int row) const {
    bool ok = false;
    const int id = sgArticoli->Cells(column, row).toInt(&ok);
    return ok ? id : -1;
}

QVariant TfmKvaImpWizard::CellIdOrNull(int column, int row) const {
    bool ok = false;
    const int id = sgArticoli->Cells(column, row).toInt(&ok);
    return ok ? QVariant(id) : VoNull(QMetaType::Int);
}

QString TfmKvaImpWizard::DecimalText(double value) {
    return QString::number(value, 'g', 15).replace(QLatin1Char('.'), QLatin1Char(','));
}

double TfmKvaImpWizard::DecimalOf(const QString &text) {
    return QString(text).replace(QLatin1Char(','), QLatin1Char('.')).toDouble();
}

bool TfmKvaImpWizard::RunSearch(const TKvaImpSearch &search, int row, QVariant *key, QString *text) {
    fmKvaSearchDialog->SetSQL(search.sql);
    if (!search.paramName.isEmpty()) {
        // A row without the value the list depends on lists nothing rather than failing.
        const int value = row > 0 ? CellId(search.paramColumn, row) : -1;
        fmKvaSearchDialog->SetParam(search.paramName, value);
    }
    fmKvaSearchDialog->ShowColumns(search.shownTitle, 320, {{1, search.shownTitle, 300}});
    fmKvaSearchDialog->SetKeyField(search.keyField);
    if (!fmKvaSearchDialog->Execute())
        return false;
    *key = fmKvaSearchDialog->SelectedID();
    *text = VoVariantToText(fmKvaSearchDialog->SelectedValue(1));
    return true;
}

void TfmKvaImpWizard::SearchCell(int column, int row) {
    const TKvaImpSearch *search = SearchOf(column);
    if (!search || row < 1)
        return;
    QVariant key;
    QString text;
    if (!RunSearch(*search, row, &key, &text)) {
        for (int emptied : search->emptiedOnChange)
            sgArticoli->SetCells(emptied, row, QString());
        sgArticoli->SetCells(search->idColumn, row, QString());
        sgArticoli->SetCells(column, row, QString());
        return;
    }
    if (text != sgArticoli->Cells(column, row))
        for (int emptied : search->emptiedOnChange)
            sgArticoli->SetCells(emptied, row, QString());
    sgArticoli->SetCells(search->idColumn, row, key.toString());
    sgArticoli->SetCells(column, row, text);
}

bool TfmKvaImpWizard::SameForAllAllowed(int) {
    return true;
}

void TfmKvaImpWizard::SearchAll(int column) {
    const TKvaImpSearch *search = SearchOf(column);
    if (!search || !SameForAllAllowed(column))
        return;
    QVariant key;
    QString text;
    const int focused = sgArticoli->Row() > 0 ? sgArticoli->Row() : 1;
    if (!RunSearch(*search, focused, &key, &text))
        return;
    for (int row = 1; row < sgArticoli->RowCount(); ++row) {
        if (text != sgArticoli->Cells(column, row))
            for (int emptied : search->emptiedOnChange)
                sgArticoli->SetCells(emptied, row, QString());
        sgArticoli->SetCells(search->idColumn, row, key.toString());
        sgArticoli->SetCells(column, row, text);
    }
}

void TfmKvaImpWizard::buOkClick() {
    if (ImportSelected())
        close();
}

bool TfmKvaImpWizard::ImportSelected() {
    if (xqcBuoni->IsEmpty() || !RowsComplete())
        return false;
    if (VoMessageDlg(QStringLiteral("I beni verranno importati nel Velisto %1")
                         .arg(GetParamDescription(ParRegisterYear).toString()),
                     mtConfirmation, mbOKCancel) != mrOk)
        return false;
    TVoTransaction transaction;
    transaction.StartTransaction();
    if (!Post()) {
        transaction.Rollback();
        VoMessageDlg(QString::fromUtf8(kvaImpAlreadyImported), mtWarning, mbOK);
        return false;
    }
    transaction.Commit();
    return true;
}

int TfmKvaImpWizard::InsertHeader(const QString &description, double sourceDate, const QVariant &movementId,
                                  const QVariant &supplierId) {
    kvaLockNumbering();
    const int voucher = NewId(QStringLiteral("TFBUO_BUONI"));
    const int number = NextVoucherNumber(kvaLoading);
    DateWindow window;
    GetVoucherDateLimits(number, kvaLoading, window);
    TVoQuery insert(QString::fromLatin1(kvaSQLImportBuoInsert));
    insert.SetParam(QStringLiteral("iFBuoID"), voucher)
        .SetParam(QStringLiteral("iDwgFacAnfId"), ParamRegisterYearId())
        .SetParam(QStringLiteral("iFBuoNUMERO"), number)
        .SetParam(QStringLiteral("sFBuoDESC"), description)
        .SetParamDate(QStringLiteral("dFBuoDATA"), qMax(sourceDate, window.low))
        .SetParam(QStringLiteral("imgmid"), movementId.isValid() ? movementId : VoNull(QMetaType::Int))
        .SetParam(QStringLiteral("ibenid"), supplierId.isValid() ? supplierId : VoNull(QMetaType::Int));
    insert.Exec();
    return voucher;
}
