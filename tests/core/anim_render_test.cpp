#include <gtest/gtest.h>

#include <filesystem>

#include "FakeHost.h"
#include "TempDir.h"
#include "anim/AnimRender.h"
#include "anim/PlaybackScript.h"
#include "anim/Tween.h"
#include "AnimTestSupport.h"

using namespace velmora;
using velmora::test::ReadBytes;

namespace {

namespace fs = std::filesystem;

constexpr std::int32_t kW = 13;  // odd: rows carry padding
constexpr std::int32_t kH = 9;

class AnimRender : public ::testing::Test {
protected:
    void SetUp() override {
        test::Prepare(doc, test::ThreeKeyframes(10, 5));
        // Active values that differ from every keyframe, to see them come back.
        doc.m_params = FractalParams{-1.0, -1.0, 1.0, 1.0, FractalType::Julia, -0.4, 0.6, 77, 40, 30};
        doc.SetResolution(40, 30);
        doc.m_palette = test::Ramp(33);
        before = doc.m_params;
        folder = dir.Path().string() + "/";
    }

    AnimRenderResult Render(std::int32_t from, std::int32_t to, TweenStyle style = TweenStyle::ConstantSpeed) {
        return RenderAnimation(doc, RenderSettings{from, to, style, folder, kW, kH}, &log);
    }

    std::string Frame(int n) const { return dir.File("frame" + std::to_string(n) + ".bmp"); }

    // A frame file against a single render of the tweened values of
    // keyframe `segment` at `step`: its size, the palette as colour table, every pixel byte.
    void ExpectFrame(int n, int segment, int step, TweenStyle style = TweenStyle::ConstantSpeed) const {
        Keyframe values;
        TweenKeyframes(doc.m_keyframes[segment], doc.m_keyframes[segment + 1], values, step, style);
        const auto bytes = ReadBytes(Frame(n));
        ASSERT_EQ(bytes.size(), 1078u + (kW + 3) * kH) << "frame " << n;
        EXPECT_TRUE(std::equal(values.palette.Raw().begin(), values.palette.Raw().end(), bytes.begin() + 54))
            << "colour table of frame " << n;
        EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 1078, bytes.end()),
                  test::ReferenceImage(test::RefOf(values, kW, kH)))
            << "pixels of frame " << n;
    }

    // The active values, size, palette and a fresh engine loaded with them.
    void ExpectRestored() const {
        EXPECT_EQ(test::Values(doc.m_params), test::Values(before));
        EXPECT_EQ(doc.m_palette, test::Ramp(33));
        ASSERT_TRUE(doc.m_pEngine);
        const FractalEngine& e = *doc.m_pEngine;  // a new engine: the old picture is gone
        EXPECT_EQ(std::tuple(doc.GetWidth(), doc.GetHeight(), e.GetWidth(), e.GetHeight(), e.GetIterations(), e.GetType(),
                             e.IsValid()), std::tuple(40, 30, 40, 30, 77, 2, false));
    }

    std::string Script() const { return test::ReadText(dir.File("script.aas")); }

    test::TempDir dir;
    test::FakeHost host;
    CVelmoraDoc doc{host};
    FractalParams before;
    std::string folder;
    test::StatusLog log;
};

TEST_F(AnimRender, EveryFrameIsASingleRenderOfItsTweenedValues) {
    doc.m_keyframes = test::ThreeKeyframes(3, 2);
    for (const TweenStyle style : {TweenStyle::SlowAtKeyframes, TweenStyle::ConstantSpeed}) {
        const AnimRenderResult r = Render(1, 5, style);
        EXPECT_EQ(std::tuple(r.outcome, r.scriptWritten, r.scriptPath, r.framesBegun),
                  std::tuple(AnimRenderOutcome::Completed, true, folder + "script.aas", 5));
        for (int n = 1; n <= 5; ++n) ExpectFrame(n, n <= 3 ? 0 : 1, n <= 3 ? n - 1 : n - 4, style);
        EXPECT_FALSE(fs::exists(Frame(6)));  // the last keyframe is never a frame
        ExpectRestored();
    }
    EXPECT_EQ(std::pair(host.beeps, host.messages.size()), std::pair(2, std::size_t{0}));
}

TEST_F(AnimRender, ARangeAcrossAKeyframeNamesEachStepAndScriptsTheWholeAnimation) {
    doc.m_tweenStyle = TweenStyle::ConstantSpeed;
    const AnimRenderResult r = Render(10, 11, TweenStyle::SlowAtKeyframes);
    EXPECT_EQ(std::pair(r.Completed(), r.framesBegun), std::pair(true, 2));
    ExpectFrame(10, 0, 9, TweenStyle::SlowAtKeyframes);
    ExpectFrame(11, 1, 0, TweenStyle::SlowAtKeyframes);  // keyframe 2 itself
    for (int n : {1, 9, 12}) EXPECT_FALSE(fs::exists(Frame(n))) << n;
    EXPECT_EQ(Script(), ScriptText(folder, PlaybackStyle::Forwards, 15));
    EXPECT_EQ(log.texts, (std::vector<std::string>{"Calculating frame 10", "Rendering frame 10", "Saving frame 10",
                                                   "Calculating frame 11", "Rendering frame 11", "Saving frame 11"}));
    // The settings used stay in the document, which still counts as unmodified.
    EXPECT_EQ(std::tuple(doc.m_tweenStyle, doc.m_destFolder, doc.m_animWidth, doc.m_animHeight, doc.IsModified()),
              std::tuple(TweenStyle::SlowAtKeyframes, folder, kW, kH, false));
    ExpectRestored();
}

