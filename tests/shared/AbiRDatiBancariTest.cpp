// The bank-data frame in a host window, driven as a user drives it: the post's rules with their
// messages and focus, the IBAN checked against the coordinates and rebuilt from them, the banks of
// a payment method, the IBAN dialog, and the question before closing.
#include "AbiRDatiBancari.h"
#include "AbiFInsertIBAN.h"
#include "AbiMBen.h"
#include "AbiUUtil.h"
#include "VoDBEdits.h"
#include "VoDBLookupEdit.h"
#include "VoQuery.h"
#include "VoSearchDialog.h"
#include "VoTestDb.h"
#include "VoTestRegistries.h"
#include "VoWidgetTest.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

const QString kQuestion = QStringLiteral("Coordinate IBAN non corrette.Correggerle?");
const QString kAccountRequired = QStringLiteral(
    "Per la modalità di pagamento selezionata è obbligatorio inserire il Numero di Conto Corrente.");

class AbiRDatiBancariTest : public VoDbTest {
protected:
    void SetUp() override {
        VoDbTest::SetUp();
        BenType = TBenType();
        BenType.DetailTab = 1;
        dm = std::make_unique<TdmBeneficiari>();
        dm->BindConnection(conn.get());
        ben = VoTestBeneficiary(QStringLiteral("Ditta dei pagamenti"));
        bank = VoTestBank(QStringLiteral("06230"), VoTestPlace(QStringLiteral("ROMA")));
        branch = VoTestBranch(bank, QStringLiteral("03202"));
        dm->xqcBeneficiari->Open();
        ASSERT_TRUE(dm->xqcBeneficiari->Locate(QStringLiteral("IBENID"), ben));
        host = std::make_unique<QWidget>();
        frame = new TfrDatiBancari(host.get());
        (new QVBoxLayout(host.get()))->addWidget(frame);
        frame->SetDataSet(dm->xqcDatiBancari);
        VoShowActive(host.get());
    }
    void TearDown() override {
        host.reset();
        dm.reset();
        VoDbTest::TearDown();
    }

    // A new row as the user fills it in; 0 leaves a choice out.
    void NewRow(int method, int bankId, int branchId, const QString &account, const QStringList &parts = {}) {
        ASSERT_TRUE(frame->xacInsert->Execute());
        if (method)
            frame->xdlModPag->SetKeyValue(method);
        if (bankId)
            frame->xdlABI->SetKeyValue(bankId);
        if (branchId)
            frame->xdlCAB->SetKeyValue(branchId);
        const QList<TVoDBEdit *> edits{frame->xdeNumCC, frame->xdeStato, frame->xdeCinInt, frame->xdCIN};
        const QStringList texts = QStringList{account} + parts;
        for (int i = 0; i < texts.size(); ++i) {
            edits[i]->setFocus();
            QTest::keyClicks(edits[i], texts[i]);
        }
    }
    // The stored account, CIN, country, check digits and IBAN of the beneficiary's rows.
    QStringList Stored() const {
        return VoRowTexts(QStringLiteral("SELECT SSPRBENNUMCC, SSPRBENCIN, SSPRBENSTATO, SSPRBENCININT, "
                                         "SSPRBENIBAN FROM TSPRBEN WHERE IBENID = :ben"),
                          {{QStringLiteral("ben"), ben}});
    }
    int SearchRows(TVoDBLookupEdit *lookup) {
        int rows = -1;
        VoWhenModalOpens<TVoSearchDialog>([&rows](TVoSearchDialog *form) {
            rows = form->RowCount();
            form->reject();
        });
        lookup->ShowSearchForm();
        return rows;
    }

    std::unique_ptr<TdmBeneficiari> dm;
    std::unique_ptr<QWidget> host;
    TfrDatiBancari *frame = nullptr;
    int ben = 0;
    int bank = 0;
    int branch = 0;
};

} // namespace

