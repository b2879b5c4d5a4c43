#pragma once
// The bulk data replacement: the user chooses a data item of the articles among those that the stored
// definition KVAREPLACE offers, picks the articles, gives the old and the new value, and the item is
// rewritten on every chosen article in one transaction. Which items exist, how their values are
// edited and the statements that rewrite them all come from the definition:
//
//   <Fields>
//     <Field Caption="..." Type="enum|cxenum|date|boolean|integer|(text)" ValuesQuery="SELECT id, text ..."
//            KeyFieldNames="..." ListFieldNames="..." UpdateScript="UPDATE ..." InsertScript="...">
//       <ListColumns><ListColumn FieldName="..." Caption="..." MinWidth="80"/></ListColumns>
//     </Field>
//   </Fields>
//
// Both statements take :OLDVALUE, :NEWVALUE, :ANY (1 when any old value will do) and :SELECTEDID (the
// article); with no old value the first "= :OLDVALUE" becomes "IS NULL".
#include "VoDialogs.h"

#include <QDomDocument>
#include <QDomElement>
#include <QList>

class QCheckBox;
class QListWidget;
class TfrKvaDblLstArtSelect;

class TfmKvaDataReplace : public TfmVoWizard {
    Q_OBJECT
public:
    explicit TfmKvaDataReplace(QWidget *parent = nullptr);

    QWidget *tsFieldList;
    QWidget *tsBeni;
    QWidget *tsValues;
    QListWidget *lbFieldList;
    TfrKvaDblLstArtSelect *frKvaDblLstArtSelect1;
    QCheckBox *ckAnyValue;

    // The editors of the values page, as last built (nullptr before).
    QWidget *OldValueEditor() const { return m_oldEditor; }
    QWidget *NewValueEditor() const { return m_newEditor; }
    // What an editor of the current field holds, typed as its parameter (a typed NULL for no value).
    QVariant EditorValue(QWidget *editor) const;

    // Rewrites the chosen articles; true when it was done, with its message shown. A statement that
    // lacks a parameter stops it before anything is written; a failure of the database undoes it all.
    bool Replace();

protected:
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

    QDomDocument m_doc;
    QList<QDomElement> m_fields;
    QDomElement m_field;
    QWidget *m_oldEditor = nullptr;
    QWidget *m_newEditor = nullptr;
};
