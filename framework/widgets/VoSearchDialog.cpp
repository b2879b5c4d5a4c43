#include "VoSearchDialog.h"

#include "VoClassRegistry.h"
#include "VoMessages.h"
#include "VoQuery.h"
#include "VoQueryCollection.h"
#include "VoTableModel.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <memory>

namespace {

const QString kSearchParam = QStringLiteral("VOSEARCHTEXT");
const QString kExactParam = QStringLiteral("VOSEARCHEXACT");
const QString kStartParam = QStringLiteral("VOSEARCHSTART");

QString ColumnName(int index) {
    return QStringLiteral("VOC%1").arg(index);
}

// The select without its closing ";", which a derived table cannot hold.
QString Statement(const QString &sql) {
    QString s = sql.trimmed();
    while (s.endsWith(QLatin1Char(';')))
        s = s.chopped(1).trimmed();
    return s;
}

} // namespace

void VoRegisterFrameworkWindows() {
    RegisterVoClass<TVoSearchDialog>(QStringLiteral("TfmVoSearch"));
}

QString VoLikePattern(const QString &text, bool prefixOnly) {
    QString t = text.toUpper();
    t.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    t.replace(QLatin1Char('%'), QStringLiteral("\\%"));
    t.replace(QLatin1Char('_'), QStringLiteral("\\_"));
    return prefixOnly ? t + QLatin1Char('%') : QLatin1Char('%') + t + QLatin1Char('%');
}

QString VoLikeCondition(const QString &column, const QString &param) {
    // Cast, so that a text longer than the column is a pattern and not a truncation error.
    return QStringLiteral("UPPER(%1) LIKE CAST(:%2 AS VARCHAR(400)) ESCAPE '\\'").arg(column, param);
}

QString VoFillListSQL(const QString &sql, const QString &where, const QString &orderBy) {
    QString s = sql;
    s.replace(QLatin1String("##WHERE##"), where, Qt::CaseInsensitive);
    s.replace(QLatin1String("##ORDERBY##"), orderBy, Qt::CaseInsensitive);
    return s;
}

TVoSearchDialog::TVoSearchDialog(QWidget *parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Ricerca"));
    m_data = new TVoQueryCollection(this);
    m_data->SetPacketRecords(100);
    m_model = new TVoTableModel(m_data, this);

    m_edit = new QLineEdit(this);
    m_edit->setPlaceholderText(QStringLiteral("Testo da cercare"));
    m_edit->setClearButtonEnabled(true);
    m_view = new QTableView(this);
    m_view->setModel(m_model);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->verticalHeader()->hide();
    m_view->horizontalHeader()->setSectionsClickable(true);
    m_view->horizontalHeader()->setStretchLastSection(true);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annulla"));
    m_editButton = buttons->addButton(QStringLiteral("&Modifica"), QDialogButtonBox::ActionRole);
    m_editButton->setAutoDefault(false);
    m_editButton->hide();

    m_layout = new QVBoxLayout(this);
    m_layout->addWidget(m_edit);
    m_layout->addWidget(m_view, 1);
    m_layout->addWidget(buttons);
    resize(500, 400);

    connect(m_edit, &QLineEdit::textChanged, this, [this] { Reload(); });
    connect(m_view, &QAbstractItemView::doubleClicked, this, [this] { Choose(); });
    connect(m_view->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int column) { SortByColumn(column, column == SortColumn() ? !m_sortDescending : false); });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { Choose(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_editButton, &QPushButton::clicked, this, [this] { VoGuarded([this] { EditExecute(); }); });
    m_edit->installEventFilter(this);
    m_view->installEventFilter(this);
}

TVoSearchDialog::~TVoSearchDialog() = default;

void TVoSearchDialog::SetConnection(TVoSQLConnection *connection) {
    m_data->SetConnection(connection);
}

void TVoSearchDialog::SetSQL(const QString &sql) {
    m_sql = sql;
    m_names.clear();
}

void TVoSearchDialog::SetParam(const QString &name, const QVariant &value) {
    m_params.insert(name.toUpper(), value);
}

TVoSearchColumn &TVoSearchDialog::Columns(int index) {
    auto it = m_columns.find(index);
    if (it == m_columns.end())
        it = m_columns.insert(index, TVoSearchColumn{m_defaultVisible && index > 0, false, QString(), 0});
    return *it;
}

void TVoSearchDialog::ClearColumns() {
    m_columns.clear();
    m_sortColumn = -1;
    m_sortDescending = false;
}

