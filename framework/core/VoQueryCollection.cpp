#include "VoQueryCollectionPrivate.h"

#include "VoConnection.h"
#include "VoDates.h"
#include "VoDisplayFormat.h"
#include "VoExceptions.h"
#include "VoQuery.h"
#include "VoStop.h"

#include <cmath>

namespace VoQc {

QVariant TypedNull(QMetaType::Type type) {
    return type == QMetaType::UnknownType ? QVariant() : QVariant(QMetaType(type));
}

QVariant ToFieldType(const QVariant &value, QMetaType::Type type, const QString &fieldName) {
    if (value.isNull() || !value.isValid())
        return TypedNull(type);
    if (type == QMetaType::UnknownType || value.typeId() == type)
        return value;
    const auto refuse = [&]() -> QVariant {
        throw EVoError(QStringLiteral("Valore non valido per il campo \"%1\".").arg(fieldName));
    };
    if (value.typeId() == QMetaType::QString && VoIsNumericType(type)) {
        double d = 0;
        if (!VoTextToFloat(value.toString(), &d))
            return refuse();
        QVariant v(d);
        if (type != QMetaType::Double && type != QMetaType::Float) {
            if (d != std::floor(d))
                return refuse();
            v = QVariant(qint64(d));
        }
        v.convert(QMetaType(type));
        return v;
    }
    if (type == QMetaType::QDate && value.typeId() == QMetaType::QDateTime)
        return value.toDateTime().date();
    if (type == QMetaType::QDateTime && value.typeId() == QMetaType::QDate)
        return QDateTime(value.toDate(), QTime(0, 0));
    QVariant v = value;
    if (!v.convert(QMetaType(type)))
        return refuse();
    return v;
}

bool SameValue(const QVariant &have, const QVariant &want, TVoLocateOptions options) {
    if (have.isNull() || want.isNull())
        return have.isNull() && want.isNull();
    const auto isText = [](const QVariant &v) {
        return v.typeId() == QMetaType::QString || v.typeId() == QMetaType::QByteArray;
    };
    if (isText(have) || isText(want)) {
        const QString a = VoVariantToText(have);
        const QString b = VoVariantToText(want);
        const Qt::CaseSensitivity cs =
            (options & loCaseInsensitive) ? Qt::CaseInsensitive : Qt::CaseSensitive;
        return (options & loPartialKey) ? a.startsWith(b, cs) : a.compare(b, cs) == 0;
    }
    const bool haveDate = have.typeId() == QMetaType::QDate || have.typeId() == QMetaType::QDateTime;
    const bool wantDate = want.typeId() == QMetaType::QDate || want.typeId() == QMetaType::QDateTime;
    if (haveDate || wantDate)
        return VariantToDays(have) == VariantToDays(want);
    if (VoIsNumber(have) && VoIsNumber(want))
        return have.toDouble() == want.toDouble();
    return have == want;
}

QString Quoted(const QString &identifier) {
    return QLatin1Char('"') + identifier + QLatin1Char('"');
}

} // namespace VoQc

using namespace VoQc;

// --- TVoQueryCollection: set-up ---------------------------------------------------------------------

namespace {
QList<TVoQueryCollection *> &LiveCollections() {
    static QList<TVoQueryCollection *> collections;
    return collections;
}
} // namespace

TVoQueryCollection::TVoQueryCollection(QObject *parent) : QObject(parent) {
    LiveCollections().append(this);
}

TVoQueryCollection::~TVoQueryCollection() {
    LiveCollections().removeOne(this);
    GiveBackRows();
}

void VoCancelAllPendingEdits() {
    for (TVoQueryCollection *collection : LiveCollections()) {
        if (collection->State() != dsInsert && collection->State() != dsEdit)
            continue;
        // A stop goes on whatever a handler of the cancel thinks of it.
        try {
            collection->Cancel();
        } catch (...) {
        }
    }
}

TVoSQLConnection *TVoQueryCollection::Connection() const {
    return m_connection ? m_connection.get() : qqoVoGlobConn;
}

void TVoQueryCollection::SetConnection(TVoSQLConnection *connection) {
    m_connection = connection;
}

QString TVoQueryCollection::KeyField() const {
    if (!m_keyField.isEmpty())
        return m_keyField;
    return m_dataFieldCount > 0 ? m_fields[0]->FieldName() : QString();
}

QString TVoQueryCollection::TableName() const {
    return m_tableName.isEmpty() ? VoMainTable(m_commandText) : m_tableName.toUpper();
}

void TVoQueryCollection::AddCalcField(const QString &name, QMetaType::Type type) {
    if (Active())
        throw EVoError(QStringLiteral("Il campo calcolato \"%1\" va aggiunto a dataset chiuso.").arg(name));
    m_calcDefs.append({name, type});
    m_fieldShape = TFieldShape();
}

// --- Free routines ----------------------------------------------------------------------------------

void RebuildParamsFromSQL(TVoQueryCollection *collection) {
    collection->RebuildParamsFromSQL();
}

