#include <gtest/gtest.h>

#include <filesystem>

#include "FakeHost.h"
#include "TempDir.h"
#include "anim/AnimRender.h"
#include "anim/PlaybackScript.h"
#include "anim/Tween.h"
#include "AnimTestSupport.h"
#include "model/LittleEndian.h"

using namespace velmora;
using velmora::test::FakeHost;
using velmora::test::ReadBytes;
using velmora::test::StatusLog;
using velmora::test::TempDir;

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

    RenderSettings Settings(std::int32_t from, std::int32_t to, TweenStyle style = TweenStyle::ConstantSpeed) {
        RenderSettings s;
        s.width = kW;
        s.height = kH;
        s.from = from;
        s.to = to;
        s.tweenStyle = style;
        s.destFolder = folder;
        return s;
    }

    std::string Frame(int n) const { return dir.File("frame" + std::to_string(n) + ".bmp"); }

    // A frame file against a single render of the given values: file header,
    // the tweened palette as colour table, and every pixel byte.
    void ExpectFrame(int n, const Keyframe& values) const {
        const auto bytes = ReadBytes(Frame(n));
        const std::size_t stride = kW + 3;
        ASSERT_EQ(bytes.size(), 1078u + stride * kH) << "frame " << n;
        EXPECT_EQ(bytes[0], 'B');
        EXPECT_EQ(le::LoadU32(&bytes[2]), 1078u + stride * kH);
        EXPECT_EQ(static_cast<std::int32_t>(le::LoadU32(&bytes[18])), kW);
        EXPECT_TRUE(std::equal(values.palette.Raw().begin(), values.palette.Raw().end(), bytes.begin() + 54))
            << "colour table of frame " << n;
        EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 1078, bytes.end()),
                  test::ReferenceImage(test::RefOf(values, kW, kH)))
            << "pixels of frame " << n;
    }

    Keyframe Tweened(int segment, int step, TweenStyle style) const {
        Keyframe k;
        TweenKeyframes(doc.m_keyframes[segment], doc.m_keyframes[segment + 1], k, step, style);
        return k;
    }

    void ExpectRestored() const {
        EXPECT_EQ(doc.m_params.left, before.left);
        EXPECT_EQ(doc.m_params.top, before.top);
        EXPECT_EQ(doc.m_params.right, before.right);
        EXPECT_EQ(doc.m_params.bottom, before.bottom);
        EXPECT_EQ(doc.m_params.type, before.type);
        EXPECT_EQ(doc.m_params.cReal, before.cReal);
        EXPECT_EQ(doc.m_params.cImag, before.cImag);
        EXPECT_EQ(doc.m_params.iterations, before.iterations);
        EXPECT_EQ(doc.GetWidth(), 40);
        EXPECT_EQ(doc.GetHeight(), 30);
        EXPECT_EQ(doc.m_palette, test::Ramp(33));
        ASSERT_TRUE(doc.m_pEngine);
        EXPECT_EQ(doc.m_pEngine->GetWidth(), 40);
        EXPECT_EQ(doc.m_pEngine->GetHeight(), 30);
        EXPECT_FALSE(doc.m_pEngine->IsValid());  // a new engine: the old picture is gone
        EXPECT_EQ(doc.m_pEngine->GetIterations(), 77);  // loaded with the restored values
        EXPECT_EQ(doc.m_pEngine->GetType(), 2);
    }

    std::string Script() const {
        const auto b = ReadBytes(dir.File("script.aas"));
        return std::string(b.begin(), b.end());
    }

    TempDir dir;
    FakeHost host;
    CVelmoraDoc doc{host};
    FractalParams before;
    std::string folder;
    StatusLog log;
};

