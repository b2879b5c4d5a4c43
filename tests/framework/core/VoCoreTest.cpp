// The framework's core services that need no database: dates, messages, class registry, globals,
// parameter parsing and small helpers.
#include "VoConnection.h"
#include "VoDates.h"
#include "VoExceptions.h"
#include "VoGlobals.h"
#include "VoMessages.h"
#include "VoQuery.h"
#include "VoUtils.h"

#include <gtest/gtest.h>

TEST(VoDates, DayCountsMatchTheProgramsCalendar) {
    EXPECT_EQ(DateToDays(QDate(2024, 1, 1)), 45292.0);
    EXPECT_EQ(DateToDays(QDate(1899, 12, 30)), 0.0);
    EXPECT_EQ(DaysToDate(45292.0), QDate(2024, 1, 1));
    for (const QDate d : {QDate(1900, 3, 1), QDate(2000, 2, 29), QDate(2026, 12, 31), QDate(2173, 10, 13)})
        EXPECT_EQ(DaysToDate(DateToDays(d)), d) << d.toString().toStdString();
    EXPECT_EQ(DaysToDate(VoOpenEnd), QDate(2173, 10, 13));
}

TEST(VoDates, TimePartAndUnsetValues) {
    const QDateTime noon(QDate(2024, 1, 1), QTime(12, 0));
    EXPECT_DOUBLE_EQ(DateTimeToDays(noon), 45292.5);
    EXPECT_EQ(DaysToDateTime(45292.5), noon);
    // A time part never moves the day.
    EXPECT_EQ(DaysToDate(45292.999), QDate(2024, 1, 1));
    EXPECT_EQ(VariantToDays(QVariant()), VoNoDate);
    EXPECT_EQ(VariantToDays(QVariant(QMetaType(QMetaType::QDate))), VoNoDate);
    EXPECT_TRUE(DaysToDateParam(VoNoDate).isNull());
    EXPECT_EQ(DaysToDateParam(45292).toDate(), QDate(2024, 1, 1));
}

TEST(VoDates, TextsUseFourDigitYears) {
    EXPECT_EQ(FormatDays(45292), QStringLiteral("01/01/2024"));
    EXPECT_EQ(FormatDays(VoNoDate), QString());
    EXPECT_EQ(ParseDays(QStringLiteral("01/01/2024")), 45292.0);
    EXPECT_EQ(ParseDays(QStringLiteral("1/1/24")), 45292.0);
    EXPECT_EQ(ParseDays(QStringLiteral("31/02/2024")), VoNoDate);
    EXPECT_EQ(ParseDays(QStringLiteral("abc")), VoNoDate);
}

TEST(VoMessagesTest, ScriptedResponderAnswersAndRecords) {
    TVoScriptedMessages messages;
    messages->Push({mrNo, mrYes});
    EXPECT_EQ(VoMessageDlg(QStringLiteral("Prima?"), mtConfirmation, mbYesNo), mrNo);
    EXPECT_EQ(VoMessageDlg(QStringLiteral("Seconda?"), mtConfirmation, mbYesNo, 0, mbNo), mrYes);
    VoMessageBox(QStringLiteral("Programma non aggiornato"));
    ASSERT_EQ(messages->Shown().size(), 3);
    EXPECT_EQ(messages->Shown()[0].text, QStringLiteral("Prima?"));
    EXPECT_EQ(messages->Shown()[0].buttons, mbYesNo);
    EXPECT_EQ(messages->Shown()[1].defaultButton, mbNo);
    EXPECT_EQ(messages->Shown()[2].type, mtInformation);
    EXPECT_EQ(messages->LastText(), QStringLiteral("Programma non aggiornato"));
    // Unscripted questions get the answer of the safe button.
    EXPECT_EQ(VoMessageDlg(QStringLiteral("Terza?"), mtConfirmation, mbYesNo), mrNo);
}