void SetParamNull(TVoQueryCollection *collection, const QString &name, QMetaType::Type type) {
    collection->SetParamNull(name, type);
}

// --- TVoFieldValue ----------------------------------------------------------------------------------

int TVoFieldValue::IndexOf(const QString &name) const {
    for (int i = 0; i < m_names.size(); ++i)
        if (m_names[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void TVoFieldValue::Add(const QString &name, const QVariant &value) {
    const int i = IndexOf(name);
    if (i >= 0) {
        m_values[i] = value;
        return;
    }
    m_names << name;
    m_values << value;
}

void TVoFieldValue::AddNull(const QString &name, QMetaType::Type type) {
    Add(name, VoNull(type));
}

void TVoFieldValue::AddDate(const QString &name, double days) {
    Add(name, DaysToDateParam(days));
}

bool TVoFieldValue::Contains(const QString &name) const {
    return IndexOf(name) >= 0;
}

QVariant TVoFieldValue::Value(const QString &name) const {
    const int i = IndexOf(name);
    return i < 0 ? QVariant() : m_values[i];
}

void TVoFieldValue::Remove(const QString &name) {
    const int i = IndexOf(name);
    if (i >= 0) {
        m_names.removeAt(i);
        m_values.removeAt(i);
    }
}

void TVoFieldValue::Clear() {
    m_names.clear();
    m_values.clear();
}

// --- Statements -------------------------------------------------------------------------------------

TVoSQLStatement::TVoSQLStatement(const QString &sql) : m_sql(sql), m_params(VoParamNames(sql)) {
    m_table = VoStatementTable(sql, &m_kind);
}

bool TVoSQLStatement::UsesParam(const QString &name) const {
    return m_params.contains(name, Qt::CaseInsensitive);
}

QStringList TVoSQLList::Texts() const {
    QStringList out;
    for (const TVoSQLStatement &s : m_items)
        out << s.SQL();
    return out;
}

// --- Parameters -------------------------------------------------------------------------------------

TVoParam::TVoParam(const QString &name, QMetaType::Type type) : m_name(name), m_type(type) {}

void TVoParam::SetValue(const QVariant &value) {
    m_value = value.isNull() ? TypedNull(m_type) : value;
    m_bound = true;
}

void TVoParam::SetNull(QMetaType::Type type) {
    m_type = type;
    m_value = TypedNull(type);
    m_bound = true;
}

void TVoParam::SetAsDate(double days) {
    SetValue(DaysToDateParam(days));
}

void TVoParam::Clear() {
    m_value = QVariant();
    m_bound = false;
}

int TVoParam::AsInteger(int defaultValue) const {
    return m_value.isNull() ? defaultValue : m_value.toInt();
}

double TVoParam::AsFloat(double defaultValue) const {
    return m_value.isNull() ? defaultValue : m_value.toDouble();
}

QString TVoParam::AsString() const {
    return VoVariantToText(m_value);
}

double TVoParam::AsDate() const {
    return VariantToDays(m_value);
}

TVoParam *TVoParams::FindParam(const QString &name) const {
    for (const auto &p : m_items)
        if (p->Name().compare(name, Qt::CaseInsensitive) == 0)
            return p.get();
    return nullptr;
}

TVoParam &TVoParams::ParamByName(const QString &name) const {
    if (TVoParam *p = FindParam(name))
        return *p;
    throw EVoError(QStringLiteral("Parametro \"%1\" non trovato.").arg(name));
}

TVoParam &TVoParams::CreateParam(const QString &name, QMetaType::Type type) {
    if (TVoParam *p = FindParam(name)) {
        if (type != QMetaType::UnknownType)
            p->SetDataType(type);
        return *p;
    }
    m_items.push_back(std::make_unique<TVoParam>(name, type));
    return *m_items.back();
}

QStringList TVoParams::Names() const {
    QStringList out;
    for (const auto &p : m_items)
        out << p->Name();
    return out;
}

void TVoParams::RebuildFrom(const QString &sql) {
    std::vector<std::unique_ptr<TVoParam>> rebuilt;
    for (const QString &name : VoParamNames(sql)) {
        std::unique_ptr<TVoParam> kept;
        for (auto &p : m_items)
            if (p && p->Name().compare(name, Qt::CaseInsensitive) == 0)
                kept = std::move(p);
        rebuilt.push_back(kept ? std::move(kept) : std::make_unique<TVoParam>(name));
    }
    m_items = std::move(rebuilt);
}

// --- The select's text and parameters ---------------------------------------------------------------

void TVoQueryCollection::SetCommandText(const QString &sql) {
    m_commandText = sql;
    m_params.RebuildFrom(sql);
}

void TVoQueryCollection::SetParam(const QString &name, const QVariant &value) {
    m_params.CreateParam(name).SetValue(value);
}

void TVoQueryCollection::SetParamNull(const QString &name, QMetaType::Type type) {
    m_params.CreateParam(name).SetNull(type);
}
