// The working context: what the parameters load, the register options, the year dates of the
// register-years, the context check and the user's rights.
#include "VoDates.h"
#include "VoExceptions.h"
#include "VoGlobals.h"
#include "VoQuery.h"
#include "VoTestDb.h"
#include "VoTestRegisters.h"
#include "kvaUUtil.h"

#include <gtest/gtest.h>

namespace {
double Day(int y, int m, int d) {
    return DateToDays(QDate(y, m, d));
}
} // namespace

class kvaContextTest : public VoDbTest {
protected:
    void SetUp() override {
        VoDbTest::SetUp();
        xgvmGlobalVar.Clear();
        kva::ResetWorkingContext();
    }
    void TearDown() override {
        xgvmGlobalVar.Clear();
        kva::ResetWorkingContext();
        VoDbTest::TearDown();
    }
};

TEST_F(kvaContextTest, ChosenRegisterYearLoadsTheWholeContext) {
    const int rya = DemoRegisterYear(2026);
    xgvmGlobalVar.Add(ParSchool, QString::number(DemoSchoolId()));
    xgvmGlobalVar.Add(ParRegisterYear, QString::number(rya));
    kva::LoadWorkingContext(true);
    EXPECT_EQ(CurrentRegYear, 2026);
    EXPECT_EQ(CurrentRegYearId, YearId(2026));
    EXPECT_EQ(CurrentRegisterYearId, rya);
    EXPECT_EQ(CurrentRegStart, Day(2026, 1, 1));
    EXPECT_EQ(CurrentRegEnd, Day(2026, 12, 31));
    EXPECT_EQ(CurrentYearValue, 2026);
    EXPECT_EQ(CurrentSchoolId, DemoSchoolId());
    EXPECT_EQ(CurrentYearStart, Day(2026, 1, 1));
    EXPECT_EQ(CurrentYearEnd, Day(2026, 12, 31));
    EXPECT_FALSE(UseSchoolYearDates);
    EXPECT_GT(CurrentSiteId, 0);
    EXPECT_EQ(CurrentSiteDesc, QStringLiteral("Sede centrale - Via Roma 1"));

    // The register options come with the description of the register-year.
    EXPECT_EQ(kva::GetParamDescription(ParRegisterYear).toString(), QStringLiteral("Facile consumo  Anno: 2026"));
    EXPECT_EQ(CurrentRegisterType, 1);
    EXPECT_EQ(CurrentNumbering, 1);
    EXPECT_EQ(CurrentVatIncluded, 0);
    EXPECT_EQ(kva::GetParamDescription(QStringLiteral("voup_dwgid")).toString(), QStringLiteral("I.C. Rodari"));
}

TEST_F(kvaContextTest, UnsetOrStaleRegisterYearGivesAnEmptyContext) {
    kva::LoadWorkingContext(true);
    EXPECT_EQ(CurrentRegisterId, 0);
    EXPECT_EQ(CurrentYearValue, 0);
    EXPECT_EQ(CurrentSchoolId, 0);
    EXPECT_TRUE(kva::GetParamDescription(ParRegisterYear).isNull());
    EXPECT_TRUE(kva::GetParamDescription(ParSchool).isNull());

    // "0" is what the dialog stores without a selection: no register-year has that id.
    xgvmGlobalVar.Add(ParRegisterYear, QStringLiteral("0"));
    kva::LoadWorkingContext(false);
    EXPECT_EQ(CurrentRegStart, VoNoDate);
    EXPECT_EQ(CurrentRegEnd, VoNoDate);
    EXPECT_EQ(CurrentRegisterId, 0);
    EXPECT_TRUE(kva::GetParamDescription(ParRegisterYear).isNull());
}

TEST_F(kvaContextTest, TwoSitesLeaveNoCurrentSite) {
    VoExecSQL(
        QStringLiteral("INSERT INTO TSEDINF_SEDEINFO (ISEDINFID, SSEDINFLDESC) VALUES (999, 'Plesso')"));
    kva::LoadWorkingContext(true);
    EXPECT_EQ(CurrentSiteId, -1);
    EXPECT_TRUE(CurrentSiteDesc.isEmpty());
}

TEST_F(kvaContextTest, CustomDatesOverrideTheYearAndMissingOnesAreUnset) {
    const TVoTestRegister r = MakeRegister(QStringLiteral("Cancelleria"), 6, 0, 1);
    const int custom = OpenRegisterYear(r.schoolRegId, 2025, Day(2025, 3, 1), Day(2026, 2, 28));
    double start = 0, end = 0;
    kva::LoadCurrentRegisterYear(custom, start, end);
    EXPECT_EQ(start, Day(2025, 3, 1));
    EXPECT_EQ(end, Day(2026, 2, 28));
    EXPECT_EQ(CurrentSchoolRegisterId, r.schoolRegId);

    MakeFinancialYear(2030);
    const int noDates = OpenRegisterYear(r.schoolRegId, 2030);
    kva::LoadCurrentRegisterYear(noDates, start, end);
    EXPECT_EQ(start, VoNoDate);
    EXPECT_EQ(end, VoNoDate);
    EXPECT_EQ(CurrentRegYear, 2030);
}