TEST_F(AbiRDatiBancariTest, TheIbanIsCheckedAgainstTheCoordinatesAndRebuilt) {
    const QStringList rebuilt{QStringLiteral("000000000007"), QStringLiteral("P"), QStringLiteral("IT"),
                              QStringLiteral("88"), QStringLiteral("IT88P0623003202000000000007")};
    const struct {
        const char *name;
        QStringList parts; // country, check digits, CIN as typed
        int answer;
        bool asked;
        QStringList stored; // empty: nothing saved, the row stays
    } cases[] = {
        {"parts missing, corrected", {}, mrYes, true, rebuilt},
        {"parts missing, kept", {}, mrNo, true, {}},
        {"parts wrong, corrected", {"IT", "99", "A"}, mrYes, true, rebuilt},
        {"parts wrong, kept without IBAN",
         {"IT", "99", "A"},
         mrNo,
         true,
         {"000000000007", "A", "IT", "99", QString()}},
        {"parts right", {"IT", "88", "P"}, mrNone, false, rebuilt},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        VoExecSQL(QStringLiteral("DELETE FROM TSPRBEN WHERE IBENID = :ben"), {{QStringLiteral("ben"), ben}});
        frame->xacRefresh->Execute();
        messages->Clear();
        NewRow(3, bank, branch, QStringLiteral("7"), c.parts);
        if (c.answer != mrNone)
            messages->Push(c.answer);
        frame->xacPost->Execute();
        EXPECT_EQ(messages->Texts(), c.asked ? QStringList{kQuestion} : QStringList());
        if (c.asked) {
            EXPECT_EQ(messages->Shown().first().type, mtWarning);
            EXPECT_EQ(messages->Shown().first().buttons, mbYesNo);
        }
        EXPECT_EQ(Stored(), c.stored);
        EXPECT_EQ(dm->xqcDatiBancari->State(), c.stored.isEmpty() ? dsInsert : dsBrowse);
        if (c.stored.isEmpty()) {
            // The account made of twelve characters and the IBAN of the coordinates as they stand.
            EXPECT_EQ(frame->xdeNumCC->text(), QStringLiteral("000000000007"));
            EXPECT_EQ(frame->xdeIban->text(), QStringLiteral("0623003202000000000007"));
            frame->xacCancel->Execute();
        }
    }
}

TEST_F(AbiRDatiBancariTest, EachRuleStopsThePostAtItsControl) {
    const struct {
        const char *name;
        int method;
        bool withBank, withBranch;
        QString account;
        bool foreign;
        QString message;
    } cases[] = {
        {"account without bank", 3, false, false, QStringLiteral("123"), false,
         QStringLiteral(
             "Attenzione!\r\nIl campo \"ABI\" è obbligatorio\r\nse è valorizzato il campo \"Numero conto "
             "corrente\"")},
        {"account needed", 3, true, true, QString(), false, kAccountRequired},
        {"account asked before the method", 0, false, false, QString(), false, kAccountRequired},
        {"branch needed", 1, true, false, QString(), false,
         QStringLiteral("Attenzione!\r\nIl campo \"CAB\" è obbligatorio\r\nse è valorizzato il campo ABI")},
        {"method needed", 0, true, true, QStringLiteral("123"), false,
         QStringLiteral("Attenzione!\r\nModalità di pagamento obbligatoria")},
        {"account with bank", 1, true, true, QString(), false,
         QStringLiteral(
             "Attenzione!\r\n\"Numero di conto corrente\" obbligatorio\r\nse è valorizzato il campo "
             "\"ABI\"")},
        {"account too long", 3, true, true, QStringLiteral("1234567890123"), false,
         QStringLiteral("Conto Corrente non può essere di 12 caratteri.")},
        {"foreign bank without BIC", 3, false, false, QString(), true,
         QStringLiteral("Per le banche estere è obbligatorio il codice BIC")},
    };
    QWidget *const focus[] = {frame->xdlABI,    frame->xdeNumCC, frame->xdeNumCC, frame->xdlCAB,
                              frame->xdlModPag, frame->xdeNumCC, frame->xdeNumCC, frame->xdeBic};
    for (int i = 0; i < int(std::size(cases)); ++i) {
        const auto &c = cases[i];
        SCOPED_TRACE(c.name);
        messages->Clear();
        NewRow(c.method, c.withBank ? bank : 0, c.withBranch ? branch : 0, c.account);
        if (c.foreign)
            frame->ckBancaEstera->click();
        frame->xacPost->Execute();
        EXPECT_EQ(messages->Texts(), QStringList{c.message});
        EXPECT_EQ(QApplication::focusWidget(), focus[i]);
        EXPECT_EQ(dm->xqcDatiBancari->State(), dsInsert);
        EXPECT_TRUE(Stored().isEmpty());
        frame->xacCancel->Execute();
    }

    // With its BIC the foreign bank needs no account.
    NewRow(3, 0, 0, QString());
    frame->ckBancaEstera->click();
    frame->xdeBic->setFocus();
    QTest::keyClicks(frame->xdeBic, QStringLiteral("DEUTDEFF"));
    messages->Clear();
    frame->xacPost->Execute();
    EXPECT_TRUE(messages->Texts().isEmpty()) << messages->LastText().toStdString();
    EXPECT_EQ(Stored().size(), 5);
}

