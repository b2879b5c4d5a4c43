#pragma once
// Splits a database script into statements: ";" ends a statement, "SET TERM x ;" changes the
// terminator (procedure bodies hold semicolons), and comments are dropped.
#include <QString>
#include <QStringList>

QStringList SplitSqlScript(const QString &script);