TEST_F(AnimRender, EveryFrameIsASingleRenderOfItsTweenedValues) {
    for (const TweenStyle style : {TweenStyle::SlowAtKeyframes, TweenStyle::ConstantSpeed}) {
        doc.m_keyframes = test::ThreeKeyframes(3, 2);
        log.texts.clear();
        const AnimRenderResult r = RenderAnimation(doc, Settings(1, 5, style), &log);
        ASSERT_EQ(r.outcome, AnimRenderOutcome::Completed);
        EXPECT_TRUE(r.scriptWritten);
        EXPECT_EQ(r.scriptPath, folder + "script.aas");
        EXPECT_EQ(r.framesBegun, 5);
        for (int d = 0; d < 3; ++d) ExpectFrame(1 + d, Tweened(0, d, style));
        for (int d = 0; d < 2; ++d) ExpectFrame(4 + d, Tweened(1, d, style));
        EXPECT_FALSE(fs::exists(Frame(6)));  // the last keyframe is never a frame
        if (style == TweenStyle::SlowAtKeyframes) {
            // Frames at step 0 are their keyframes (reserved bytes aside).
            Keyframe first = doc.m_keyframes[0];
            first.palette.ClearReserved();
            ExpectFrame(1, first);
            Keyframe second = doc.m_keyframes[1];
            second.palette.ClearReserved();
            ExpectFrame(4, second);
        }
        ExpectRestored();
    }
    EXPECT_EQ(host.beeps, 2);
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(AnimRender, StatusTextsNameEachFrame) {
    RenderAnimation(doc, Settings(2, 3), &log);
    const std::vector<std::string> expected = {"Calculating frame 2", "Rendering frame 2", "Saving frame 2",
                                               "Calculating frame 3", "Rendering frame 3", "Saving frame 3"};
    EXPECT_EQ(log.texts, expected);
}

TEST_F(AnimRender, TheSettingsStayInTheDocument) {
    doc.m_tweenStyle = TweenStyle::ConstantSpeed;
    RenderAnimation(doc, Settings(1, 1, TweenStyle::SlowAtKeyframes), nullptr);
    EXPECT_EQ(doc.m_tweenStyle, TweenStyle::SlowAtKeyframes);
    EXPECT_EQ(doc.m_destFolder, folder);
    EXPECT_EQ(doc.m_animWidth, kW);
    EXPECT_EQ(doc.m_animHeight, kH);
    EXPECT_FALSE(doc.IsModified());
    ExpectRestored();
}

TEST_F(AnimRender, RangeAcrossAKeyframe) {
    const AnimRenderResult r = RenderAnimation(doc, Settings(10, 11), &log);
    ASSERT_TRUE(r.Completed());
    EXPECT_EQ(r.framesBegun, 2);
    ExpectFrame(10, Tweened(0, 9, TweenStyle::ConstantSpeed));
    const Keyframe eleven = Tweened(1, 0, TweenStyle::ConstantSpeed);
    EXPECT_NEAR(eleven.right, doc.m_keyframes[1].right, 1e-15);  // keyframe 2 itself
    EXPECT_EQ(eleven.left, doc.m_keyframes[1].left);
    ExpectFrame(11, eleven);
    for (int n : {1, 9, 12}) EXPECT_FALSE(fs::exists(Frame(n))) << n;
    // The script lists the whole animation, not the range.
    EXPECT_EQ(Script(), ScriptText(folder, PlaybackStyle::Forwards, 15));
}

TEST_F(AnimRender, OneFrameRangeIsACompletion) {
    const AnimRenderResult r = RenderAnimation(doc, Settings(3, 3, TweenStyle::SlowAtKeyframes), &log);
    ASSERT_TRUE(r.Completed());
    EXPECT_EQ(host.beeps, 1);
    ExpectFrame(3, Tweened(0, 2, TweenStyle::SlowAtKeyframes));
    std::size_t files = 0;
    for (const auto& e : fs::directory_iterator(dir.Path())) files += e.path().extension() == ".bmp";
    EXPECT_EQ(files, 1u);
}

TEST_F(AnimRender, SegmentsWithoutFramesAreSkipped) {
    doc.m_keyframes = {test::Key(-2, 2, -1.5, 1.5, 30, 2), test::Key(-1, 1, -1, 1, 40, 0, 1, 0.3, 0.6, 9),
                       test::Key(-0.5, 0.5, -0.5, 0.5, 50, 2, 1, 0.3, 0.6, 18), test::Key(-0.2, 0.2, -0.2, 0.2, 60, 4)};
    ASSERT_TRUE(RenderAnimation(doc, Settings(2, 4), &log).Completed());
    ExpectFrame(2, Tweened(0, 1, TweenStyle::ConstantSpeed));
    ExpectFrame(3, Tweened(2, 0, TweenStyle::ConstantSpeed));  // keyframe 3 opens the next segment with frames
    ExpectFrame(4, Tweened(2, 1, TweenStyle::ConstantSpeed));
}

TEST_F(AnimRender, EscapeDuringFrameFiveKeepsFramesOneToFour) {
    host.allowMessages = true;
    host.cancelAt = [this](int) { return log.Last() == "Rendering frame 5"; };
    const AnimRenderResult r = RenderAnimation(doc, Settings(1, 15), &log);
    EXPECT_EQ(r.outcome, AnimRenderOutcome::Aborted);
    EXPECT_EQ(r.lastFrame, 5);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "Render operation aborted.");
    EXPECT_EQ(host.messages[0].icon, MsgIcon::Error);
    EXPECT_EQ(host.messages[0].caption, "Velmora");
    EXPECT_EQ(host.messages[0].ownerName, "Animation Frames Window");
    for (int n = 1; n <= 4; ++n) ExpectFrame(n, Tweened(0, n - 1, TweenStyle::ConstantSpeed));
    EXPECT_FALSE(fs::exists(Frame(5)));
    EXPECT_EQ(Script(), ScriptText(folder, PlaybackStyle::Forwards, 15));
    EXPECT_EQ(host.beeps, 0);  // no completion
    EXPECT_EQ(host.questionSounds, 1);
    EXPECT_EQ(log.Last(), "Rendering frame 5");
    ExpectRestored();
}

TEST_F(AnimRender, AFrameThatCannotBeSavedIsNamedByItsNumber) {
    host.allowMessages = true;
    fs::create_directory(Frame(4));  // a folder where frame 4 should go
    const AnimRenderResult r = RenderAnimation(doc, Settings(3, 6), &log);
    EXPECT_EQ(r.outcome, AnimRenderOutcome::SaveFailed);
    EXPECT_EQ(r.lastFrame, 4);
    EXPECT_EQ(r.framesBegun, 2);
    ASSERT_EQ(host.messages.size(), 1u);
    // The frame's number, not the count of frames begun (2).
    EXPECT_EQ(host.messages[0].text, "Could not save frame 4.\nRender operation aborted.");
    EXPECT_EQ(host.messages[0].icon, MsgIcon::Error);
    EXPECT_TRUE(fs::exists(Frame(3)));
    EXPECT_FALSE(fs::exists(Frame(5)));
    EXPECT_TRUE(r.scriptWritten);
    EXPECT_EQ(host.beeps, 0);
    ExpectRestored();
}

TEST_F(AnimRender, AScriptThatCannotBeWrittenIsReportedAfterTheFrames) {
    host.allowMessages = true;
    fs::create_directory(dir.File("script.aas"));
    const AnimRenderResult r = RenderAnimation(doc, Settings(1, 2), &log);
    EXPECT_TRUE(r.Completed());
    EXPECT_FALSE(r.scriptWritten);
    EXPECT_EQ(host.beeps, 1);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "Could not create the script file.\nYou will not be able to play the animation.");
    EXPECT_EQ(host.messages[0].icon, MsgIcon::Error);
    EXPECT_TRUE(fs::exists(Frame(2)));
    ExpectRestored();
}

TEST_F(AnimRender, FewerThanTwoKeyframesChangeNothing) {
    host.allowMessages = true;
    doc.m_keyframes.resize(1);
    const auto engine = doc.m_pEngine.get();
    const AnimRenderResult r = RenderAnimation(doc, Settings(1, 1), &log);
    EXPECT_EQ(r.outcome, AnimRenderOutcome::TooFewKeyframes);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "There must be at least 2 keyframes in order to render.\nSee Help for details.");
    EXPECT_EQ(host.messages[0].icon, MsgIcon::Information);
    EXPECT_EQ(doc.m_pEngine.get(), engine);
    EXPECT_NE(doc.m_animWidth, kW);
    EXPECT_TRUE(log.texts.empty());
    EXPECT_FALSE(fs::exists(dir.File("script.aas")));
    EXPECT_FALSE(CheckEnoughKeyframes(doc, host));
    doc.m_keyframes = test::ThreeKeyframes();
    EXPECT_TRUE(CheckEnoughKeyframes(doc, host));
}

}  // namespace
