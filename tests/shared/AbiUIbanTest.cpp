// The bank and branch an IBAN names, found or added on a real database, and the recalculation of
// every stored IBAN with its log.
#include "AbiUIban.h"
#include "AbiUUtil.h"
#include "VoAttivazioni.h"
#include "VoQuery.h"
#include "VoTestDb.h"
#include "VoTestRegistries.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kNewBank = QStringLiteral(
    "E' stata aggiunta una nuova Banca con l'ABI: 06230.\r\nControllare i dati della Banca nella sezzione "
    "\"BANCHE\".\r\n");
const QString kNewBranch = QStringLiteral(
    "E' stato aggiunto un nuova Sportello con il CAB: 03202, per la banca ABI: 06230.\r\nControllare i dati "
    "dello Sportello nella sezzione \"BANCHE\".");
const QString kIban = QStringLiteral("IT12D0623003202000000012345");

int Count(const QString &sql) {
    return VoCountRows(sql);
}

class AbiUIbanTest : public VoDbTest {};

} // namespace

TEST_F(AbiUIbanTest, DecodeFindsOrAddsBankAndBranch) {
    const struct {
        const char *name;
        // What is on file before: a live bank of the ABI, its branch, a deleted bank of the ABI.
        bool bank, branch, deletedBank;
        QString message;
    } cases[] = {
        {"new bank and branch", false, false, false,
         QStringLiteral("Attenzione!!!\r\n") + kNewBank + kNewBranch},
        {"new branch", true, false, false, QStringLiteral("Attenzione!!!\r\n") + kNewBranch},
        {"both on file", true, true, false, QString()},
        {"deleted bank not revived", false, false, true,
         QStringLiteral("Attenzione!!!\r\n") + kNewBank + kNewBranch},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        VoExecSQL(QStringLiteral("DELETE FROM TSPR_SPORTELLICAB WHERE SSPRCAB = '03202'"));
        VoExecSQL(QStringLiteral("DELETE FROM TBAN_BANCHE WHERE SBANABI = '06230'"));
        messages->Clear();
        const int bank = c.bank ? VoTestBank(QStringLiteral("06230")) : 0;
        const int branch = c.branch ? VoTestBranch(bank, QStringLiteral("03202")) : 0;
        if (c.deletedBank)
            VoExecSQL(QStringLiteral("UPDATE TBAN_BANCHE SET DDELETE = CURRENT_TIMESTAMP WHERE IBANID = :id"),
                      {{QStringLiteral("id"), VoTestBank(QStringLiteral("06230"))}});
        int bankId = -1;
        int branchId = -1;
        ASSERT_TRUE(DecodeIBAN(kIban, bankId, branchId));
        EXPECT_EQ(messages->Texts(), c.message.isEmpty() ? QStringList() : QStringList{c.message});
        if (c.bank) {
            EXPECT_EQ(bankId, bank);
        }
        if (c.branch) {
            EXPECT_EQ(branchId, branch);
        }
        EXPECT_EQ(
            VoSelectValue(
                QStringLiteral("SELECT SBANDESCS FROM TBAN_BANCHE WHERE IBANID = :id AND DDELETE IS NULL"),
                {{QStringLiteral("id"), bankId}})
                .toString()
                .isEmpty(),
            false);
        EXPECT_EQ(VoSelectValue(QStringLiteral("SELECT IBANID FROM TSPR_SPORTELLICAB WHERE ISPRID = :id"),
                                {{QStringLiteral("id"), branchId}})
                      .toInt(),
                  bankId);
    }
    EXPECT_EQ(
        VoSelectValue(QStringLiteral("SELECT SBANDESCS FROM TBAN_BANCHE WHERE SBANABI = '06230' AND DDELETE "
                                     "IS NULL"))
            .toString(),
        QStringLiteral("BANCA ABI 06230"));
    EXPECT_EQ(VoSelectValue(QStringLiteral("SELECT SSPRDESCS FROM TSPR_SPORTELLICAB WHERE SSPRCAB = '03202'"))
                  .toString(),
              QStringLiteral("Agenzia 03202"));
    EXPECT_EQ(
        Count(QStringLiteral("SELECT * FROM TBAN_BANCHE WHERE SBANABI = '06230' AND DDELETE IS NOT NULL")),
        1);

    // An IBAN that is not correct adds nothing and leaves the ids.
    const int banks = Count(QStringLiteral("SELECT * FROM TBAN_BANCHE"));
    int bankId = -1;
    int branchId = -1;
    EXPECT_FALSE(DecodeIBAN(QStringLiteral("IT13D0623003202000000012345"), bankId, branchId));
    EXPECT_EQ(bankId, -1);
    EXPECT_EQ(Count(QStringLiteral("SELECT * FROM TBAN_BANCHE")), banks);
}

