// The settings number texts (shown and read) and the settings dialog's OK
// sequence: what it stores, and its checks in their order.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "FakeHost.h"
#include "model/SettingsCheck.h"
#include "model/SettingsText.h"
#include "model/Document.h"
#include "session/RenderSession.h"

using namespace velmora;
using velmora::test::FakeHost;

namespace {

constexpr auto R = RealStyle::Region;
constexpr auto C = RealStyle::Constant;
constexpr double kMax = std::numeric_limits<double>::max();
constexpr std::int32_t kMinInt = std::numeric_limits<std::int32_t>::min();

TEST(SettingsText, formatReal) {
    const struct { double v; RealStyle style; const char* text; } cases[] = {
        {-2.0, R, "-2"}, {1.5, R, "1.5"}, {0.3, C, "0.3"}, {-0.75, R, "-0.75"},
        // A final point stays in the constant's style only; the scientific form keeps its point.
        {1.0, C, "1."}, {1.0, R, "1"}, {0.0, C, "0."}, {0.0, R, "0"}, {-0.0, C, "0."}, {0.001, R, "1.e-003"},
        {0.001, C, "1.e-003"},
        // Plain from 0.1 to 10 digits, scientific outside, after rounding to ten significant digits.
        {0.05, C, "5.e-002"}, {0.1, C, "0.1"}, {0.099999999999, C, "0.1"}, {0.09999999999, C, "9.999999999e-002"},
        {9999999999.0, R, "9999999999"}, {9999999999.6, R, "1.e+010"}, {12345678901.0, C, "1.23456789e+010"},
        {-12345678901.0, R, "-1.23456789e+010"}, {1e100, R, "1.e+100"}, {2.5e-300, R, "2.5e-300"},
        {3.14159265358979, R, "3.141592654"}, {-0.123456789012, R, "-0.123456789"}, {1234.56789012, R, "1234.56789"},
        {1.0000000001, C, "1."}, {1.23456789012345e-5, R, "1.23456789e-005"}};
    for (const auto& c : cases) EXPECT_EQ(formatReal(c.v, c.style), c.text) << c.v;
    for (double v : {-2.0, 1.5, 0.3, 0.05, 0.001, 1234567890.0, 1.23456789e10, -1.25e-7, 0.0})
        EXPECT_EQ(parseReal(formatReal(v, R)), v) << v;  // what is shown reads back
    EXPECT_EQ(formatInteger(-2147483647), "-2147483647");
}

TEST(SettingsText, ParseRealReadsTheLeadingNumberOfTheFirstThirtyCharacters) {
    const std::string tiny = "0." + std::string(25, '0') + "1234";  // 31 characters
    const struct { std::string text; double v; } cases[] = {
        {"1.5", 1.5}, {"  \t-0.25xyz", -0.25}, {"+3", 3.0}, {"5.", 5.0}, {".5", 0.5}, {"-.5e1", -5.0},
        {"1E2", 100.0}, {"5.e-002", 0.05}, {"2e+3 and more", 2000.0}, {"1.2.3", 1.2}, {"1,5", 1.0},
        {"5e", 5.0}, {"5e+", 5.0}, {"5e-x", 5.0},  // an incomplete exponent is ignored
        {"", 0.0}, {"   ", 0.0}, {"abc", 0.0}, {"-", 0.0}, {".", 0.0}, {"-.e5", 0.0}, {"e5", 0.0},
        {"inf", 0.0}, {"nan", 0.0}, {"0x10", 0.0},
        {"1e999", kMax}, {"-1e999", -kMax}, {"1e-999", 0.0},  // out of range stays finite
        {std::string(29, ' ') + "78", 7.0}, {std::string(30, ' ') + "7", 0.0}, {tiny, 1.23e-26},
        {std::string(40, '1'), parseReal(std::string(30, '1'))}};
    for (const auto& c : cases) EXPECT_EQ(parseReal(c.text), c.v) << '"' << c.text << '"';
    EXPECT_TRUE(std::signbit(parseReal("-1e-999")));
    std::string wide;  // characters, not bytes: 29 two-byte letters and then a digit
    for (int i = 0; i < 29; ++i) wide += "\xC3\xA9";
    EXPECT_EQ(firstCharacters(wide + "99", 30), wide + "9");
}

TEST(SettingsText, ParseIntegerReadsLeadingDigitsAndSaturates) {
    const struct { std::string text; std::int32_t v; } cases[] = {
        {"200", 200}, {"  -17", -17}, {"+5", 5}, {"12abc", 12}, {"3.9", 3}, {"1e3", 1}, {"", 0}, {"abc", 0},
        {"- 5", 0}, {"--5", 0}, {"0007", 7}, {"2147483647", 2147483647}, {"2147483648", 2147483647},
        {"4294967297", 2147483647},  // would wrap to 1
        {"99999999999999999999999999", 2147483647}, {"-2147483648", kMinInt}, {"-2147483649", kMinInt},
        {"-4294967295", kMinInt},  // would wrap to 1
        {std::string(28, ' ') + "42", 42}, {std::string(29, ' ') + "42", 4}, {std::string(30, ' ') + "42", 0}};
    for (const auto& c : cases) EXPECT_EQ(parseInteger(c.text), c.v) << '"' << c.text << '"';
}

class SettingsDialog : public ::testing::Test {
protected:
    SettingsDialog() : doc(host) { doc.onNewDocument(); }
    SettingsResult ok(const SettingsFields& f) { return applySettings(doc, host, f); }
    FakeHost host;
    Document doc;
    RenderSession session{doc};
};

std::string Shown(const SettingsFields& f) {
    return f.left + " " + f.right + " " + f.top + " " + f.bottom + " K " + f.cReal + " " + f.cImag + " L " +
           f.detailLevel + " " + f.xPels + "x" + f.yPels + (f.mandelbrot ? " Mandelbrot" : " Julia");
}

TEST_F(SettingsDialog, ShowsTheDocumentAndStoresEveryField) {
    EXPECT_EQ(Shown(settingsFieldsFrom(doc)),
              "-2 2 -1.5 1.5 K 0.3 0.6 L 200 300x300 Mandelbrot");  // the limit less one
    // Reversed edges are fine.
    SettingsFields f{"-0.75", "0.25", "0.5", "-0.5", "-0.8", "0.156", "499", "640", "480", false};
    ASSERT_EQ(ok(f), SettingsResult::Accepted);
    EXPECT_EQ(Shown(settingsFieldsFrom(doc)), Shown(f));
    EXPECT_EQ(std::tuple(doc.params().iterations, session.engine()->width(), session.engine()->height()),
              std::tuple(500, 640, 480));
    f.mandelbrot = true;
    f.left = "no number";  // stores zero
    f.cImag = "";
    ASSERT_EQ(ok(f), SettingsResult::Accepted);
    EXPECT_EQ(Shown(settingsFieldsFrom(doc)), "0 0.25 0.5 -0.5 K -0.8 0. L 499 640x480 Mandelbrot");
    EXPECT_FALSE(doc.isModified());  // marking modified is the caller's part
    doc.editParams([&](FractalParams& p) { p.iterations = kMinInt; });
    doc.editParams([&](FractalParams& p) { p.type = static_cast<FractalType>(7); });  // from a damaged file
    EXPECT_EQ(Shown(settingsFieldsFrom(doc)), "0 0.25 0.5 -0.5 K -0.8 0. L -2147483649 640x480 Julia");
}

TEST_F(SettingsDialog, ChecksRunInOrderAndTheFirstFailureStops) {
    const char* kIterLow = "Number of iterations must be an\ninteger greater than or equal to 1.";
    const char* kIterHigh = "Maximum number of iterations must be\nless than or equal to 2147483647.";
    const char* kWidth = "Horizontal resolution must be at least 1 pixel.";
    const char* kHeight = "Vertical resolution must be at least 1 pixel.";
    using S = SettingsResult;
    const std::string ok = "300";
    // The iterations' messages have the caption "Iterations", the sizes' ones "Resolution".
    const struct { std::string detail, x, y; S result; const char* text; std::int32_t limit; } cases[] = {
        {"1", ok, ok, S::Accepted, "", 2}, {"12abc", ok, ok, S::Accepted, "", 13},
        {"2147483646", ok, ok, S::Accepted, "", 2147483647},
        {"0000000000000000000000000000123", ok, ok, S::Accepted, "", 13},  // the 3 is the 31st character
        {"0", ok, ok, S::DetailLevel, kIterLow, 201}, {"-3", ok, ok, S::DetailLevel, kIterLow, 201},
        {"letters", ok, ok, S::DetailLevel, kIterLow, 201}, {"-2147483648", ok, ok, S::DetailLevel, kIterLow, 201},
        {"-99999999999", ok, ok, S::DetailLevel, kIterLow, 201}, {"2147483647", ok, ok, S::DetailLevel, kIterHigh, 201},
        {"4294967297", ok, ok, S::DetailLevel, kIterHigh, 201},  // not wrapped to 1
        {"0", "0", "0", S::DetailLevel, kIterLow, 201},          // iterations before the size
        {"99", "0", "0", S::XPels, kWidth, 100},                 // width before height
        {"99", "-4294967295", ok, S::XPels, kWidth, 100}, {"99", "10", "0", S::YPels, kHeight, 100},
        {"99", "10", "-1", S::YPels, kHeight, 100}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.detail + " " + c.x + " " + c.y);
        FakeHost h;
        h.allowMessages = true;
        Document d(h);
        d.onNewDocument();
        SettingsFields f = settingsFieldsFrom(d);
        f.left = "-1.25";
        f.mandelbrot = false;
        f.detailLevel = c.detail;
        f.xPels = c.x;
        f.yPels = c.y;
        EXPECT_EQ(applySettings(d, h, f), c.result);
        // What comes before the failing check stays stored; nothing after it is.
        EXPECT_EQ(std::tuple(d.params().left, d.params().type, d.params().iterations, d.width()),
                  std::tuple(-1.25, FractalType::Julia, c.limit, 300));
        if (c.result == S::Accepted) {
            EXPECT_TRUE(h.messages.empty());
            continue;
        }
        ASSERT_EQ(h.messages.size(), 1u);
        const Message& m = h.messages[0];
        EXPECT_EQ(std::tuple(m.text, m.caption),
                  std::tuple(c.text, c.result == S::DetailLevel ? "Iterations" : "Resolution"));
        EXPECT_TRUE(m.icon == MsgIcon::None && m.buttons == MsgButtons::Ok && m.owner == MsgOwner::Dialog);
        EXPECT_EQ(d.height(), 300);
    }
}

