#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>

#include "model/SettingsText.h"

using namespace velmora;

namespace {

TEST(SettingsFormatReal, DefaultRegionAndConstant) {
    EXPECT_EQ(FormatReal(-2.0, RealStyle::Region), "-2");
    EXPECT_EQ(FormatReal(2.0, RealStyle::Region), "2");
    EXPECT_EQ(FormatReal(-1.5, RealStyle::Region), "-1.5");
    EXPECT_EQ(FormatReal(1.5, RealStyle::Region), "1.5");
    EXPECT_EQ(FormatReal(0.3, RealStyle::Constant), "0.3");
    EXPECT_EQ(FormatReal(0.6, RealStyle::Constant), "0.6");
}

TEST(SettingsFormatReal, ConstantKeepsAFinalPointRegionDropsIt) {
    EXPECT_EQ(FormatReal(1.0, RealStyle::Constant), "1.");
    EXPECT_EQ(FormatReal(1.0, RealStyle::Region), "1");
    EXPECT_EQ(FormatReal(2.0, RealStyle::Constant), "2.");
    EXPECT_EQ(FormatReal(0.0, RealStyle::Constant), "0.");
    EXPECT_EQ(FormatReal(0.0, RealStyle::Region), "0");
    EXPECT_EQ(FormatReal(-0.0, RealStyle::Constant), "0.");
    // Only a point that ends the text goes: the scientific form keeps its point.
    EXPECT_EQ(FormatReal(0.001, RealStyle::Region), "1.e-003");
    EXPECT_EQ(FormatReal(0.001, RealStyle::Constant), "1.e-003");
}

TEST(SettingsFormatReal, PlainAndScientificRanges) {
    EXPECT_EQ(FormatReal(0.05, RealStyle::Constant), "5.e-002");
    EXPECT_EQ(FormatReal(0.1, RealStyle::Constant), "0.1");
    EXPECT_EQ(FormatReal(0.099999999999, RealStyle::Constant), "0.1");  // rounds into plain
    EXPECT_EQ(FormatReal(0.09999999999, RealStyle::Constant), "9.999999999e-002");
    EXPECT_EQ(FormatReal(9999999999.0, RealStyle::Region), "9999999999");
    EXPECT_EQ(FormatReal(9999999999.6, RealStyle::Region), "1.e+010");  // rounds out of plain
    EXPECT_EQ(FormatReal(12345678901.0, RealStyle::Constant), "1.23456789e+010");
    EXPECT_EQ(FormatReal(-12345678901.0, RealStyle::Region), "-1.23456789e+010");
    EXPECT_EQ(FormatReal(1e100, RealStyle::Region), "1.e+100");
    EXPECT_EQ(FormatReal(2.5e-300, RealStyle::Region), "2.5e-300");
    EXPECT_EQ(FormatReal(-0.75, RealStyle::Region), "-0.75");
}

TEST(SettingsFormatReal, RoundsToTenSignificantDigits) {
    EXPECT_EQ(FormatReal(3.14159265358979, RealStyle::Region), "3.141592654");
    EXPECT_EQ(FormatReal(-0.123456789012, RealStyle::Region), "-0.123456789");
    EXPECT_EQ(FormatReal(1234.56789012, RealStyle::Region), "1234.56789");
    EXPECT_EQ(FormatReal(1.0000000001, RealStyle::Constant), "1.");
    EXPECT_EQ(FormatReal(1.23456789012345e-5, RealStyle::Region), "1.23456789e-005");
}

TEST(SettingsFormatReal, IgnoresTheUserLocale) {
    // A desktop session may set a locale whose decimal mark is a comma.
    const std::string old = std::setlocale(LC_NUMERIC, nullptr);
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "no German locale";
    const std::string shown = FormatReal(1.5, RealStyle::Region);
    const double read = ParseReal("2.25");
    std::setlocale(LC_NUMERIC, old.c_str());
    EXPECT_EQ(shown, "1.5");
    EXPECT_EQ(read, 2.25);
}

TEST(SettingsFormatReal, ShowsWhatParsesBack) {
    for (double v : {-2.0, 1.5, 0.3, 0.05, 0.001, 1234567890.0, 1.23456789e10, -1.25e-7, 0.0}) {
        EXPECT_EQ(ParseReal(FormatReal(v, RealStyle::Region)), v) << v;
        EXPECT_EQ(ParseReal(FormatReal(v, RealStyle::Constant)), v) << v;
    }
}

TEST(SettingsFormatInteger, SignedWithoutGrouping) {
    EXPECT_EQ(FormatInteger(200), "200");
    EXPECT_EQ(FormatInteger(-5), "-5");
    EXPECT_EQ(FormatInteger(2147483647), "2147483647");
}

TEST(SettingsParseReal, LeadingNumberOnly) {
    EXPECT_EQ(ParseReal("1.5"), 1.5);
    EXPECT_EQ(ParseReal("  \t-0.25xyz"), -0.25);
    EXPECT_EQ(ParseReal("+3"), 3.0);
    EXPECT_EQ(ParseReal("5."), 5.0);
    EXPECT_EQ(ParseReal(".5"), 0.5);
    EXPECT_EQ(ParseReal("-.5e1"), -5.0);
    EXPECT_EQ(ParseReal("1E2"), 100.0);
    EXPECT_EQ(ParseReal("5.e-002"), 0.05);
    EXPECT_EQ(ParseReal("2e+3 and more"), 2000.0);
    EXPECT_EQ(ParseReal("1.2.3"), 1.2);
    EXPECT_EQ(ParseReal("1,5"), 1.0);
}

TEST(SettingsParseReal, IncompleteExponentIsIgnored) {
    EXPECT_EQ(ParseReal("5e"), 5.0);
    EXPECT_EQ(ParseReal("5e+"), 5.0);
    EXPECT_EQ(ParseReal("5e-x"), 5.0);
}

TEST(SettingsParseReal, TextWithoutANumberIsZero) {
    EXPECT_EQ(ParseReal(""), 0.0);
    EXPECT_EQ(ParseReal("   "), 0.0);
    EXPECT_EQ(ParseReal("abc"), 0.0);
    EXPECT_EQ(ParseReal("-"), 0.0);
    EXPECT_EQ(ParseReal("."), 0.0);
    EXPECT_EQ(ParseReal("-.e5"), 0.0);
    EXPECT_EQ(ParseReal("e5"), 0.0);
    EXPECT_EQ(ParseReal("inf"), 0.0);
    EXPECT_EQ(ParseReal("nan"), 0.0);
    EXPECT_EQ(ParseReal("0x10"), 0.0);
}

TEST(SettingsParseReal, OutOfRangeStaysFinite) {
    EXPECT_EQ(ParseReal("1e999"), std::numeric_limits<double>::max());
    EXPECT_EQ(ParseReal("-1e999"), -std::numeric_limits<double>::max());
    EXPECT_EQ(ParseReal("1e-999"), 0.0);
    EXPECT_EQ(ParseReal("-1e-999"), 0.0);
    EXPECT_TRUE(std::signbit(ParseReal("-1e-999")));
}

TEST(SettingsParseReal, ReadsOnlyTheFirstThirtyCharacters) {
    // 29 blanks and "7" fit; the digit after them does not.
    EXPECT_EQ(ParseReal(std::string(29, ' ') + "78"), 7.0);
    EXPECT_EQ(ParseReal(std::string(30, ' ') + "7"), 0.0);
    // 40 digits: only 30 of them count.
    EXPECT_EQ(ParseReal(std::string(40, '1')), ParseReal(std::string(30, '1')));
    const std::string tiny = "0." + std::string(25, '0') + "1234";  // 31 characters
    EXPECT_EQ(ParseReal(tiny), 1.23e-26);
    // Characters, not bytes: 29 two-byte letters and then a digit.
    std::string wide;
    for (int i = 0; i < 29; ++i) wide += "\xC3\xA9";
    EXPECT_EQ(FirstCharacters(wide + "9", 30).size(), wide.size() + 1);
    EXPECT_EQ(FirstCharacters(wide + "99", 30), wide + "9");
}

TEST(SettingsParseInteger, LeadingDigitsOnly) {
    EXPECT_EQ(ParseInteger("200"), 200);
    EXPECT_EQ(ParseInteger("  -17"), -17);
    EXPECT_EQ(ParseInteger("+5"), 5);
    EXPECT_EQ(ParseInteger("12abc"), 12);
    EXPECT_EQ(ParseInteger("3.9"), 3);
    EXPECT_EQ(ParseInteger("1e3"), 1);
    EXPECT_EQ(ParseInteger(""), 0);
    EXPECT_EQ(ParseInteger("abc"), 0);
    EXPECT_EQ(ParseInteger("- 5"), 0);
    EXPECT_EQ(ParseInteger("--5"), 0);
    EXPECT_EQ(ParseInteger("0007"), 7);
}

TEST(SettingsParseInteger, SaturatesOutsideTheRange) {
    EXPECT_EQ(ParseInteger("2147483647"), 2147483647);
    EXPECT_EQ(ParseInteger("2147483648"), 2147483647);
    EXPECT_EQ(ParseInteger("4294967297"), 2147483647);  // would wrap to 1
    EXPECT_EQ(ParseInteger("99999999999999999999999999"), 2147483647);
    EXPECT_EQ(ParseInteger("-2147483648"), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(ParseInteger("-2147483649"), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(ParseInteger("-4294967295"), std::numeric_limits<std::int32_t>::min());  // would wrap to 1
}

TEST(SettingsParseInteger, ReadsOnlyTheFirstThirtyCharacters) {
    EXPECT_EQ(ParseInteger(std::string(28, ' ') + "42"), 42);
    EXPECT_EQ(ParseInteger(std::string(29, ' ') + "42"), 4);
    EXPECT_EQ(ParseInteger(std::string(30, ' ') + "42"), 0);
}

}  // namespace
