#pragma once
// The two-list picker of the bulk data replacement: the rows a program offers on the left, the chosen
// ones on the right, both sorted by the column last clicked, the left list narrowed by a filter that
// the user composes in the filter form on a definition stored in the database. Each item carries its
// row's identifier. A program gives its select (with "/*AND VORPTFILTER*/" where a condition goes),
// the values it binds, how a row becomes an item, and the filter definition's code and folder; its
// constructor then loads the lists with SetFilter of an empty condition.
#include "VoDoubleListView.h"
#include "VoFiltro.h"
#include "VoImages.h"

#include <QVariantHash>

class QAction;
class QToolBar;
class TVoQuery;

// What a program's picker is called and where its filter definitions are.
struct TAbcPickerTexts {
    QString objectName;
    QString sourceTitle;
    QString targetTitle;
    QString filterCode; // of the XML archive
    QString filterList;
    QString filterProgram; // whose saved filters it offers (VoSavedFiltersDir)
};

class TfrAbcDblLstSelect : public TfrVoDoubleListView {
    Q_OBJECT
public:
    ~TfrAbcDblLstSelect() override;

    QWidget *paBeni;
    QToolBar *xoaBeni;
    QAction *acFilter;
    QAction *acApplyFilter;
    TVoImageList ilToolBarImages;

    // Lists the rows that meet the condition (all of them with an empty one) and empties the
    // selection; true when a condition was applied.
    bool SetFilter(const TVoFilterCondition &condition);
    // Empties both lists and fills the left one, in the first column's order.
    void ReloadLists();
    int SortColumn() const { return m_sortColumn; }
    // The condition last obtained from the filter form.
    const TVoFilterCondition &FilterCondition() const { return m_filter; }
    // The identifiers of the chosen rows, in list order.
    QList<int> SelectedIds() const { return ItemsData(lvRight); }

    void acFilterExecute();
    void acApplyFilterExecute();

protected:
    TfrAbcDblLstSelect(const TAbcPickerTexts &texts, QWidget *parent);

    virtual QString ListSQL() const = 0;
    virtual QVariantHash ListParams() const { return {}; }
    virtual QTreeWidgetItem *NewListItem(const TVoQuery &q) const = 0;

    void lvColumnClick(QTreeWidget *list, int column) override;
    int lvCompare(const QTreeWidgetItem *a, const QTreeWidgetItem *b) const override;

private:
    void ShowApplyImage();

    TAbcPickerTexts m_texts;
    int m_sortColumn = 0;
    QString m_listSQL;
    QList<TVoFilterParam> m_listParams;
    TVoFilterCondition m_filter;
};
