// Grids over query collections: display formats in the Italian convention, columns by field, and a
// model that follows the collection and reads packets only as the view needs them.
#include "VoTableModel.h"
#include "VoDBGrid.h"
#include "VoDataSource.h"
#include "VoDisplayFormat.h"
#include "VoQuery.h"
#include "VoQueryCollection.h"
#include "VoTestDb.h"

#include <QAbstractItemModelTester>
#include <QCoreApplication>
#include <QSignalSpy>
#include <QTableView>
#include <gtest/gtest.h>

TEST(VoDisplayFormat, NumbersFollowTheProgramsFormats) {
    struct Case {
        const char *format;
        double value;
        const char *text;
    };
    // Halves of a cent round up even where their double lies a hair below (1,005; 3 x 1,115).
    const Case cases[] = {
        {"0000000", 42, "0000042"},       {"0000000", 12345678, "12345678"},
        {"#,##0.00", 1234.5, "1.234,50"}, {"#,##0.00", -1234567.891, "-1.234.567,89"},
        {"#,##0.00", 0, "0,00"},          {"#,##0.00", 0.125, "0,13"},
        {"#,##0.00", -0.001, "0,00"},     {"#,###.00", 0.5, ",50"},
        {"#,###.00", 1234.5, "1.234,50"}, {"#0.00", 1234.5, "1234,50"},
        {"#,##0.##", 2.5, "2,5"},         {"#,##0", 999999.6, "1.000.000"},
        {"€ #,##0.00", 3, "€ 3,00"},      {"#,##0.00;(#,##0.00)", -2, "(2,00)"},
        {"#,##0.00;;zero", 0, "zero"},    {"#,##0.00", 1.005, "1,01"},
        {"#,##0.00", -2.675, "-2,68"},    {"#,##0.00", 3 * 1.115, "3,35"},
        {"#,##0.00", 1.00499999, "1,00"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(VoFormatFloat(QString::fromUtf8(c.format), c.value), QString::fromUtf8(c.text))
            << c.format << " " << c.value;
    EXPECT_EQ(VoFloatToText(2.5), QStringLiteral("2,5"));
    EXPECT_EQ(VoFloatToText(1e6), QStringLiteral("1000000"));
    double v = 0;
    EXPECT_TRUE(VoTextToFloat(QStringLiteral("1.234,5"), &v));
    EXPECT_EQ(v, 1234.5);
    EXPECT_TRUE(VoTextToFloat(QStringLiteral("1.234"), &v));
    EXPECT_EQ(v, 1234.0);
    EXPECT_TRUE(VoTextToFloat(QStringLiteral("-0,75"), &v));
    EXPECT_EQ(v, -0.75);
    EXPECT_FALSE(VoTextToFloat(QStringLiteral("1,2,3"), &v));
    EXPECT_FALSE(VoTextToFloat(QStringLiteral(""), &v));
    EXPECT_EQ(VoDisplayText(QDate(2024, 3, 5)), QStringLiteral("05/03/2024"));
    EXPECT_EQ(VoDisplayText(QDateTime(QDate(2024, 3, 5), QTime(0, 0))), QStringLiteral("05/03/2024"));
    EXPECT_EQ(VoDisplayText(QDateTime(QDate(2024, 3, 5), QTime(9, 7, 3))),
              QStringLiteral("05/03/2024 09:07:03"));
    EXPECT_EQ(VoDisplayText(QVariant(QMetaType(QMetaType::Double)), QStringLiteral("#,##0.00")), QString());
}

namespace {

class VoTableModelTest : public VoDbTest {
protected:
    void SetUp() override {
        VoDbTest::SetUp();
        VoExecSQL(
            QStringLiteral("CREATE TABLE TQM_ROWS (IROWID INTEGER NOT NULL PRIMARY KEY, SDESC VARCHAR(40), "
                           "FIMPORTO DOUBLE PRECISION, INUMERO INTEGER, DDATA DATE)"));
        VoExecSQL(QStringLiteral("INSERT INTO TQM_ROWS VALUES (0, 'Zero', 0.5, 0, NULL)"));
        VoExecRaw(QStringLiteral("EXECUTE BLOCK AS DECLARE I INTEGER = 1; BEGIN WHILE (I <= 60) DO BEGIN "
                                 "INSERT INTO TQM_ROWS VALUES (:I, 'Riga ' || :I, :I * 1000.5, :I, "
                                 "DATEADD(:I DAY TO DATE '2024-01-01')); I = I + 1; END END"));
        qc.SetCommandText(
            QStringLiteral("SELECT IROWID, SDESC, FIMPORTO, INUMERO, DDATA FROM TQM_ROWS ORDER BY IROWID"));
        qc.SetConfirmations(cfNone);
    }
    void EditRowsUnderTheTester() {
        qc.Insert();
        EXPECT_EQ(model.rowCount(), 62);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        qc.FieldByName(QStringLiteral("SDESC"))->SetValue(QStringLiteral("Nuova riga"));
        EXPECT_EQ(changed.count(), 1);
        EXPECT_EQ(changed[0][0].toModelIndex().row(), 54);
        EXPECT_EQ(Text(54, 1), QStringLiteral("Nuova riga"));
        qc.Cancel();
        EXPECT_EQ(model.rowCount(), 61);
        EXPECT_EQ(Text(54, 1), QStringLiteral("Riga 54"));

        qc.Insert();
        qc.FieldByName(QStringLiteral("SDESC"))->SetValue(QStringLiteral("Salvata"));
        EXPECT_TRUE(qc.Post());
        EXPECT_EQ(model.data(model.index(54, 0)).toInt(), 1001) << "the new key shows in the grid";
        EXPECT_TRUE(qc.Delete());
        EXPECT_EQ(model.rowCount(), 61);

        qc.Refresh();
        EXPECT_EQ(qc.FieldByName(QStringLiteral("IROWID"))->AsInteger(), 54);
    }
    QString Text(int row, int column) { return model.data(model.index(row, column)).toString(); }

    TVoQueryCollection qc;
    TVoTableModel model{&qc};
};

} // namespace

TEST_F(VoTableModelTest, ColumnsShowTheirFieldsInTheirDisplayFormats) {
    EXPECT_EQ(model.AddColumn(QStringLiteral("inumero"), QStringLiteral("Numero"), 100), 0);
    model.AddColumn(QStringLiteral("FIMPORTO"), QStringLiteral("Importo"), 120);
    model.AddColumn(QStringLiteral("DDATA"), QStringLiteral("Data"), 78);
    model.AddColumn(QStringLiteral("SDESC"));
    model.AddColumn(QStringLiteral("FIMPORTO"), QStringLiteral("Totale"), 0, QStringLiteral("#,###.00"));
    qc.AfterOpen.Add([](TVoQueryCollection *c) {
        c->FieldByName(QStringLiteral("INUMERO"))->SetDisplayFormat(QStringLiteral("0000000"));
        c->FieldByName(QStringLiteral("FIMPORTO"))->SetDisplayFormat(QStringLiteral("#,##0.00"));
    });
    qc.Open();
    ASSERT_EQ(model.rowCount(), 61);
    ASSERT_EQ(model.columnCount(), 5);
    EXPECT_EQ(Text(0, 0), QStringLiteral("0000000"));
    EXPECT_EQ(Text(0, 1), QStringLiteral("0,50"));
    EXPECT_EQ(Text(0, 2), QString());
    EXPECT_EQ(Text(0, 4), QStringLiteral(",50"));
    EXPECT_EQ(Text(3, 0), QStringLiteral("0000003"));
    EXPECT_EQ(Text(3, 1), QStringLiteral("3.001,50"));
    EXPECT_EQ(Text(3, 2), QStringLiteral("04/01/2024"));
    EXPECT_EQ(Text(3, 3), QStringLiteral("Riga 3"));
    EXPECT_EQ(model.data(model.index(3, 1), Qt::EditRole).toDouble(), 3001.5);
    EXPECT_EQ(model.data(model.index(3, 1), Qt::TextAlignmentRole).toInt(),
              int(Qt::AlignRight | Qt::AlignVCenter));
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Numero"));
    EXPECT_EQ(model.headerData(3, Qt::Horizontal).toString(), QStringLiteral("SDESC"));
    EXPECT_EQ(model.headerData(2, Qt::Horizontal, Qt::SizeHintRole).toSize().width(), 78);
    EXPECT_EQ(model.ColumnOfField(QStringLiteral("ddata")), 2);
    EXPECT_EQ(model.ColumnField(3), QStringLiteral("SDESC"));

    // A format changed while the grid shows the rows repaints that column.
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    qc.FieldByName(QStringLiteral("FIMPORTO"))->SetDisplayFormat(QStringLiteral("#0.0"));
    EXPECT_GE(changed.count(), 1);
    EXPECT_EQ(Text(3, 1), QStringLiteral("3001,5"));
    EXPECT_EQ(Text(3, 4), QStringLiteral("3.001,50"));
}

TEST_F(VoTableModelTest, FollowsTheCollectionAndReadsPacketsAsTheViewNeedsThem) {
    qc.SetPacketRecords(25);
    qc.SQLInsert.Add(QStringLiteral("INSERT INTO TQM_ROWS (IROWID, SDESC) VALUES (:VOGENID, :SDESC)"));
    qc.SQLDelete.Add(QStringLiteral("DELETE FROM TQM_ROWS WHERE IROWID = :VOCURRID"));
    qc.VoBeforeExec.Add([](TVoQueryCollection *, TVoQueryProp &prop, bool &) {
        if (prop.Kind == skInsert)
            prop.Values.Add(QStringLiteral("VOGENID"), 1001);
    });

    // A grid showing its first screen reads no more than the first packet.
    TVoTableModel screen(&qc);
    QTableView view;
    view.setModel(&screen);
    view.resize(500, 300);
    view.show();
    qc.Open();
    QCoreApplication::processEvents();
    EXPECT_EQ(screen.rowCount(), 25);
    EXPECT_EQ(qc.FetchedCount(), 25);
    ASSERT_EQ(screen.columnCount(), 5);
    EXPECT_TRUE(screen.canFetchMore(QModelIndex()));
    view.scrollToBottom();
    QCoreApplication::processEvents();
    EXPECT_EQ(screen.rowCount(), 50);

    // Moving the cursor past the rows read reads more, and the grid learns of them.
    qc.SetRecNo(55);
    EXPECT_EQ(screen.rowCount(), 61);
    EXPECT_EQ(model.rowCount(), 61);
    EXPECT_FALSE(model.canFetchMore(QModelIndex()));

    {
        // Every notification is checked against what the model then answers. (The tester itself
        // asks for more rows while a reset is still being announced, so packets stay out of here.)
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
        EditRowsUnderTheTester();
    }

    qc.SetPacketRecords(10);
    qc.Refresh();
    EXPECT_EQ(qc.FieldByName(QStringLiteral("IROWID"))->AsInteger(), 54);
    EXPECT_EQ(model.rowCount(), qc.FetchedCount());
    qc.Close();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.columnCount(), 5) << "the fields stay known while closed";
}

TEST_F(VoTableModelTest, AModelOutlivingItsCollectionIsEmpty) {
    auto *c = new TVoQueryCollection;
    c->SetCommandText(QStringLiteral("SELECT IROWID FROM TQM_ROWS"));
    TVoTableModel own(c);
    c->Open();
    EXPECT_EQ(own.rowCount(), 61);
    delete c;
    EXPECT_EQ(own.rowCount(), 0);
    EXPECT_EQ(own.columnCount(), 0);
}

TEST_F(VoTableModelTest, RowsReadAgainKeepTheGridOnTheColumnEntered) {
    TVoDataSource source;
    source.SetDataSet(&qc);
    TVoDBGrid grid;
    grid.SetDataSource(&source);
    grid.show();
    qc.Open();
    QList<int> entered;
    grid.OnColEnter.Add([&entered](TVoDBGrid *, int column) { entered << column; });
    grid.setCurrentIndex(grid.model()->index(3, 2));
    qc.Refresh();
    EXPECT_EQ(grid.CurrentColumn(), 2);
    EXPECT_EQ(entered, QList<int>{2}) << "a refresh enters no column";
}
