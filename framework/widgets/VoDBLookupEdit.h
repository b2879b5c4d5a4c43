#pragma once
// A key field shown as the text of a row of a list, and chosen from it.
//
// The list is a select with "##WHERE##" (and optionally "##ORDERBY##") that the lookup fills:
//   - to show the row of a key: "(<KeyField> = :VOLOOKUPKEY)";
//   - to narrow the drop-down as the user types: the rows whose search field begins with the
//     typed text, ignoring case, bound as a parameter (never spliced into the text);
//   - "##ORDERBY##" becomes the search field.
// KeyField and SearchField are written as the list text names them ("mer.iMerId"); values are read
// back by the column name without the qualifier. A list text without "##WHERE##" is narrowed from
// outside, as a derived table, on the names of its result. ListField names the column shown ("a;b": the drop-
// down shows both, the edit the first). SearchField may name several columns the same way: a row is
// found when any of them holds the typed text as said ("##ORDERBY##" becomes the first).
//
// Choosing a row (from the drop-down, the search form, or by leaving the edit with a text that
// equals a row's search field, or with AutoSeek the first row the text begins) writes the key into
// the bound field at once, and the shown column into a field of the same name when the data source
// has one (so that its grid shows it). Emptying the text and leaving sets the key to NULL. A typed
// text that matches no row is taken back.
//
// Keys: typing opens the drop-down, whose highlighted row Enter chooses; Tab leaves the lookup with
// what was typed (resolved as above); Escape closes the drop-down, a second one takes the typed text
// back; Alt+Down shows the whole list; F8 and the button open the search form. A lookup that is
// ChooseOnly takes no typing.
//
// Values cached per key are dropped by RefreshList and by a new list text.
#include "VoDataSource.h"

#include <QHash>
#include <QLineEdit>
#include <QVariant>

class QCompleter;
class QTableView;
class TVoSQLConnection;
class TVoSearchDialog;
class TVoTableModel;

class TVoDBLookupEdit : public TVoDBWidget<QLineEdit> {
    Q_OBJECT
public:
    explicit TVoDBLookupEdit(QWidget *parent = nullptr);
    ~TVoDBLookupEdit() override;

    QString ListSQL() const { return m_listSQL; }
    void SetListSQL(const QString &sql);
    // The list's dataset: its connection and the list text's own parameters are set here.
    TVoQueryCollection *ListDataSet() const { return m_list; }
    void SetConnection(TVoSQLConnection *connection);

    QString KeyField() const { return m_keyField; }
    void SetKeyField(const QString &name) { m_keyField = name; }
    QString ListField() const { return m_listField; }
    void SetListField(const QString &names);
    // The columns the typed text is compared with ("a;b"); the first list field when not set.
    QString SearchField() const;
    void SetSearchField(const QString &name) { m_searchField = name; }
    bool AutoSeek() const { return m_autoSeek; }
    void SetAutoSeek(bool on) { m_autoSeek = on; }
    // The code is only chosen from the search form: typing, pasting and the drop-down are refused, and
    // Delete or Backspace select the whole code before they act, so that it goes as a whole.
    bool ChooseOnly() const { return m_chooseOnly; }
    void SetChooseOnly(bool on) { m_chooseOnly = on; }
    // What KeyValue reads while no row is chosen (it is not written into the field).
    QVariant DefaultValue() const { return m_defaultValue; }
    void SetDefaultValue(const QVariant &value) { m_defaultValue = value; }
    // The class of the search form, looked up in the class registry ("TfmVoSearch").
    QString SearchFormClass() const { return m_searchFormClass; }
    void SetSearchFormClass(const QString &name) { m_searchFormClass = name; }

    // The key chosen, or the default value.
    QVariant KeyValue() const;
    // Chooses the row of a key (NULL or a negative number: none) and runs OnChangeFKValue. The
    // key is written into the bound field when its row is being inserted or edited; otherwise
    // only shown.
    void SetKeyValue(const QVariant &key);
    // Shows the text of a key's row; false when the list has no such row (the text is emptied).
    bool SeekByID(const QVariant &key);
    // Forgets what was read and shows the current key again: after the list text or its
    // parameters changed.
    void RefreshList();

    // A column of the row chosen or shown, by name (qualifier ignored); invalid when none.
    QVariant ListValue(const QString &name) const;
    bool HasRow() const { return !m_row.isEmpty(); }

    // The drop-down: narrows the list to the typed text and shows it.
    void ShowDropDown();
    QTableView *DropDown() const { return m_popup; }
    // Opens the search form; true when a row was chosen.
    bool ShowSearchForm();

    bool IsEmpty() const override;

    // The key changed: chosen by the user or set from code (not when the row changes).
    TVoEvent<TVoDBLookupEdit *> OnChangeFKValue;
    // The search form is about to open: the place to set its text.
    TVoEvent<TVoDBLookupEdit *, TVoSearchDialog *> OnSetSearchQuery;
    // The search form is about to open: the place to set its columns, caption and width.
    TVoEvent<TVoDBLookupEdit *, TVoSearchDialog *> OnShowSearchForm;

protected:
    void DataToControl() override;
    bool ControlToData(QString *error) override;
    void ApplyReadOnly(bool readOnly) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    using TRow = QVariantHash; // upper-case column name -> value

    QString Bare(const QString &name) const;
    // The list text with a condition and an order.
    QString ListText(const QString &where, const QString &orderBy) const;
    // A column as the conditions of the list text name it.
    QString Column(const QString &field) const;
    // "UPPER(column) <comparison>" for each search column, joined by OR ("%1" in the comparison
    // names the typed text's parameter); and the column the rows found are ordered by.
    QString SearchCondition(const QString &comparison) const;
    QString SearchOrder() const;
    QString ShownText(const TRow &row) const;
    void ShowRow(const QVariant &key, const TRow &row);
    // Runs the list text with a condition; the rows come back as hashes (at most limit).
    QList<TRow> Query(const QString &where, const QString &param, const QVariant &value, int limit) const;
    TRow RowOfKey(const QVariant &key);
    void FillDropDown(const QString &text);
    void ChooseDropDownRow(int row);
    void Choose(const QVariant &key, const TRow &row);
    void ResolveTypedText();

    QString m_listSQL;
    QString m_keyField;
    QString m_listField;
    QString m_searchField;
    bool m_autoSeek = false;
    bool m_chooseOnly = false;
    QVariant m_defaultValue;
    QString m_searchFormClass = QStringLiteral("TfmVoSearch");

    QVariant m_key;
    TRow m_row;
    QHash<QString, TRow> m_cache;

    TVoQueryCollection *m_list;
    TVoTableModel *m_model;
    QCompleter *m_completer;
    QTableView *m_popup;
    QAction *m_button;
};
