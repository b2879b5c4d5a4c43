// The foreign municipalities and cities in their dialog, as a user keeps them: a city added, renamed,
// moved to another state and removed, each written in its two tables; a city still in use kept; the
// codes a state brings.
#include "AbiMCom.h"
#include "AbiFComEsteri.h"
#include "AbiRComEsteri.h"
#include "VoDBEdits.h"
#include "VoDBLookupEdit.h"
#include "VoQuery.h"
#include "VoTestData.h"
#include "VoTestDb.h"
#include "VoTestRegistries.h"
#include "VoWidgetTest.h"

#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

constexpr int kFrancia = 3;
constexpr int kGermania = 4;

class AbiMComTest : public VoDbTest {
protected:
    void SetUp() override {
        VoDbTest::SetUp();
        delete dmComuni;
        dmComuni = nullptr;
        dialog.reset(VoNewForm<TfmComEsteri>());
        dialog->PrepareForState(kFrancia);
        frame = dialog->frComEster;
        VoShowActive(dialog.get());
    }
    void TearDown() override {
        dialog.reset();
        delete dmComuni;
        dmComuni = nullptr;
        VoDbTest::TearDown();
    }

    void Type(TVoDBEdit *edit, const QString &text) {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
    // The place and its municipality as stored: state, province, municipality, name, the two dates
    // and the cadastral and statistics codes; empty when the place is gone.
    QStringList Stored(int place) const {
        return VoRowTexts(
            QStringLiteral(
                "SELECT p.ISTAID, p.IPROID, p.ICOMID, c.SCOMDESC, CAST(p.DSTART AS VARCHAR(10)) AS DPLACE, "
                "CAST(c.DSTART AS VARCHAR(10)) AS DCOM, p.SSRPCCODCATA, "
                "p.SSRPCCOMRISTAT FROM TSRPC p LEFT JOIN TCOM_COMUNI c ON (c.ICOMID = p.ICOMID) WHERE "
                "p.ISRPCID "
                "= :p"),
            {{QStringLiteral("p"), place}});
    }
    int CurrentPlace() const { return frame->DataSet()->FieldByName(QStringLiteral("ISRPCID"))->AsInteger(); }

    std::unique_ptr<TfmComEsteri> dialog;
    TfrComEsteri *frame = nullptr;
};

} // namespace

TEST_F(AbiMComTest, AForeignCityIsAddedRenamedMovedAndRemoved) {
    ASSERT_TRUE(frame->xacInsert->Execute());
    Type(frame->xdeComune, QStringLiteral("LIONE"));
    ASSERT_TRUE(frame->xacPost->Execute());
    ASSERT_TRUE(messages->Texts().isEmpty()) << messages->LastText().toStdString();
    const int place = CurrentPlace();
    QStringList stored = Stored(place);
    ASSERT_EQ(stored.size(), 8);
    const QString municipality = stored[2];
    // The state the dialog was opened for, with its codes; the date and province of foreign places.
    EXPECT_EQ(stored,
              (QStringList{"3", "20000", municipality, "LIONE", "0001-01-01", "0001-01-01", "Z110", "215"}));
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT * FROM TCOM_COMUNI WHERE ICOMID = :c"),
                          {{QStringLiteral("c"), municipality}}),
              1);

    ASSERT_TRUE(frame->xacEdit->Execute());
    Type(frame->xdeComune, QStringLiteral("LYON"));
    frame->xelStato->SetKeyValue(kGermania);
    ASSERT_TRUE(frame->xacPost->Execute());
    EXPECT_EQ(Stored(place),
              (QStringList{"4", "20000", municipality, "LYON", "0001-01-01", "0001-01-01", "Z112", "216"}));

    messages->Push(mrYes);
    ASSERT_TRUE(frame->xacDelete->Execute());
    EXPECT_TRUE(Stored(place).isEmpty());
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT * FROM TCOM_COMUNI WHERE ICOMID = :c"),
                          {{QStringLiteral("c"), municipality}}),
              0);
}

TEST_F(AbiMComTest, ACityStillInUseIsKept) {
    const struct {
        const char *user;
        const char *sql; // :p is the place
    } cases[] = {
        {"a person born there",
         "INSERT INTO TANA_ANAGRAFICHE (IANAID, SANACOGNOME, ISRPCID) VALUES ((SELECT L_ICNTID FROM "
         "PYSETGETID('TANA_ANAGRAFICHE', 1)), 'Dupont', :p)"},
        {"a locality", "INSERT INTO TCOMCAP (ICOMCAPID, ISRPCID) VALUES ((SELECT L_ICNTID FROM "
                       "PYSETGETID('TCOMCAP', 1)), :p)"},
        {"a bank", "INSERT INTO TBAN_BANCHE (IBANID, ISRPCID, SBANABI) VALUES ((SELECT L_ICNTID FROM "
                   "PYSETGETID('TBAN_BANCHE', 1)), :p, '99999')"},
        {"a branch", "INSERT INTO TSPR_SPORTELLICAB (ISPRID, IBANID, ISRPCID) VALUES ((SELECT L_ICNTID FROM "
                     "PYSETGETID('TSPR_SPORTELLICAB', 1)), 2, :p)"},
        {"legal data", "INSERT INTO TLEG_DATILEGALI (ILEGID, IBENID, ILEGSRPCTRIBUN) SELECT (SELECT L_ICNTID "
                       "FROM PYSETGETID('TLEG_DATILEGALI', 1)), MIN(IBENID), :p FROM TBEN_BENEFICIARI"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.user);
        const int place = VoTestForeignPlace(QStringLiteral("NIZZA"), kFrancia);
        VoExecSQL(QString::fromLatin1(c.sql), {{QStringLiteral("p"), place}});
        const QStringList before = Stored(place);
        messages->Clear();
        frame->xacRefresh->Execute();
        ASSERT_TRUE(frame->DataSet()->Locate(QStringLiteral("ISRPCID"), place));

        messages->Push({mrYes, mrOk});
        frame->xacDelete->Execute();
        ASSERT_EQ(messages->Texts().size(), 2);
        EXPECT_EQ(messages->Texts().last(), PlaceInUseMessage);
        EXPECT_EQ(Stored(place), before);
        EXPECT_EQ(CurrentPlace(), place);
    }
}

TEST_F(AbiMComTest, TheStateChosenBringsItsCodesOverThoseTyped) {
    const int place = VoTestForeignPlace(QStringLiteral("BRUXELLES"), kFrancia);
    frame->xacRefresh->Execute();
    ASSERT_TRUE(frame->DataSet()->Locate(QStringLiteral("ISRPCID"), place));
    ASSERT_TRUE(frame->xacEdit->Execute());
    Type(frame->xdeCodCatasto, QStringLiteral("Z999"));
    Type(frame->xdeCodIstat, QStringLiteral("999"));
    frame->xelStato->SetKeyValue(kGermania);
    EXPECT_EQ(frame->xdeCodCatasto->text(), QStringLiteral("Z112"));
    EXPECT_EQ(frame->xdeCodIstat->text(), QStringLiteral("216"));
    ASSERT_TRUE(frame->xacPost->Execute());
    EXPECT_EQ(Stored(place).mid(6), (QStringList{"Z112", "216"}));
}
