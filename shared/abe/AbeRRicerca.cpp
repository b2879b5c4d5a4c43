#include "AbeRRicerca.h"

#include "VoDBGrid.h"
#include "VoDataSource.h"
#include "VoEvent.h"
#include "VoMessages.h"
#include "VoQueryCollection.h"

#include <QAction>
#include <QEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

TfrAbeRicerca::TfrAbeRicerca(QWidget *parent)
    : QFrame(parent), tbSearch(new QToolBar(this)), obSearch(new QToolButton(this)),
      paRiececa(new QFrame(this)), edRicerca(new QLineEdit(paRiececa)), poSearch(new QMenu(this)),
      acSearch(new QAction(this)), tmFilt(new QTimer(this)),
      m_searchIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView)),
      m_cancelIcon(style()->standardIcon(QStyle::SP_LineEditClearButton)) {
    setObjectName(QStringLiteral("frAbeRicerca"));
    setFixedSize(250, 24);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);

    acSearch->setIcon(m_searchIcon);
    obSearch->setDefaultAction(acSearch);
    obSearch->setMenu(poSearch);
    obSearch->setPopupMode(QToolButton::MenuButtonPopup);
    tbSearch->setIconSize(QSize(16, 16));
    auto *obSeparator = new QWidget(tbSearch);
    obSeparator->setFixedWidth(8);
    tbSearch->addWidget(obSeparator);
    tbSearch->addWidget(obSearch);

    paRiececa->setAutoFillBackground(true);
    QPalette white = paRiececa->palette();
    white.setColor(QPalette::Window, Qt::white);
    paRiececa->setPalette(white);
    edRicerca->setFrame(false);
    edRicerca->setToolTip(QStringLiteral("Ricerca per codice"));
    auto *panel = new QHBoxLayout(paRiececa);
    panel->setContentsMargins(2, 2, 2, 2);
    panel->addWidget(edRicerca);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(tbSearch);
    layout->addWidget(paRiececa, 1);
    layout->addSpacing(14);
    // As tall as the tool button and the box need.
    setFixedHeight(qMax(24, layout->minimumSize().height()));

    tmFilt->setInterval(500);
    connect(tmFilt, &QTimer::timeout, this, [this] { VoGuarded([this] { tmFiltTimer(); }); });
    connect(acSearch, &QAction::triggered, this, [this] { VoGuarded([this] { acSearchExecute(); }); });
    connect(edRicerca, &QLineEdit::textChanged, this, [this] { VoGuarded([this] { edRicercaChange(); }); });
    edRicerca->installEventFilter(this);
}

TfrAbeRicerca::~TfrAbeRicerca() = default;

void TfrAbeRicerca::SetupSearchBox() {
    m_fields.clear();
    poSearch->clear();
    const TVoColsIndex &index = Grid->ColsIndex();
    for (int i = 0; i < index.Count(); ++i) {
        if (!index[i].Text)
            continue;
        QAction *item = poSearch->addAction(Grid->ColumnTitle(index[i].Column));
        item->setData(int(m_fields.size()));
        m_fields << Grid->ColumnField(index[i].Column);
        connect(item, &QAction::triggered, this,
                [this, item] { VoGuarded([this, item] { ChooseItem(item); }); });
    }
    if (m_fields.isEmpty()) {
        setEnabled(false);
        return;
    }
    QAction *first = poSearch->actions().constFirst();
    poSearch->setDefaultAction(first);
    first->setIcon(m_searchIcon);
    m_searchField = m_fields.constFirst();
    m_placeholder = QStringLiteral("<Ricerca ") + first->text() + QStringLiteral(" >");
    m_hint = QStringLiteral("Ricerca per ") + first->text();
    SetTextColour(Qt::lightGray);
    ShowPlaceholder();
    SetHints(m_hint);
    Grid->OnTitleClick.Add([this](TVoDBGrid *, int column) { GridTitleClick(column); });
}

bool TfrAbeRicerca::eventFilter(QObject *watched, QEvent *event) {
    if (watched == edRicerca) {
        if (event->type() == QEvent::FocusIn)
            VoGuarded([this] { edRicercaEnter(); });
        else if (event->type() == QEvent::FocusOut)
            VoGuarded([this] { edRicercaExit(); });
    }
    return QFrame::eventFilter(watched, event);
}

bool TfrAbeRicerca::HasTypedText() const {
    const QString text = edRicerca->text();
    return !m_placeholderShown && !text.isEmpty() && text != m_placeholder;
}

void TfrAbeRicerca::ShowPlaceholder() {
    m_placeholderShown = true;
    edRicerca->setText(m_placeholder);
}