void TVoSearchDialog::ShowColumns(const QString &caption, int formWidth,
                                  std::initializer_list<TVoShownColumn> columns) {
    SetCaption(caption);
    SetFormWidth(formWidth);
    for (const TVoShownColumn &c : columns) {
        TVoSearchColumn &column = Columns(c.Index);
        column.Visible = true;
        column.Indexed = true;
        column.Caption = c.Caption;
        column.Width = c.Width;
    }
}

QString TVoSearchDialog::Inner(const QString &where) const {
    return VoFillListSQL(Statement(m_sql), where, QString::number(SortColumn() + 1));
}

QList<int> TVoSearchDialog::SearchedColumns() const {
    QList<int> indexed, visible;
    for (int i = 0; i < m_names.size(); ++i) {
        const auto it = m_columns.constFind(i);
        const bool shown = it != m_columns.constEnd() ? it->Visible : m_defaultVisible && i > 0;
        if (it != m_columns.constEnd() && it->Indexed)
            indexed << i;
        if (shown)
            visible << i;
    }
    if (!indexed.isEmpty())
        return indexed;
    if (!visible.isEmpty())
        return visible;
    return m_names.size() > 1 ? QList<int>{1} : QList<int>{0};
}

int TVoSearchDialog::SortColumn() const {
    if (m_sortColumn >= 0)
        return m_sortColumn;
    if (m_names.isEmpty()) {
        for (auto it = m_columns.constBegin(); it != m_columns.constEnd(); ++it)
            if (it->Indexed)
                return it.key();
        return 0;
    }
    return SearchedColumns().first();
}

