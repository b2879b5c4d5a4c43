// The register-year rules: overlaps refused, gaps confirmed twice, contiguous neighbours moved
// only on Yes, duplicate years, custom dates both-or-neither.
#include "AbcUNuovoAnno.h"
#include "VoDates.h"
#include "VoMessages.h"
#include "VoQuery.h"
#include "VoTestDb.h"
#include "VoTestRegisters.h"
#include "kvaUUtil.h"

#include <gtest/gtest.h>

namespace {

double Day(int y, int m, int d) {
    return DateToDays(QDate(y, m, d));
}

const QString P = QStringLiteral("Attenzione ! \r\n");

class kvaNuovoAnnoRulesTest : public VoDbTest {
protected:
    void SetUp() override {
        VoDbTest::SetUp();
        reg = MakeRegister(QStringLiteral("Registro prove"));
        y2025 = OpenRegisterYear(reg.schoolRegId, 2025);
    }

    TRegisterYearInput Insert(int year, double start = -1, double end = -1) {
        TRegisterYearInput in;
        in.inserting = true;
        in.schoolRegisterId = reg.schoolRegId;
        in.yearValue = year;
        DateWindow w;
        GetSystemYearDates(year, w);
        in.defaultStart = w.low;
        in.defaultEnd = w.high;
        in.customStart = start;
        in.customEnd = end;
        in.customDatesShown = start >= 0 || end >= 0;
        return in;
    }

    // An edit of a stored register-year, starting from what is stored.
    TRegisterYearInput Edit(int id) {
        TVoQuery q(QStringLiteral(
            "SELECT anf.IANFVALORE, dfa.DDWGFACANFINIZIO, dfa.DDWGFACANFFINE FROM TDWGFACANF dfa "
            "INNER JOIN TANF_ANNIFINANZ anf ON anf.IANFID = dfa.IANFID WHERE dfa.IDWGFACANFID = :id"));
        q.SetParam(QStringLiteral("id"), id).Open();
        TRegisterYearInput in = Insert(q.AsInteger(QStringLiteral("IANFVALORE")));
        in.inserting = false;
        in.registerYearId = id;
        in.storedYearValue = in.yearValue;
        double s = 0, e = 0;
        kva::LoadCurrentRegisterYear(id, s, e);
        in.storedStart = s;
        in.storedEnd = e;
        if (!q.IsNull(QStringLiteral("DDWGFACANFINIZIO"))) {
            in.customStart = q.AsDate(QStringLiteral("DDWGFACANFINIZIO"));
            in.customEnd = q.AsDate(QStringLiteral("DDWGFACANFFINE"));
            in.customDatesShown = true;
        }
        return in;
    }

    DateWindow Stored(int id) {
        double s = 0, e = 0;
        kva::LoadCurrentRegisterYear(id, s, e);
        return {s, e};
    }

    TVoTestRegister reg;
    int y2025 = 0;
};

TEST_F(kvaNuovoAnnoRulesTest, FollowingYearWithDefaultDatesPassesSilently) {
    const auto r = CheckRegisterYearPost(Insert(2026));
    EXPECT_TRUE(r.ok);
    EXPECT_TRUE(r.adjustments.isEmpty());
    EXPECT_TRUE(messages->Shown().isEmpty());
}

TEST_F(kvaNuovoAnnoRulesTest, GapNeedsTwoConfirmations) {
    // The start two days after the previous end leaves one day uncovered, named twice.
    messages->Push({mrYes, mrYes});
    auto r = CheckRegisterYearPost(Insert(2026, Day(2026, 1, 2), Day(2026, 12, 31)));
    EXPECT_TRUE(r.ok);
    ASSERT_EQ(messages->Shown().size(), 2);
    EXPECT_EQ(
        messages->Shown()[0].text,
        P + QStringLiteral("Il tempo che intercorre tra il 01/01/2026 e il 01/01/2026 non rientra in nessun "
                           "Anno Finanziario definito. \r\nContinuare ? "));
    EXPECT_EQ(messages->Shown()[0].type, mtWarning);
    EXPECT_EQ(messages->Shown()[0].buttons, mbYesNo);
    EXPECT_EQ(
        messages->Shown()[1].text,
        P + QStringLiteral("La continuazione dell'operazione potrebbe comportare dei problemi al corretto "
                           "funzionamento del programma. \r\nContinuare ? "));
    messages->Clear();
    messages->Push({mrYes, mrNo});
    r = CheckRegisterYearPost(Insert(2026, Day(2026, 1, 2), Day(2026, 12, 31)));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.focus, TRegisterYearCheck::FocusStart);
}