TEST_F(AnimRender, SegmentsWithoutFramesAreSkipped) {
    doc.m_keyframes = {test::Key(-2, 2, -1.5, 1.5, 30, 2), test::Key(-1, 1, -1, 1, 40, 0, 1, 0.3, 0.6, 9),
                       test::Key(-0.5, 0.5, -0.5, 0.5, 50, 2, 1, 0.3, 0.6, 18), test::Key(-0.2, 0.2, -0.2, 0.2, 60, 4)};
    ASSERT_TRUE(Render(3, 3).Completed());  // a range of one frame
    ExpectFrame(3, 2, 0);  // keyframe 3 opens the next segment with frames
    EXPECT_FALSE(fs::exists(Frame(2)) || fs::exists(Frame(4)));
    EXPECT_EQ(host.beeps, 1);
}

TEST_F(AnimRender, EscapeDuringFrameFiveKeepsFramesOneToFour) {
    host.allowMessages = true;
    host.cancelAt = [this](int) { return log.Last() == "Rendering frame 5"; };
    const AnimRenderResult r = Render(1, 15);
    EXPECT_EQ(std::pair(r.outcome, r.lastFrame), std::pair(AnimRenderOutcome::Aborted, 5));
    ASSERT_EQ(host.messages.size(), 1u);
    const Message& m = host.messages[0];
    EXPECT_EQ(std::tuple(m.text, m.icon, m.caption, m.ownerName),
              std::tuple("Render operation aborted.", MsgIcon::Error, "Velmora", "Animation Frames Window"));
    for (int n = 1; n <= 4; ++n) ExpectFrame(n, 0, n - 1);
    EXPECT_FALSE(fs::exists(Frame(5)));
    EXPECT_EQ(Script(), ScriptText(folder, PlaybackStyle::Forwards, 15));
    EXPECT_EQ(std::tuple(host.beeps, host.questionSounds, log.Last()), std::tuple(0, 1, "Rendering frame 5"));
    ExpectRestored();
}

TEST_F(AnimRender, FilesThatCannotBeWrittenAreNamedAndTheRestStays) {
    struct Case { std::string blocked; AnimRenderOutcome outcome; std::int32_t lastFrame; bool script; std::string text; };
    const Case cases[] = {  // the frame's number, not the count of frames begun (2)
        {"frame4.bmp", AnimRenderOutcome::SaveFailed, 4, true, "Could not save frame 4.\nRender operation aborted."},
        {"script.aas", AnimRenderOutcome::Completed, 6, false,
         "Could not create the script file.\nYou will not be able to play the animation."}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.blocked);
        test::TempDir scratch;
        folder = scratch.Path().string() + "/";
        fs::create_directory(folder + c.blocked);  // a folder where the file should go
        host.allowMessages = true;
        host.beeps = 0;
        host.messages.clear();
        const AnimRenderResult r = Render(3, 6);
        EXPECT_EQ(std::tuple(r.outcome, r.lastFrame, r.scriptWritten), std::tuple(c.outcome, c.lastFrame, c.script));
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_EQ(std::pair(host.messages[0].text, host.messages[0].icon), std::pair(c.text, MsgIcon::Error));
        EXPECT_EQ(host.beeps, c.outcome == AnimRenderOutcome::Completed ? 1 : 0);
        EXPECT_TRUE(fs::exists(folder + "frame3.bmp"));
        EXPECT_EQ(fs::exists(folder + "frame6.bmp"), c.outcome == AnimRenderOutcome::Completed);
        ExpectRestored();
    }
}

TEST_F(AnimRender, FewerThanTwoKeyframesChangeNothing) {
    host.allowMessages = true;
    doc.m_keyframes.resize(1);
    const auto engine = doc.m_pEngine.get();
    EXPECT_EQ(Render(1, 1).outcome, AnimRenderOutcome::TooFewKeyframes);
    EXPECT_EQ(host.LastText(), "There must be at least 2 keyframes in order to render.\nSee Help for details.");
    EXPECT_EQ(host.messages[0].icon, MsgIcon::Information);
    EXPECT_EQ(doc.m_pEngine.get(), engine);
    EXPECT_NE(doc.m_animWidth, kW);
    EXPECT_TRUE(log.texts.empty());
    EXPECT_FALSE(fs::exists(dir.File("script.aas")));
}

}  // namespace
