#include "VoFiltro.h"

#include "VoDBDateEdit.h"
#include "VoDisplayFormat.h"
#include "VoExceptions.h"
#include "VoIdComboBox.h"
#include "VoSearchDialog.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QVBoxLayout>

QPointer<TfmVoRptFiltro> fmVoRptFiltro;

namespace {

struct TOperator {
    const char *sql;
    const char *caption;
};

// The operators of each type, in the order offered.
const TOperator kContains{"LIKE", "contiene"};
const TOperator kEqual{"=", "uguale a"};
const TOperator kDifferent{"<>", "diverso da"};
const TOperator kOrderings[] = {
    {"<", "minore di"}, {"<=", "minore o uguale a"}, {">", "maggiore di"}, {">=", "maggiore o uguale a"}};

QList<TOperator> OperatorsOf(const QString &type) {
    if (type == QLatin1String("string"))
        return {kContains, kEqual, kDifferent};
    if (type == QLatin1String("enum"))
        return {kEqual, kDifferent};
    QList<TOperator> ops{kEqual, kDifferent};
    for (const TOperator &o : kOrderings)
        ops << o;
    return ops;
}

QString NormalType(const QString &type) {
    static const QStringList known{QStringLiteral("integer"), QStringLiteral("float"), QStringLiteral("date"),
                                   QStringLiteral("enum")};
    const QString lower = type.trimmed().toLower();
    return known.contains(lower) ? lower : QStringLiteral("string");
}

const QString kDateFormat = QStringLiteral("dd/MM/yyyy");

} // namespace

TfrVoFiltro::TfrVoFiltro(QWidget *parent)
    : QWidget(parent), cbField(new QComboBox(this)), cbOperator(new QComboBox(this)),
      stValue(new QStackedWidget(this)), edValue(new QLineEdit(stValue)), deValue(new TVoDBDateEdit(stValue)),
      cbValue(new TVoIdComboBox(stValue)), buAdd(new QPushButton(QStringLiteral("&Aggiungi"), this)),
      lbConditions(new QListWidget(this)), buRemove(new QPushButton(QStringLiteral("&Rimuovi"), this)),
      buClear(new QPushButton(QStringLiteral("&Svuota"), this)),
      rbAll(new QRadioButton(QStringLiteral("&Tutte le condizioni"), this)),
      rbAny(new QRadioButton(QStringLiteral("A&lmeno una condizione"), this)), cbSaved(new QComboBox(this)),
      buSave(new QPushButton(QStringLiteral("Sal&va"), this)),
      buLoad(new QPushButton(QStringLiteral("&Carica"), this)) {
    setObjectName(QStringLiteral("frVoFiltro"));
    cbField->setObjectName(QStringLiteral("cbField"));
    cbOperator->setObjectName(QStringLiteral("cbOperator"));
    edValue->setObjectName(QStringLiteral("edValue"));
    deValue->setObjectName(QStringLiteral("deValue"));
    cbValue->setObjectName(QStringLiteral("cbValue"));
    lbConditions->setObjectName(QStringLiteral("lbConditions"));
    cbSaved->setObjectName(QStringLiteral("cbSaved"));
    // Its value counts only when added as a condition, which judges it then.
    deValue->SetEmptyAllowed(true);
    deValue->SetDate(QDate::currentDate());
    stValue->addWidget(edValue);
    stValue->addWidget(deValue);
    stValue->addWidget(cbValue);
    cbSaved->setEditable(true);
    cbSaved->setInsertPolicy(QComboBox::NoInsert);
    cbSaved->setMinimumContentsLength(20);
    rbAll->setChecked(true);
    auto *join = new QButtonGroup(this);
    join->addButton(rbAll);
    join->addButton(rbAny);

    auto *grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Campo"), this), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Condizione"), this), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Valore"), this), 0, 2);
    grid->addWidget(cbField, 1, 0);
    grid->addWidget(cbOperator, 1, 1);
    grid->addWidget(stValue, 1, 2);
    grid->addWidget(buAdd, 1, 3);
    grid->addWidget(lbConditions, 2, 0, 3, 3);
    grid->addWidget(buRemove, 2, 3);
    grid->addWidget(buClear, 3, 3);
    auto *joinRow = new QHBoxLayout;
    joinRow->addWidget(rbAll);
    joinRow->addWidget(rbAny);
    joinRow->addStretch(1);
    grid->addLayout(joinRow, 5, 0, 1, 4);
    auto *savedRow = new QHBoxLayout;
    auto *savedLabel = new QLabel(QStringLiteral("&Filtro salvato:"), this);
    savedLabel->setBuddy(cbSaved);
    savedRow->addWidget(savedLabel);
    savedRow->addWidget(cbSaved, 1);
    savedRow->addWidget(buLoad);
    savedRow->addWidget(buSave);
    grid->addLayout(savedRow, 6, 0, 1, 4);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(4, 1);

    connect(cbField, &QComboBox::currentIndexChanged, this, [this] { FieldChanged(); });
    connect(buAdd, &QPushButton::clicked, this, [this] { VoGuarded([this] { AddShownCondition(); }); });
    connect(buRemove, &QPushButton::clicked, this, [this] {
        VoGuarded([this] {
            if (lbConditions->currentRow() >= 0)
                RemoveCondition(lbConditions->currentRow());
        });
    });
    connect(buClear, &QPushButton::clicked, this, [this] { ClearConditions(); });
    connect(buSave, &QPushButton::clicked, this,
            [this] { VoGuarded([this] { SaveFilter(cbSaved->currentText()); }); });
    connect(buLoad, &QPushButton::clicked, this,
            [this] { VoGuarded([this] { LoadFilter(cbSaved->currentText()); }); });
}

