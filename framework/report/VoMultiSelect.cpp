#include "VoMultiSelect.h"

#include "VoDBGrid.h"
#include "VoForms.h"
#include "VoMessages.h"
#include "VoQuery.h"
#include "VoQueryCollection.h"
#include "VoTableModel.h"

#include <QAction>
#include <QCoreApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

// Space ticks the current row, as it does a check box; in a dialog Enter confirms it, as everywhere
// else in a dialog, instead of ticking.
class TSpaceTicks : public QObject {
public:
    TSpaceTicks(TfrVoMultiSelect *frame) : QObject(frame), m_frame(frame) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Space) {
            m_frame->ToggleCurrent();
            return true;
        }
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && qobject_cast<QDialog *>(m_frame->window())) {
            QCoreApplication::sendEvent(m_frame->window(), event);
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    TfrVoMultiSelect *m_frame;
};

// The select with the filter's conditions in place of its markers.
QString FilteredText(const QString &sql, const TVoFilterCondition &filter) {
    QString text = sql;
    text.replace(QLatin1String(VoRptFilterMarker),
                 filter.IsEmpty() ? QString() : QStringLiteral("AND (%1)").arg(filter.text));
    if (!filter.IsEmpty()) {
        text.replace(QStringLiteral("/*ONLY VORPTFILTER*/"), QStringLiteral("(%1)").arg(filter.text));
        text.replace(QStringLiteral("/*OR VORPTFILTER*/"), QStringLiteral("OR (%1)").arg(filter.text));
    }
    return text;
}

} // namespace

TfrVoMultiSelect::TfrVoMultiSelect(QWidget *parent)
    : TfrVoDBROGrid(parent), xqcMultiSelect(new TVoQueryCollection(this)),
      buSelAll(new QPushButton(QStringLiteral("Seleziona tutti"), this)),
      buSelNone(new QPushButton(QStringLiteral("Deseleziona tutti"), this)), edSearch(new QLineEdit(this)),
      acFilter(new QAction(QStringLiteral("Filtro..."), this)),
      acApplyFilter(new QAction(QStringLiteral("Applica filtro"), this)) {
    setObjectName(QStringLiteral("frVoMultiSel"));
    xqcMultiSelect->setObjectName(QStringLiteral("xqcMultiSelect"));
    SetDataSet(xqcMultiSelect);
    edSearch->setPlaceholderText(QStringLiteral("Cerca"));
    edSearch->setClearButtonEnabled(true);
    edSearch->setMaximumWidth(220);
    AddControlWidget(buSelAll);
    AddControlWidget(buSelNone);
    AddControlWidget(edSearch);
    TVoTableModel *model = grFrame->Model();
    model->IsChecked = [this](int row) { return IsSelected(row); };
    model->SetChecked = [this](int row, bool selected) { SetSelected(row, selected); };
    grFrame->installEventFilter(new TSpaceTicks(this));
    OnRowActivated.Add([this](TfrVoDBROGrid *) { ToggleCurrent(); });
    connect(buSelAll, &QPushButton::clicked, this, [this] { SelectAll(); });
    connect(buSelNone, &QPushButton::clicked, this, [this] { SelectNone(); });
    connect(edSearch, &QLineEdit::textChanged, this,
            [this](const QString &text) { VoGuarded([&] { SetSearchText(text); }); });
    // A list read again (a filter, a run refused) still shows only what the search box asks for.
    xqcMultiSelect->AfterOpen.Add([this](TVoQueryCollection *) { SetSearchText(edSearch->text()); });

    acFilter->setObjectName(QStringLiteral("acFilter"));
    acApplyFilter->setObjectName(QStringLiteral("acApplyFilter"));
    acFilter->setShortcut(QKeySequence(QKeyCombination(SC_FILTER_SHIFT, Qt::Key_F)));
    acApplyFilter->setShortcut(QKeySequence(QKeyCombination(SC_APPLY_FILTER_SHIFT, Qt::Key_F)));
    acApplyFilter->setCheckable(true);
    for (QAction *a : {acFilter, acApplyFilter}) {
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        a->setVisible(false);
        addAction(a);
        tbControl->addAction(a);
    }
    connect(acFilter, &QAction::triggered, this, [this] { VoGuarded([this] { acFilterExecute(); }); });
    // The tick is the filter's state, set by the handler rather than by the click.
    connect(acApplyFilter, &QAction::triggered, this, [this](bool checked) {
        acApplyFilter->setChecked(!checked);
        VoGuarded([this] { acApplyFilterExecute(); });
    });
}