int TVoSearchDialog::ColumnOf(const QString &name) const {
    const QString bare = name.section(QLatin1Char('.'), -1).trimmed();
    for (int i = 0; i < m_names.size(); ++i)
        if (!bare.isEmpty() && m_names[i].compare(bare, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int TVoSearchDialog::KeyColumn() const {
    return qMax(ColumnOf(m_keyField), 0);
}

bool TVoSearchDialog::Open() {
    m_hasChosen = false;
    try {
        TVoQuery describe(Inner(QStringLiteral("(1=0)")), m_data->Connection());
        for (const QString &name : describe.ParamNames())
            if (m_params.contains(name.toUpper()))
                describe.SetParam(name, m_params.value(name.toUpper()));
        describe.Open();
        m_names.clear();
        for (int i = 0; i < describe.FieldCount(); ++i)
            m_names << describe.FieldName(i);
    } catch (const std::exception &e) {
        VoShowException(e);
        return false;
    }
    m_model->ClearColumns();
    for (int i = 0; i < m_names.size(); ++i)
        m_model->AddColumn(ColumnName(i), m_names[i]);
    if (!Reload())
        return false;
    StandOn(m_selectedId);
    return true;
}

void TVoSearchDialog::StandOn(const QVariant &id) {
    if (id.isNull() || !id.isValid())
        return;
    try {
        if (m_data->Locate(ColumnName(KeyColumn()), id))
            m_view->selectRow(m_data->RecNo() - 1);
    } catch (const std::exception &e) {
        VoShowException(e);
    }
}

bool TVoSearchDialog::Reload() {
    if (m_names.isEmpty())
        return false;
    const QString text = m_edit->text().trimmed();
    QString where = QStringLiteral("(1=1)");
    // The row whose text is the one typed comes first, then those that begin with it, so that Enter
    // takes "Mobili e arredi" for "Mobili" rather than a text that merely holds the word.
    QString rank;
    if (!text.isEmpty()) {
        QStringList conditions, equal, start;
        for (int c : SearchedColumns()) {
            conditions << VoLikeCondition(ColumnName(c), kSearchParam);
            equal << QStringLiteral("UPPER(%1) = CAST(:%2 AS VARCHAR(400))").arg(ColumnName(c), kExactParam);
            start << VoLikeCondition(ColumnName(c), kStartParam);
        }
        where = QLatin1Char('(') + conditions.join(QStringLiteral(" OR ")) + QLatin1Char(')');
        rank = QStringLiteral("CASE WHEN %1 THEN 0 WHEN %2 THEN 1 ELSE 2 END, ")
                   .arg(equal.join(QStringLiteral(" OR ")), start.join(QStringLiteral(" OR ")));
    }
    QStringList columns;
    for (int i = 0; i < m_names.size(); ++i)
        columns << ColumnName(i);
    const QString sql =
        QStringLiteral("SELECT * FROM (\n%1\n) VO_S (%2) WHERE %3 ORDER BY %4%5%6")
            .arg(Inner(QStringLiteral("(1=1)")), columns.join(QStringLiteral(", ")), where, rank)
            .arg(SortColumn() + 1)
            .arg(m_sortDescending ? QStringLiteral(" DESC") : QString());
    try {
        m_data->Close();
        m_data->SetCommandText(sql);
        for (auto it = m_params.constBegin(); it != m_params.constEnd(); ++it)
            m_data->SetParam(it.key(), it.value());
        if (!text.isEmpty()) {
            m_data->SetParam(kSearchParam, VoLikePattern(text));
            m_data->SetParam(kExactParam, text.toUpper());
            m_data->SetParam(kStartParam, VoLikePattern(text, true));
        }
        m_data->Open();
    } catch (const std::exception &e) {
        VoShowException(e);
        return false;
    }
    ApplyColumns();
    if (m_model->rowCount() > 0)
        m_view->selectRow(0);
    return true;
}

bool TVoSearchDialog::Refresh() {
    const QVariant current = SelectedID();
    if (!Reload())
        return false;
    StandOn(current);
    return true;
}

void TVoSearchDialog::SetEditFormClass(const QString &className) {
    m_editFormClass = className;
    m_editButton->setVisible(!className.isEmpty());
}

void TVoSearchDialog::EditExecute() {
    if (m_editFormClass.isEmpty())
        return;
    std::unique_ptr<QWidget> form(CreateVoClass(m_editFormClass, this));
    PrepareEditForm(form.get());
    if (auto *dialog = qobject_cast<QDialog *>(form.get()))
        dialog->exec();
    form.reset();
    Refresh();
}

void TVoSearchDialog::ApplyColumns() {
    for (int i = 0; i < m_names.size(); ++i) {
        const auto it = m_columns.constFind(i);
        const bool visible = it != m_columns.constEnd() ? it->Visible : m_defaultVisible && i > 0;
        m_view->setColumnHidden(i, !visible);
        if (it == m_columns.constEnd())
            continue;
        m_model->SetColumnTitle(i, it->Caption.isEmpty() ? m_names[i] : it->Caption);
        if (it->Width > 0)
            m_view->setColumnWidth(i, it->Width);
    }
    m_view->horizontalHeader()->setSortIndicatorShown(true);
    m_view->horizontalHeader()->setSortIndicator(SortColumn(),
                                                 m_sortDescending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void TVoSearchDialog::SetSearchText(const QString &text) {
    m_edit->setText(text);
}

void TVoSearchDialog::SortByColumn(int column, bool descending) {
    if (column < 0 || (!m_names.isEmpty() && column >= m_names.size()))
        return;
    m_sortColumn = column;
    m_sortDescending = descending;
    Reload();
}

int TVoSearchDialog::RowCount() const {
    return m_data->Active() ? m_data->RecordCount() : 0;
}

QVariantList TVoSearchDialog::CurrentRow() const {
    QVariantList row;
    const int r = m_view->currentIndex().row();
    if (r < 0 || !m_data->Active())
        return row;
    for (int i = 0; i < m_names.size(); ++i)
        row << m_data->RowValue(r, i);
    return row;
}

QVariant TVoSearchDialog::SelectedValue(int column) const {
    const QVariantList row = m_hasChosen ? m_chosen : CurrentRow();
    return column >= 0 && column < row.size() ? row[column] : QVariant();
}

QVariant TVoSearchDialog::SelectedValue(const QString &name) const {
    const int column = ColumnOf(name);
    return column >= 0 ? SelectedValue(column) : QVariant();
}

QVariant TVoSearchDialog::SelectedID() const {
    return SelectedValue(KeyColumn());
}

void TVoSearchDialog::Choose() {
    const QVariantList row = CurrentRow();
    if (row.isEmpty())
        return;
    m_chosen = row;
    m_hasChosen = true;
    accept();
}

bool TVoSearchDialog::Execute() {
    if (!Open())
        return false;
    m_edit->setFocus();
    const bool accepted = exec() == QDialog::Accepted && m_hasChosen;
    VoGuarded([this] { OnClose(this); });
    return accepted;
}

bool TVoSearchDialog::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (watched == m_edit) {
        if (enter) {
            Choose();
            return true;
        }
        if (key->key() == Qt::Key_Down || key->key() == Qt::Key_Up || key->key() == Qt::Key_PageDown ||
            key->key() == Qt::Key_PageUp) {
            m_view->setFocus();
            QApplication::sendEvent(m_view, event);
            return true;
        }
    } else if (watched == m_view) {
        if (enter) {
            Choose();
            return true;
        }
        // Typing over the list goes on in the search box.
        if (!key->text().isEmpty() && key->text().at(0).isPrint()) {
            m_edit->setFocus();
            QApplication::sendEvent(m_edit, event);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
