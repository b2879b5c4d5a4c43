// Shared routines: neighbouring register-years, financial-year dates, keys, report ids, XML
// definitions and the rewriting of LIKE filters.
#include "VoDates.h"
#include "VoExceptions.h"
#include "VoQuery.h"
#include "VoSearchDialog.h"
#include "VoTestDb.h"
#include "VoTestRegisters.h"
#include "kvaUUtil.h"

#include <QHeaderView>
#include <QTableView>
#include <gtest/gtest.h>

namespace {
double Day(int y, int m, int d) {
    return DateToDays(QDate(y, m, d));
}
} // namespace

using kvaYearsTest = VoDbTest;

TEST_F(kvaYearsTest, NeighbouringRegisterYears) {
    const TVoTestRegister r = MakeRegister(QStringLiteral("Pulizia"), 4);
    const int y25 = OpenRegisterYear(r.schoolRegId, 2025, Day(2025, 2, 1), Day(2025, 12, 15));
    OpenRegisterYear(r.schoolRegId, 2027); // default dates, with 2026 missing in between

    DateWindow w{Day(2026, 1, 1), Day(2026, 12, 31)};
    int year = 2026, id = 0;
    GetPreviousRegisterYear(r.schoolRegId, -1, w, year, id);
    EXPECT_EQ(year, 2025);
    EXPECT_EQ(id, y25);
    EXPECT_EQ(w.low, Day(2025, 2, 1));
    EXPECT_EQ(w.high, Day(2025, 12, 15));

    w = {Day(2026, 1, 1), Day(2026, 12, 31)};
    year = 2026;
    GetNextRegisterYear(r.schoolRegId, -1, w, year, id);
    EXPECT_EQ(year, 2027);
    EXPECT_EQ(w.low, Day(2027, 1, 1));
    EXPECT_EQ(w.high, Day(2027, 12, 31));

    // The oldest has no previous one, the newest no next one; the other end stays.
    w = {Day(2025, 2, 1), Day(2025, 12, 15)};
    year = 2025;
    id = 77;
    GetPreviousRegisterYear(r.schoolRegId, -1, w, year, id);
    EXPECT_EQ(year, -1);
    EXPECT_EQ(w.high, VoNoDate);
    EXPECT_EQ(w.low, Day(2025, 2, 1));
    EXPECT_EQ(id, 77);
    w = {Day(2027, 1, 1), Day(2027, 12, 31)};
    year = 2027;
    GetNextRegisterYear(r.schoolRegId, -1, w, year, id);
    EXPECT_EQ(year, -1);
    EXPECT_EQ(w.low, VoNoDate);
    EXPECT_EQ(w.high, Day(2027, 12, 31));

    // The register-year being edited is left out of the search.
    w = {};
    year = 2026;
    GetPreviousRegisterYear(r.schoolRegId, y25, w, year, id);
    EXPECT_EQ(year, -1);

    EXPECT_TRUE(RegisterHasYear(r.schoolRegId, 2025));
    EXPECT_FALSE(RegisterHasYear(r.schoolRegId, 2026));
}

TEST_F(kvaYearsTest, SystemYearDatesAreNullSafe) {
    DateWindow w;
    GetSystemYearDates(2026, w);
    EXPECT_EQ(w.low, Day(2026, 1, 1));
    EXPECT_EQ(w.high, Day(2026, 12, 31));
    MakeFinancialYear(2031);
    GetSystemYearDates(2031, w);
    EXPECT_EQ(w.low, VoNoDate);
    EXPECT_EQ(w.high, VoNoDate);
    GetSystemYearDates(1900, w);
    EXPECT_EQ(w.low, VoNoDate);
}

using kvaCommonTest = VoDbTest;

TEST_F(kvaCommonTest, ReportIdsAndKeys) {
    EXPECT_EQ(GetBaseReportId(26004), 26004);
    VoExecSQL(QStringLiteral("INSERT INTO TYRPC_RPTCUSTOM (IYRPCID, IYRPTID) VALUES (1000007, 26004)"));
    EXPECT_EQ(GetBaseReportId(1000007), 26004);
    const int a = NewId(QStringLiteral("TFAR_FACARTICOLI"));
    EXPECT_EQ(NewId(QStringLiteral("TFAR_FACARTICOLI")), a + 1);
}

