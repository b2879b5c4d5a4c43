#pragma once
// The selection form of the reports (registered as "TfmVoMultiSelect"): a list over a select in
// which the user ticks the rows to print. The first column of the select identifies a row; OK gives
// the ticked rows' identifiers, in the list's order, to the list set with SetBookmarkList.
//
// The window dressing the form sets the select (SetCommandText, SetParam), the columns of the
// grid (field, title, width) and the grid's sort index, whose text flag marks the columns the
// search box looks in. Subclasses add their own panels above the list (ClientLayout) or beside the
// buttons (ButtonLayout).
#include "VoDBFrames.h"
#include "VoDialogs.h"
#include "VoFiltro.h"

#include <QSet>
#include <QVariant>
#include <initializer_list>

class QLineEdit;
class QPushButton;
class QVBoxLayout;

class TfrVoMultiSelect : public TfrVoDBROGrid {
    Q_OBJECT
public:
    explicit TfrVoMultiSelect(QWidget *parent = nullptr);

    TVoQueryCollection *const xqcMultiSelect;
    QPushButton *const buSelAll;
    QPushButton *const buSelNone;
    QLineEdit *const edSearch;

    // Ticks or unticks every row shown (the search may hide some).
    void SelectAll();
    void SelectNone();
    bool IsSelected(int row) const;
    void SetSelected(int row, bool selected);
    // Ticks or unticks the current row.
    void ToggleCurrent();
    int GetSelCount() const { return int(m_selected.size()); }
    // The ticked rows' identifiers, in the list's order.
    QVariantList SelectedIds();

    // Shows the rows whose searched columns hold the text (ignoring case); empty shows every row.
    void SetSearchText(const QString &text);

private:
    QString KeyOf(int row) const;
    void SelectShown(bool selected);
    QSet<QString> m_selected;
};

// Where a select takes the user's filter: "AND (conditions)" with bound values, nothing without one.
inline constexpr char VoRptFilterMarker[] = "/*AND VORPTFILTER*/";
// Sets the select with the filter in place of the marker and binds the filter's values (a LIKE's
// value matches anywhere in the text).
void VoRptApplyFilter(TVoQueryCollection *query, const QString &sql, const TVoFilterCondition &filter);

// A column of a selection form: field, title, width (0: not shown), and whether the search box looks
// in it.
struct TVoSelectColumn {
    const char *field;
    const char *title;
    int width;
    bool text;
};

class TfmVoMultiSelect : public TfmVoOkCancDlg {
    Q_OBJECT
public:
    explicit TfmVoMultiSelect(QWidget *parent = nullptr);

    TfrVoMultiSelect *const frVoMultiSel;
    // Shown once a filter definition is set.
    QPushButton *const buFilter;
    // Down while the last confirmed filter restricts the list; pressing it switches that filter off
    // and on without opening the filter form.
    QPushButton *const buApplyFilter;

    // The caption, then the columns as SetColumns sets them.
    void Dress(const QString &caption, std::initializer_list<TVoSelectColumn> columns);
    void SetCommandText(const QString &sql);
    void SetParam(const QString &name, const QVariant &value);
    // Replaces the grid's columns with those shown, each with a sort entry on its field; the form
    // widens to show them whole.
    void SetColumns(std::initializer_list<TVoSelectColumn> columns);
    int GetSelCount() const { return frVoMultiSel->GetSelCount(); }
    // The list that OK fills with the ticked rows' identifiers (nullptr: none).
    void SetBookmarkList(QVariantList *list) { m_bookmarks = list; }

    // Offers the filter form over the fields of a definition (VoFiltro.h), its saved filters in the
    // folder; the conditions confirmed restrict the list at VoRptFilterMarker.
    void SetXMLFilter(const QString &xml, const QString &filterDir);
    // The filter restricting the list now (empty while switched off).
    const TVoFilterCondition &Filter() const;
    // The filter form (made at the first request, kept with its conditions between uses).
    TfmVoRptFiltro *FilterForm();
    // Shows the filter form; OK applies its conditions to the list.
    void buFilterClick();
    void buApplyFilterClick();

protected:
    void FormShow() override;
    void buOkClick() override;
    // Makes the filter form at its first request; a program may offer a form of its own.
    virtual TfmVoRptFiltro *NewFilterForm();
    // The list and the panels above it.
    QVBoxLayout *ClientLayout() const { return m_clientLayout; }

private:
    QVBoxLayout *m_clientLayout;
    QVariantList *m_bookmarks = nullptr;
    QString m_sql;
    QString m_filterXml;
    QString m_filterDir;
    TVoFilterCondition m_filter;
    bool m_filterOn = false;
    TfmVoRptFiltro *m_filterForm = nullptr;
    void ReloadFiltered();
};