TEST_F(AbiRDatiBancariTest, BanksOfThePaymentMethodAndBranchesOfTheBank) {
    NewRow(3, bank, 0, QString());
    EXPECT_GT(SearchRows(frame->xdlABI), 1);
    EXPECT_EQ(frame->laNomeBanca->text(), QStringLiteral("BANCA 06230"));
    // The demo banks have other branches; only the chosen bank's are offered.
    EXPECT_EQ(SearchRows(frame->xdlCAB), 1);

    // By postal account only the postal bank; another bank leaves its branch behind.
    frame->xdlModPag->SetKeyValue(5);
    EXPECT_EQ(SearchRows(frame->xdlABI), 1);
    frame->xdlCAB->SetKeyValue(branch);
    frame->xdlABI->SetKeyValue(2);
    EXPECT_EQ(frame->xdlABI->text(), QStringLiteral("07601"));
    EXPECT_TRUE(frame->xdlCAB->text().isEmpty());
    EXPECT_TRUE(dm->xqcDatiBancari->FieldByName(QStringLiteral("ISPRID"))->IsNull());
}

TEST_F(AbiRDatiBancariTest, TheIbanDialogFillsTheCoordinatesOrTakesAForeignIban) {
    // Cancelled, nothing changes; a later post keeps the IBAN of a consistent row.
    NewRow(3, bank, branch, QStringLiteral("7"),
           {QStringLiteral("IT"), QStringLiteral("88"), QStringLiteral("P")});
    VoWhenModalOpens<TfmInsertIBAN>([](TfmInsertIBAN *dialog) {
        QTest::keyClicks(dialog->edIban, QStringLiteral("DE89370400440532013000"));
        dialog->buCancel->click();
    });
    frame->btnInsIban->click();
    EXPECT_EQ(frame->xdeNumCC->text(), QStringLiteral("7"));
    frame->xacPost->Execute();
    EXPECT_EQ(Stored().last(), QStringLiteral("IT88P0623003202000000000007"));

    // An Italian IBAN must be correct; typed with blanks, it names a new bank and branch.
    QStringList seen;
    ASSERT_TRUE(frame->xacEdit->Execute());
    VoWhenModalOpens<TfmInsertIBAN>([&seen](TfmInsertIBAN *dialog) {
        QTest::keyClicks(dialog->edIban, QStringLiteral("it70 i030 6909 6061 0000 0063 288"));
        seen << dialog->edIban->text() << dialog->laNumCaratteri->text();
        dialog->buOk->click();
        seen << QString::number(dialog->isVisible());
        dialog->edIban->backspace();
        QTest::keyClicks(dialog->edIban, QStringLiteral("9"));
        dialog->buOk->click();
    });
    frame->btnInsIban->click();
    EXPECT_EQ(seen, (QStringList{QStringLiteral("IT70I0306909606100000063288"), QStringLiteral("27"),
                                 QStringLiteral("1")}));
    EXPECT_EQ(messages->Texts().first(), QStringLiteral("IBAN non corretto"));
    EXPECT_TRUE(
        messages->Texts().last().startsWith(QStringLiteral("Attenzione!!!\r\nE' stata aggiunta una nuova "
                                                           "Banca con l'ABI: 03069.")));
    EXPECT_EQ(frame->xdlABI->text(), QStringLiteral("03069"));
    EXPECT_EQ(frame->xdlCAB->text(), QStringLiteral("09606"));
    EXPECT_EQ(frame->laNumCaratteri->text(), QStringLiteral("27"));
    frame->xacPost->Execute();
    EXPECT_EQ(Stored(),
              (QStringList{QStringLiteral("100000063289"), QStringLiteral("I"), QStringLiteral("IT"),
                           QStringLiteral("70"), QStringLiteral("IT70I0306909606100000063289")}));

    // A foreign IBAN is taken as typed, the national coordinates emptied (the bank and its branch too)
    // and closed.
    ASSERT_TRUE(frame->xacEdit->Execute());
    VoWhenModalOpens<TfmInsertIBAN>([](TfmInsertIBAN *dialog) {
        QTest::keyClicks(dialog->edIban, QStringLiteral("DE89 3704 0044 0532 0130 00"));
        dialog->ckEstera->setChecked(true);
        dialog->buOk->click();
    });
    frame->btnInsIban->click();
    EXPECT_TRUE(frame->ckBancaEstera->isChecked());
    EXPECT_FALSE(frame->xdeNumCC->isEnabled());
    EXPECT_FALSE(frame->xdlABI->isEnabled());
    EXPECT_TRUE(frame->xdlABI->text().isEmpty());
    EXPECT_TRUE(frame->xdlCAB->text().isEmpty());
    frame->xdeBic->setFocus();
    QTest::keyClicks(frame->xdeBic, QStringLiteral("COBADEFF"));
    frame->xacPost->Execute();
    EXPECT_EQ(Stored(), (QStringList{QString(), QString(), QString(), QString(),
                                     QStringLiteral("DE89370400440532013000")}));
}

