#pragma once
// The filter form: the user composes conditions on the fields that a definition offers, joins them
// all with AND or with OR, saves them under a name in a folder of files and loads them back. The
// condition comes out as SQL text with named parameters and their values: nothing the user typed
// ever enters the text.
//
// The definition is an XML text whose top element (of any name) holds one element per field:
//
//   <Filter>
//     <Field Caption="Descrizione" Column="far.sFarLDesc" Type="string"/>
//     <Field Caption="Categoria" Column="far.iCafId" Type="enum"
//            ValuesQuery="SELECT iCafId, sCafDesc FROM ... ORDER BY 2"/>
//   </Filter>
//
// Caption is what the user reads, Column what the condition names. Type is "string" (the default),
// "integer", "float", "date" or "enum"; an enum's ValuesQuery gives the choices as (id, text) rows and
// the condition compares the id. A string field offers "contiene" (the text anywhere, ignoring case,
// "%", "_" and "\" taken as typed, as in the search box), "uguale a" and "diverso da"; numbers and dates
// also the four orderings; an enum equality and difference.
//
// A saved filter is the file "<name>.xml" of the folder:
//
//   <FilterConditions Join="AND">
//     <Condition Column="far.sFarLDesc" Operator="LIKE" Value="l'arte"/>
//   </FilterConditions>
//
// with dates as yyyy-MM-dd and numbers with a dot; conditions on a column the definition no longer
// offers are left out when it is loaded.
#include "VoDialogs.h"
#include "VoUtils.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <QWidget>

class QButtonGroup;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class TVoDBDateEdit;
class TVoIdComboBox;

// The shift states of the filter shortcuts (with the key F): the filter form, and switching the
// filter off and on.
inline constexpr Qt::KeyboardModifiers SC_FILTER_SHIFT = Qt::ControlModifier | Qt::ShiftModifier;
inline constexpr Qt::KeyboardModifiers SC_APPLY_FILTER_SHIFT = Qt::ControlModifier;

struct TVoFilterParam {
    QString name;
    QVariant value;
};

struct TVoFilterCondition {
    QString text;
    QList<TVoFilterParam> params;
    bool IsEmpty() const { return text.isEmpty(); }
};

// The folder of a program's saved filters: "filter/<program>/" under the user's configuration
// folder, since the programs' own folder is shared by every user of the computer and may not be
// writable. The filters an earlier release saved under the main folder ("<program>/filter/") are
// copied there the first time.
QString VoSavedFiltersDir(const QString &program);

class TfrVoFiltro : public QWidget {
    Q_OBJECT
public:
    explicit TfrVoFiltro(QWidget *parent = nullptr);

    // Takes the fields of a definition (the format above) and drops the conditions composed so far.
    void SetXMLFilter(const QString &xml);
    // The folder of the saved filters.
    void SetFilterDir(const QString &dir);
    QString FilterDir() const { return m_dir; }

    // The conditions as SQL: one condition as it is, several each in brackets, joined; empty without
    // conditions. Parameters are named VOFILTRO1, VOFILTRO2, ...
    TVoFilterCondition GetCondition() const;

    // Composing, as the user does with the controls: adds the condition of the field (by caption),
    // operator (by caption) and value shown (for an enum the text of the choice); false with a message
    // when the value does not suit the field.
    bool AddCondition(const QString &fieldCaption, const QString &operatorCaption, const QString &value);
    // Adds what the editing row shows; false with a message when it holds no valid value.
    bool AddShownCondition();
    void RemoveCondition(int index);
    void ClearConditions();
    // The conditions as the user reads them.
    QStringList ConditionTexts() const;
    // Whether a condition must hold (AND) or at least one (OR).
    void SetMatchAll(bool all);
    bool MatchAll() const;

    // The names of the saved filters of the folder.
    QStringList SavedFilters() const;
    // Saves the conditions under a name (asking before replacing a filter of that name); false when
    // nothing was saved.
    bool SaveFilter(const QString &name);
    // Replaces the conditions by a saved filter's; false with a message when it cannot be read.
    bool LoadFilter(const QString &name);

    QComboBox *cbField;
    QComboBox *cbOperator;
    QStackedWidget *stValue;
    QLineEdit *edValue;
    TVoDBDateEdit *deValue;
    TVoIdComboBox *cbValue;
    QPushButton *buAdd;
    QListWidget *lbConditions;
    QPushButton *buRemove;
    QPushButton *buClear;
    QRadioButton *rbAll;
    QRadioButton *rbAny;
    QComboBox *cbSaved;
    QPushButton *buSave;
    QPushButton *buLoad;

private:
    struct Field {
        QString caption;
        QString column;
        QString type;
        QList<TVoEnumValue> choices;
    };
    struct Condition {
        int field = -1;
        QString op; // SQL operator
        QVariant value;
    };

    void FieldChanged();
    void AddRow(const Condition &condition);
    QString ValueText(const Field &field, const QVariant &value) const;
    // The value of the text for a field; invalid when it does not suit the field.
    QVariant ParseValue(const Field &field, const QString &text) const;
    QString OperatorCaption(const QString &op) const;
    void RefreshSaved();
    QString FilterPath(const QString &name) const;

    QList<Field> m_fields;
    QList<Condition> m_conditions;
    QString m_dir;
};

class TfmVoRptFiltro : public TfmVoOkCancDlg {
    Q_OBJECT
public:
    explicit TfmVoRptFiltro(QWidget *parent = nullptr);

    TfrVoFiltro *frVoFiltro;

protected:
    // A condition typed in the editing row and not yet added is added, not lost.
    void buOkClick() override;
};

// The filter form that the windows share, created at the first filter request by its user.
extern QPointer<TfmVoRptFiltro> fmVoRptFiltro;
