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
    return m_connection ? m_connection.data() : qqoVoGlobConn;
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
