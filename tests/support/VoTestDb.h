#pragma once
// Test databases: a database is made from db/ once and copied for each test, so every test starts
// from the same rows and none sees another's. Under CTest a set-up step makes the templates in the
// folder named by VO_TEST_TEMPLATES; a binary run by hand makes its own.
#include "VoConnection.h"
#include "VoMessages.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

class TVoTestDb {
public:
    // The folder of this binary's test files.
    static QString Folder();
    // The database made from the scripts (with the demo data or without): the prepared one when
    // there is one, else made once per process.
    static QString Template(bool demoData = true);
    // The file name of a template, the same in the prepared folder and in the process's own.
    static QString TemplateFileName(bool demoData);
    // A copy of a template under a new name; returns its path.
    static QString FreshCopy(const QString &name, bool demoData = true);
};

// A test with its own database, opened as the global connection, and scripted messages.
class VoDbTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Whether the test starts from the demo data (override to start from an empty schema).
    virtual bool WithDemoData() const { return true; }

    QString dbPath;
    std::unique_ptr<TVoSQLConnection> conn;
    std::unique_ptr<TVoScriptedMessages> scripted;
    TVoScriptedResponder *messages = nullptr; // answers and records the messages of the test
};

// Runs a statement as it is, without the framework's parameters: PSQL blocks refer to their
// variables as ":name".
void VoExecRaw(const QString &sql);

// Counts the rows of a statement's result.
int VoCountRows(const QString &sql, const QVariantHash &params = {});
// The values of a statement's result, each as text, row after row.
QStringList VoRowTexts(const QString &sql, const QVariantHash &params = {});

// Readable texts in the failures of the tests.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString &s, std::ostream *os) {
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE
