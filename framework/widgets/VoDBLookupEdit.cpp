#include "VoDBLookupEdit.h"

#include "VoClassRegistry.h"
#include "VoDisplayFormat.h"
#include "VoExceptions.h"
#include "VoMessages.h"
#include "VoQuery.h"
#include "VoSearchDialog.h"
#include "VoTableModel.h"

#include <QAbstractProxyModel>
#include <QAction>
#include <QCompleter>
#include <QFocusEvent>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QKeyEvent>
#include <QScrollBar>
#include <QStyle>
#include <QTableView>
#include <memory>

namespace {

const QString kKeyParam = QStringLiteral("VOLOOKUPKEY");
const QString kTextParam = QStringLiteral("VOLOOKUPTEXT");
// How a search column meets the typed text: equal to it, or beginning with it (a LIKE pattern).
const QString kEqualText = QStringLiteral("= CAST(:%1 AS VARCHAR(400))");
const QString kLikeText = QStringLiteral("LIKE CAST(:%1 AS VARCHAR(400)) ESCAPE '\\'");

bool SameKey(const QVariant &a, const QVariant &b) {
    const bool aNull = a.isNull() || !a.isValid();
    const bool bNull = b.isNull() || !b.isValid();
    if (aNull || bNull)
        return aNull && bNull;
    return a.toString() == b.toString();
}

// The rows read so far, and no more.
class TRowsReadModel : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;
    bool canFetchMore(const QModelIndex &) const override { return false; }
};

bool IsOwnParam(const QString &name) {
    return name.compare(kKeyParam, Qt::CaseInsensitive) == 0 ||
           name.compare(kTextParam, Qt::CaseInsensitive) == 0;
}

} // namespace

TVoDBLookupEdit::TVoDBLookupEdit(QWidget *parent) : TVoDBWidget(parent) {
    m_list = new TVoQueryCollection(this);
    m_list->SetPacketRecords(50);
    m_model = new TVoTableModel(m_list, this);

    m_popup = new QTableView;
    m_popup->horizontalHeader()->hide();
    m_popup->horizontalHeader()->setStretchLastSection(true);
    m_popup->verticalHeader()->hide();
    m_popup->setShowGrid(false);
    m_popup->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_popup->setSelectionMode(QAbstractItemView::SingleSelection);
    m_popup->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The completer asks its model for more rows after every change until none are left: it sees the
    // list through a model that offers no more, and the drop-down reads the next packet when the
    // user scrolls to its end.
    auto *rowsRead = new TRowsReadModel(this);
    rowsRead->setSourceModel(m_model);
    connect(m_popup->verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        if (value == m_popup->verticalScrollBar()->maximum() && m_list->Active() && m_list->CanFetchMore())
            VoGuarded([this] { m_list->FetchMore(); });
    });
    m_completer = new QCompleter(rowsRead, this);
    m_completer->setWidget(this);
    m_completer->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    m_completer->setCaseSensitivity(Qt::CaseInsensitive);
    m_completer->setMaxVisibleItems(12);
    m_completer->setPopup(m_popup);
    connect(m_completer, qOverload<const QModelIndex &>(&QCompleter::activated), this,
            [this](const QModelIndex &index) {
                const auto *proxy = qobject_cast<QAbstractProxyModel *>(m_completer->completionModel());
                ChooseDropDownRow(proxy ? proxy->mapToSource(index).row() : index.row());
            });

    m_button =
        addAction(style()->standardIcon(QStyle::SP_FileDialogContentsView), QLineEdit::TrailingPosition);
    m_button->setToolTip(QStringLiteral("Ricerca (F8)"));
    connect(m_button, &QAction::triggered, this, [this] { ShowSearchForm(); });
    connect(this, &QLineEdit::textChanged, this, [this] { RaiseChange(); });
    connect(this, &QLineEdit::textEdited, this, [this] {
        UserChanged();
        // Clearing the text is no search: the whole list comes with Alt+Down.
        if (Modified() && !text().trimmed().isEmpty())
            ShowDropDown();
        else
            m_popup->hide();
    });
}

// The completer owns its pop-up.
TVoDBLookupEdit::~TVoDBLookupEdit() = default;

void TVoDBLookupEdit::SetListSQL(const QString &sql) {
    m_listSQL = sql;
    m_cache.clear();
    if (m_list->Active())
        m_list->Close();
}

void TVoDBLookupEdit::SetConnection(TVoSQLConnection *connection) {
    m_list->SetConnection(connection);
    m_cache.clear();
}

