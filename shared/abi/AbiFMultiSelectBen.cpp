#include "AbiFMultiSelectBen.h"

#include "AbiUSearchBox.h"
#include "VoMessages.h"
#include "VoQueryCollection.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

int Flag(const TVoQueryCollection *c, const char *field) {
    return c->FieldByName(QString::fromLatin1(field))->AsInteger(-1);
}

} // namespace

TfmAbiMultiSelectBen::TfmAbiMultiSelectBen(QWidget *parent)
    : TfmVoMultiSelect(parent), gbFiltri(new QGroupBox(QStringLiteral("Filtri..."), pnClient)),
      edRicerca(new QLineEdit(gbFiltri)),
      ckBenTraccAss(new QCheckBox(
          QStringLiteral("Visualizza Beneficiari con obbligo di tracciabilità da assolvere"), gbFiltri)),
      ckBenStor(new QCheckBox(QStringLiteral("Visualizza Beneficiari Storicizzati"), gbFiltri)),
      ckDatiOIL(new QCheckBox(QStringLiteral("Visualizza Beneficiari con dati OIL incompleti"), gbFiltri)),
      tmFilt(new QTimer(this)), m_look(new TAbiSearchBoxLook(edRicerca, QString())) {
    setObjectName(QStringLiteral("fmAbiMultiSelectBen"));
    setWindowTitle(QStringLiteral("Seleziona il Beneficiario"));
    // The dialog's own search box takes the place of the list's.
    for (QAction *action : frVoMultiSel->tbControl->actions())
        if (frVoMultiSel->tbControl->widgetForAction(action) == frVoMultiSel->edSearch)
            action->setVisible(false);
    auto *filters = new QFormLayout(gbFiltri);
    filters->addRow(QStringLiteral("Filtra..."), edRicerca);
    for (QCheckBox *check : {ckBenTraccAss, ckBenStor, ckDatiOIL})
        filters->addRow(check);
    auto *warning = new QLabel(QStringLiteral("ATTENZIONE!"), gbFiltri);
    QFont bold = warning->font();
    bold.setBold(true);
    warning->setFont(bold);
    filters->addRow(warning,
                    new QLabel(QStringLiteral("Filtrando si perderanno tutte le selezioni precedenti!")));
    ClientLayout()->insertWidget(0, gbFiltri);
    m_look->Reset();

    tmFilt->setInterval(500);
    tmFilt->setSingleShot(true);
    connect(tmFilt, &QTimer::timeout, this, [this] { VoGuarded([this] { tmFiltTimer(); }); });
    connect(edRicerca, &QLineEdit::textEdited, this, [this] { VoGuarded([this] { edRicercaChange(); }); });
    for (QCheckBox *check : {ckBenTraccAss, ckBenStor, ckDatiOIL})
        connect(check, &QCheckBox::clicked, this, [this] { VoGuarded([this] { FilterAll(); }); });
}

void TfmAbiMultiSelectBen::Filter(const std::function<bool(const TVoQueryCollection *)> &condition) {
    TVoQueryCollection *c = frVoMultiSel->xqcMultiSelect;
    if (!c->Active())
        return;
    c->ClearRowFilter();
    frVoMultiSel->SelectNone();
    const int ended = ckBenStor->isChecked() ? 1 : 0;
    const bool traceability = ckBenTraccAss->isChecked();
    const bool incomplete = ckDatiOIL->isChecked();
    try {
        c->SetRowFilter([=](const TVoQueryCollection *row) {
            if (Flag(row, "LBENEND") != ended)
                return false;
            if (traceability && Flag(row, "LBENOBBLTRACC") != 0)
                return false;
            if (incomplete && !row->FieldByName(QStringLiteral("SBENCODFISCALE"))->AsString().isEmpty() &&
                Flag(row, "ISEDIOIL") != 0 && Flag(row, "IPAGAMOIL") != 0)
                return false;
            return condition(row);
        });
    } catch (const std::exception &) {
        // A select without the filtered columns shows every row, as the list did before.
        return;
    }
    if (incomplete)
        frVoMultiSel->SelectAll();
}

void TfmAbiMultiSelectBen::FilterAll() {
    Filter([](const TVoQueryCollection *) { return true; });
}

void TfmAbiMultiSelectBen::FormShow() {
    TfmVoMultiSelect::FormShow();
    FilterAll();
}

void TfmAbiMultiSelectBen::edRicercaChange() {
    if (edRicerca->text().isEmpty()) {
        tmFilt->stop();
        FilterAll();
        return;
    }
    tmFilt->start();
}

void TfmAbiMultiSelectBen::tmFiltTimer() {
    tmFilt->stop();
    const QString text = edRicerca->text();
    Filter([text](const TVoQueryCollection *row) {
        return row->FieldByName(QStringLiteral("SBENRAGSOC"))->AsString().contains(text, Qt::CaseInsensitive);
    });
}

void TfmAbiMultiSelectBen::buOkClick() {
    if (GetSelCount() < 1) {
        VoMessageDlg(QStringLiteral("Non è stato selezionato nessun beneficiario."), mtError, mbOK);
        return;
    }
    TfmVoMultiSelect::buOkClick();
}
