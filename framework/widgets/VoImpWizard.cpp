#include "VoImpWizard.h"

#include "VoDBGrid.h"
#include "VoDataSource.h"
#include "VoExceptions.h"
#include "VoImages.h"
#include "VoMessages.h"
#include "VoQuery.h"
#include "VoQueryCollection.h"
#include "VoSearchDialog.h"
#include "VoStatistics.h"
#include "VoStringGrid.h"
#include "VoTransaction.h"
#include "VoWait.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QScopeGuard>
#include <QStackedWidget>
#include <QVBoxLayout>

TfmVoImpWizard::TfmVoImpWizard(QWidget *parent)
    : TfmVoWizard(parent), tbBuoni(new QWidget), sgBuoni(new TVoDBGrid(tbBuoni)),
      xdsMainBuoni(new TVoDataSource(this)), xqcBuoni(new TVoQueryCollection(this)), tbArticoli(new QWidget),
      sgArticoli(new TVoStringGrid(tbArticoli)), fmSearchDialog(new TVoSearchDialog(this)) {
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
    fmSearchDialog->SetDefaultColumnsVisible(false);
    sgArticoli->OnColumnFocused.Add([this](int column) { ColumnFocused(column); });
    sgArticoli->OnSearch.Add([this](int column, int row) { VoGuarded([&] { SearchCell(column, row); }); });
}

void TfmVoImpWizard::SetList(const QString &sql, const QString &paramName, const QVariant &paramValue) {
    m_listSQL = sql;
    m_listParam = paramName;
    m_listValue = paramValue;
}

void TfmVoImpWizard::AddSearch(const TVoImpSearch &search) {
    m_searches << search;
    auto *button = new QPushButton(search.buttonCaption, this);
    button->setEnabled(false);
    ButtonLayout()->insertWidget(int(m_sameButtons.size()), button);
    m_sameButtons << button;
    const int column = search.column;
    connect(button, &QPushButton::clicked, this, [this, column] { VoGuarded([&] { SearchAll(column); }); });
}

void TfmVoImpWizard::SetGoodsColumns(int count, std::initializer_list<TShownColumn> shown) {
    sgArticoli->SetColCount(count);
    for (int column = 0; column < count; ++column)
        sgArticoli->SetColumn(column, QString(), -1);
    for (const TShownColumn &c : shown)
        sgArticoli->SetColumn(c.column, c.title, c.width);
}

QPushButton *TfmVoImpWizard::SameButton(int column) const {
    for (int i = 0; i < m_searches.size(); ++i)
        if (m_searches[i].column == column)
            return m_sameButtons[i];
    return nullptr;
}

const TVoImpSearch *TfmVoImpWizard::SearchOf(int column) const {
    for (const TVoImpSearch &search : m_searches)
        if (search.column == column)
            return &search;
    return nullptr;
}

void TfmVoImpWizard::FormCreate() {
    TfmVoWizard::FormCreate();
    QList<int> selectable;
    for (const TVoImpSearch &search : m_searches)
        selectable << search.column;
    sgArticoli->SetSelectableColumns(selectable);
    sgArticoli->SetRowCount(2);
    // A wizard whose list depends on what its opener sets opens it when shown.
    if (m_listSQL.isEmpty())
        return;
    xqcBuoni->SetCommandText(m_listSQL);
    xqcBuoni->SetParam(m_listParam, m_listValue);
    xqcBuoni->Open();
}

void TfmVoImpWizard::FormClose(TCloseAction &Action) {
    TfmVoWizard::FormClose(Action);
    xqcBuoni->Close();
}

void TfmVoImpWizard::ColumnFocused(int column) {
    for (int i = 0; i < m_searches.size(); ++i)
        m_sameButtons[i]->setEnabled(m_searches[i].column == column);
}

void TfmVoImpWizard::NavigatorClick(QObject *) {
    if (xqcBuoni->IsEmpty() || !GoodsAllowed())
        return;
    buOk->setEnabled(true);
    ClearGoods();
    LoadGoods();
    m_goodsLoaded = true;
    ColumnFocused(-1);
}

bool TfmVoImpWizard::GoodsAllowed() {
    return true;
}

void TfmVoImpWizard::ClearGoods() {
    sgArticoli->clearContents();
    sgArticoli->SetRowCount(2);
}

int TfmVoImpWizard::AppendGoodsRow() {
    // The last row is the empty one that the next row of the source fills.
    const int row = sgArticoli->RowCount() - 1;
    sgArticoli->SetRowCount(row + 2);
    return row;
}

void TfmVoImpWizard::DropTrailingRow() {
    if (sgArticoli->RowCount() > 2)
        sgArticoli->SetRowCount(sgArticoli->RowCount() - 1);
}

int TfmVoImpWizard::FirstEmpty(int column) const {
    for (int row = 1; row < sgArticoli->RowCount(); ++row)
        if (sgArticoli->Cells(column, row).isEmpty())
            return row;
    return 0;
}