TEST_F(AbiRDatiBancariTest, ClosingAsksWhetherToSaveThroughTheFrameRules) {
    const QString question = QStringLiteral("Salvare le modifiche prima di chiudere?");
    EXPECT_TRUE(AskSaveFrameBeforeClose(frame, QStringLiteral("Beneficiari"), 0));
    NewRow(3, bank, branch, QString());
    messages->Push(mrYes);
    EXPECT_FALSE(AskSaveFrameBeforeClose(frame, QStringLiteral("Beneficiari"), 0));
    EXPECT_EQ(messages->Texts(), (QStringList{question, kAccountRequired}));
    EXPECT_EQ(messages->Shown().first().type, mtWarning);
    EXPECT_EQ(messages->Shown().first().caption, QStringLiteral("Beneficiari"));
    messages->Push(mrCancel);
    EXPECT_FALSE(AskSaveFrameBeforeClose(frame, QStringLiteral("Beneficiari"), 0));
    EXPECT_EQ(dm->xqcDatiBancari->State(), dsInsert);
    messages->Push(mrNo);
    EXPECT_TRUE(AskSaveFrameBeforeClose(frame, QStringLiteral("Beneficiari"), 0));
    EXPECT_EQ(dm->xqcDatiBancari->State(), dsBrowse);
}
