// What the query collection does on its rows alone: the row filter over every row of the select,
// reading another row without moving, and collections whose rows live in memory.
#include "VoExceptions.h"
#include "VoQuery.h"
#include "VoQueryCollection.h"
#include "VoTestDb.h"

#include <gtest/gtest.h>

namespace {

class VoQueryCollectionClientTest : public VoDbTest {
protected:
    void SetUp() override {
        VoDbTest::SetUp();
        VoExecSQL(
            QStringLiteral("CREATE TABLE TQC_ROW (IROWID INTEGER NOT NULL PRIMARY KEY, SDESC VARCHAR(20))"));
        for (int id = 1; id <= 30; ++id)
            AddRow(id);
        qc.SetCommandText(QStringLiteral("SELECT IROWID, SDESC FROM TQC_ROW ORDER BY IROWID"));
        qc.SetPacketRecords(4);
        qc.SetConfirmations(cfNone);
        qc.AfterScroll.Add([this](TVoQueryCollection *) { scrolled << Id(); });
    }
    static void AddRow(int id) {
        VoExecSQL(QStringLiteral("INSERT INTO TQC_ROW (IROWID, SDESC) VALUES (:id, :d)"),
                  {{QStringLiteral("id"), id}, {QStringLiteral("d"), QStringLiteral("Riga %1").arg(id)}});
    }
    int Id() const { return qc.FieldByName(QStringLiteral("IROWID"))->AsInteger(); }
    // The ids met walking the rows shown from the first.
    QList<int> Walk() {
        QList<int> ids;
        for (qc.First(); !qc.Eof(); qc.Next())
            ids << Id();
        return ids;
    }
    static bool MultipleOf(const TVoQueryCollection *c, int n) {
        return c->FieldByName(QStringLiteral("IROWID"))->AsInteger() % n == 0;
    }

    TVoQueryCollection qc;
    QList<int> scrolled;
};

} // namespace

TEST_F(VoQueryCollectionClientTest, AFilterShowsOnlyItsRowsInTheSelectsOrderAndReadsThemAll) {
    qc.SetRowFilter([](const TVoQueryCollection *c) { return MultipleOf(c, 7); });
    qc.Open();
    // All the rows were read, though the packets are of four.
    EXPECT_FALSE(qc.CanFetchMore());
    EXPECT_EQ(qc.RecordCount(), 4);
    EXPECT_EQ(scrolled, QList<int>{7});
    scrolled.clear();
    EXPECT_EQ(Walk(), (QList<int>{7, 14, 21, 28}));
    EXPECT_EQ(scrolled, (QList<int>{7, 14, 21, 28}));
    EXPECT_FALSE(qc.Locate(QStringLiteral("IROWID"), 8));

    // A refresh reads the select again and applies the filter to what it finds.
    AddRow(35);
    qc.Refresh();
    EXPECT_EQ(Walk(), (QList<int>{7, 14, 21, 28, 35}));
}

TEST_F(VoQueryCollectionClientTest, SetOnAnOpenCollectionItKeepsTheRowAndClearedItShowsEveryRowWhereItWas) {
    qc.Open();
    qc.SetRecNo(10);
    ASSERT_TRUE(qc.SetRowFilter([](const TVoQueryCollection *c) { return MultipleOf(c, 5); }));
    EXPECT_EQ(Id(), 10);
    EXPECT_EQ(qc.RecNo(), 2);
    // A row added meanwhile stays after the row it was added after; a row deleted stays gone.
    qc.Append();
    qc.FieldByName(QStringLiteral("IROWID"))->SetAsInteger(99);
    ASSERT_TRUE(qc.Post());
    qc.Locate(QStringLiteral("IROWID"), 15);
    qc.Delete();
    EXPECT_EQ(Walk(), (QList<int>{5, 10, 20, 25, 30, 99}));

    ASSERT_TRUE(qc.SetRowFilter([](const TVoQueryCollection *c) { return MultipleOf(c, 10); }));
    EXPECT_EQ(Walk(), (QList<int>{10, 20, 30}));
    qc.Locate(QStringLiteral("IROWID"), 20);
    ASSERT_TRUE(qc.ClearRowFilter());
    EXPECT_EQ(Id(), 20);
    QList<int> all;
    for (int id = 1; id <= 30; ++id)
        if (id != 15)
            all << id;
    all << 99;
    EXPECT_EQ(Walk(), all);
}

TEST_F(VoQueryCollectionClientTest, APredicateThatFailsLeavesEveryRowShown) {
    qc.Open();
    EXPECT_THROW(qc.SetRowFilter([](const TVoQueryCollection *c) -> bool {
        if (c->FieldByName(QStringLiteral("IROWID"))->AsInteger() == 3)
            throw EVoError(QStringLiteral("no"));
        return true;
    }),
                 EVoError);
    EXPECT_FALSE(qc.RowFiltered());
    EXPECT_EQ(qc.RecordCount(), 30);
}

TEST_F(VoQueryCollectionClientTest, AnotherRowIsReadWithoutMovingOrEventsAndCannotBeWritten) {
    qc.Open();
    qc.Edit();
    qc.Cancel();
    scrolled.clear();
    QString read;
    ASSERT_TRUE(qc.ReadRow(9, [&] {
        read = qc.FieldByName(QStringLiteral("SDESC"))->AsString();
        EXPECT_THROW(qc.FieldByName(QStringLiteral("SDESC"))->SetAsString(QStringLiteral("x")), EVoError);
    }));
    EXPECT_EQ(read, QStringLiteral("Riga 10"));
    EXPECT_EQ(Id(), 1);
    EXPECT_TRUE(scrolled.isEmpty());
    EXPECT_FALSE(qc.ReadRow(30, [] {}));
}

TEST_F(VoQueryCollectionClientTest, ACollectionInMemoryOpensEmptyTakesRowsFromCodeAndEmpties) {
    TVoQueryCollection memory;
    memory.AddFieldDef(QStringLiteral("Codice"), QMetaType::QString);
    memory.AddFieldDef(QStringLiteral("Giacenza"), QMetaType::Double);
    ASSERT_TRUE(memory.InMemory());
    memory.CreateDataSet();
    ASSERT_TRUE(memory.Active());
    EXPECT_TRUE(memory.IsEmpty());
    for (const auto &[code, stock] : {std::pair{"A1", 2.5}, std::pair{"B2", 4.0}}) {
        memory.Append();
        memory.FieldByName(QStringLiteral("codice"))->SetAsString(QString::fromLatin1(code));
        memory.FieldByName(QStringLiteral("GIACENZA"))->SetAsFloat(stock);
        ASSERT_TRUE(memory.Post());
    }
    EXPECT_EQ(memory.RecordCount(), 2);
    memory.First();
    EXPECT_EQ(memory.FieldByName(QStringLiteral("Giacenza"))->AsFloat(), 2.5);
    memory.SetRowFilter([](const TVoQueryCollection *c) {
        return c->FieldByName(QStringLiteral("Giacenza"))->AsFloat() > 3;
    });
    EXPECT_EQ(memory.FieldByName(QStringLiteral("Codice"))->AsString(), QStringLiteral("B2"));
    memory.ClearRowFilter();
    memory.EmptyDataSet();
    EXPECT_TRUE(memory.IsEmpty());
    EXPECT_TRUE(memory.Active());
    memory.Append();
    memory.FieldByName(QStringLiteral("Codice"))->SetAsString(QStringLiteral("C3"));
    memory.Post();
    memory.Close();
    memory.Open();
    EXPECT_TRUE(memory.IsEmpty());
}