void TfrVoFiltro::SetXMLFilter(const QString &xml) {
    QDomDocument doc;
    if (!doc.setContent(xml))
        throw EVoError(QStringLiteral("Definizione del filtro non leggibile."));
    m_fields.clear();
    for (QDomElement e = doc.documentElement().firstChildElement(QStringLiteral("Field")); !e.isNull();
         e = e.nextSiblingElement(QStringLiteral("Field"))) {
        Field field{e.attribute(QStringLiteral("Caption")),
                    e.attribute(QStringLiteral("Column")),
                    NormalType(e.attribute(QStringLiteral("Type"))),
                    {}};
        if (field.type == QLatin1String("enum"))
            field.choices = LoadEnumValues(e.attribute(QStringLiteral("ValuesQuery")));
        m_fields << field;
    }
    ClearConditions();
    const QSignalBlocker block(cbField);
    cbField->clear();
    for (const Field &f : m_fields)
        cbField->addItem(f.caption);
    cbField->setCurrentIndex(m_fields.isEmpty() ? -1 : 0);
    FieldChanged();
}

QString VoSavedFiltersDir(const QString &program) {
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                        QStringLiteral("/velisto/filter/") + program + QLatin1Char('/');
    if (!QFileInfo::exists(dir)) {
        QDir().mkpath(dir);
        const QDir earlier(GetMainDir() + program + QStringLiteral("/filter/"));
        for (const QString &name : earlier.entryList({QStringLiteral("*.xml")}, QDir::Files))
            QFile::copy(earlier.filePath(name), dir + name);
    }
    return dir;
}

void TfrVoFiltro::SetFilterDir(const QString &dir) {
    m_dir = dir;
    RefreshSaved();
}

void TfrVoFiltro::FieldChanged() {
    cbOperator->clear();
    const int index = cbField->currentIndex();
    if (index < 0)
        return;
    const Field &field = m_fields[index];
    for (const TOperator &o : OperatorsOf(field.type))
        cbOperator->addItem(QString::fromLatin1(o.caption), QString::fromLatin1(o.sql));
    if (field.type == QLatin1String("date")) {
        stValue->setCurrentWidget(deValue);
    } else if (field.type == QLatin1String("enum")) {
        cbValue->SetEnumValues(field.choices);
        stValue->setCurrentWidget(cbValue);
    } else {
        edValue->clear();
        stValue->setCurrentWidget(edValue);
    }
}

QVariant TfrVoFiltro::ParseValue(const Field &field, const QString &text) const {
    if (field.type == QLatin1String("integer")) {
        bool ok = false;
        const int v = text.trimmed().toInt(&ok);
        return ok ? QVariant(v) : QVariant();
    }
    if (field.type == QLatin1String("float")) {
        double v = 0.0;
        return VoTextToFloat(text.trimmed(), &v) ? QVariant(v) : QVariant();
    }
    if (field.type == QLatin1String("date")) {
        const QDate d = QDate::fromString(text.trimmed(), kDateFormat);
        return d.isValid() ? QVariant(d) : QVariant();
    }
    if (field.type == QLatin1String("enum")) {
        for (const TVoEnumValue &v : field.choices)
            if (v.text == text)
                return v.id;
        return QVariant();
    }
    return text.isEmpty() ? QVariant() : QVariant(text);
}

QString TfrVoFiltro::ValueText(const Field &field, const QVariant &value) const {
    if (field.type == QLatin1String("date"))
        return value.toDate().toString(kDateFormat);
    if (field.type == QLatin1String("float"))
        return VoFloatToText(value.toDouble());
    if (field.type == QLatin1String("enum")) {
        for (const TVoEnumValue &v : field.choices)
            if (v.id == value.toInt())
                return v.text;
    }
    return value.toString();
}

