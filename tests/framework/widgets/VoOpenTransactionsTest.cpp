// No transaction of the program stays open while the user reads: a window over a long list, its
// grid scrolled, a lookup whose drop-down was used, all standing open between two user actions.
#include "VoDBEdits.h"
#include "VoDBFrames.h"
#include "VoDBLookupEdit.h"
#include "VoQuery.h"
#include "VoTestDb.h"
#include "VoWidgetTest.h"

#include <QApplication>
#include <QFormLayout>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

// Transactions of this program's connection, the one asking left out.
int OpenTransactions() {
    return VoSelectValue(QStringLiteral("SELECT COUNT(*) FROM MON$TRANSACTIONS WHERE MON$ATTACHMENT_ID = "
                                        "CURRENT_CONNECTION AND MON$TRANSACTION_ID <> CURRENT_TRANSACTION"))
        .toInt();
}

using VoOpenTransactionsTest = VoDbTest;

} // namespace

TEST_F(VoOpenTransactionsTest, NoneStaysOpenWhileAWindowOverALongListStands) {
    VoExecSQL(QStringLiteral("CREATE TABLE TOT_ROWS (IROWID INTEGER NOT NULL PRIMARY KEY, SDESC VARCHAR(60), "
                             "IREFID INTEGER)"));
    VoExecRaw(QStringLiteral("EXECUTE BLOCK AS DECLARE I INTEGER = 1; BEGIN WHILE (I <= 10000) DO BEGIN "
                             "INSERT INTO TOT_ROWS VALUES (:I, 'Riga ' || :I, MOD(:I, 100) + 1); I = I + 1; "
                             "END END"));
    TVoQueryCollection qc;
    qc.SetCommandText(QStringLiteral("SELECT IROWID, SDESC, IREFID FROM TOT_ROWS ORDER BY IROWID"));
    qc.SetPacketRecords(25);
    QWidget window;
    auto *frame = new TfrVoDBRWGrid;
    frame->grFrame->AddColumn(QStringLiteral("SDESC"), QStringLiteral("Descrizione"), 300);
    auto *form = new QFormLayout(frame->tsDetail);
    auto *description = new TVoDBEdit;
    description->Bind(frame->xdsMain, QStringLiteral("SDESC"));
    form->addRow(QStringLiteral("Descrizione"), description);
    auto *reference = new TVoDBLookupEdit;
    reference->SetListSQL(
        QStringLiteral("SELECT IROWID, SDESC FROM TOT_ROWS WHERE ##WHERE## ORDER BY IROWID"));
    reference->SetKeyField(QStringLiteral("IROWID"));
    reference->SetListField(QStringLiteral("SDESC"));
    reference->Bind(frame->xdsMain, QStringLiteral("IREFID"));
    form->addRow(QStringLiteral("Riferimento"), reference);
    (new QVBoxLayout(&window))->addWidget(frame);
    frame->SetDataSet(&qc);
    window.resize(800, 600);
    qc.Open();
    ASSERT_TRUE(VoShowActive(&window));
    EXPECT_LT(qc.FetchedCount(), 10000);
    EXPECT_EQ(OpenTransactions(), 0) << "the list's first screen";

    frame->grFrame->scrollToBottom();
    QApplication::processEvents();
    qc.SetRecNo(5000);
    EXPECT_TRUE(qc.CanFetchMore());
    EXPECT_EQ(OpenTransactions(), 0) << "scrolled half-way";

    frame->ShowDetail();
    reference->setFocus();
    reference->ShowDropDown();
    QApplication::processEvents();
    VoPress(Qt::Key_Down);
    VoPress(Qt::Key_Return);
    EXPECT_EQ(OpenTransactions(), 0) << "a choice made from the lookup's list";
    EXPECT_EQ(qc.State(), dsEdit);
}
