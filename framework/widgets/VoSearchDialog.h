#pragma once
// The search form (registered as "TfmVoSearch"): a modal list over a select in which the user
// narrows the rows by typing and chooses one.
//
// The select may hold "##WHERE##" and "##ORDERBY##"; the form puts "(1=1)" and the sort column
// there and narrows the result around it: the select becomes a derived table whose columns the
// typed text is matched against (contained anywhere, ignoring case, as a bound parameter). So the
// columns are known by their position: column 0 is usually the key and hidden; the window sets the
// others' visibility, caption, width and whether they are searched ("indexed") before the form
// opens. Columns nobody set are visible from the second on, unless SetDefaultColumnsVisible(false).
// Typed text is matched in the indexed columns, or in the visible ones when none is indexed.
//
// The edit button opens the form that keeps the listed rows (a dialog class, by its registered
// name); once it closes the rows are read again, so that what the user added there can be chosen.
// The button is shown only while an edit form is named. A form of the programs that derives from
// this one registers under its own name, puts its controls above the search box (FormLayout) and
// may take the place of the opening and of the edit button (Open, EditExecute).
#include "VoEvent.h"

#include <QDialog>
#include <QMap>
#include <QVariant>
#include <initializer_list>

class QLineEdit;
class QPushButton;
class QTableView;
class QVBoxLayout;
class TVoQueryCollection;
class TVoSQLConnection;
class TVoTableModel;

struct TVoSearchColumn {
    bool Visible = false;
    bool Indexed = false;
    QString Caption;
    int Width = 0;
};

// A column to show and search, by its position in the select.
struct TVoShownColumn {
    int Index;
    QString Caption;
    int Width;
};

class TVoSearchDialog : public QDialog {
    Q_OBJECT
public:
    explicit TVoSearchDialog(QWidget *parent = nullptr);
    ~TVoSearchDialog() override;

    void SetConnection(TVoSQLConnection *connection);
    QString SQL() const { return m_sql; }
    void SetSQL(const QString &sql);
    // A parameter of the select (other than the form's own).
    void SetParam(const QString &name, const QVariant &value);

    // The settings of a column, by its position in the select.
    TVoSearchColumn &Columns(int index);
    // Forgets every column's settings and the sort, for a form used again over another select.
    void ClearColumns();
    void SetDefaultColumnsVisible(bool visible) { m_defaultVisible = visible; }
    // The form's caption and width, and columns shown and searched.
    void ShowColumns(const QString &caption, int formWidth, std::initializer_list<TVoShownColumn> columns);
    void SetCaption(const QString &caption) { setWindowTitle(caption); }
    void SetFormWidth(int width) { resize(width, height()); }

    // The column that identifies a row: by name, the first column when not set or not found.
    void SetKeyField(const QString &name) { m_keyField = name; }
    // The row to stand on when the form opens.
    void SetSelectedID(const QVariant &id) { m_selectedId = id; }

    // Runs the select (Execute does it first); false, with the database's message shown, when it
    // fails.
    virtual bool Open();
    // Reads the rows again with the text typed; false when the select fails (the message is shown).
    bool Refresh();
    // Shows the form modally; true when the user chose a row.
    bool Execute();

    // The chosen row (after Execute) or, while the form is open, the current one.
    QVariant SelectedID() const;
    QVariant SelectedValue(int column) const;
    QVariant SelectedValue(const QString &name) const;

    // The names of the select's columns, as the database gives them.
    QStringList ColumnNames() const { return m_names; }
    // Narrows the list as typing does.
    void SetSearchText(const QString &text);
    // Sorts on a column (clicking its title does the same, a second click reverses).
    void SortByColumn(int column, bool descending = false);
    // The rows now listed (all of them are read).
    int RowCount() const;

    // The class of the form the edit button opens; empty hides the button.
    QString EditFormClass() const { return m_editFormClass; }
    void SetEditFormClass(const QString &className);
    QPushButton *EditButton() const { return m_editButton; }
    // What the edit button does: opens the edit form modally, frees it and reads the rows again.
    virtual void EditExecute();

    QLineEdit *SearchEdit() const { return m_edit; }
    QTableView *Grid() const { return m_view; }
    TVoQueryCollection *DataSet() const { return m_data; }

    // The form closed, whatever the choice.
    TVoEvent<TVoSearchDialog *> OnClose;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    // The form's rows of controls, top to bottom: the search box, the list, the buttons.
    QVBoxLayout *FormLayout() const { return m_layout; }
    // The edit form is made and about to be shown.
    virtual void PrepareEditForm(QWidget *form) { (void)form; }

private:
    QString Inner(const QString &where) const;
    QList<int> SearchedColumns() const;
    int SortColumn() const;
    bool Reload();
    // Selects the row of a key, when the list has it.
    void StandOn(const QVariant &id);
    void ApplyColumns();
    // A column by the name the database gives it (a "table.column" qualifier is ignored); -1.
    int ColumnOf(const QString &name) const;
    int KeyColumn() const;
    QVariantList CurrentRow() const;
    void Choose();

    QString m_sql;
    QString m_keyField;
    QVariant m_selectedId;
    QMap<int, TVoSearchColumn> m_columns;
    QVariantHash m_params;
    bool m_defaultVisible = true;
    int m_sortColumn = -1;
    bool m_sortDescending = false;
    QStringList m_names;
    QVariantList m_chosen;
    bool m_hasChosen = false;
    QString m_editFormClass;

    TVoQueryCollection *m_data;
    TVoTableModel *m_model;
    QLineEdit *m_edit;
    QTableView *m_view;
    QPushButton *m_editButton;
    QVBoxLayout *m_layout;
};

// Makes "%text%" for a LIKE with ESCAPE '\': the user's "%", "_" and "\" match themselves.
QString VoLikePattern(const QString &text, bool prefixOnly = false);
// The condition that a column holds the pattern of VoLikePattern given as the parameter, ignoring case.
QString VoLikeCondition(const QString &column, const QString &param);
// Fills a list text's "##WHERE##" and "##ORDERBY##" markers.
QString VoFillListSQL(const QString &sql, const QString &where, const QString &orderBy);