QString TfrVoFiltro::OperatorCaption(const QString &op) const {
    for (const TOperator &o : OperatorsOf(QStringLiteral("string")) + OperatorsOf(QStringLiteral("date")))
        if (op == QLatin1String(o.sql))
            return QString::fromLatin1(o.caption);
    return op;
}

bool TfrVoFiltro::AddCondition(const QString &fieldCaption, const QString &operatorCaption,
                               const QString &value) {
    const int field = cbField->findText(fieldCaption);
    if (field < 0)
        throw EVoError(VoFormat(QStringLiteral("Campo %s non previsto dal filtro"), {fieldCaption}));
    cbField->setCurrentIndex(field);
    const int op = cbOperator->findText(operatorCaption);
    if (op < 0)
        throw EVoError(VoFormat(QStringLiteral("Condizione %s non prevista per il campo %s"),
                                {operatorCaption, fieldCaption}));
    cbOperator->setCurrentIndex(op);
    if (stValue->currentWidget() == deValue)
        deValue->SetDate(QDate::fromString(value, kDateFormat));
    else if (stValue->currentWidget() == cbValue)
        cbValue->setCurrentIndex(cbValue->findText(value));
    else
        edValue->setText(value);
    return AddShownCondition();
}

bool TfrVoFiltro::AddShownCondition() {
    const int index = cbField->currentIndex();
    if (index < 0 || cbOperator->currentIndex() < 0)
        return false;
    const Field &field = m_fields[index];
    QString text;
    if (stValue->currentWidget() == deValue)
        text = deValue->Date().toString(kDateFormat);
    else if (stValue->currentWidget() == cbValue)
        text = cbValue->currentText();
    else
        text = edValue->text();
    const QVariant value = ParseValue(field, text);
    if (!value.isValid()) {
        VoMessageDlg(VoFormat(QStringLiteral("Valore non valido per il campo %s"), {field.caption}),
                     mtWarning, mbOK);
        return false;
    }
    AddRow(Condition{index, cbOperator->currentData().toString(), value});
    edValue->clear();
    return true;
}

void TfrVoFiltro::AddRow(const Condition &condition) {
    m_conditions << condition;
    const Field &field = m_fields[condition.field];
    lbConditions->addItem(field.caption + QLatin1Char(' ') + OperatorCaption(condition.op) +
                          QLatin1Char(' ') + ValueText(field, condition.value));
}

void TfrVoFiltro::RemoveCondition(int index) {
    if (index < 0 || index >= m_conditions.size())
        return;
    m_conditions.removeAt(index);
    delete lbConditions->takeItem(index);
}

void TfrVoFiltro::ClearConditions() {
    m_conditions.clear();
    lbConditions->clear();
}

QStringList TfrVoFiltro::ConditionTexts() const {
    QStringList texts;
    for (int i = 0; i < lbConditions->count(); ++i)
        texts << lbConditions->item(i)->text();
    return texts;
}

void TfrVoFiltro::SetMatchAll(bool all) {
    (all ? rbAll : rbAny)->setChecked(true);
}

bool TfrVoFiltro::MatchAll() const {
    return rbAll->isChecked();
}

TVoFilterCondition TfrVoFiltro::GetCondition() const {
    TVoFilterCondition result;
    QStringList parts;
    for (int i = 0; i < m_conditions.size(); ++i) {
        const Condition &c = m_conditions[i];
        const QString name = QStringLiteral("VOFILTRO%1").arg(i + 1);
        const QString &column = m_fields[c.field].column;
        // "contiene" is the search box's: anywhere in the text, ignoring case, every character as typed.
        if (c.op == QLatin1String(kContains.sql)) {
            parts << VoLikeCondition(column, name);
            result.params.append({name, VoLikePattern(c.value.toString())});
        } else {
            parts << column + QLatin1Char(' ') + c.op + QStringLiteral(" :") + name;
            result.params.append({name, c.value});
        }
    }
    if (parts.size() == 1)
        result.text = parts.first();
    else if (!parts.isEmpty())
        result.text = QLatin1Char('(') +
                      parts.join(MatchAll() ? QStringLiteral(") AND (") : QStringLiteral(") OR (")) +
                      QLatin1Char(')');
    return result;
}

QString TfrVoFiltro::FilterPath(const QString &name) const {
    return QDir(m_dir).filePath(name + QStringLiteral(".xml"));
}

void TfrVoFiltro::RefreshSaved() {
    const QString shown = cbSaved->currentText();
    cbSaved->clear();
    cbSaved->addItems(SavedFilters());
    cbSaved->setCurrentIndex(-1);
    cbSaved->setEditText(shown);
}

