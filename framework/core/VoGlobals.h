#pragma once
// Process-wide named values that the framework and the programs share (the chosen parameters,
// the default parameter manager, ...). Names are compared ignoring case.
#include <QHash>
#include <QString>
#include <QVariant>

class TVoGlobalVarManager {
public:
    // The value of a name; an invalid (unset) variant when the name was never added.
    QVariant GetValues(const QString &name) const;
    // Adds the name or replaces its value.
    void Add(const QString &name, const QVariant &value);
    bool Exists(const QString &name) const;
    void Remove(const QString &name);
    void Clear() { m_values.clear(); }

private:
    QHash<QString, QVariant> m_values;
};

extern TVoGlobalVarManager xgvmGlobalVar;

// A variant read as an integer, with a default when it is NULL, empty or not a number.
int VoVarToInt(const QVariant &value, int defaultValue = -1);