TEST_F(kvaNuovoAnnoRulesTest, OverlapsWithNeighboursAreRefused) {
    auto r = CheckRegisterYearPost(Insert(2026, Day(2025, 12, 31), Day(2026, 12, 31)));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(messages->LastText(),
              P + QStringLiteral("La data d'inizio non può essere accettata, perchè si sovrappone "
                                 "ad un anno finanziario già definito. \r\nL'anno finanziario può "
                                 "partire dal 01/01/2026 in poi. "));
    EXPECT_EQ(messages->Shown().last().type, mtError);
    EXPECT_EQ(r.focus, TRegisterYearCheck::FocusStart);

    // A year before 2025 whose end runs into 2025.
    r = CheckRegisterYearPost(Insert(2024 + 0 * MakeFinancialYear(2024, Day(2024, 1, 1), Day(2024, 12, 31)),
                                     Day(2024, 1, 1), Day(2025, 1, 1)));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(messages->LastText(),
              P + QStringLiteral("La data di fine dell'Anno Finanziario non può essere accettata, "
                                 "perchè si sovrappone ad un anno finanziario già definito. "
                                 "\r\nL'anno finanziario può terminare al massimo il 31/12/2024 . "));
    EXPECT_EQ(r.focus, TRegisterYearCheck::FocusEnd);
}

TEST_F(kvaNuovoAnnoRulesTest, DatesMustTouchTheirOwnYear) {
    auto r = CheckRegisterYearPost(Insert(2026, Day(2027, 1, 1), Day(2027, 2, 1)));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(messages->LastText(),
              P + QStringLiteral("La data d'inizio non può essere accettata in quanto maggiore "
                                 "dell'anno finanziario selezionato. "));
    r = CheckRegisterYearPost(Insert(2026, Day(2025, 1, 1), Day(2025, 12, 31)));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(messages->LastText(),
              P + QStringLiteral("La data di fine non può essere accettata in quanto minore "
                                 "dell'anno finanziario selezionato. "));
}

TEST_F(kvaNuovoAnnoRulesTest, FieldChecks) {
    auto r = CheckRegisterYearPost(Insert(0));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(messages->LastText(),
              QStringLiteral("Attenzione ! \r\nCampo obbligatorio \"Anno Finanziario\". "));
    EXPECT_EQ(r.focus, TRegisterYearCheck::FocusYear);
    EXPECT_FALSE(r.clearYear);

    r = CheckRegisterYearPost(Insert(2025));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(messages->LastText(), QStringLiteral("Attenzione ! \r\nAnno Finanziario già definito. "));
    EXPECT_TRUE(r.clearYear);

    r = CheckRegisterYearPost(Insert(2026, Day(2026, 3, 1), -1));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(messages->LastText(),
              QStringLiteral("Attenzione ! \r\nSe si vogliono personalizzare le date di inizio e "
                             "fine è necessario specificarle entrambe. "));
    EXPECT_EQ(r.focus, TRegisterYearCheck::FocusEnd);
    r = CheckRegisterYearPost(Insert(2026, -1, Day(2026, 3, 1)));
    EXPECT_EQ(r.focus, TRegisterYearCheck::FocusStart);

    r = CheckRegisterYearPost(Insert(2026, Day(2026, 3, 1), Day(2026, 2, 1)));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(messages->LastText(),
              QStringLiteral("Attenzione ! \r\nLa data di fine deve essere maggiore di quella di inizio. "));

    // An end equal to the start is accepted by the pair check (the gaps are confirmed).
    messages->Clear();
    messages->Push({mrYes, mrYes, mrYes, mrYes});
    r = CheckRegisterYearPost(Insert(2026, Day(2026, 3, 1), Day(2026, 3, 1)));
    EXPECT_TRUE(r.ok);
}

TEST_F(kvaNuovoAnnoRulesTest, YearWithoutDefaultDatesNeedsCustomDates) {
    MakeFinancialYear(2060);
    auto r = CheckRegisterYearPost(Insert(2060));
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(messages->LastText().contains(QStringLiteral("impostare le date personalizzate")));
    messages->Push({mrYes, mrYes});
    r = CheckRegisterYearPost(Insert(2060, Day(2060, 1, 1), Day(2060, 12, 31)));
    EXPECT_TRUE(r.ok);
}

