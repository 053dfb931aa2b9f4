#include <gtest/gtest.h>

#include <string>

#include "FakeHost.h"
#include "model/SettingsCheck.h"
#include "model/VelmoraDoc.h"

using namespace velmora;
using velmora::test::FakeHost;

namespace {

class SettingsDialogRules : public ::testing::Test {
protected:
    SettingsDialogRules() : doc(host) { doc.OnNewDocument(); }

    // Expects exactly one refusal with this text and caption, owned by the dialog.
    void ExpectRefusal(const std::string& text, const std::string& caption) {
        ASSERT_EQ(host.messages.size(), 1u);
        const Message& m = host.messages.front();
        EXPECT_EQ(m.text, text);
        EXPECT_EQ(m.caption, caption);
        EXPECT_EQ(m.icon, MsgIcon::None);
        EXPECT_EQ(m.buttons, MsgButtons::Ok);
        EXPECT_EQ(m.owner, MsgOwner::Dialog);
    }

    SettingsResult Ok(const SettingsFields& f) { return ApplySettings(doc, host, f); }

    FakeHost host;
    CVelmoraDoc doc;
};

const char* kIterLow = "Number of iterations must be an\ninteger greater than or equal to 1.";
const char* kIterHigh = "Maximum number of iterations must be\nless than or equal to 2147483647.";
const char* kWidthLow = "Horizontal resolution must be at least 1 pixel.";
const char* kHeightLow = "Vertical resolution must be at least 1 pixel.";

TEST_F(SettingsDialogRules, NewDocumentShowsTheDefaults) {
    const SettingsFields f = SettingsFieldsFrom(doc);
    EXPECT_EQ(f.left, "-2");
    EXPECT_EQ(f.right, "2");
    EXPECT_EQ(f.top, "-1.5");
    EXPECT_EQ(f.bottom, "1.5");
    EXPECT_EQ(f.cReal, "0.3");
    EXPECT_EQ(f.cImag, "0.6");
    EXPECT_EQ(f.detailLevel, "200");
    EXPECT_EQ(f.xPels, "300");
    EXPECT_EQ(f.yPels, "300");
    EXPECT_TRUE(f.mandelbrot);
}

TEST_F(SettingsDialogRules, AnyTypeButMandelbrotShowsAsJulia) {
    doc.m_params.type = FractalType::Julia;
    EXPECT_FALSE(SettingsFieldsFrom(doc).mandelbrot);
    doc.m_params.type = static_cast<FractalType>(7);  // from a damaged file
    EXPECT_FALSE(SettingsFieldsFrom(doc).mandelbrot);
}

TEST_F(SettingsDialogRules, ShowsConstantsAndRegionDifferently) {
    doc.m_params.cReal = 1.0;
    doc.m_params.left = 1.0;
    doc.m_params.right = 0.001;
    doc.m_params.iterations = std::numeric_limits<std::int32_t>::min();
    const SettingsFields f = SettingsFieldsFrom(doc);
    EXPECT_EQ(f.cReal, "1.");
    EXPECT_EQ(f.left, "1");
    EXPECT_EQ(f.right, "1.e-003");
    EXPECT_EQ(f.detailLevel, "-2147483649");  // shown without wrapping round
}

TEST_F(SettingsDialogRules, UnchangedFieldsAcceptAndKeepTheEngine) {
    const FractalEngine* engine = doc.m_pEngine.get();
    EXPECT_EQ(Ok(SettingsFieldsFrom(doc)), SettingsResult::Accepted);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(doc.m_pEngine.get(), engine);
    EXPECT_EQ(doc.m_params.iterations, 201);
    EXPECT_EQ(doc.m_params.left, -2.0);
}

TEST_F(SettingsDialogRules, StoresEveryField) {
    SettingsFields f = SettingsFieldsFrom(doc);
    f.left = "-0.75";
    f.right = "0.25";
    f.top = "0.5";
    f.bottom = "-0.5";  // reversed edges are accepted
    f.cReal = "-0.8";
    f.cImag = "0.156";
    f.mandelbrot = false;
    f.detailLevel = "499";
    f.xPels = "640";
    f.yPels = "480";
    ASSERT_EQ(Ok(f), SettingsResult::Accepted);
    const FractalParams& p = doc.m_params;
    EXPECT_EQ(p.left, -0.75);
    EXPECT_EQ(p.right, 0.25);
    EXPECT_EQ(p.top, 0.5);
    EXPECT_EQ(p.bottom, -0.5);
    EXPECT_EQ(p.cReal, -0.8);
    EXPECT_EQ(p.cImag, 0.156);
    EXPECT_EQ(p.type, FractalType::Julia);
    EXPECT_EQ(p.iterations, 500);
    EXPECT_EQ(doc.GetWidth(), 640);
    EXPECT_EQ(doc.GetHeight(), 480);
    EXPECT_EQ(doc.m_pEngine->GetWidth(), 640);
    EXPECT_EQ(doc.m_pEngine->GetHeight(), 480);
}

TEST_F(SettingsDialogRules, TextThatIsNoNumberStoresZeroInRegionAndConstant) {
    SettingsFields f = SettingsFieldsFrom(doc);
    f.left = "abc";
    f.cImag = "";
    ASSERT_EQ(Ok(f), SettingsResult::Accepted);
    EXPECT_EQ(doc.m_params.left, 0.0);
    EXPECT_EQ(doc.m_params.cImag, 0.0);
}

TEST_F(SettingsDialogRules, DetailLevelBelowOneIsRefused) {
    for (const char* text : {"0", "-3", "", "letters", "-2147483648", "-99999999999"}) {
        FakeHost h;
        h.allowMessages = true;
        SettingsFields f = SettingsFieldsFrom(doc);
        f.detailLevel = text;
        EXPECT_EQ(ApplySettings(doc, h, f), SettingsResult::DetailLevel) << text;
        ASSERT_EQ(h.messages.size(), 1u) << text;
        EXPECT_EQ(h.messages[0].text, kIterLow);
        EXPECT_EQ(h.messages[0].caption, "Iterations");
        EXPECT_EQ(doc.m_params.iterations, 201) << text;
    }
}

TEST_F(SettingsDialogRules, DetailLevelAtTheTopOfTheRange) {
    SettingsFields f = SettingsFieldsFrom(doc);
    f.detailLevel = "2147483646";
    ASSERT_EQ(Ok(f), SettingsResult::Accepted);
    EXPECT_EQ(doc.m_params.iterations, 2147483647);

    host.allowMessages = true;
    f.detailLevel = "2147483647";
    EXPECT_EQ(Ok(f), SettingsResult::DetailLevel);
    ExpectRefusal(kIterHigh, "Iterations");
}

TEST_F(SettingsDialogRules, DetailLevelBeyondTheRangeIsRefusedNotWrapped) {
    host.allowMessages = true;
    // 4294967297 would wrap to 1 in 32 bits and pass; it must be refused.
    SettingsFields f = SettingsFieldsFrom(doc);
    f.detailLevel = "4294967297";
    EXPECT_EQ(Ok(f), SettingsResult::DetailLevel);
    ExpectRefusal(kIterHigh, "Iterations");
    EXPECT_EQ(doc.m_params.iterations, 201);
}

TEST_F(SettingsDialogRules, DetailLevelFollowedByLettersCounts) {
    SettingsFields f = SettingsFieldsFrom(doc);
    f.detailLevel = "12abc";
    ASSERT_EQ(Ok(f), SettingsResult::Accepted);
    EXPECT_EQ(doc.m_params.iterations, 13);
    f.detailLevel = "1";
    ASSERT_EQ(Ok(f), SettingsResult::Accepted);
    EXPECT_EQ(doc.m_params.iterations, 2);
}

TEST_F(SettingsDialogRules, WidthIsCheckedBeforeHeight) {
    host.allowMessages = true;
    SettingsFields f = SettingsFieldsFrom(doc);
    f.xPels = "0";
    f.yPels = "0";
    EXPECT_EQ(Ok(f), SettingsResult::XPels);
    ExpectRefusal(kWidthLow, "Resolution");

    host.messages.clear();
    f.xPels = "10";
    EXPECT_EQ(Ok(f), SettingsResult::YPels);
    ExpectRefusal(kHeightLow, "Resolution");
    EXPECT_EQ(doc.GetWidth(), 300);  // nothing of the size stored
}

TEST_F(SettingsDialogRules, NegativeOverflowingSizeIsRefused) {
    host.allowMessages = true;
    SettingsFields f = SettingsFieldsFrom(doc);
    f.xPels = "-4294967295";  // would wrap to 1
    EXPECT_EQ(Ok(f), SettingsResult::XPels);
    ExpectRefusal(kWidthLow, "Resolution");
}

TEST_F(SettingsDialogRules, IterationsCheckComesBeforeTheSize) {
    host.allowMessages = true;
    SettingsFields f = SettingsFieldsFrom(doc);
    f.detailLevel = "0";
    f.xPels = "0";
    EXPECT_EQ(Ok(f), SettingsResult::DetailLevel);
    ExpectRefusal(kIterLow, "Iterations");
}

TEST_F(SettingsDialogRules, ValuesStoredBeforeAFailingCheckStay) {
    host.allowMessages = true;
    SettingsFields f = SettingsFieldsFrom(doc);
    f.left = "-1.25";
    f.cReal = "0.5";
    f.mandelbrot = false;
    f.detailLevel = "0";
    EXPECT_EQ(Ok(f), SettingsResult::DetailLevel);
    EXPECT_EQ(doc.m_params.left, -1.25);
    EXPECT_EQ(doc.m_params.cReal, 0.5);
    EXPECT_EQ(doc.m_params.type, FractalType::Julia);
    EXPECT_EQ(doc.m_params.iterations, 201);

    // The limit is stored before the size checks.
    f.detailLevel = "99";
    f.yPels = "-1";
    EXPECT_EQ(Ok(f), SettingsResult::YPels);
    EXPECT_EQ(doc.m_params.iterations, 100);
    EXPECT_EQ(doc.GetHeight(), 300);
    EXPECT_FALSE(doc.IsModified());  // marking modified is the caller's part
}

TEST_F(SettingsDialogRules, OnlyAChangedSizeReplacesTheEngine) {
    doc.RenderImage();
    ASSERT_TRUE(doc.m_pEngine->IsValid());
    const FractalEngine* engine = doc.m_pEngine.get();
    SettingsFields f = SettingsFieldsFrom(doc);
    f.left = "-1";
    ASSERT_EQ(Ok(f), SettingsResult::Accepted);
    EXPECT_EQ(doc.m_pEngine.get(), engine);
    EXPECT_TRUE(doc.m_pEngine->IsValid());  // the picture is not blanked
    // Nothing reaches the engine but through a resize: the next render loads it.
    EXPECT_EQ(doc.m_pEngine->GetXMin(), -2.0);

    f.xPels = "301";
    ASSERT_EQ(Ok(f), SettingsResult::Accepted);
    EXPECT_EQ(doc.m_pEngine->GetWidth(), 301);
    EXPECT_EQ(doc.m_pEngine->GetHeight(), 300);
    EXPECT_FALSE(doc.m_pEngine->IsValid());
}

TEST_F(SettingsDialogRules, ComparesWithThePictureThatExists) {
    // Stored size and picture disagree: the engine's size is what counts.
    doc.m_params.width = 500;
    const FractalEngine* engine = doc.m_pEngine.get();
    SettingsFields f = SettingsFieldsFrom(doc);
    f.xPels = "300";
    ASSERT_EQ(Ok(f), SettingsResult::Accepted);
    EXPECT_EQ(doc.m_pEngine.get(), engine);
}

TEST_F(SettingsDialogRules, SwitchingTheTypeLeavesTheConstant) {
    doc.m_params.cReal = -0.4;
    doc.m_params.cImag = 0.6;
    SettingsFields f = SettingsFieldsFrom(doc);
    f.mandelbrot = true;
    ASSERT_EQ(Ok(f), SettingsResult::Accepted);
    EXPECT_EQ(doc.m_params.type, FractalType::Mandelbrot);
    EXPECT_EQ(doc.m_params.cReal, -0.4);
    EXPECT_EQ(doc.m_params.cImag, 0.6);
}

TEST_F(SettingsDialogRules, LongFieldsAreReadFromTheirFirstThirtyCharacters) {
    SettingsFields f = SettingsFieldsFrom(doc);
    f.left = "-1.2345678901234567890123456789999999999";  // 40 characters
    f.detailLevel = "0000000000000000000000000000123";        // the 3 is the 31st
    ASSERT_EQ(Ok(f), SettingsResult::Accepted);
    EXPECT_EQ(doc.m_params.left, -1.23456789012345678901234567899);
    EXPECT_EQ(doc.m_params.iterations, 13);
}

}  // namespace
