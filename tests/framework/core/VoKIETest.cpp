// The text components of the persons registries: the control code, the name normaliser and the
// filter of the ordering keys.
#include "VoKIE.h"
#include "VoDates.h"

#include <gtest/gtest.h>

TEST(VoKIETest, NormaliserKeepsLettersDigitsAndSingleBlanks) {
    const TKIENormalizeString norm;
    const struct {
        const char *in;
        const char *out;
    } cases[] = {
        {"Rossi", "Rossi"},
        {"De Luca", "De Luca"},
        {"Niccolò", "Niccolò"},
        {"D'Angelo", "D Angelo"},
        {"De  Luca", "De Luca"},
        {" Rossi ", "Rossi"},
        {"Maria-Luisa", "Maria Luisa"},
        {"Rossi2", "Rossi2"},
        {"#", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(norm.Execute(QString::fromUtf8(c.in)), QString::fromUtf8(c.out)) << c.in;
}

TEST(VoKIETest, FilterDropsAccentsAndBlanks) {
    EXPECT_EQ(TKIEFilterString().Execute(QStringLiteral("De Lucà Niccolò")), QStringLiteral("DeLucaNiccolo"));
}

TEST(VoKIETest, ControlCodeIgnoresCaseAccentsAndBlanksButNotTheData) {
    const TKIEAnaIoccGen gen;
    const double born = DateToDays(QDate(1970, 5, 12));
    const int code = gen.Generate(QStringLiteral("Esposito"), QStringLiteral("Giuseppe"), born);
    // Stored codes must keep matching: the code of a person never changes between releases.
    EXPECT_EQ(code, 881997050);
    EXPECT_EQ(gen.Generate(QStringLiteral("ESPÒSITO "), QStringLiteral("giu seppe"), born), code);
    EXPECT_NE(gen.Generate(QStringLiteral("Esposito"), QStringLiteral("Giuseppe"), born + 1), code);
    EXPECT_NE(gen.Generate(QStringLiteral("Giuseppe"), QStringLiteral("Esposito"), born), code);
    EXPECT_GE(code, 0);
}