void TfrVoMultiSelect::SetFilterForm(std::function<TfmVoRptFiltro *()> form) {
    m_filterForm = std::move(form);
    acFilter->setVisible(bool(m_filterForm));
    acApplyFilter->setVisible(bool(m_filterForm));
}

void TfrVoMultiSelect::SetFilteredSQL(const QString &sql) {
    m_filteredSQL = sql;
    Restrict(AppliedFilter());
}

void TfrVoMultiSelect::SetKeySelect(const QString &keyColumn, const QString &keySelect) {
    m_keyColumn = keyColumn;
    m_keySelect = keySelect;
    // The key query sorts every key anyway: one packet fills several screens.
    xqcMultiSelect->SetPacketRecords(100);
    Restrict(AppliedFilter());
}

void TfrVoMultiSelect::Restrict(const TVoFilterCondition &condition) {
    VoRptApplyFilter(xqcMultiSelect, m_filteredSQL, condition);
    xqcMultiSelect->SetKeySlice(m_keySelect.isEmpty()
                                    ? TVoKeySlice()
                                    : TVoKeySlice{m_keyColumn, FilteredText(m_keySelect, condition)});
}

const TVoFilterCondition &TfrVoMultiSelect::AppliedFilter() const {
    static const TVoFilterCondition none;
    return acApplyFilter->isChecked() ? m_filter : none;
}

bool TfrVoMultiSelect::ApplyFilter(const TVoFilterCondition &condition) {
    Restrict(condition);
    m_allTicked = false;
    m_exceptions.clear();
    xqcMultiSelect->Open();
    return !condition.IsEmpty();
}

void TfrVoMultiSelect::acFilterExecute() {
    TfmVoRptFiltro *form = m_filterForm ? m_filterForm() : nullptr;
    if (!form || form->exec() != QDialog::Accepted)
        return;
    m_filter = form->frVoFiltro->GetCondition();
    acApplyFilter->setChecked(ApplyFilter(m_filter));
}

void TfrVoMultiSelect::acApplyFilterExecute() {
    if (m_filter.IsEmpty())
        return;
    ApplyFilter(acApplyFilter->isChecked() ? TVoFilterCondition() : m_filter);
    acApplyFilter->setChecked(!acApplyFilter->isChecked());
}

QString TfrVoMultiSelect::KeyOf(int row) const {
    return VoVariantToText(xqcMultiSelect->RowValue(row, 0));
}

bool TfrVoMultiSelect::IsSelected(int row) const {
    return m_allTicked != m_exceptions.contains(KeyOf(row));
}

void TfrVoMultiSelect::SetSelected(int row, bool selected) {
    if (row < 0 || row >= xqcMultiSelect->FetchedCount())
        return;
    if (selected == m_allTicked)
        m_exceptions.remove(KeyOf(row));
    else
        m_exceptions.insert(KeyOf(row));
}

int TfrVoMultiSelect::GetSelCount() {
    if (!m_allTicked)
        return int(m_exceptions.size());
    // Every row ticked means no search hides any (SetSearchText).
    int count = 0;
    for (int row = 0; row < xqcMultiSelect->RecordCount(); ++row)
        count += IsSelected(row) ? 1 : 0;
    return count;
}

