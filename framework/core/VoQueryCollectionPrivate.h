#pragma once
// What the parts of the query collection share; not for the programs.
#include "VoQueryCollection.h"

#include <QString>
#include <QVariant>

namespace VoQc {

inline const QString kGenId = QStringLiteral("VOGENID");
inline const QString kCurrId = QStringLiteral("VOCURRID");

QVariant TypedNull(QMetaType::Type type);
// A value in the type of a field; what cannot be converted is refused with the field's name.
QVariant ToFieldType(const QVariant &value, QMetaType::Type type, const QString &fieldName);
bool SameValue(const QVariant &have, const QVariant &want, TVoLocateOptions options);
QString Quoted(const QString &identifier);

} // namespace VoQc