TEST_F(AbiUIbanTest, RecalcRewritesEveryIbanAndLogsWhoFailed) {
    QTemporaryDir home;
    qputenv("VELISTO_HOME", QFile::encodeName(home.path()));
    const int bank = VoTestBank(QStringLiteral("06230"));
    const int branch = VoTestBranch(bank, QStringLiteral("03202"));
    const int ben = VoTestBeneficiary(QStringLiteral("Ditta dei conti"));
    const int shortAccount = VoTestBankData(ben, 3, branch, QStringLiteral("12345"));
    const int longAccount = VoTestBankData(ben, 3, branch, QStringLiteral("1234567890123"));
    const int secondLong = VoTestBankData(ben, 3, branch, QStringLiteral("12/34"));
    const int noAccount = VoTestBankData(ben, 3, branch, QString());
    const int noBranch = VoTestBankData(ben, 3, 0, QStringLiteral("999"));

    TVoAttShell shell;
    QString opened;
    shell.BeforeExecute = [&](TVoCustomAtt *, bool &allow) {
        opened = shell.FullPath();
        allow = false;
    };
    RecalcAllIBAN(&shell);

    const auto row = [](int id) {
        TVoQuery q(
            QStringLiteral("SELECT SSPRBENNUMCC, SSPRBENCIN, SSPRBENSTATO, SSPRBENCININT, SSPRBENIBAN FROM "
                           "TSPRBEN WHERE ISPRBENID = :id"));
        q.SetParam(QStringLiteral("id"), id).Open();
        QStringList values;
        for (int i = 0; i < q.FieldCount(); ++i)
            values << q.AsString(q.FieldName(i));
        return values;
    };
    EXPECT_EQ(row(shortAccount), (QStringList{QStringLiteral("000000012345"), QStringLiteral("D"),
                                              QStringLiteral("IT"), QStringLiteral("12"), kIban}));
    EXPECT_EQ(row(longAccount),
              (QStringList{QStringLiteral("1234567890123"), QString(), QString(), QString(), QString()}));
    EXPECT_EQ(row(secondLong).first(), QStringLiteral("12/34"));
    EXPECT_EQ(row(noAccount).last(), QString());
    EXPECT_EQ(row(noBranch),
              (QStringList{QStringLiteral("999"), QString(), QString(), QString(), QString()}));

    EXPECT_EQ(messages->Texts(),
              QStringList{QStringLiteral("Operazione terminata con errori!\r\nControllare i "
                                         "Beneficiari nell'elenco, perchè non è stato possibile "
                                         "calcolare l'IBAN.")});
    const QString log = QDir(home.path())
                            .filePath(QStringLiteral("var/log/abc/ErrorBenIBAN%1.txt")
                                          .arg(QDate::currentDate().toString(QStringLiteral("yyMMdd"))));
    EXPECT_EQ(QDir::cleanPath(opened), QDir::cleanPath(log));
    QFile file(log);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(file.readAll()), QStringLiteral("Ditta dei conti\n"));

    // Once the accounts are right, the run ends without errors.
    VoExecSQL(QStringLiteral("UPDATE TSPRBEN SET SSPRBENNUMCC = '7' WHERE IBENID = :ben"),
              {{QStringLiteral("ben"), ben}});
    messages->Clear();
    RecalcAllIBAN(&shell);
    EXPECT_EQ(messages->Texts(), QStringList{QStringLiteral("Operazione terminata!")});
    qunsetenv("VELISTO_HOME");
}