TEST_F(kvaContextTest, DurableGoodsRegistersAreNeverThisProgramsContext) {
    ChooseRegisterYear(DemoRegisterYear(2025));
    ASSERT_EQ(CurrentNumbering, 1);
    const TVoTestRegister durable = MakeRegister(QStringLiteral("Inventario"), 5, 0, 1);
    xgvmGlobalVar.Add(ParRegisterYear, QString::number(OpenRegisterYear(durable.schoolRegId, 2025)));
    EXPECT_TRUE(kva::GetParamDescription(ParRegisterYear).isNull());
    // The options keep the values of the last register of this program.
    EXPECT_EQ(CurrentRegisterType, 1);
    EXPECT_EQ(CurrentNumbering, 1);
}

TEST_F(kvaContextTest, UnknownParameterNameIsAProgrammingError) {
    xgvmGlobalVar.Add(QStringLiteral("ALTRO"), QStringLiteral("1"));
    try {
        kva::GetParamDescription(QStringLiteral("ALTRO"));
        FAIL();
    } catch (const EVoException &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Parametro ALTRO non definito"));
    }
}

TEST_F(kvaContextTest, ContextCheckReportsEveryMissingItem) {
    UseSchoolYearDates = true;
    EXPECT_FALSE(CheckCurrentContext(-1, -1));
    EXPECT_EQ(messages->Texts(),
              (QStringList{QStringLiteral("Anno Finanziario corrente non settato"),
                           QStringLiteral("Istituto corrente non settato"),
                           QStringLiteral("Data di inizio dell'anno finanziario corrente non settata"),
                           QStringLiteral("Data di fine dell'anno finanziario corrente non settata")}));
    messages->Clear();
    // With the per-school dates off, a year without a row reads day 0: no date message.
    UseSchoolYearDates = false;
    EXPECT_FALSE(CheckCurrentContext(1990, -1));
    EXPECT_EQ(messages->Texts(), QStringList{QStringLiteral("Istituto corrente non settato")});
    messages->Clear();
    EXPECT_TRUE(CheckCurrentContext(2026, DemoSchoolId()));
    EXPECT_TRUE(messages->Shown().isEmpty());
}

TEST_F(kvaContextTest, SchoolDatesOfTheYearWhenAskedFor) {
    UseSchoolYearDates = true;
    VoExecSQL(QStringLiteral("UPDATE TDWGANF SET DDWGANFINIZIO = '2025-09-01' WHERE IANFID = :a"),
              {{QStringLiteral("a"), YearId(2025)}});
    double start = 0, end = 0;
    GetFinancialYearDates(2025, DemoSchoolId(), start, end);
    EXPECT_EQ(start, Day(2025, 9, 1));
    EXPECT_EQ(end, Day(2025, 12, 31));
    GetFinancialYearDates(2025, 424242, start, end);
    EXPECT_EQ(start, VoNoDate);
    EXPECT_EQ(end, VoNoDate);
}

TEST_F(kvaContextTest, WriteRightsNeedAllFourBits) {
    conn->F = 0x3C0;
    EXPECT_TRUE(CurrentUserCanWrite());
    conn->F = 0x1C0;
    EXPECT_FALSE(CurrentUserCanWrite());
    conn->F = 0xFFF;
    EXPECT_TRUE(CurrentUserCanWrite());
    EXPECT_EQ(CurrentUserRights(), 0xFFF);
}

TEST_F(kvaContextTest, SchoolMarkerIsReplacedByTheChosenSchoolAsANumber) {
    // The parameter's text never reaches the statement: what is no number selects no school.
    const QList<std::pair<QVariant, const char *>> cases = {
        {QStringLiteral("7"), "7"},
        {QStringLiteral(" 12 "), "12"},
        {QStringLiteral("3 OR 1=1"), "-1"},
        {QStringLiteral("3) OR (1=1"), "-1"},
        {QVariant(), "-1"},
    };
    for (const auto &[school, expected] : cases) {
        xgvmGlobalVar.Add(ParSchool, school);
        QString sql = QStringLiteral(
            "SELECT * FROM T WHERE (IDWGID = ::CURR_DWG OR IDWGID IS NULL) AND X <> ::CURR_DWG");
        ReplaceCurrDwg(sql);
        EXPECT_EQ(sql, QStringLiteral("SELECT * FROM T WHERE (IDWGID = %1 OR IDWGID IS NULL) AND X <> %1")
                           .arg(QString::fromLatin1(expected)))
            << school.toString().toStdString();
    }
}
