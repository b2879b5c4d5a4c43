#pragma once
// The article picker: the catalogue's articles on the left, the chosen ones on the right, both sorted
// by the column last clicked, the left list narrowed by a filter composed on the stored definition
// of the article fields. Each item carries its article's iFarId.
#include "VoDoubleListView.h"
#include "VoFiltro.h"
#include "VoImages.h"

class QAction;
class QToolBar;

class TfrKvaDblLstArtSelect : public TfrVoDoubleListView {
    Q_OBJECT
public:
    explicit TfrKvaDblLstArtSelect(QWidget *parent = nullptr);
    ~TfrKvaDblLstArtSelect() override;

    QWidget *paBeni;
    QToolBar *xoaBeni;
    QAction *acFilter;
    QAction *acApplyFilter;
    TVoImageList ilToolBarImages;

    // Lists the articles that meet the condition (all of them with an empty one) and empties the
    // selection; true when a condition was applied.
    bool SetFilter(const TVoFilterCondition &condition);
    // Empties both lists and fills the left one from the catalogue, in code order.
    void ReloadLists();
    int SortColumn() const { return m_sortColumn; }
    // The condition last obtained from the filter form.
    const TVoFilterCondition &FilterCondition() const { return m_filter; }

    void acFilterExecute();
    void acApplyFilterExecute();

protected:
    void lvColumnClick(QTreeWidget *list, int column) override;
    int lvCompare(const QTreeWidgetItem *a, const QTreeWidgetItem *b) const override;

private:
    void ShowApplyImage();

    int m_sortColumn = 0;
    QString m_listSQL;
    QList<TVoFilterParam> m_listParams;
    TVoFilterCondition m_filter;
};