TEST_F(kvaCommonTest, XmlArchiveLooksInTheProgramsListByDefault) {
    VoExecSQL(QStringLiteral(
        "INSERT INTO TYXAR_XMLARCHIVIO (IYXARID, IYXLSID, SYXARCODICE, BYXARXMLFILE) "
        "SELECT 90, IYXLSID, 'KVA_PROVA', '<kva/>' FROM TYXLS_XMLLISTA WHERE SYXLSCODICE = 'KVA'"));
    VoExecSQL(QStringLiteral(
        "INSERT INTO TYXAR_XMLARCHIVIO (IYXARID, IYXLSID, SYXARCODICE, BYXARXMLFILE) "
        "SELECT 91, IYXLSID, 'KVA_PROVA', '<kvb/>' FROM TYXLS_XMLLISTA WHERE SYXLSCODICE = 'KVB'"));
    QString xml;
    LoadXmlArchive(xml, QStringLiteral("KVA_PROVA"), QString());
    EXPECT_EQ(xml, QStringLiteral("<kva/>"));
    LoadXmlArchive(xml, QStringLiteral("KVA_PROVA"), QStringLiteral("KVB"));
    EXPECT_EQ(xml, QStringLiteral("<kvb/>"));
    try {
        LoadXmlArchive(xml, QStringLiteral("KVA_MANCANTE"), QString());
        FAIL();
    } catch (const EVoError &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("XML codice KVA_MANCANTE Non trovato nel DB"));
    }
}

TEST_F(kvaCommonTest, SearchFormColumnsFromTheFirstOn) {
    TVoSearchDialog form;
    form.SetSQL(QStringLiteral("SELECT IANFID, IANFVALORE, DANFVOREXINIZIO, DANFVOREXFINE FROM "
                               "TANF_ANNIFINANZ WHERE ##WHERE## ORDER BY IANFVALORE"));
    form.SetDefaultColumnsVisible(false);
    SetSearchForm(&form, {QStringLiteral("Anno Finanziario"), QStringLiteral("Inizio")}, {100, 120});
    ASSERT_TRUE(form.Open());
    EXPECT_TRUE(form.Grid()->isColumnHidden(0));
    EXPECT_FALSE(form.Grid()->isColumnHidden(1));
    EXPECT_FALSE(form.Grid()->isColumnHidden(2));
    EXPECT_TRUE(form.Grid()->isColumnHidden(3));
    EXPECT_EQ(form.Grid()->model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Inizio"));
    EXPECT_EQ(form.Grid()->columnWidth(2), 120);
    // The columns set are the ones searched: the starts match, the ends (column 3) do not.
    form.SetSearchText(QStringLiteral("2026"));
    EXPECT_EQ(form.RowCount(), 1);
    form.SetSearchText(QStringLiteral("-01-01"));
    EXPECT_EQ(form.RowCount(), 3);
    form.SetSearchText(QStringLiteral("-12-31"));
    EXPECT_EQ(form.RowCount(), 0);
    EXPECT_TRUE(messages->Shown().isEmpty());

    SetSearchForm(&form, {QStringLiteral("Fine")}, {100, 100});
    EXPECT_EQ(messages->Texts(), QStringList{QStringLiteral("Parametri del SetSearchForm sbagliati")});
    EXPECT_EQ(messages->Shown()[0].type, mtError);
    EXPECT_FALSE(form.Columns(3).Visible);

    SetSearchFormTable(&form, QStringLiteral("tipo Velisto"));
    EXPECT_EQ(form.Columns(1).Caption, QStringLiteral("Tabella tipo Velisto"));
    EXPECT_EQ(form.Columns(1).Width, 450);
    EXPECT_TRUE(form.Columns(1).Indexed);
}

TEST(kvaTruncateTest, CutsTowardZeroOnTheDecimalForm) {
    EXPECT_DOUBLE_EQ(TruncateDecimals(2, 3.14159), 3.14);
    EXPECT_DOUBLE_EQ(TruncateDecimals(1, -2.678), -2.6);
    EXPECT_DOUBLE_EQ(TruncateDecimals(2, 7), 7.0);
    // Values whose binary form lies just below the decimal one are not cut a step too far.
    EXPECT_DOUBLE_EQ(TruncateDecimals(2, 0.29), 0.29);
    EXPECT_DOUBLE_EQ(TruncateDecimals(2, 1.005), 1.0);
    EXPECT_DOUBLE_EQ(TruncateDecimals(3, 1e-7), 0.0);
    EXPECT_DOUBLE_EQ(TruncateDecimals(2, 1234567890.129), 1234567890.12);
    EXPECT_DOUBLE_EQ(TruncateDecimals(0, 9.99), 9.0);
}
