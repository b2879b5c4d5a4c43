#pragma once
// What the benchmark programs share: a database of their own with the demo data, in a temporary
// folder, and the mean time of a call.
#include "VoConnection.h"
#include "VoDbCreate.h"

#include <QElapsedTimer>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <functional>
#include <memory>

// Makes a new database named name in dir and opens it; on failure says why on out and returns none.
inline std::unique_ptr<TVoSQLConnection> VoBenchDatabase(const QTemporaryDir &dir, const QString &name,
                                                         QTextStream &out) {
    QStandardPaths::setTestModeEnabled(true);
    const QString path = dir.path() + QLatin1Char('/') + name + QStringLiteral(".fdb");
    QString error;
    if (!VoCreateDatabase(path, TVoDbCreateOptions{}, &error)) {
        out << "create failed: " << error << "\n";
        return nullptr;
    }
    auto conn = std::make_unique<TVoSQLConnection>(nullptr, QStringLiteral("bench"));
    conn->SetParam(QStringLiteral("Database"), path);
    if (!conn->Open(&error)) {
        out << "open failed: " << error << "\n";
        return nullptr;
    }
    return conn;
}

// Mean time of one call, in microseconds, over calls calls of fn(i).
inline double VoMeanMicros(int calls, const std::function<void(int)> &fn) {
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < calls; ++i)
        fn(i);
    return t.nsecsElapsed() / 1000.0 / calls;
}