void TVoDBLookupEdit::SetListField(const QString &names) {
    m_listField = names;
    m_model->ClearColumns();
    for (const QString &name : names.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        m_model->AddColumn(Bare(name));
}

QString TVoDBLookupEdit::SearchField() const {
    return m_searchField.isEmpty() ? m_listField.section(QLatin1Char(';'), 0, 0).trimmed() : m_searchField;
}

QString TVoDBLookupEdit::Bare(const QString &name) const {
    return name.section(QLatin1Char('.'), -1).trimmed();
}

QString TVoDBLookupEdit::ShownText(const TRow &row) const {
    const QString shown = Bare(m_listField.section(QLatin1Char(';'), 0, 0));
    return VoDisplayText(row.value(shown.toUpper()));
}

// A list text without "##WHERE##" is narrowed from outside, on the names of its result.
QString TVoDBLookupEdit::ListText(const QString &where, const QString &orderBy) const {
    if (m_listSQL.contains(QLatin1String("##WHERE##"), Qt::CaseInsensitive))
        return VoFillListSQL(m_listSQL, where, orderBy);
    QString inner = VoFillListSQL(m_listSQL, QString(), orderBy).trimmed();
    while (inner.endsWith(QLatin1Char(';')))
        inner = inner.chopped(1).trimmed();
    return QStringLiteral("SELECT * FROM (\n%1\n) VO_L WHERE %2").arg(inner, where);
}

QString TVoDBLookupEdit::Column(const QString &field) const {
    return m_listSQL.contains(QLatin1String("##WHERE##"), Qt::CaseInsensitive) ? field : Bare(field);
}

QString TVoDBLookupEdit::SearchCondition(const QString &comparison) const {
    QStringList any;
    for (const QString &field : SearchField().split(QLatin1Char(';'), Qt::SkipEmptyParts))
        any << QStringLiteral("(UPPER(%1) %2)").arg(Column(field.trimmed()), comparison.arg(kTextParam));
    return QLatin1Char('(') + any.join(QStringLiteral(" OR ")) + QLatin1Char(')');
}

QString TVoDBLookupEdit::SearchOrder() const {
    return Column(SearchField().section(QLatin1Char(';'), 0, 0).trimmed());
}

QList<TVoDBLookupEdit::TRow> TVoDBLookupEdit::Query(const QString &where, const QString &param,
                                                    const QVariant &value, int limit) const {
    TVoQuery q(ListText(where, SearchOrder()), m_list->Connection());
    for (const QString &name : q.ParamNames()) {
        if (name.compare(param, Qt::CaseInsensitive) == 0) {
            q.SetParam(name, value);
        } else if (const TVoParam *p = m_list->Params().FindParam(name); p && p->Bound()) {
            q.SetParam(name, p->Value());
        }
    }
    QList<TRow> rows;
    for (q.Open(); !q.Eof() && rows.size() < limit; q.Next()) {
        TRow row;
        for (int i = 0; i < q.FieldCount(); ++i)
            row.insert(q.FieldName(i).toUpper(), q.Value(i));
        rows << row;
    }
    return rows;
}

TVoDBLookupEdit::TRow TVoDBLookupEdit::RowOfKey(const QVariant &key) {
    if (key.isNull() || !key.isValid())
        return {};
    const QString k = key.toString();
    const auto it = m_cache.constFind(k);
    if (it != m_cache.constEnd())
        return *it;
    const TRow row =
        Query(QStringLiteral("(%1 = :%2)").arg(Column(m_keyField), kKeyParam), kKeyParam, key, 1).value(0);
    m_cache.insert(k, row);
    return row;
}

void TVoDBLookupEdit::ShowRow(const QVariant &key, const TRow &row) {
    m_key = key;
    m_row = row;
    const QString before = text();
    setText(ShownText(row));
    ProgramShown(this, before);
}

bool TVoDBLookupEdit::SeekByID(const QVariant &key) {
    const TRow row = RowOfKey(key);
    ShowRow(key, row);
    return !row.isEmpty();
}

QVariant TVoDBLookupEdit::KeyValue() const {
    return m_key.isNull() || !m_key.isValid() ? m_defaultValue : m_key;
}

void TVoDBLookupEdit::SetKeyValue(const QVariant &key) {
    const QVariant k =
        key.isNull() || !key.isValid() || (VoIsNumber(key) && key.toDouble() < 0) ? QVariant() : key;
    try {
        Choose(k, RowOfKey(k));
    } catch (const std::exception &e) {
        VoShowException(e);
    }
}

void TVoDBLookupEdit::Choose(const QVariant &key, const TRow &row) {
    const QVariant before = m_key;
    ShowRow(key, row);
    SetModified(false);
    TVoField *f = Field();
    if (f && DataSource()->Editing()) {
        if (!SameKey(f->Value(), key))
            f->SetValue(key);
        const QString shown = Bare(m_listField.section(QLatin1Char(';'), 0, 0));
        TVoField *g = shown.isEmpty() ? nullptr : DataSource()->DataSet()->FindField(shown);
        if (g && g != f && !g->Calculated())
            g->SetValue(row.value(shown.toUpper()));
    }
    if (!SameKey(before, key))
        VoGuarded([this] { OnChangeFKValue(this); });
}

void TVoDBLookupEdit::RefreshList() {
    m_cache.clear();
    if (m_list->Active())
        m_list->Close();
    if (DataSource()) {
        ReadField();
        return;
    }
    try {
        SeekByID(m_key);
    } catch (const std::exception &e) {
        VoShowException(e);
    }
}

QVariant TVoDBLookupEdit::ListValue(const QString &name) const {
    return m_row.value(Bare(name).toUpper());
}

void TVoDBLookupEdit::FillDropDown(const QString &text) {
    const QString typed = text.trimmed();
    const QString where = typed.isEmpty() ? QStringLiteral("(1=1)") : SearchCondition(kLikeText);
    m_list->Close();
    // The first rows in the search column's order: an index on it gives them without reading the rest.
    QString list = ListText(where, SearchOrder());
    if (!m_listSQL.contains(QLatin1String("##ORDERBY##"), Qt::CaseInsensitive) && !VoHasOrderBy(list))
        list = VoReplaceOrderBy(list, SearchOrder());
    m_list->SetCommandText(list);
    if (!typed.isEmpty())
        m_list->SetParam(kTextParam, VoLikePattern(typed, true));
    m_list->Open();
}

void TVoDBLookupEdit::ShowDropDown() {
    if (EffectiveReadOnly() || m_listSQL.isEmpty() || m_chooseOnly)
        return;
    try {
        FillDropDown(Modified() ? text() : QString());
    } catch (const std::exception &e) {
        VoShowException(e);
        return;
    }
    if (m_model->rowCount() == 0) {
        m_popup->hide();
        return;
    }
    QRect area = rect();
    area.setWidth(qMax(width(), 250));
    m_completer->complete(area);
    // The completer sizes its list by a first row it may not have laid out yet: the list shows at
    // least eight rows, or all of them when there are fewer.
    const int rows = qMin(m_model->rowCount(), qMax(8, m_completer->maxVisibleItems()));
    const int wanted = rows * qMax(m_popup->rowHeight(0), m_popup->verticalHeader()->defaultSectionSize()) +
                       (m_popup->height() - m_popup->viewport()->height());
    if (m_popup->isVisible() && m_popup->height() < wanted)
        m_popup->resize(m_popup->width(), wanted);
}

void TVoDBLookupEdit::ChooseDropDownRow(int row) {
    if (row < 0 || row >= m_list->FetchedCount())
        return;
    TRow values;
    for (int i = 0; i < m_list->FieldCount(); ++i)
        values.insert(m_list->Fields(i)->FieldName().toUpper(), m_list->RowValue(row, i));
    if (!BeginEdit()) {
        ReadField();
        return;
    }
    try {
        Choose(values.value(Bare(m_keyField).toUpper()), values);
    } catch (const std::exception &e) {
        VoShowException(e);
    }
}

void TVoDBLookupEdit::ResolveTypedText() {
    const QString typed = text().trimmed();
    if (typed.isEmpty()) {
        Choose(QVariant(), {});
        return;
    }
    if (!m_row.isEmpty() && typed.compare(ShownText(m_row), Qt::CaseInsensitive) == 0) {
        ShowRow(m_key, m_row);
        return;
    }
    QList<TRow> rows = Query(SearchCondition(kEqualText), kTextParam, typed.toUpper(), 1);
    if (rows.isEmpty() && m_autoSeek)
        rows = Query(SearchCondition(kLikeText), kTextParam, VoLikePattern(typed, true), 1);
    if (rows.isEmpty()) {
        ShowRow(m_key, m_row);
        return;
    }
    const QVariant key = rows.first().value(Bare(m_keyField).toUpper());
    m_cache.insert(key.toString(), rows.first());
    Choose(key, rows.first());
}

bool TVoDBLookupEdit::ShowSearchForm() {
    if (EffectiveReadOnly() || m_listSQL.isEmpty())
        return false;
    m_popup->hide();
    std::unique_ptr<QWidget> created;
    try {
        if (IsVoClassRegistered(m_searchFormClass))
            created.reset(CreateVoClass(m_searchFormClass, this));
    } catch (const std::exception &e) {
        VoShowException(e);
    }
    std::unique_ptr<TVoSearchDialog> form(qobject_cast<TVoSearchDialog *>(created.get()));
    if (form)
        created.release();
    else
        form = std::make_unique<TVoSearchDialog>(this);
    QStringList names;
    try {
        if (!m_list->Active())
            FillDropDown(QString());
        names = m_list->FieldNames();
    } catch (const std::exception &e) {
        VoShowException(e);
        return false;
    }
    form->SetConnection(m_list->Connection());
    form->SetSQL(m_listSQL);
    for (int i = 0; i < m_list->Params().Count(); ++i) {
        const TVoParam &p = m_list->Params()[i];
        if (p.Bound() && !IsOwnParam(p.Name()))
            form->SetParam(p.Name(), p.Value());
    }
    form->SetKeyField(m_keyField);
    form->SetDefaultColumnsVisible(false);
    const QString shown = Bare(m_listField.section(QLatin1Char(';'), 0, 0));
    for (int i = 0; i < names.size(); ++i)
        if (names[i].compare(shown, Qt::CaseInsensitive) == 0) {
            TVoSearchColumn &column = form->Columns(i);
            column.Visible = true;
            column.Indexed = true;
            column.Caption = Caption();
        }
    if (!VoGuarded([&] {
            OnSetSearchQuery(this, form.get());
            OnShowSearchForm(this, form.get());
        }))
        return false;
    form->SetSelectedID(m_key);
    const bool chosen = form->Execute();
    const QVariant key = form->SelectedID();
    form.reset();
    setFocus(Qt::OtherFocusReason);
    if (!chosen)
        return false;
    if (!BeginEdit()) {
        ReadField();
        return false;
    }
    try {
        Choose(key, RowOfKey(key));
    } catch (const std::exception &e) {
        VoShowException(e);
        return false;
    }
    return true;
}

bool TVoDBLookupEdit::IsEmpty() const {
    return text().trimmed().isEmpty();
}

void TVoDBLookupEdit::DataToControl() {
    if (!DataSource())
        return;
    const TVoField *f = Field();
    const QVariant key = f ? f->Value() : QVariant();
    try {
        SeekByID(key);
    } catch (const std::exception &e) {
        // The row already shown for this key stays when it cannot be read again, so that what the row
        // holds (a rate a total is computed with) is not lost with it. A server that does not answer
        // is told by the next write: a read of what is already on screen need not say so too.
        const bool kept = !m_row.isEmpty() && SameKey(m_key, key);
        ShowRow(key, kept ? m_row : TRow{});
        const auto *failure = dynamic_cast<const EVoDatabaseError *>(&e);
        if (!kept || !failure || !failure->IsConnectionLost())
            VoShowException(e);
    }
}

bool TVoDBLookupEdit::ControlToData(QString *) {
    ResolveTypedText();
    return true;
}

void TVoDBLookupEdit::ApplyReadOnly(bool readOnly) {
    setReadOnly(readOnly);
    m_button->setEnabled(!readOnly);
}

void TVoDBLookupEdit::keyPressEvent(QKeyEvent *event) {
    const bool searchKey = event->key() == Qt::Key_F8 && event->modifiers() == Qt::NoModifier;
    const bool dropKey = event->key() == Qt::Key_Down && (event->modifiers() & Qt::AltModifier);
    if (searchKey || dropKey) {
        event->accept();
        searchKey ? (void)ShowSearchForm() : ShowDropDown();
        return;
    }
    // Escape closes the drop-down first, then takes back what was typed.
    if (event->key() == Qt::Key_Escape && m_popup->isVisible()) {
        event->accept();
        m_popup->hide();
        return;
    }
    if (event->key() == Qt::Key_Escape && Modified()) {
        event->accept();
        ShowRow(m_key, m_row);
        SetModified(false);
        return;
    }
    if (m_chooseOnly && IsEditingKey(event)) {
        const bool removing = (event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace) &&
                              event->modifiers() == Qt::NoModifier;
        if (!removing) {
            event->accept();
            return;
        }
        selectAll();
    }
    TVoDBWidget::keyPressEvent(event);
}

void TVoDBLookupEdit::focusOutEvent(QFocusEvent *event) {
    if (event->reason() == Qt::PopupFocusReason) {
        QLineEdit::focusOutEvent(event);
        return;
    }
    TVoDBWidget::focusOutEvent(event);
    if (!Modified() || (DataSource() && DataSource()->Editing()))
        return;
    // A lookup outside a row being edited: unbound it resolves what was typed, bound it shows the
    // key again.
    try {
        if (!DataSource())
            ResolveTypedText();
        else
            ShowRow(m_key, m_row);
    } catch (const std::exception &e) {
        VoShowException(e);
    }
    SetModified(false);
}