TEST(VoMessagesTest, ExceptionsCarryTheirTextToTheUser) {
    TVoScriptedMessages messages;
    try {
        throw EVoError(VoFormat(QStringLiteral("XML codice %s Non trovato nel DB"), {QStringLiteral("X1")}));
    } catch (const std::exception &e) {
        VoShowException(e);
    }
    EXPECT_EQ(messages->LastText(), QStringLiteral("XML codice X1 Non trovato nel DB"));
    EXPECT_EQ(messages->Shown().last().type, mtError);
    EXPECT_EQ(VoFormat(QStringLiteral("Parametro %s non definito"), {QStringLiteral("P")}),
              QStringLiteral("Parametro P non definito"));
}

TEST(VoGlobalsTest, NamesIgnoreCaseAndReadersDefault) {
    TVoGlobalVarManager g;
    EXPECT_FALSE(g.GetValues(QStringLiteral("VOUP_DwgId")).isValid());
    g.Add(QStringLiteral("VOUP_DwgId"), QStringLiteral("12"));
    EXPECT_EQ(VoVarToInt(g.GetValues(QStringLiteral("voup_dwgid"))), 12);
    EXPECT_EQ(VoVarToInt(QVariant()), -1);
    EXPECT_EQ(VoVarToInt(QStringLiteral("")), -1);
    EXPECT_EQ(VoVarToInt(QStringLiteral("x"), 7), 7);
}

TEST(VoParseSQLTest, NamedParametersBecomePositional) {
    const auto p = VoParseSQL(QStringLiteral("SELECT ':no' AS A, \":x\" FROM T WHERE a = :Id AND b = :id -- "
                                             ":c\n AND d = :D_1 /* :e */ AND e = '::CURR_DWG'"
                                             " AND f = ::CURR_DWG"));
    EXPECT_EQ(p.params, (QStringList{QStringLiteral("Id"), QStringLiteral("id"), QStringLiteral("D_1")}));
    EXPECT_TRUE(p.text.contains(QStringLiteral("a = ? AND b = ?")));
    EXPECT_TRUE(p.text.contains(QStringLiteral("::CURR_DWG")));
    EXPECT_EQ(VoParamNames(QStringLiteral("x = :A or y = :a or z = :b")),
              (QStringList{QStringLiteral("A"), QStringLiteral("b")}));
}

TEST(VoSqlTextTest, WritesOfTheRowByItsKeyAndSelectsThatCanBeSliced) {
    const struct {
        const char *sql;
        bool byKey;
    } writes[] = {
        {"UPDATE T SET A = :A WHERE ID = :VOCURRID", true},
        {"DELETE FROM T x WHERE :VOCURRID = x.\"ID\" AND A > 0;", true},
        {"UPDATE T SET A = 0 WHERE ID = :Id", true},
        {"UPDATE T SET A = 0 WHERE ID = (SELECT P FROM T WHERE ID = :VOCURRID)", false},
        {"UPDATE T SET A = 0 WHERE OTHERID = :VOCURRID", false},
        {"UPDATE T SET A = 'WHERE ID = :VOCURRID'", false},
    };
    for (const auto &w : writes)
        EXPECT_EQ(VoWritesRowByKey(QString::fromLatin1(w.sql), QStringLiteral("id"),
                                   {QStringLiteral("VOCURRID"), QStringLiteral("ID")}),
                  w.byKey)
            << w.sql;
    const struct {
        const char *sql;
        bool sliced;
    } selects[] = {
        {"SELECT A FROM T ORDER BY A;", true},
        {"SELECT A, (SELECT FIRST 1 B FROM U ORDER BY B) FROM T", true},
        {"WITH X AS (SELECT 1 AS A FROM RDB$DATABASE) SELECT A FROM X", true},
        {"SELECT FIRST 10 A FROM T", false},
        {"SELECT A FROM T ORDER BY A ROWS 5", false},
        {"SELECT A FROM T WHERE ID = 1 WITH LOCK", false},
        {"EXECUTE PROCEDURE P", false},
    };
    for (const auto &s : selects)
        EXPECT_EQ(VoCanSlice(QString::fromLatin1(s.sql)), s.sliced) << s.sql;
    EXPECT_EQ(VoSlice(QStringLiteral("SELECT A FROM T ORDER BY A; "), 26, 50),
              QStringLiteral("SELECT A FROM T ORDER BY A ROWS 26 TO 50"));
}
