#include "AbcFDataReplace.h"

#include "AbcRDblLstSelect.h"
#include "AbcURoutines.h"
#include "VoDBDateEdit.h"
#include "VoExceptions.h"
#include "VoIdComboBox.h"
#include "VoLookupComboBox.h"
#include "VoQuery.h"
#include "VoStatistics.h"
#include "VoTransaction.h"
#include "VoUtils.h"
#include "VoWait.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>

namespace {

const char *const kQuestion = "Confermi la sostituzione del dato ?";
const char *const kMissingParam = "Parametro %s non definito";

const QString kOldValue = QStringLiteral("OLDVALUE");
const QString kNewValue = QStringLiteral("NEWVALUE");
const QString kAny = QStringLiteral("ANY");
const QString kSelectedId = QStringLiteral("SELECTEDID");

bool IsIdType(const QString &type) {
    return type == QLatin1String("enum") || type == QLatin1String("cxenum") ||
           type == QLatin1String("integer");
}

// The parameter type of the values of a field type.
QMetaType::Type ParamType(const QString &type) {
    if (IsIdType(type))
        return QMetaType::Int;
    if (type == QLatin1String("date"))
        return QMetaType::QDate;
    return QMetaType::QString;
}

// A script ready to run for the old value: with none, its first "= :OLDVALUE" reads "IS NULL". Every
// parameter the run sets must be in it, or nothing runs.
QString PreparedScript(QString script, bool oldValueNull, const QStringList &more = {}) {
    static const QString equalsOld = QStringLiteral("= :OLDVALUE");
    if (oldValueNull) {
        const qsizetype p = script.indexOf(equalsOld);
        if (p >= 0)
            script.replace(p, equalsOld.size(), QStringLiteral("IS NULL"));
    }
    QStringList names;
    for (const QString &name : VoParamNames(script))
        names << name.toUpper();
    QStringList required = QStringList{kNewValue, kAny, kSelectedId} + more;
    if (!oldValueNull)
        required.prepend(kOldValue);
    for (const QString &name : required)
        if (!names.contains(name.toUpper()))
            throw EVoError(VoFormat(QString::fromLatin1(kMissingParam), {name}));
    return script;
}

// Runs a prepared statement once per row, after the preparation of each; returns the rows it
// affected in all.
int RunPerRow(TVoQuery &statement, const QList<int> &rows, const std::function<void(TVoQuery &)> &prepare) {
    int total = 0;
    // The user may abandon the replacement here: the caller's transaction then writes nothing.
    TVoProgressScope progress(QString(), int(rows.size()), true, QStringLiteral("Sostituzione dati"));
    int done = 0;
    for (int id : rows) {
        if (prepare)
            prepare(statement);
        statement.SetParam(kSelectedId, id);
        // A procedure call reports no rows.
        total += std::max(0, statement.Exec());
        progress.Step(++done);
    }
    return total;
}

} // namespace