TEST_F(kvaNuovoAnnoRulesTest, MovingAContiguousStartMovesThePreviousEndOnYes) {
    const int y2026 = OpenRegisterYear(reg.schoolRegId, 2026);
    TRegisterYearInput in = Edit(y2026);
    in.customStart = Day(2026, 1, 2);
    in.customEnd = Day(2026, 12, 31);
    in.customDatesShown = true;
    messages->Push(mrNo);
    auto r = CheckRegisterYearPost(in);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(
        messages->LastText(),
        P + QStringLiteral("Modificando la data d'inizio si modificherà automaticamente la durata dell'anno "
                           "finanziario precedente. \r\n\r\nAnno finanziario precedente : 2025 \r\nInizio : "
                           "01/01/2025 \r\nFine : 31/12/2025 \r\n  Dopo modifica : \r\nInizio : 01/01/2025 "
                           "\r\nFine : 01/01/2026 \r\n\r\nContinuare ? "));
    EXPECT_EQ(r.focus, TRegisterYearCheck::FocusStart);

    messages->Push(mrYes);
    r = CheckRegisterYearPost(in);
    ASSERT_TRUE(r.ok);
    ASSERT_EQ(r.adjustments.size(), 1);
    EXPECT_EQ(r.adjustments[0].registerYearId, y2025);
    ApplyRegisterYearAdjustments(r.adjustments);
    EXPECT_EQ(Stored(y2025).low, Day(2025, 1, 1));
    EXPECT_EQ(Stored(y2025).high, Day(2026, 1, 1));

    // Saved as the window saves it, the two years touch again; moving the start onto the previous
    // year's start or before is an overlap.
    VoExecSQL(
        QStringLiteral("UPDATE TDWGFACANF SET DDWGFACANFINIZIO = '2026-01-02', DDWGFACANFFINE = '2026-12-31' "
                       "WHERE IDWGFACANFID = :id"),
        {{QStringLiteral("id"), y2026}});
    in = Edit(y2026);
    in.customStart = Day(2025, 1, 1);
    r = CheckRegisterYearPost(in);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(messages->LastText().endsWith(
        QStringLiteral("L'anno finanziario può partire dal 02/01/2025 in poi. ")));
}

TEST_F(kvaNuovoAnnoRulesTest, MovingAContiguousEndMovesTheNextStart) {
    const int y2026 = OpenRegisterYear(reg.schoolRegId, 2026);
    TRegisterYearInput in = Edit(y2025);
    in.customStart = Day(2025, 1, 1);
    in.customEnd = Day(2026, 12, 31);
    in.customDatesShown = true;
    auto r = CheckRegisterYearPost(in);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(messages->LastText().endsWith(
        QStringLiteral("L'anno finanziario può terminare al massimo il 30/12/2026 . ")));

    in.customEnd = Day(2025, 12, 20);
    messages->Push(mrYes);
    r = CheckRegisterYearPost(in);
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(messages->LastText().contains(
        QStringLiteral("Anno finanziario successivo : 2026 \r\nInizio : 01/01/2026 "
                       "\r\nFine : 31/12/2026 \r\n  Dopo modifica : \r\nInizio : "
                       "21/12/2025 \r\nFine : 31/12/2026")));
    ASSERT_EQ(r.adjustments.size(), 1);
    EXPECT_EQ(r.adjustments[0].registerYearId, y2026);
    EXPECT_EQ(r.adjustments[0].start, Day(2025, 12, 21));
}

TEST_F(kvaNuovoAnnoRulesTest, ANeighbourBehindAGapIsOnlyTested) {
    const int y2026 = OpenRegisterYear(reg.schoolRegId, 2026, Day(2026, 1, 10), Day(2026, 12, 31));
    TRegisterYearInput in = Edit(y2026);
    in.customStart = Day(2026, 1, 5);
    messages->Push({mrYes, mrYes});
    auto r = CheckRegisterYearPost(in);
    EXPECT_TRUE(r.ok);
    EXPECT_TRUE(r.adjustments.isEmpty());
    EXPECT_TRUE(messages->Shown()[0].text.contains(QStringLiteral("tra il 01/01/2026 e il 04/01/2026")));
    in.customStart = Day(2025, 12, 31);
    r = CheckRegisterYearPost(in);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(messages->LastText().endsWith(QStringLiteral("partire dal 01/01/2026 in poi. ")));
}

} // namespace