void TfrAbeRicerca::SetHints(const QString &hint) {
    edRicerca->setToolTip(hint);
    acSearch->setToolTip(hint);
}

void TfrAbeRicerca::SetActionImage(bool cancel) {
    m_cancelling = cancel;
    acSearch->setIcon(cancel ? m_cancelIcon : m_searchIcon);
}

void TfrAbeRicerca::SetTextColour(Qt::GlobalColor colour) {
    QPalette palette = edRicerca->palette();
    palette.setColor(QPalette::Text, colour);
    edRicerca->setPalette(palette);
}

void TfrAbeRicerca::edRicercaEnter() {
    if (!m_placeholderShown)
        return;
    SetTextColour(Qt::black);
    m_placeholderShown = false;
    edRicerca->clear();
}

void TfrAbeRicerca::edRicercaExit() {
    if (!edRicerca->text().isEmpty())
        return;
    SetTextColour(Qt::lightGray);
    ShowPlaceholder();
}

void TfrAbeRicerca::ChooseItem(QAction *item) {
    tmFilt->stop();
    poSearch->setDefaultAction(item);
    SearchOn(item);
}

void TfrAbeRicerca::GridTitleClick(int column) {
    const QString field = Grid->ColumnField(column);
    const TVoColsIndexItem *entry = Grid->ColsIndex().ItemOfColumn(column);
    if (!entry || !entry->Text || !entry->HasField(field) || HasTypedText())
        return;
    int position = -1;
    for (int i = 0; i < m_fields.size() && position < 0; ++i)
        if (m_fields[i].compare(field, Qt::CaseInsensitive) == 0)
            position = i;
    for (QAction *item : poSearch->actions()) {
        if (item->data().toInt() != position)
            continue;
        poSearch->setDefaultAction(item);
        SearchOn(item);
    }
}

void TfrAbeRicerca::SearchOn(QAction *item) {
    for (QAction *other : poSearch->actions())
        other->setIcon(other == item ? m_searchIcon : QIcon());
    const QString caption = item->text().remove(QLatin1Char('&'));
    m_searchField = m_fields.value(item->data().toInt());
    m_placeholder = QStringLiteral("<Ricerca ") + caption + QStringLiteral(">");
    m_hint = QStringLiteral("Ricerca per ") + caption;
    SetTextColour(Qt::lightGray);
    ShowPlaceholder();
    SetHints(m_hint);
    SetActionImage(false);
    FilterOff();
    Grid->setFocus(Qt::OtherFocusReason);
}

void TfrAbeRicerca::edRicercaChange() {
    if (HasTypedText()) {
        tmFilt->start();
        SetActionImage(true);
        acSearch->setToolTip(QStringLiteral("Annulla Ricerca"));
        return;
    }
    tmFilt->stop();
    FilterOff();
    SetActionImage(false);
}

void TfrAbeRicerca::tmFiltTimer() {
    tmFilt->stop();
    if (HasTypedText())
        ApplyFilter(edRicerca->text());
    else
        FilterOff();
}

void TfrAbeRicerca::acSearchExecute() {
    if (!HasTypedText())
        return;
    tmFilt->stop();
    FilterOff();
    SetTextColour(Qt::lightGray);
    ShowPlaceholder();
    SetHints(m_hint);
    SetActionImage(false);
    Grid->setFocus(Qt::OtherFocusReason);
}

void TfrAbeRicerca::FilterOff() {
    if (DataSet && DataSet->Narrowed())
        DataSet->SetNarrowing(QString(), QString());
    if (DataSet && DataSet->RowFiltered())
        DataSet->ClearRowFilter();
}

void TfrAbeRicerca::ApplyFilter(const QString &text) {
    if (!DataSet)
        return;
    FilterOff();
    const QString field = m_searchField.trimmed();
    // A list read by its keys is narrowed by the database, a packet at a time; others filter the rows
    // read, every one of them.
    if (DataSet->SetNarrowing(field, text))
        return;
    try {
        DataSet->SetRowFilter([field, text](const TVoQueryCollection *c) {
            return c->FieldByName(field)->AsString().contains(text, Qt::CaseInsensitive);
        });
    } catch (const std::exception &) {
        // A column the rows cannot be compared on leaves them all shown, as the box did before.
        FilterOff();
    }
}

TfrKvaRicerca::TfrKvaRicerca(QWidget *parent) : TfrAbeRicerca(parent) {
    setObjectName(QStringLiteral("frKvaRicerca"));
}

TfrKvbRicerca::TfrKvbRicerca(QWidget *parent) : TfrAbeRicerca(parent) {
    setObjectName(QStringLiteral("frKvbRicerca"));
}
