#pragma once
// The selection form of the reports (registered as "TfmVoMultiSelect"): a list over a select in
// which the user ticks the rows to print. The first column of the select identifies a row; OK gives
// the ticked rows' identifiers, in the list's order, to the list set with SetBookmarkList.
//
// A list of tens of thousands of rows is given a key select as well (SetKeySelect): it is then read
// by its keys a packet at a time as the view scrolls, and the ticks are kept by key, "every row but
// these" or "only these", so that ticking all of them reads nothing and still gives the rows the
// view has not read yet.
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
#include <functional>
#include <initializer_list>

class QAction;
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
    // Reads the rows not read yet when every row is ticked.
    int GetSelCount();
    // The ticked rows' identifiers, in the list's order (the search is cleared).
    QVariantList SelectedIds();
    // The ticked rows' identifiers, or, with none ticked, every row's (the search hiding none).
    QVariantList SelectedOrAllIds();

    // Shows the rows whose searched columns hold the text (ignoring case); empty shows every row.
    // A search reads every row.
    void SetSearchText(const QString &text);

    // Reads the list by its keys (TVoKeySlice): keySelect lists the key first, then the columns the
    // list may be sorted on, and chooses the list's rows with the list's parameters and the same
    // filter markers, over the tables the filter's columns come from. keyColumn is the key as the
    // list's select names it. Takes effect at the next opening.
    void SetKeySelect(const QString &keyColumn, const QString &keySelect);

    // The user's filter over the list, offered once a filter form is given: acFilter shows the form
    // and applies its conditions, acApplyFilter (ticked while they apply) switches the last
    // conditions off and on.
    QAction *const acFilter;
    QAction *const acApplyFilter;
    // The form asked at each filter request (it may be made at the first).
    void SetFilterForm(std::function<TfmVoRptFiltro *()> form);
    // The list's select, with the filter markers (VoRptApplyFilter) where conditions may go; the list
    // takes it closed, restricted by the conditions applied now.
    void SetFilteredSQL(const QString &sql);
    // Reopens the list restricted by the condition, every row with an empty one; true when a
    // condition was applied.
    bool ApplyFilter(const TVoFilterCondition &condition);
    // The conditions last confirmed in the filter form.
    const TVoFilterCondition &FilterCondition() const { return m_filter; }
    // The conditions restricting the list now: none while acApplyFilter is off.
    const TVoFilterCondition &AppliedFilter() const;
    void acFilterExecute();
    void acApplyFilterExecute();

private:
    QString KeyOf(int row) const;
    void SelectShown(bool selected);
    // Sets the list's select and key select restricted by the conditions.
    void Restrict(const TVoFilterCondition &condition);
    // A row is ticked when it is among the exceptions unless every row is.
    bool m_allTicked = false;
    QSet<QString> m_exceptions;
    QString m_keyColumn;
    QString m_keySelect;
    std::function<TfmVoRptFiltro *()> m_filterForm;
    QString m_filteredSQL;
    TVoFilterCondition m_filter;
};

// Where a select takes the user's filter: "AND (conditions)" with bound values, nothing without one.
// A select may also hold "/*ONLY VORPTFILTER*/" ("(conditions)") and "/*OR VORPTFILTER*/"
// ("OR (conditions)").
inline constexpr char VoRptFilterMarker[] = "/*AND VORPTFILTER*/";
// Sets the select with the filter in place of the markers and binds the filter's values (a LIKE's
// value matches anywhere in the text).
void VoRptApplyFilter(TVoQueryCollection *query, const QString &sql, const TVoFilterCondition &filter);

// A column of a selection form: field, title, width (0: not shown), whether the search box looks
// in it, and whether it is an amount of money kept in ten-thousandths (VoMoney.h), shown as the
// amount it stands for.
struct TVoSelectColumn {
    const char *field;
    const char *title;
    int width;
    bool text;
    bool money = false;
};

class TfmVoMultiSelect : public TfmVoOkCancDlg {
    Q_OBJECT
public:
    explicit TfmVoMultiSelect(QWidget *parent = nullptr);

    TfrVoMultiSelect *const frVoMultiSel;
    // Shown once a filter definition is set, in place of the list's own filter button: it triggers
    // the list's acFilter, whose acApplyFilter then switches the conditions off and on.
    QPushButton *const buFilter;

    // The caption, then the columns as SetColumns sets them.
    void Dress(const QString &caption, std::initializer_list<TVoSelectColumn> columns);
    void SetCommandText(const QString &sql);
    // A list of many rows read by its keys (TfrVoMultiSelect::SetKeySelect).
    void SetKeySelect(const QString &keyColumn, const QString &keySelect) {
        frVoMultiSel->SetKeySelect(keyColumn, keySelect);
    }
    void SetParam(const QString &name, const QVariant &value);
    // Replaces the grid's columns with those shown, each with a sort entry on its field; the form
    // widens to show them whole.
    void SetColumns(std::initializer_list<TVoSelectColumn> columns);
    int GetSelCount() { return frVoMultiSel->GetSelCount(); }
    // The list that OK fills with the ticked rows' identifiers (nullptr: none).
    void SetBookmarkList(QVariantList *list) { m_bookmarks = list; }

    // Offers the filter form over the fields of a definition (VoFiltro.h), its saved filters in the
    // folder; the conditions confirmed restrict the list at VoRptFilterMarker.
    void SetXMLFilter(const QString &xml, const QString &filterDir);
    // The filter restricting the list now (empty while switched off).
    const TVoFilterCondition &Filter() const { return frVoMultiSel->AppliedFilter(); }
    // The filter form (made at the first request, kept with its conditions between uses).
    TfmVoRptFiltro *FilterForm();

protected:
    void FormShow() override;
    void buOkClick() override;
    // Makes the filter form at its first request; a program may offer a form of its own.
    virtual TfmVoRptFiltro *NewFilterForm();
    // The list and the panels above it.
    QVBoxLayout *ClientLayout() const { return m_clientLayout; }

private:
    QVBoxLayout *m_clientLayout;
    QStringList m_moneyFields;
    QVariantList *m_bookmarks = nullptr;
    QString m_filterXml;
    QString m_filterDir;
    TfmVoRptFiltro *m_filterForm = nullptr;
};
