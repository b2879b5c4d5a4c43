#include "VoQueryCollectionPrivate.h"

#include "VoDates.h"
#include "VoDisplayFormat.h"
#include "VoExceptions.h"
#include "VoQuery.h"

#include <QSqlField>
#include <QSqlRecord>

using namespace VoQc;

// --- TVoField ---------------------------------------------------------------------------------------

TVoField::TVoField(TVoQueryCollection *owner, const QString &name, QMetaType::Type type, bool calculated)
    : m_owner(owner), m_name(name), m_type(type), m_calculated(calculated) {}

void TVoField::SetDisplayFormat(const QString &format) {
    m_displayFormat = format;
    m_owner->FieldDisplayChanged(m_index);
}

void TVoField::SetDisplayLabel(const QString &label) {
    m_displayLabel = label;
    m_owner->FieldDisplayChanged(m_index);
}

QVariant TVoField::Value() const {
    return m_owner->CellValue(m_index);
}

QVariant TVoField::OldValue() const {
    if (m_owner->m_state == dsEdit && m_index < m_owner->m_oldValues.size())
        return m_owner->m_oldValues[m_index];
    if (m_owner->m_state == dsInsert)
        return TypedNull(m_type);
    return Value();
}

int TVoField::AsInteger(int defaultValue) const {
    const QVariant v = Value();
    bool ok = false;
    const int r = v.toInt(&ok);
    return v.isNull() || !ok ? defaultValue : r;
}

qint64 TVoField::AsLargeInt(qint64 defaultValue) const {
    const QVariant v = Value();
    bool ok = false;
    const qint64 r = v.toLongLong(&ok);
    return v.isNull() || !ok ? defaultValue : r;
}

double TVoField::AsFloat(double defaultValue) const {
    const QVariant v = Value();
    bool ok = false;
    const double r = v.toDouble(&ok);
    return v.isNull() || !ok ? defaultValue : r;
}

QString TVoField::AsString() const {
    const QVariant v = Value();
    if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float)
        return v.isNull() ? QString() : VoFloatToText(v.toDouble());
    if (v.typeId() == QMetaType::QDate || v.typeId() == QMetaType::QDateTime)
        return VoDisplayText(v);
    return VoVariantToText(v);
}

double TVoField::AsDate() const {
    return VariantToDays(Value());
}

bool TVoField::AsBoolean() const {
    const QVariant v = Value();
    return !v.isNull() && v.toInt() != 0;
}

QVariant TVoField::DisplayValue(const QVariant &value) const {
    if (m_displayScale <= 0 || value.isNull())
        return value;
    double divisor = 1.0;
    for (int i = 0; i < m_displayScale; ++i)
        divisor *= 10.0;
    return double(value.toLongLong()) / divisor;
}

QString TVoField::DisplayText() const {
    return VoDisplayText(DisplayValue(Value()), m_displayFormat);
}

void TVoField::SetValue(const QVariant &value) {
    m_owner->WriteCell(this, value);
}

void TVoField::SetAsString(const QString &value) {
    if (value.trimmed().isEmpty() && m_type != QMetaType::QString && m_type != QMetaType::QByteArray) {
        SetValue(QVariant());
        return;
    }
    if (m_type == QMetaType::QDate || m_type == QMetaType::QDateTime) {
        const double days = ParseDays(value);
        if (VoIsNoDate(days))
            throw EVoError(QStringLiteral("Valore non valido per il campo \"%1\".").arg(m_name));
        SetAsDate(days);
        return;
    }
    SetValue(value);
}

void TVoField::SetAsDate(double days) {
    if (VoIsNoDate(days)) {
        SetValue(QVariant());
        return;
    }
    if (m_type == QMetaType::QDateTime)
        SetValue(DaysToDateTime(days));
    else if (m_type == QMetaType::QDate)
        SetValue(DaysToDate(days));
    else
        SetValue(days);
}

// --- Fields -----------------------------------------------------------------------------------------

TVoField *TVoQueryCollection::FindField(const QString &name) const {
    // Grids and reports ask for every cell, mostly by the name as the select writes it: upper-case.
    auto it = m_fieldIndex.constFind(name);
    if (it == m_fieldIndex.constEnd())
        it = m_fieldIndex.constFind(name.toUpper());
    return it == m_fieldIndex.constEnd() ? nullptr : m_fields[*it].get();
}

TVoField *TVoQueryCollection::FieldByName(const QString &name) const {
    if (TVoField *f = FindField(name))
        return f;
    throw EVoError(QStringLiteral("Campo \"%1\" non trovato.").arg(name));
}

