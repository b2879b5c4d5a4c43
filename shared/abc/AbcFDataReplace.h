#pragma once
// The bulk data replacement both programs offer: the user chooses a data item among those that a
// stored definition offers, picks the rows in the program's picker, gives the old and the new value,
// and the item is rewritten on every chosen row in one transaction. Which items exist, how their
// values are edited and the statements that rewrite them all come from the definition:
//
//   <Fields>
//     <Field Name="..." Caption="..." Type="enum|cxenum|date|boolean|integer|(text)"
//            ValuesQuery="SELECT id, text ..." KeyFieldNames="..." ListFieldNames="..."
//            UpdateScript="UPDATE ..." InsertScript="...">
//       <ListColumns><ListColumn FieldName="..." Caption="..." MinWidth="80"/></ListColumns>
//     </Field>
//   </Fields>
//
// Both statements take :OLDVALUE, :NEWVALUE, :ANY (1 when any old value will do) and :SELECTEDID (the
// row); with no old value the first "= :OLDVALUE" becomes "IS NULL". A program adds what it writes
// around the statements through the hooks below, inside the same transaction.
#include "VoDialogs.h"

#include <QDomDocument>
#include <QDomElement>
#include <QList>

class QCheckBox;
class QListWidget;
class TVoQuery;
class TfrAbcDblLstSelect;

// What sets a program's replacement apart.
struct TAbcReplaceProfile {
    QString definitionCode; // of the XML archive
    QString definitionList;
    QString doneMessage; // with the caption (%s) and the count (%d)
    // Whether each build of the values page ticks "Qualunque valore".
    bool tickAnyValue = true;
};

class TfmAbcDataReplace : public TfmVoWizard {
    Q_OBJECT
public:
    QWidget *tsFieldList;
    QWidget *tsBeni;
    QWidget *tsValues;
    QListWidget *lbFieldList;
    QCheckBox *ckAnyValue;

    // The editors of the values page, as last built (nullptr before).
    QWidget *OldValueEditor() const { return m_oldEditor; }
    QWidget *NewValueEditor() const { return m_newEditor; }
    // What an editor of the current field holds, typed as its parameter (a typed NULL for no value).
    QVariant EditorValue(QWidget *editor) const;

    // Rewrites the chosen rows; true when it was done, with its message shown. A statement that lacks
    // a parameter stops it before anything is written; a failure anywhere undoes it all.
    bool Replace();

protected:
    TfmAbcDataReplace(const TAbcReplaceProfile &profile, QWidget *parent);
    // Puts the program's picker on its page; the chosen rows are its right-hand list.
    void SetPicker(TfrAbcDblLstSelect *picker);
    QString FieldAttribute(const QString &name) const;

    // Whether the values page offers an old value ("Qualunque valore" with it).
    virtual bool ShowsOldValue() const { return true; }
    // Names the insert script must hold besides the four.
    virtual QStringList InsertParamNames() const { return {}; }
    // Inside the transaction, before the updates; a text refuses the run, which is rolled back and
    // the text shown as an error.
    virtual QString BeforeUpdates() { return {}; }
    // The count the rows changed by the updates add to.
    virtual int InitialCount(const QList<int> &) const { return 0; }
    // After the updates, before the inserts; a text refuses the run as above.
    virtual QString AfterUpdates() { return {}; }
    // Before the insert script runs for a row.
    virtual void BeforeInsert(TVoQuery &) {}
    // After the inserts, before the commit.
    virtual void AfterInserts() {}
    // What the run wrote besides the rows, told after the closing message on lines of its own.
    virtual QStringList WrittenBesides() const { return {}; }

    void FormCreate() override;
    void FormClose(TCloseAction &Action) override;
    void CheckButtons() override;
    void buOkClick() override;
    void buCancelClick() override;

private:
    void pcMainChange();
    void BuildValuesPage();
    QWidget *NewEditor(bool old);
    void ckAnyValueClick();
    QString FieldType() const;

    TAbcReplaceProfile m_profile;
    TfrAbcDblLstSelect *m_picker = nullptr;
    QDomDocument m_doc;
    QList<QDomElement> m_fields;
    QDomElement m_field;
    QWidget *m_oldEditor = nullptr;
    QWidget *m_newEditor = nullptr;
};
