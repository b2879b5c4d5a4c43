// The values with which the sibling programs are started.
#include "VoConnection.h"
#include "kvaUStart.h"

#include <gtest/gtest.h>

namespace {
// The login of a program as its start-up leaves it; a connection object lives no longer than its test.
class kvaStartTest : public ::testing::Test {
protected:
    kvaStartTest() {
        c.C = QStringLiteral("SC01");
        c.U = QStringLiteral("segreteria");
        c.P = QStringLiteral("pa ss\"%_U%");
        c.F = 960;
        c.SetParam(QStringLiteral("Database"), QStringLiteral("server:/dati/velisto.fdb"));
        c.SetParam(QStringLiteral("User_Name"), QStringLiteral("SYSDBA"));
        c.SetParam(QStringLiteral("Password"), QStringLiteral("%_C%"));
    }
    const TVoSQLConnection &Login() const { return c; }

private:
    TVoSQLConnection c{nullptr, QStringLiteral("login")};
};
} // namespace

TEST_F(kvaStartTest, KvbGetsTheSevenValuesInOrder) {
    const QStringList args = BuildKvbArguments(QString::fromLatin1(kvaKvbTemplate), Login());
    EXPECT_EQ(args, (QStringList{QStringLiteral("SC01"), QStringLiteral("segreteria"),
                                 QStringLiteral("pa ss\"%_U%"), QStringLiteral("960"),
                                 QStringLiteral("server:/dati/velisto.fdb"), QStringLiteral("SYSDBA"),
                                 QStringLiteral("%_C%")}));
    // Values that hold placeholder texts are passed as they are: the template is filled in one pass.
    EXPECT_EQ(BuildKvbCommandLine(QString::fromLatin1(kvaKvbTemplate), Login()),
              QStringLiteral("\"SC01\" \"segreteria\" \"pa ss\"%_U%\" \"960\" \"server:/dati/velisto.fdb\" "
                             "\"SYSDBA\" \"%_C%\""));
}

TEST_F(kvaStartTest, PlaceholderCaseRules) {
    EXPECT_EQ(FillConnectionPlaceholders(QStringLiteral("%_c%|%_u%|%_f%|%_p%|%_rdbms_db%"), Login()),
              QStringLiteral("SC01|segreteria|960|%_p%|%_rdbms_db%"));
    EXPECT_EQ(KviArguments(Login()), (QStringList{QStringLiteral("SC01"), QStringLiteral("segreteria"),
                                                  QStringLiteral("pa ss\"%_U%")}));
}

TEST_F(kvaStartTest, ThirtyMenuPictures) {
    const auto icons = kvaMenuImages();
    ASSERT_EQ(icons.size(), 30);
    for (const QIcon &icon : icons)
        EXPECT_FALSE(icon.isNull());
}