int TfmVoImpWizard::CellId(int column, int row) const {
    bool ok = false;
    const int id = sgArticoli->Cells(column, row).toInt(&ok);
    return ok ? id : -1;
}

QVariant TfmVoImpWizard::CellIdOrNull(int column, int row) const {
    bool ok = false;
    const int id = sgArticoli->Cells(column, row).toInt(&ok);
    return ok ? QVariant(id) : VoNull(QMetaType::Int);
}

QString TfmVoImpWizard::DecimalText(double value) {
    return QString::number(value, 'g', 15).replace(QLatin1Char('.'), QLatin1Char(','));
}

double TfmVoImpWizard::DecimalOf(const QString &text) {
    return QString(text).replace(QLatin1Char(','), QLatin1Char('.')).toDouble();
}

bool TfmVoImpWizard::TryDecimal(const QString &text, double *value) {
    bool ok = false;
    *value = QString(text).replace(QLatin1Char(','), QLatin1Char('.')).trimmed().toDouble(&ok);
    return ok;
}

double TfmVoImpWizard::CellNumber(int column, int row) const {
    double value = 0.0;
    const QString text = sgArticoli->Cells(column, row);
    if (!TryDecimal(text, &value))
        throw EVoError(QString::fromUtf8("'%1' non è un numero valido").arg(text));
    return value;
}

bool TfmVoImpWizard::RunSearch(const TVoImpSearch &search, int row, QVariant *key, QString *text) {
    fmSearchDialog->SetSQL(search.sql);
    fmSearchDialog->ClearColumns();
    if (!search.paramName.isEmpty()) {
        // A row without the value the list depends on lists nothing rather than failing.
        const int value = row > 0 ? CellId(search.paramColumn, row) : -1;
        fmSearchDialog->SetParam(search.paramName, value);
    }
    fmSearchDialog->ShowColumns(search.shownTitle, 320, {});
    const QList<TVoShownColumn> listed =
        search.listed.isEmpty() ? QList<TVoShownColumn>{{1, search.shownTitle, 300}} : search.listed;
    int width = 20;
    for (const TVoShownColumn &c : listed) {
        TVoSearchColumn &column = fmSearchDialog->Columns(c.Index);
        column.Visible = true;
        column.Indexed = true;
        column.Caption = c.Caption;
        column.Width = c.Width;
        width += c.Width;
    }
    fmSearchDialog->SetFormWidth(qMax(320, width));
    fmSearchDialog->SetKeyField(search.keyField);
    if (!fmSearchDialog->Execute())
        return false;
    *key = fmSearchDialog->SelectedID();
    *text = PickedText(search);
    return true;
}

QString TfmVoImpWizard::PickedText(const TVoImpSearch &search) {
    const QVariant shown = fmSearchDialog->SelectedValue(search.shownField);
    return VoVariantToText(shown.isValid() ? shown : fmSearchDialog->SelectedValue(1));
}

void TfmVoImpWizard::SearchCell(int column, int row) {
    const TVoImpSearch *search = SearchOf(column);
    if (!search || row < 1)
        return;
    QVariant key;
    QString text;
    if (!RunSearch(*search, row, &key, &text)) {
        for (int emptied : search->emptiedOnChange)
            sgArticoli->SetCells(emptied, row, QString());
        if (!search->keepIdOnCancel)
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

bool TfmVoImpWizard::SameForAllAllowed(int) {
    return true;
}

void TfmVoImpWizard::SearchAll(int column) {
    const TVoImpSearch *search = SearchOf(column);
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

void TfmVoImpWizard::buOkClick() {
    if (ImportSelected())
        close();
}

bool TfmVoImpWizard::ImportSelected() {
    if (xqcBuoni->IsEmpty())
        return false;
    // The goods grid holds the pieces of the source chosen when their page was last turned to: OK on
    // the list page first loads those of the source at the cursor, as turning to their page does.
    if (pcMain->currentWidget() == tbBuoni) {
        m_goodsLoaded = false;
        buNextClick();
        if (!m_goodsLoaded)
            return false;
    }
    if (!RowsComplete())
        return false;
    const QString question = ConfirmationText();
    if (!question.isEmpty() && VoMessageDlg(question, mtConfirmation, mbOKCancel) != mrOk)
        return false;
    // An exception leaves the scope uncommitted: everything rolls back and the wizard stays open.
    TVoTransaction transaction;
    transaction.StartTransaction();
    bool posted = false;
    {
        // The user may abandon the import here: the transaction then writes nothing.
        TVoProgressScope progress(QStringLiteral("Importazione in corso ..."), sgArticoli->RowCount() - 1,
                                  true, windowTitle());
        m_progress = &progress;
        const auto forget = qScopeGuard([this] { m_progress = nullptr; });
        posted = Post();
    }
    if (!posted) {
        transaction.Rollback();
        VoMessageDlg(AlreadyImportedText(), mtWarning, mbOK);
        return false;
    }
    transaction.Commit();
    VoRefreshStaleStatistics();
    return true;
}

void TfmVoImpWizard::StepRow(int row) {
    if (m_progress)
        m_progress->Step(row);
}