void TfrVoMultiSelect::ToggleCurrent() {
    const int row = xqcMultiSelect->RecNo() - 1;
    if (row < 0)
        return;
    SetSelected(row, !IsSelected(row));
    grFrame->Model()->ChecksChanged();
}

void TfrVoMultiSelect::SelectAll() {
    SelectShown(true);
}

void TfrVoMultiSelect::SelectNone() {
    SelectShown(false);
}

void TfrVoMultiSelect::SelectShown(bool selected) {
    if (!xqcMultiSelect->Active())
        return;
    if (xqcMultiSelect->RowFiltered()) {
        for (int row = 0; row < xqcMultiSelect->RecordCount(); ++row)
            SetSelected(row, selected);
    } else {
        // Every row, read or not.
        m_allTicked = selected;
        m_exceptions.clear();
    }
    grFrame->Model()->ChecksChanged();
}

QVariantList TfrVoMultiSelect::SelectedIds() {
    QVariantList ids;
    if (!xqcMultiSelect->Active())
        return ids;
    // The rows the search hides count as well.
    SetSearchText(QString());
    // The rows ticked one by one were all read; every row ticked reads those not read yet.
    if (m_allTicked)
        xqcMultiSelect->FetchAll();
    for (int row = 0; row < xqcMultiSelect->FetchedCount(); ++row)
        if (IsSelected(row))
            ids << xqcMultiSelect->RowValue(row, 0);
    return ids;
}

QVariantList TfrVoMultiSelect::SelectedOrAllIds() {
    // Ticks of rows the list no longer holds count for nothing.
    const QVariantList ticked = SelectedIds();
    if (!ticked.isEmpty())
        return ticked;
    edSearch->clear();
    SelectAll();
    return SelectedIds();
}

void TfrVoMultiSelect::SetSearchText(const QString &text) {
    if (!xqcMultiSelect->Active())
        return;
    const QString wanted = text.trimmed();
    if (wanted.isEmpty()) {
        xqcMultiSelect->ClearRowFilter();
        return;
    }
    // A search reads every row: the rows ticked become the exceptions, so that ticking the rows
    // shown leaves the hidden ones as they were.
    if (m_allTicked) {
        QSet<QString> ticked;
        for (int row = 0; row < xqcMultiSelect->RecordCount(); ++row)
            if (IsSelected(row))
                ticked.insert(KeyOf(row));
        m_allTicked = false;
        m_exceptions = std::move(ticked);
    }
    QStringList fields;
    for (int i = 0; i < grFrame->ColsIndex().Count(); ++i)
        if (grFrame->ColsIndex()[i].Text)
            fields << grFrame->ColumnField(grFrame->ColsIndex()[i].Column);
    if (fields.isEmpty())
        for (int c = 0; c < grFrame->ColumnCount(); ++c)
            fields << grFrame->ColumnField(c);
    xqcMultiSelect->SetRowFilter([fields, wanted](const TVoQueryCollection *c) {
        for (const QString &name : fields)
            if (const TVoField *f = c->FindField(name);
                f && f->DisplayText().contains(wanted, Qt::CaseInsensitive))
                return true;
        return false;
    });
}

// --- The form -------------------------------------------------------------------------------------------

void VoRptApplyFilter(TVoQueryCollection *query, const QString &sql, const TVoFilterCondition &filter) {
    query->Close();
    query->SetCommandText(FilteredText(sql, filter));
    for (const TVoFilterParam &p : filter.params)
        query->SetParam(p.name, p.value);
}

TfmVoMultiSelect::TfmVoMultiSelect(QWidget *parent)
    : TfmVoOkCancDlg(parent), frVoMultiSel(new TfrVoMultiSelect(pnClient)),
      buFilter(new QPushButton(QStringLiteral("Filtro..."), this)),
      m_clientLayout(new QVBoxLayout(pnClient)) {
    setWindowTitle(QStringLiteral("Selezione"));
    resize(600, 450);
    m_clientLayout->setContentsMargins(0, 0, 0, 0);
    m_clientLayout->addWidget(frVoMultiSel, 1);
    buFilter->setObjectName(QStringLiteral("buFilter"));
    buFilter->hide();
    ButtonLayout()->insertWidget(0, buFilter);
    // One filter button on the form: the list's own leaves its bar, keeping its shortcut.
    frVoMultiSel->tbControl->removeAction(frVoMultiSel->acFilter);
    connect(buFilter, &QPushButton::clicked, frVoMultiSel->acFilter, &QAction::trigger);
    // A field's scale belongs to the fields of one opening.
    frVoMultiSel->xqcMultiSelect->AfterOpen.Add([this](TVoQueryCollection *list) {
        for (const QString &name : std::as_const(m_moneyFields))
            if (TVoField *field = list->FindField(name)) {
                field->SetDisplayFormat(QStringLiteral("#,##0.00"));
                field->SetDisplayScale(TVoMoney::Decimals);
            }
    });
}

void TfmVoMultiSelect::Dress(const QString &caption, std::initializer_list<TVoSelectColumn> columns) {
    setWindowTitle(caption);
    SetColumns(columns);
}

void TfmVoMultiSelect::SetCommandText(const QString &sql) {
    frVoMultiSel->SetFilteredSQL(sql);
}

void TfmVoMultiSelect::SetXMLFilter(const QString &xml, const QString &filterDir) {
    m_filterXml = xml;
    m_filterDir = filterDir;
    buFilter->setVisible(!xml.isEmpty());
    frVoMultiSel->SetFilterForm(xml.isEmpty() ? std::function<TfmVoRptFiltro *()>()
                                              : [this] { return FilterForm(); });
}

TfmVoRptFiltro *TfmVoMultiSelect::NewFilterForm() {
    return VoNewForm<TfmVoRptFiltro>(this);
}

TfmVoRptFiltro *TfmVoMultiSelect::FilterForm() {
    if (!m_filterForm) {
        m_filterForm = NewFilterForm();
        m_filterForm->frVoFiltro->SetXMLFilter(m_filterXml);
        m_filterForm->frVoFiltro->SetFilterDir(m_filterDir);
    }
    return m_filterForm;
}

void TfmVoMultiSelect::SetParam(const QString &name, const QVariant &value) {
    frVoMultiSel->xqcMultiSelect->SetParam(name, value);
}

void TfmVoMultiSelect::SetColumns(std::initializer_list<TVoSelectColumn> columns) {
    TVoDBGrid *grid = frVoMultiSel->grFrame;
    grid->ClearColumns();
    grid->ColsIndex().Clear();
    m_moneyFields.clear();
    int width = 0;
    for (const TVoSelectColumn &c : columns) {
        if (c.width == 0)
            continue;
        if (c.money)
            m_moneyFields << QString::fromUtf8(c.field);
        const int column = grid->AddColumn(QString::fromUtf8(c.field), QString::fromUtf8(c.title), c.width,
                                           c.money ? Qt::AlignRight : Qt::Alignment());
        grid->ColsIndex().Add(column, QString::fromUtf8(c.field), QString(), c.text);
        width += c.width;
    }
    constexpr int kFrame = 80; // the grid's margins, scroll bar and the form's border
    resize(qMax(this->width(), width + kFrame), height());
}

void TfmVoMultiSelect::FormShow() {
    TfmVoOkCancDlg::FormShow();
    if (!frVoMultiSel->xqcMultiSelect->Active())
        frVoMultiSel->xqcMultiSelect->Open();
    frVoMultiSel->grFrame->setFocus();
}

void TfmVoMultiSelect::buOkClick() {
    if (m_bookmarks)
        *m_bookmarks = frVoMultiSel->SelectedIds();
    TfmVoOkCancDlg::buOkClick();
}
