// A detail collection following its master on a real database: the rows of the master's current
// row, none for an empty master or a row being inserted, and the master's key given to a new row.
#include "VoMasterDetail.h"
#include "VoExceptions.h"
#include "VoQuery.h"
#include "VoQueryCollection.h"
#include "VoTestDb.h"

#include <gtest/gtest.h>

namespace {

class VoMasterDetailTest : public VoDbTest {
protected:
    void SetUp() override {
        VoDbTest::SetUp();
        VoExecSQL(QStringLiteral(
            "CREATE TABLE TMD_HEAD (IHEADID INTEGER NOT NULL PRIMARY KEY, SDESC VARCHAR(20))"));
        VoExecSQL(
            QStringLiteral("CREATE TABLE TMD_LINE (ILINEID INTEGER NOT NULL PRIMARY KEY, IHEADID INTEGER NOT "
                           "NULL, SNOTE VARCHAR(20))"));
        for (int head : {1, 2})
            VoExecSQL(QStringLiteral("INSERT INTO TMD_HEAD (IHEADID, SDESC) VALUES (:h, 'Testata')"),
                      {{QStringLiteral("h"), head}});
        VoExecSQL(QStringLiteral("INSERT INTO TMD_LINE (ILINEID, IHEADID, SNOTE) VALUES (10, 1, 'a')"));
        VoExecSQL(QStringLiteral("INSERT INTO TMD_LINE (ILINEID, IHEADID, SNOTE) VALUES (11, 1, 'b')"));
        VoExecSQL(QStringLiteral("INSERT INTO TMD_LINE (ILINEID, IHEADID, SNOTE) VALUES (20, 2, 'c')"));
        master.SetConfirmations(cfNone);
        detail.SetConfirmations(cfNone);
        detail.SetCommandText(QStringLiteral(
            "SELECT ILINEID, IHEADID, SNOTE FROM TMD_LINE WHERE IHEADID = :iHeadId ORDER BY 1"));
        detail.SQLInsert.Add(QStringLiteral(
            "INSERT INTO TMD_LINE (ILINEID, IHEADID, SNOTE) VALUES (:VOGENID, :IHEADID, :SNOTE)"));
    }
    void OpenMaster(const QString &where) {
        master.SetCommandText(
            QStringLiteral("SELECT IHEADID, SDESC FROM TMD_HEAD WHERE %1 ORDER BY 1").arg(where));
        master.Open();
    }
    QString Notes() {
        QStringList notes;
        for (detail.First(); !detail.Eof(); detail.Next())
            notes << detail.FieldByName(QStringLiteral("SNOTE"))->AsString();
        return notes.join(QLatin1Char(','));
    }

    TVoQueryCollection master;
    TVoQueryCollection detail;
    TVoMasterDetail link{&master, &detail, QStringLiteral("IHEADID")};
};

} // namespace

TEST_F(VoMasterDetailTest, TheDetailFollowsTheMastersRowAndIsEmptyWithoutOne) {
    OpenMaster(QStringLiteral("1=1"));
    ASSERT_TRUE(detail.Active());
    EXPECT_EQ(Notes(), QStringLiteral("a,b"));
    master.Next();
    EXPECT_EQ(Notes(), QStringLiteral("c"));
    // A change of one field of the master leaves the detail where it stands.
    master.Edit();
    detail.Last();
    master.FieldByName(QStringLiteral("SDESC"))->SetAsString(QStringLiteral("Altra"));
    EXPECT_EQ(detail.RecNo(), 1);
    master.Cancel();

    master.Insert();
    EXPECT_TRUE(detail.Active() && detail.IsEmpty()) << "a row being inserted has no rows yet";
    EXPECT_TRUE(detail.Params()[0].IsNull());
    master.Cancel();
    EXPECT_EQ(Notes(), QStringLiteral("c"));

    master.Close();
    OpenMaster(QStringLiteral("1=0"));
    EXPECT_TRUE(detail.Active() && detail.IsEmpty());
    EXPECT_TRUE(detail.Params()[0].IsNull());
    EXPECT_EQ(detail.Params()[0].DataType(), QMetaType::Int);
}

TEST_F(VoMasterDetailTest, ANewDetailRowTakesTheMastersKey) {
    OpenMaster(QStringLiteral("1=1"));
    master.Last();
    detail.Insert();
    detail.FieldByName(QStringLiteral("SNOTE"))->SetAsString(QStringLiteral("d"));
    ASSERT_TRUE(detail.Post());
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT * FROM TMD_LINE WHERE IHEADID = 2 AND SNOTE = 'd'")), 1);
    master.First();
    EXPECT_EQ(Notes(), QStringLiteral("a,b"));
}

// What is typed into the detail is never dropped by a move of the master: it is saved first, and a
// row that cannot be saved keeps the master where it is.
TEST_F(VoMasterDetailTest, ADetailRowBeingTypedIsSavedBeforeTheMasterMoves) {
    OpenMaster(QStringLiteral("1=1"));
    detail.Append();
    detail.FieldByName(QStringLiteral("SNOTE"))->SetValue(QStringLiteral("d"));
    master.Next();
    EXPECT_EQ(VoSelectValue(QStringLiteral("SELECT IHEADID FROM TMD_LINE WHERE SNOTE = 'd'")).toInt(), 1);
    EXPECT_EQ(Notes(), QStringLiteral("c"));

    detail.BeforePost.Add([](TVoQueryCollection *) { throw EVoError(QStringLiteral("Nota non valida.")); });
    detail.First();
    detail.Edit();
    detail.FieldByName(QStringLiteral("SNOTE"))->SetValue(QStringLiteral("e"));
    EXPECT_THROW(master.First(), EVoAbort);
    EXPECT_EQ(detail.LastError(), QStringLiteral("Nota non valida."));
    EXPECT_EQ(master.RecNo(), 2);
    EXPECT_EQ(detail.State(), dsEdit);
    EXPECT_EQ(detail.FieldByName(QStringLiteral("SNOTE"))->AsString(), QStringLiteral("e"));
}