TEST_F(SettingsDialog, OnlyASizeThatDiffersFromThePictureReplacesTheEngine) {
    session.render();
    const FractalEngine* engine = session.engine();
    SettingsFields f = settingsFieldsFrom(doc);
    f.left = "-1";
    ASSERT_EQ(ok(f), SettingsResult::Accepted);
    // The picture is not blanked; the region reaches the engine at the next render.
    EXPECT_EQ(std::tuple(session.engine(), session.engine()->isValid(), session.engine()->xMin()),
              std::tuple(engine, true, -2.0));
    f.xPels = "301";
    ASSERT_EQ(ok(f), SettingsResult::Accepted);
    EXPECT_EQ(std::pair(session.engine()->width(), session.engine()->isValid()), std::pair(301, false));
}

// The colour density must lie above 0, the offset in [0, 256); checked after
// the size, and stored (with the size) only when both pass. Shown as the
// shortest text that reads back as the same number.
TEST_F(SettingsDialog, ColourDensityAndOffsetAreCheckedLastAndStoredTogether) {
    const char* kDensity = "Colour density must be a number greater than 0.";
    const char* kOffset = "Colour offset must be at least 0 and less than 256.";
    using S = SettingsResult;
    const struct { std::string density, offset; S result; const char* text; ColourSpread stored; } cases[] = {
        {"2.5", "255.9", S::Accepted, "", {2.5, 255.9}}, {"1e-05", "0", S::Accepted, "", {1e-5, 0.0}},
        {"0", "7", S::Density, kDensity, {}}, {"none", "7", S::Density, kDensity, {}},
        {"1e999", "7", S::Density, kDensity, {}}, {"0", "256", S::Density, kDensity, {}},  // the density first
        {"2", "256", S::Offset, kOffset, {}}, {"2", "-0.001", S::Offset, kOffset, {}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.density + " " + c.offset);
        FakeHost h;
        h.allowMessages = true;
        Document d(h);
        d.onNewDocument();
        SettingsFields f = settingsFieldsFrom(d);
        std::tie(f.xPels, f.density, f.offset) = std::tuple("301", c.density, c.offset);
        EXPECT_EQ(applySettings(d, h, f), c.result);
        EXPECT_EQ(std::pair(d.colourSpread(), d.width()), std::pair(c.stored, c.result == S::Accepted ? 301 : 300));
        if (c.result == S::Accepted) {  // shown again as typed
            EXPECT_EQ(settingsFieldsFrom(d).density + " " + settingsFieldsFrom(d).offset, c.density + " " + c.offset);
            continue;
        }
        ASSERT_EQ(h.messages.size(), 1u);
        EXPECT_EQ(std::tuple(h.messages[0].text, h.messages[0].caption), std::tuple(c.text, "Colour"));
    }
}

}  // namespace