TfmAbcDataReplace::TfmAbcDataReplace(const TAbcReplaceProfile &profile, QWidget *parent)
    : TfmVoWizard(parent), tsFieldList(new QWidget), tsBeni(new QWidget), tsValues(new QWidget),
      lbFieldList(new QListWidget(tsFieldList)),
      ckAnyValue(new QCheckBox(QStringLiteral("&Qualunque valore"), tsValues)), m_profile(profile) {
    setWindowTitle(QStringLiteral("Sostituzione dati"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::WindowMaximizeButtonHint);
    resize(579, 404);
    tsFieldList->setObjectName(QStringLiteral("tsFieldList"));
    tsBeni->setObjectName(QStringLiteral("tsBeni"));
    tsValues->setObjectName(QStringLiteral("tsValues"));
    lbFieldList->setObjectName(QStringLiteral("lbFieldList"));
    ckAnyValue->setObjectName(QStringLiteral("ckAnyValue"));
    (new QVBoxLayout(tsFieldList))->addWidget(lbFieldList);
    new QVBoxLayout(tsBeni);
    auto *values = new QGridLayout(tsValues);
    values->setColumnMinimumWidth(0, 88);
    values->setColumnStretch(1, 1);
    values->setRowStretch(4, 1);
    values->addWidget(ckAnyValue, 2, 1);
    AddPage(tsFieldList);
    AddPage(tsBeni);
    AddPage(tsValues);
    SetActivePageIndex(0);

    connect(lbFieldList, &QListWidget::itemSelectionChanged, this, [this] { CheckButtons(); });
    connect(pcMain, &QStackedWidget::currentChanged, this, [this] { VoGuarded([this] { pcMainChange(); }); });
    connect(ckAnyValue, &QCheckBox::toggled, this, [this] { ckAnyValueClick(); });
}

void TfmAbcDataReplace::SetPicker(TfrAbcDblLstSelect *picker) {
    m_picker = picker;
    tsBeni->layout()->addWidget(picker);
}

QString TfmAbcDataReplace::FieldAttribute(const QString &name) const {
    return m_field.attribute(name);
}

void TfmAbcDataReplace::FormCreate() {
    TfmVoWizard::FormCreate();
    QString xml;
    LoadXmlArchive(xml, m_profile.definitionCode, m_profile.definitionList);
    m_doc.setContent(xml);
    QDomElement fields;
    for (QDomNode n = m_doc.firstChild(); !n.isNull() && fields.isNull(); n = n.nextSibling())
        if (n.isElement() && n.nodeName() == QLatin1String("Fields"))
            fields = n.toElement();
    lbFieldList->clear();
    m_fields.clear();
    for (QDomElement f = fields.firstChildElement(QStringLiteral("Field")); !f.isNull();
         f = f.nextSiblingElement(QStringLiteral("Field"))) {
        m_fields << f;
        lbFieldList->addItem(f.attribute(QStringLiteral("Caption")));
    }
    CheckButtons();
}

void TfmAbcDataReplace::FormClose(TCloseAction &Action) {
    TfmVoWizard::FormClose(Action);
    m_fields.clear();
    m_field = QDomElement();
    m_doc.clear();
}

void TfmAbcDataReplace::CheckButtons() {
    TfmVoWizard::CheckButtons();
    if (buNext->isEnabled())
        buNext->setEnabled(!lbFieldList->selectedItems().isEmpty());
    // The run starts from the values page, where its values are.
    buOk->setEnabled(pcMain->currentWidget() == tsValues);
}

void TfmAbcDataReplace::pcMainChange() {
    const int row = lbFieldList->currentRow();
    if (row >= 0 && row < m_fields.size() && lbFieldList->item(row)->isSelected())
        m_field = m_fields[row];
    if (pcMain->currentWidget() == tsValues)
        BuildValuesPage();
}

QString TfmAbcDataReplace::FieldType() const {
    return m_field.attribute(QStringLiteral("Type"));
}

QWidget *TfmAbcDataReplace::NewEditor(bool old) {
    const QString type = FieldType();
    if (type == QLatin1String("enum")) {
        auto *combo = new TVoIdComboBox(tsValues);
        if (old)
            combo->AddItem(QStringLiteral("<Vuoto>"), 0);
        for (const TVoEnumValue &v : LoadEnumValues(m_field.attribute(QStringLiteral("ValuesQuery"))))
            combo->AddItem(v.text, v.id);
        combo->setCurrentIndex(combo->count() > 0 ? 0 : -1);
        return combo;
    }
    if (type == QLatin1String("cxenum")) {
        QList<TVoLookupColumn> columns;
        const QDomElement list = m_field.firstChildElement(QStringLiteral("ListColumns"));
        for (QDomElement c = list.firstChildElement(QStringLiteral("ListColumn")); !c.isNull();
             c = c.nextSiblingElement(QStringLiteral("ListColumn"))) {
            const QString minWidth = c.attribute(QStringLiteral("MinWidth"));
            columns.append({c.attribute(QStringLiteral("FieldName")), c.attribute(QStringLiteral("Caption")),
                            minWidth.isEmpty() ? 0 : minWidth.toInt()});
        }
        auto *combo = new TVoLookupComboBox(tsValues);
        combo->SetListSource(m_field.attribute(QStringLiteral("ValuesQuery")),
                             m_field.attribute(QStringLiteral("KeyFieldNames")),
                             m_field.attribute(QStringLiteral("ListFieldNames")), columns);
        return combo;
    }
    if (type == QLatin1String("date")) {
        // No old date means the rows that have none, no new date empties theirs.
        auto *date = new TVoDBDateEdit(tsValues);
        date->SetEmptyAllowed(true);
        return date;
    }
    if (type == QLatin1String("boolean"))
        return new QCheckBox(tsValues);
    if (type == QLatin1String("integer")) {
        auto *spin = new QSpinBox(tsValues);
        spin->setRange(-999999999, 999999999);
        spin->setFixedWidth(75);
        return spin;
    }
    return new QLineEdit(tsValues);
}

void TfmAbcDataReplace::BuildValuesPage() {
    ckAnyValue->setChecked(false);
    for (QWidget *w : tsValues->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        if (w != ckAnyValue)
            delete w;
    m_oldEditor = NewEditor(true);
    m_newEditor = NewEditor(false);
    m_oldEditor->setObjectName(QStringLiteral("edOldValue"));
    m_newEditor->setObjectName(QStringLiteral("edNewValue"));
    const QString type = FieldType();
    // Lists and plain texts take the page's width; dates, ticks and numbers keep their own.
    const Qt::Alignment align =
        type == QLatin1String("date") || type == QLatin1String("boolean") || type == QLatin1String("integer")
            ? Qt::AlignLeft
            : Qt::Alignment();
    auto *grid = static_cast<QGridLayout *>(tsValues->layout());
    auto *chosen =
        new QLabel(lbFieldList->currentItem() ? lbFieldList->currentItem()->text() : QString(), tsValues);
    QFont bold = chosen->font();
    bold.setBold(true);
    chosen->setFont(bold);
    auto *newLabel = new QLabel(QStringLiteral("&Rimpiazzare con"), tsValues);
    newLabel->setBuddy(m_newEditor);
    grid->addWidget(new QLabel(QStringLiteral("Dato scelto:"), tsValues), 0, 0);
    grid->addWidget(chosen, 0, 1);
    const bool showsOld = ShowsOldValue();
    if (showsOld) {
        auto *oldLabel = new QLabel(QStringLiteral("&Sostituire "), tsValues);
        oldLabel->setBuddy(m_oldEditor);
        grid->addWidget(oldLabel, 1, 0);
    }
    grid->addWidget(m_oldEditor, 1, 1, align);
    m_oldEditor->setVisible(showsOld);
    ckAnyValue->setVisible(showsOld);
    grid->addWidget(newLabel, 3, 0);
    grid->addWidget(m_newEditor, 3, 1, align);
    setTabOrder(m_oldEditor, ckAnyValue);
    setTabOrder(ckAnyValue, m_newEditor);
    if (m_profile.tickAnyValue && ckAnyValue->isVisibleTo(this))
        ckAnyValue->setChecked(true);
    ckAnyValueClick();
}

void TfmAbcDataReplace::ckAnyValueClick() {
    if (m_oldEditor)
        m_oldEditor->setEnabled(!ckAnyValue->isChecked());
}

QVariant TfmAbcDataReplace::EditorValue(QWidget *editor) const {
    const QString type = FieldType();
    const QVariant none = VoNull(ParamType(type));
    if (auto *combo = qobject_cast<TVoIdComboBox *>(editor)) {
        const int id = combo->SelectedId(0);
        return id == 0 ? none : QVariant(id);
    }
    if (auto *combo = qobject_cast<TVoLookupComboBox *>(editor)) {
        const QVariant key = combo->EditValue();
        return key.isNull() || key.toInt() == 0 ? none : QVariant(key.toInt());
    }
    if (auto *date = qobject_cast<TVoDBDateEdit *>(editor))
        return date->Date().isValid() ? QVariant(date->Date()) : none;
    if (auto *tick = qobject_cast<QCheckBox *>(editor))
        return tick->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    if (auto *spin = qobject_cast<QSpinBox *>(editor))
        return spin->value();
    if (auto *edit = qobject_cast<QLineEdit *>(editor))
        return edit->text();
    return none;
}

void TfmAbcDataReplace::buOkClick() {
    if (VoMessageDlg(QString::fromLatin1(kQuestion), mtConfirmation, mbYesNo) != mrYes)
        return;
    if (Replace())
        SetActivePageIndex(0);
}

void TfmAbcDataReplace::buCancelClick() {
    reject();
}

bool TfmAbcDataReplace::Replace() {
    const QVariant oldValue = EditorValue(m_oldEditor);
    const QVariant newValue = EditorValue(m_newEditor);
    const int any = ckAnyValue->isChecked() ? 1 : 0;
    const QString insertScript = m_field.attribute(QStringLiteral("InsertScript"));
    // Every statement is checked before the transaction starts, so that a faulty definition writes
    // nothing at all.
    const QString updateSQL =
        PreparedScript(m_field.attribute(QStringLiteral("UpdateScript")), oldValue.isNull());
    const QString insertSQL = insertScript.trimmed().isEmpty()
                                  ? QString()
                                  : PreparedScript(insertScript, oldValue.isNull(), InsertParamNames());
    auto prepare = [&](TVoQuery &statement, const QString &sql) {
        statement.SetSQL(sql);
        if (VoParamNames(sql).contains(kOldValue, Qt::CaseInsensitive))
            statement.SetParam(kOldValue, oldValue);
        statement.SetParam(kNewValue, newValue);
        statement.SetParam(kAny, any);
    };
    TVoQuery update;
    TVoQuery insert;
    prepare(update, updateSQL);
    if (!insertSQL.isEmpty())
        prepare(insert, insertSQL);
    const QList<int> rows = m_picker ? m_picker->SelectedIds() : QList<int>();

    TVoTransaction transaction;
    transaction.StartTransaction();
    int total = 0;
    QString refusal;
    try {
        refusal = BeforeUpdates();
        if (refusal.isEmpty()) {
            total = InitialCount(rows) + RunPerRow(update, rows, {});
            refusal = AfterUpdates();
        }
        if (refusal.isEmpty()) {
            if (!insertSQL.isEmpty())
                RunPerRow(insert, rows, [this](TVoQuery &statement) { BeforeInsert(statement); });
            AfterInserts();
            transaction.Commit();
            VoRefreshStaleStatistics();
        }
    } catch (...) {
        if (transaction.Active())
            transaction.Rollback();
        throw;
    }
    if (!refusal.isEmpty()) {
        // Rolled back before the message, so that nothing stays locked while it is read.
        transaction.Rollback();
        VoMessageDlg(refusal, mtError, mbOKCancel);
        return false;
    }
    QStringList done{VoFormat(m_profile.doneMessage,
                              {m_field.attribute(QStringLiteral("Caption")), QString::number(total)})};
    done << WrittenBesides();
    VoMessageDlg(done.join(QStringLiteral("\r\n")), mtInformation, mbOK);
    return true;
}
