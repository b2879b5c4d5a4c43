#include "VoGlobals.h"

TVoGlobalVarManager xgvmGlobalVar;

QVariant TVoGlobalVarManager::GetValues(const QString &name) const {
    return m_values.value(name.toUpper());
}

void TVoGlobalVarManager::Add(const QString &name, const QVariant &value) {
    m_values.insert(name.toUpper(), value);
}

bool TVoGlobalVarManager::Exists(const QString &name) const {
    return m_values.contains(name.toUpper());
}

void TVoGlobalVarManager::Remove(const QString &name) {
    m_values.remove(name.toUpper());
}

int VoVarToInt(const QVariant &value, int defaultValue) {
    if (!value.isValid() || value.isNull())
        return defaultValue;
    bool ok = false;
    const int v = value.toString().trimmed().toInt(&ok);
    return ok ? v : defaultValue;
}