QStringList TVoQueryCollection::FieldNames() const {
    QStringList out;
    for (const auto &f : m_fields)
        out << f->m_name;
    return out;
}

QVariant TVoQueryCollection::RowValue(int row, int field) const {
    if (row < 0 || row >= m_rows.size() || field < 0 || field >= m_rows[row].values.size())
        return QVariant();
    return m_rows[row].values[field];
}

QVariant TVoQueryCollection::CellValue(int field) const {
    const int row = ActiveRow();
    if (row < 0 || row >= m_rows.size())
        return TypedNull(m_fields[field]->m_type);
    return m_rows[row].values[field];
}

void TVoQueryCollection::WriteCell(TVoField *field, const QVariant &value) {
    const bool calculating = m_calcRow >= 0;
    if (!calculating && m_readRow >= 0)
        throw EVoError(QStringLiteral("Il campo \"%1\" non si scrive mentre si legge un'altra riga.")
                           .arg(field->m_name));
    if (calculating && !field->m_calculated)
        throw EVoError(QStringLiteral("Il campo \"%1\" non è calcolato.").arg(field->m_name));
    if (!calculating && field->m_calculated)
        throw EVoError(
            QStringLiteral("Il campo calcolato \"%1\" si scrive solo nel suo calcolo.").arg(field->m_name));
    if (!calculating && m_state != dsInsert && m_state != dsEdit)
        throw EVoError(QStringLiteral("Il dataset non è in inserimento o modifica."));
    const int row = ActiveRow();
    m_rows[row].values[field->m_index] = ToFieldType(value, field->m_type, field->m_name);
    if (calculating)
        return;
    if (!field->m_calculated)
        Calculate(row);
    RowChanged(row);
    DataChange(this, field);
}

void TVoQueryCollection::Calculate(int row) {
    if (!OnCalcFields.Assigned() || m_calcDefs.isEmpty())
        return;
    const int previous = m_calcRow;
    m_calcRow = row;
    try {
        OnCalcFields(this);
    } catch (...) {
        m_calcRow = previous;
        throw;
    }
    m_calcRow = previous;
}

int TVoQueryCollection::KeyIndex() const {
    const TVoField *f = FindField(KeyField());
    return f ? f->m_index : -1;
}

QVariant TVoQueryCollection::KeyValue() const {
    const int k = KeyIndex();
    if (k < 0 || m_cur < 0 || m_cur >= m_rows.size())
        return VoNull(QMetaType::Int);
    return m_rows[m_cur].values[k];
}

void TVoQueryCollection::BuildFields(const QSqlRecord &record) {
    m_fieldShape = TFieldShape();
    // Fields that keep their name keep their object, so display settings survive a reopening.
    std::vector<std::unique_ptr<TVoField>> old = std::move(m_fields);
    m_fields.clear();
    m_fieldIndex.clear();
    const auto take = [&](const QString &name, QMetaType::Type type, bool calculated) {
        for (auto &f : old)
            if (f && f->m_calculated == calculated && f->m_name.compare(name, Qt::CaseInsensitive) == 0) {
                std::unique_ptr<TVoField> kept = std::move(f);
                kept->m_name = name;
                kept->m_type = type;
                return kept;
            }
        return std::unique_ptr<TVoField>(new TVoField(this, name, type, calculated));
    };
    const auto add = [&](std::unique_ptr<TVoField> field) {
        field->m_index = int(m_fields.size());
        m_fieldIndex.insert(field->m_name.toUpper(), field->m_index);
        m_fields.push_back(std::move(field));
    };
    for (int i = 0; i < record.count(); ++i) {
        const QSqlField source = record.field(i);
        QString name = source.name();
        // Two columns of one name (t1.*, t2.*) stay apart as NAME and NAME_1.
        for (int n = 1; m_fieldIndex.contains(name.toUpper()); ++n)
            name = source.name() + QLatin1Char('_') + QString::number(n);
        auto field = take(name, QMetaType::Type(source.metaType().id()), false);
        field->m_origin = source.tableName().trimmed();
        field->m_required = source.requiredStatus() == QSqlField::Required;
        add(std::move(field));
    }
    m_dataFieldCount = int(m_fields.size());
    for (const auto &def : m_calcDefs)
        add(take(def.first, def.second, true));
}

TVoQueryCollection::TRow TVoQueryCollection::NewRow() {
    TRow row;
    row.id = m_nextRowId++;
    row.values.reserve(int(m_fields.size()));
    for (const auto &f : m_fields)
        row.values.append(TypedNull(f->m_type));
    return row;
}
