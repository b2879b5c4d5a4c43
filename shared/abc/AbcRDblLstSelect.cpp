#include "AbcRDblLstSelect.h"

#include "VoQuery.h"
#include "VoUtils.h"

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <memory>

namespace {

enum { imgFilter, imgFilterOff, imgFilterOn };

} // namespace

TfrAbcDblLstSelect::TfrAbcDblLstSelect(const TAbcPickerTexts &texts, QWidget *parent)
    : TfrVoDoubleListView(parent), paBeni(new QWidget(this)), xoaBeni(new QToolBar(paBeni)),
      acFilter(new QAction(QStringLiteral("Filtro"), this)),
      acApplyFilter(new QAction(QStringLiteral("Applica il filtro"), this)), m_texts(texts) {
    setObjectName(texts.objectName);
    paBeni->setObjectName(QStringLiteral("paBeni"));
    paBeni->setFixedHeight(29);
    auto *bar = new QHBoxLayout(paBeni);
    bar->setContentsMargins(0, 0, 0, 0);
    bar->addWidget(xoaBeni);
    FrameLayout()->insertWidget(0, paBeni);
    SetSourceTitle(texts.sourceTitle);
    SetTargetTitle(texts.targetTitle);
    SetColumns({QStringLiteral("Numero"), QStringLiteral("Descrizione"), QStringLiteral("Categoria"),
                QStringLiteral("Settore")},
               {70, 150, 0, 100});

    LoadDefaultImages(ilToolBarImages, {QStringLiteral("FILTEROPT"), QStringLiteral("FILTERAPPLY"),
                                        QStringLiteral("FILTERAPPLYON")});
    acFilter->setObjectName(QStringLiteral("acFilter"));
    acFilter->setIcon(ilToolBarImages.Icon(imgFilter));
    acFilter->setShortcut(QKeySequence(QKeyCombination(SC_FILTER_SHIFT, Qt::Key_F)));
    acApplyFilter->setObjectName(QStringLiteral("acApplyFilter"));
    acApplyFilter->setCheckable(true);
    acApplyFilter->setShortcut(QKeySequence(QKeyCombination(SC_APPLY_FILTER_SHIFT, Qt::Key_F)));
    for (QAction *a : {acFilter, acApplyFilter}) {
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        a->setToolTip(a->text() + QStringLiteral(" (") + a->shortcut().toString(QKeySequence::NativeText) +
                      QLatin1Char(')'));
        addAction(a);
        xoaBeni->addAction(a);
    }
    ShowApplyImage();
    connect(acFilter, &QAction::triggered, this, [this] { VoGuarded([this] { acFilterExecute(); }); });
    // The tick is the filter's state, set by the handler rather than by the click.
    connect(acApplyFilter, &QAction::triggered, this, [this](bool checked) {
        acApplyFilter->setChecked(!checked);
        VoGuarded([this] { acApplyFilterExecute(); });
    });
}

TfrAbcDblLstSelect::~TfrAbcDblLstSelect() {
    delete fmVoRptFiltro.data();
}

bool TfrAbcDblLstSelect::SetFilter(const TVoFilterCondition &condition) {
    QString sql = ListSQL();
    const bool applied = !condition.IsEmpty();
    if (applied) {
        sql.replace(QStringLiteral("/*ONLY VORPTFILTER*/"),
                    QLatin1Char('(') + condition.text + QLatin1Char(')'));
        sql.replace(QStringLiteral("/*AND VORPTFILTER*/"),
                    QStringLiteral("AND (") + condition.text + QLatin1Char(')'));
        sql.replace(QStringLiteral("/*OR VORPTFILTER*/"),
                    QStringLiteral("OR (") + condition.text + QLatin1Char(')'));
    }
    m_listSQL = sql;
    m_listParams = applied ? condition.params : QList<TVoFilterParam>();
    ReloadLists();
    return applied;
}

void TfrAbcDblLstSelect::ReloadLists() {
    lvLeft->setUpdatesEnabled(false);
    lvRight->setUpdatesEnabled(false);
    ClearLists();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QList<QTreeWidgetItem *> items;
    try {
        TVoQuery q(m_listSQL);
        const QVariantHash params = ListParams();
        for (auto p = params.cbegin(); p != params.cend(); ++p)
            q.SetParam(p.key(), p.value());
        for (const TVoFilterParam &p : m_listParams)
            q.SetParam(p.name, p.value);
        repaint();
        q.Open();
        while (!q.Eof()) {
            items << NewListItem(q);
            q.Next();
        }
    } catch (...) {
        qDeleteAll(items);
        QApplication::restoreOverrideCursor();
        lvLeft->setUpdatesEnabled(true);
        lvRight->setUpdatesEnabled(true);
        throw;
    }
    QApplication::restoreOverrideCursor();
    AddItems(lvLeft, items);
    m_sortColumn = 0;
    SortList(lvLeft);
    SortList(lvRight);
    lvLeft->setUpdatesEnabled(true);
    lvRight->setUpdatesEnabled(true);
}

void TfrAbcDblLstSelect::lvColumnClick(QTreeWidget *list, int column) {
    m_sortColumn = column;
    SortList(list);
}

int TfrAbcDblLstSelect::lvCompare(const QTreeWidgetItem *a, const QTreeWidgetItem *b) const {
    // An empty column compares equal and keeps its items' order.
    const int byText = QString::compare(a->text(m_sortColumn), b->text(m_sortColumn), Qt::CaseInsensitive);
    if (m_sortColumn != 1 || byText != 0)
        return byText;
    return QString::compare(a->text(0), b->text(0), Qt::CaseInsensitive);
}

void TfrAbcDblLstSelect::acFilterExecute() {
    if (!fmVoRptFiltro) {
        // Kept only once its definition is in, so that a failed first request is tried again whole.
        std::unique_ptr<TfmVoRptFiltro> form(VoNewForm<TfmVoRptFiltro>(this));
        form->frVoFiltro->SetXMLFilter(GetDBXML(m_texts.filterCode, m_texts.filterList));
        form->frVoFiltro->SetFilterDir(VoSavedFiltersDir(m_texts.filterProgram));
        fmVoRptFiltro = form.release();
    }
    if (fmVoRptFiltro->exec() != QDialog::Accepted)
        return;
    m_filter = fmVoRptFiltro->frVoFiltro->GetCondition();
    acApplyFilter->setChecked(SetFilter(m_filter));
    ShowApplyImage();
}

void TfrAbcDblLstSelect::acApplyFilterExecute() {
    if (!m_filter.IsEmpty()) {
        SetFilter(acApplyFilter->isChecked() ? TVoFilterCondition() : m_filter);
        acApplyFilter->setChecked(!acApplyFilter->isChecked());
    }
    ShowApplyImage();
}

void TfrAbcDblLstSelect::ShowApplyImage() {
    acApplyFilter->setIcon(ilToolBarImages.Icon(acApplyFilter->isChecked() ? imgFilterOn : imgFilterOff));
}
