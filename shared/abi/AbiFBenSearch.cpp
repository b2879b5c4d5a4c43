#include "AbiFBenSearch.h"

#include "AbiUSearchBox.h"
#include "VoMessages.h"
#include "VoQueryCollection.h"
#include "VoTableModel.h"

#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

TfmAbiBenSearch::TfmAbiBenSearch(QWidget *parent)
    : TVoSearchDialog(parent), edRicerca(new QLineEdit(this)), tmFilt(new QTimer(this)),
      m_look(new TAbiSearchBoxLook(edRicerca, QStringLiteral("<Cerca Beneficiario>"))) {
    setObjectName(QStringLiteral("fmAbiBenSearch"));
    SetCaption(QStringLiteral("Cerca Beneficiario"));
    // The rows are narrowed here, on those read: the form's own box stays out of the way.
    SearchEdit()->setEnabled(false);
    SearchEdit()->hide();
    auto *row = new QHBoxLayout;
    auto *label = new QLabel(QStringLiteral("&Cerca..."), this);
    label->setBuddy(edRicerca);
    row->addWidget(label);
    row->addWidget(edRicerca, 1);
    FormLayout()->insertLayout(0, row);

    tmFilt->setInterval(500);
    tmFilt->setSingleShot(true);
    connect(tmFilt, &QTimer::timeout, this, [this] { VoGuarded([this] { tmFiltTimer(); }); });
    connect(edRicerca, &QLineEdit::textEdited, this, [this] { VoGuarded([this] { edRicercaChange(); }); });
    connect(Grid()->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) {
                if (current.isValid() && current.column() != m_column)
                    VoGuarded([&] { GridColumnEnter(current.column()); });
            });
}

void TfmAbiBenSearch::showEvent(QShowEvent *event) {
    TVoSearchDialog::showEvent(event);
    int column = Grid()->currentIndex().column();
    for (int c = 0; column < 0 && c < Grid()->model()->columnCount(); ++c)
        if (!Grid()->isColumnHidden(c))
            column = c;
    m_column = column;
    m_searchColumn =
        column < 0 ? QString() : static_cast<TVoTableModel *>(Grid()->model())->ColumnField(column);
    m_look->Reset();
}

void TfmAbiBenSearch::GridColumnEnter(int column) {
    m_column = column;
    m_searchColumn = static_cast<TVoTableModel *>(Grid()->model())->ColumnField(column);
    tmFilt->stop();
    m_look->Reset();
    FilterOff();
}

void TfmAbiBenSearch::FilterOff() {
    if (DataSet()->Active() && DataSet()->RowFiltered())
        DataSet()->ClearRowFilter();
}

void TfmAbiBenSearch::edRicercaChange() {
    if (m_look->Typed()) {
        tmFilt->start();
        return;
    }
    tmFilt->stop();
    FilterOff();
}

void TfmAbiBenSearch::tmFiltTimer() {
    tmFilt->stop();
    FilterOff();
    if (!m_look->Typed() || !DataSet()->Active())
        return;
    const QString field = m_searchColumn.trimmed();
    const QString text = edRicerca->text();
    try {
        DataSet()->SetRowFilter([field, text](const TVoQueryCollection *row) {
            return row->FieldByName(field)->AsString().contains(text, Qt::CaseInsensitive);
        });
    } catch (const std::exception &) {
        // A column the rows cannot be compared on leaves them all shown.
    }
}