QStringList TfrVoFiltro::SavedFilters() const {
    QStringList names;
    if (m_dir.isEmpty())
        return names;
    for (const QFileInfo &f : QDir(m_dir).entryInfoList({QStringLiteral("*.xml")}, QDir::Files, QDir::Name))
        names << f.completeBaseName();
    return names;
}

bool TfrVoFiltro::SaveFilter(const QString &name) {
    const QString trimmed = name.trimmed();
    static const QRegularExpression forbidden(QStringLiteral("[/\\\\:*?\"<>|]"));
    if (trimmed.isEmpty() || trimmed.contains(forbidden)) {
        VoMessageDlg(QStringLiteral("Indicare un nome di filtro senza i caratteri / \\ : * ? \" < > |"),
                     mtWarning, mbOK);
        return false;
    }
    const QString path = FilterPath(trimmed);
    if (QFileInfo::exists(path) &&
        VoMessageDlg(VoFormat(QStringLiteral("Il filtro %s esiste già. Sostituirlo?"), {trimmed}),
                     mtConfirmation, mbYesNo) != mrYes)
        return false;
    QDomDocument doc;
    QDomElement root = doc.createElement(QStringLiteral("FilterConditions"));
    root.setAttribute(QStringLiteral("Join"), MatchAll() ? QStringLiteral("AND") : QStringLiteral("OR"));
    doc.appendChild(root);
    for (const Condition &c : m_conditions) {
        const Field &field = m_fields[c.field];
        QDomElement e = doc.createElement(QStringLiteral("Condition"));
        e.setAttribute(QStringLiteral("Column"), field.column);
        e.setAttribute(QStringLiteral("Operator"), c.op);
        e.setAttribute(QStringLiteral("Value"), field.type == QLatin1String("date")
                                                    ? c.value.toDate().toString(Qt::ISODate)
                                                    : c.value.toString());
        root.appendChild(e);
    }
    QDir().mkpath(m_dir);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(doc.toByteArray(2)) < 0 || !file.commit()) {
        VoMessageDlg(VoFormat(QStringLiteral("Impossibile salvare il filtro in %s"), {path}), mtError, mbOK);
        return false;
    }
    RefreshSaved();
    return true;
}

bool TfrVoFiltro::LoadFilter(const QString &name) {
    QFile file(FilterPath(name.trimmed()));
    QDomDocument doc;
    if (name.trimmed().isEmpty() || !file.open(QIODevice::ReadOnly) || !doc.setContent(&file)) {
        VoMessageDlg(VoFormat(QStringLiteral("Impossibile leggere il filtro %s"), {name}), mtError, mbOK);
        return false;
    }
    ClearConditions();
    const QDomElement root = doc.documentElement();
    SetMatchAll(root.attribute(QStringLiteral("Join")) != QLatin1String("OR"));
    for (QDomElement e = root.firstChildElement(QStringLiteral("Condition")); !e.isNull();
         e = e.nextSiblingElement(QStringLiteral("Condition"))) {
        const QString column = e.attribute(QStringLiteral("Column"));
        const QString op = e.attribute(QStringLiteral("Operator"));
        for (int i = 0; i < m_fields.size(); ++i) {
            const Field &field = m_fields[i];
            bool offered = false;
            for (const TOperator &o : OperatorsOf(field.type))
                offered = offered || op == QLatin1String(o.sql);
            if (field.column != column || !offered)
                continue;
            const QString text = e.attribute(QStringLiteral("Value"));
            QVariant value;
            if (field.type == QLatin1String("date"))
                value = QDate::fromString(text, Qt::ISODate);
            else if (field.type == QLatin1String("integer") || field.type == QLatin1String("enum"))
                value = text.toInt();
            else if (field.type == QLatin1String("float"))
                value = text.toDouble();
            else
                value = text;
            AddRow(Condition{i, op, value});
            break;
        }
    }
    return true;
}

TfmVoRptFiltro::TfmVoRptFiltro(QWidget *parent)
    : TfmVoOkCancDlg(parent), frVoFiltro(new TfrVoFiltro(pnClient)) {
    setObjectName(QStringLiteral("fmVoRptFiltro"));
    setWindowTitle(QStringLiteral("Filtro"));
    auto *layout = new QVBoxLayout(pnClient);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(frVoFiltro);
    resize(620, 400);
}

void TfmVoRptFiltro::buOkClick() {
    if (frVoFiltro->stValue->currentWidget() == frVoFiltro->edValue &&
        !frVoFiltro->edValue->text().isEmpty() && !frVoFiltro->AddShownCondition())
        return;
    TfmVoOkCancDlg::buOkClick();
}
