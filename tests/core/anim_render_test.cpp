// The animation render: its settings, the frames it writes, the playback
// script and what it restores afterwards.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "FakeHost.h"
#include "anim/AnimMessages.h"
#include "anim/AnimRender.h"
#include "anim/PlaybackScript.h"
#include "anim/RenderSettingsCheck.h"
#include "anim/Tween.h"
#include "AnimTestSupport.h"

using namespace velmora;
using velmora::test::readBytes;
using namespace std::string_literals;

namespace {

namespace fs = std::filesystem;

const std::string kBeyond =
    "You have entered an ending frame number which does not exist.\nIn this animation, the highest frame number is 15.";

TEST(RenderSettingsFields, OneMessageAtATimeInTheDialogsOrder) {
    struct Case { std::int32_t width, height, from, to; std::string text; MsgIcon icon; };
    // Each row mends the first problem of the row before.
    const Case cases[] = {
        {0, 0, 0, 0, "Width must be at least 1 pixel", MsgIcon::Information},
        {1, 0, 0, 0, "Starting frame must be at least 1.", MsgIcon::None},
        {1, 0, 5, 0, "Ending frame must be at least 1.", MsgIcon::None},
        {1, 0, 5, 4, "Ending frame must be greater than or equal to the starting frame.", MsgIcon::None},
        {1, 0, 5, 16, kBeyond, MsgIcon::None},
        {1, 0, 5, 15, "Height must be at least 1 pixel", MsgIcon::Information},
        {1, 1, 5, 15, "", MsgIcon::None},
        {1, 1, 15, 15, "", MsgIcon::None}};
    for (const Case& c : cases) {
        const auto p = checkRenderSettingsFields({c.from, c.to, TweenStyle::ConstantSpeed, "x", c.width, c.height}, 15);
        EXPECT_EQ(p ? std::pair(p->text, p->icon) : std::pair(std::string(), MsgIcon::None), std::pair(c.text, c.icon));
    }
}

TEST(RenderSettingsProposal, TheDocumentsStoredSettingsAndTheWholeRange) {
    test::FakeHost host;
    Document doc(host);
    test::prepare(doc, test::threeKeyframes(10, 5));
    doc.editAnimation([](AnimationSettings& a) { std::tie(a.width, a.height, a.destFolder) = std::tuple(64, 48, "/tmp/frames/"); });
    for (const int byte : {1, 0, 2, 3, 200}) {  // a stored byte other than 1 proposes constant speed
        doc.editAnimation([&](AnimationSettings& a) { a.tweenStyle = static_cast<TweenStyle>(byte); });
        const RenderSettings s = proposedRenderSettings(doc);
        EXPECT_EQ(std::tuple(s.width, s.height, s.destFolder, s.from, s.to, s.tweenStyle),
                  std::tuple(64, 48, "/tmp/frames/", 1, 15,
                             byte == 1 ? TweenStyle::SlowAtKeyframes : TweenStyle::ConstantSpeed));
    }
    doc.setKeyframes(test::threeKeyframes(0, 0));  // no frames: a range its own check refuses
    const RenderSettings none = proposedRenderSettings(doc);
    EXPECT_EQ(checkRenderSettingsFields(none, doc.totalFrames())->text, "Ending frame must be at least 1.");
}

// Folders are typed relative to the test's folder, where "old" exists and
// "plain" is a file; an accepted one comes back absolute with a final separator.
// What no playback script could list is refused before the folder is made.
TEST(RenderSettingsAccept, FolderAndFrameCountChecks) {
    struct Shown { std::string text; MsgIcon icon; MsgButtons buttons; };
    const Shown exists{animtext::kFolderExists, MsgIcon::Question, MsgButtons::YesNo};
    const Shown create{animtext::kFolderWillBeCreated, MsgIcon::Information, MsgButtons::OkCancel};
    const Shown failed{animtext::kFolderNotCreated, MsgIcon::Error, MsgButtons::Ok};
    const Shown tooLong{
        "The folder name is too long for the playback script.\nThe full path of the folder may have at most "
        "243 characters.",
        MsgIcon::Information, MsgButtons::Ok};
    const Shown lineBreak{animtext::kFolderLineBreak, MsgIcon::Information, MsgButtons::Ok};
    test::TempDir dir;
    const fs::path cwd = fs::current_path();
    fs::current_path(dir.path());
    const fs::path inside = fs::current_path();
    // The longest script line is the folder, "frame", the number, ".bmp" and a line feed.
    EXPECT_EQ(std::tuple(maxFramesFolderLength(9), maxFramesFolderLength(15), maxFramesFolderLength(INT32_MAX)),
              std::tuple(255u - 11u, 255u - 12u, 255u - 20u));
    const std::size_t fits = maxFramesFolderLength(15) - inside.string().size() - 2;  // two separators
    struct Case { std::string folder; std::int32_t to; FolderQuestions questions; std::vector<MsgAnswer> answers;
                  std::vector<Shown> shown; bool accepted; std::int32_t total = 15; };
    const auto ask = FolderQuestions::Ask, proceed = FolderQuestions::Proceed;
    const auto ok = MsgAnswer::Ok, yes = MsgAnswer::Yes;
    // The fields come first; "old/" gets no second separator; Proceed is the command line's way; one level only.
    const Case cases[] = {
        {"new", 16, ask, {ok}, {{kBeyond, MsgIcon::None, MsgButtons::Ok}}, false},
        {"old", 15, ask, {yes}, {exists}, true}, {"old", 15, ask, {MsgAnswer::No}, {exists}, false},
        {"old/", 15, ask, {yes}, {exists}, true}, {"old", 15, proceed, {}, {}, true},
        {"new", 15, ask, {MsgAnswer::Cancel}, {create}, false}, {"new", 15, ask, {ok}, {create}, true},
        {"new", 15, proceed, {}, {}, true}, {"a/b", 15, ask, {ok, ok}, {create, failed}, false},
        {"plain", 15, proceed, {ok}, {failed}, false}, {"", 15, ask, {ok, ok}, {create, failed}, false},
        {std::string(fits, 'a'), 15, proceed, {}, {}, true},
        {std::string(fits + 1, 'b'), 15, proceed, {ok}, {tooLong}, false},
        {"a\nb", 15, proceed, {ok}, {lineBreak}, false}, {"a\rb", 15, proceed, {ok}, {lineBreak}, false},
        {"f\n", 15, proceed, {ok}, {lineBreak}, false}, {"f", 15, proceed, {}, {}, true, kMaxScriptFrames},
        {"f", 15, proceed, {ok}, {{tooManyFramesText(kMaxScriptFrames + 1), MsgIcon::Information, MsgButtons::Ok}},
         false, kMaxScriptFrames + 1},
        {"f", 15, proceed, {ok}, {{"This animation has 2147483647 frames, more than the 500000 a playback script may "
                                   "list.\nLower the transition counts of its keyframes.", MsgIcon::Information,
                                   MsgButtons::Ok}}, false, INT32_MAX}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        for (const auto& e : fs::directory_iterator(inside)) fs::remove_all(e.path());
        fs::create_directory("old");
        test::writeBytes("plain", {1, 2, 3});
        test::FakeHost host;
        host.answers.assign(c.answers.begin(), c.answers.end());
        RenderSettings s{1, c.to, TweenStyle::ConstantSpeed, c.folder, 10, 10};
        EXPECT_EQ(acceptRenderSettings(s, c.total, host, c.questions), c.accepted);
        EXPECT_EQ(host.messages.size(), c.shown.size());
        for (std::size_t i = 0; i < std::min(c.shown.size(), host.messages.size()); ++i) {
            const Message& m = host.messages[i];
            EXPECT_EQ(std::tuple(m.text, m.icon, m.buttons, m.ownerName),
                      std::tuple(c.shown[i].text, c.shown[i].icon, c.shown[i].buttons, "Render Settings"));
        }
        EXPECT_EQ(s.destFolder, c.accepted ? (inside / c.folder / "").string() : c.folder);
        EXPECT_EQ(fs::is_directory(c.folder.substr(0, c.folder.find('/'))), c.accepted || c.folder.starts_with("old"));
        EXPECT_EQ(fs::current_path(), inside);  // the working directory is left alone
    }
    fs::current_path(cwd);
}

TEST(scriptText, EveryStyleByteAndFrameCount) {
    const std::string f1 = "c:\\a\\frame1.bmp", f2 = "c:\\a\\frame2.bmp", f3 = "c:\\a\\frame3.bmp";
    const std::string forwards = f1 + "\n" + f2 + "\n" + f3, reverse = "\n" + f3 + "\n" + f2 + "\n" + f1;
    const std::string both = forwards + "\n" + f3 + "\n" + f2 + "\n" + f1;
    const std::tuple<int, std::int32_t, std::string> cases[] = {  // style byte, frames, text
        {1, 3, forwards}, {2, 3, reverse}, {4, 3, both}, {3, 3, both},  // 3 runs both passes
        {2 | 8, 3, reverse + "\nLoop 1000"}, {3 | 8, 2, f1 + "\n" + f2 + "\n" + f2 + "\n" + f1 + "\nLoop 1000"},
        {1, 0, ""}, {2, 0, ""}, {4, 0, ""}, {1 | 8, 0, "\nLoop 1000"}, {1, -4, ""}, {4, 1, f1 + "\n" + f1},
        {2, 1, "\n" + f1}, {8, 2, f1 + "\n" + f2 + "\nLoop 1000"}, {0, 2, f1 + "\n" + f2}};  // no direction: Forwards
    for (const auto& [style, frames, text] : cases)
        EXPECT_EQ(scriptText("c:\\a\\", static_cast<PlaybackStyle>(style), frames), text) << style << " " << frames;

    const std::string t = scriptText("/f/", PlaybackStyle::Forwards, 12);  // no leading zeros, no carriage returns
    EXPECT_TRUE(t.find('\r') == std::string::npos && t.find("/f/frame9.bmp\n/f/frame10.bmp\n") != std::string::npos);
    // Long scripts are produced in pieces; the pieces must join seamlessly.
    const std::string big = scriptText("/f/", PlaybackStyle::PingPong, 9000);
    EXPECT_EQ(std::count(big.begin(), big.end(), '\n'), 17999);
    EXPECT_NE(big.find("\n/f/frame4096.bmp\n/f/frame4097.bmp\n"), std::string::npos);
}

constexpr std::int32_t kW = 13;  // odd: rows carry padding
constexpr std::int32_t kH = 9;

class AnimRender : public ::testing::Test {
protected:
    void SetUp() override {
        test::prepare(doc, test::threeKeyframes(10, 5));
        // Active values that differ from every keyframe, to see them come back.
        before = FractalParams{-1.0, -1.0, 1.0, 1.0, FractalType::Julia, -0.4, 0.6, 77, 40, 30, {}};
        doc.setParams(before);
        doc.setPalette(test::ramp(33));
        folder = dir.path().string() + "/";
    }

    AnimRenderResult render(std::int32_t from, std::int32_t to, TweenStyle style = TweenStyle::ConstantSpeed) {
        return renderWithSettings(doc, RenderSettings{from, to, style, folder, kW, kH}, &log);
    }

    std::string frame(int n) const { return dir.file("frame" + std::to_string(n) + ".bmp"); }

    // A frame file against a single render of the tweened values of
    // keyframe `segment` at `step`: its size, the palette as colour table, every pixel byte.
    void expectFrame(int n, int segment, int step, TweenStyle style = TweenStyle::ConstantSpeed) const {
        Keyframe values;
        tweenKeyframes(doc.keyframes()[segment], doc.keyframes()[segment + 1], values, step, style);
        const auto bytes = readBytes(frame(n));
        ASSERT_EQ(bytes.size(), 1078u + (kW + 3) * kH) << "frame " << n;
        EXPECT_TRUE(std::equal(values.palette.raw().begin(), values.palette.raw().end(), bytes.begin() + 54))
            << "colour table of frame " << n;
        EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 1078, bytes.end()),
                  test::referenceImage({values.left, values.top, values.right, values.bottom, values.type, values.cReal,
                                        values.cImag, values.iterations, kW, kH}))
            << "pixels of frame " << n;
    }

    // The active values, size and palette.
    void expectRestored() const {
        EXPECT_EQ(test::values(doc.params()), test::values(before));
        EXPECT_EQ(doc.palette(), test::ramp(33));
        EXPECT_EQ(fs::current_path(), cwd);  // the working directory is left alone
    }

    std::string script() const { return test::readText(dir.file("script.aas")); }

    test::TempDir dir;
    test::FakeHost host;
    Document doc{host};
    FractalParams before;
    const fs::path cwd = fs::current_path();
    std::string folder;
    test::StatusLog log;
};

TEST_F(AnimRender, EveryFrameIsASingleRenderOfItsTweenedValues) {
    doc.setKeyframes(test::threeKeyframes(3, 2));
    for (const TweenStyle style : {TweenStyle::SlowAtKeyframes, TweenStyle::ConstantSpeed}) {
        const AnimRenderResult r = render(1, 5, style);
        EXPECT_EQ(std::tuple(r.outcome, r.scriptWritten, r.scriptPath, r.framesBegun),
                  std::tuple(AnimRenderOutcome::Completed, true, folder + "script.aas", 5));
        for (int n = 1; n <= 5; ++n) expectFrame(n, n <= 3 ? 0 : 1, n <= 3 ? n - 1 : n - 4, style);
        EXPECT_EQ(script(), scriptText(folder, PlaybackStyle::Forwards, 5));  // replaced, not appended to
        EXPECT_FALSE(fs::exists(frame(6)));  // the last keyframe is never a frame
        expectRestored();
    }
    EXPECT_EQ(std::pair(host.beeps, host.messages.size()), std::pair(2, std::size_t{0}));
}

TEST_F(AnimRender, ARangeAcrossAKeyframeNamesEachStepAndScriptsTheWholeAnimation) {
    doc.editAnimation([&](AnimationSettings& a) { a.tweenStyle = TweenStyle::ConstantSpeed; });
    const AnimRenderResult r = render(10, 11, TweenStyle::SlowAtKeyframes);
    EXPECT_EQ(std::pair(r.completed(), r.framesBegun), std::pair(true, 2));
    expectFrame(10, 0, 9, TweenStyle::SlowAtKeyframes);
    expectFrame(11, 1, 0, TweenStyle::SlowAtKeyframes);  // keyframe 2 itself
    for (int n : {1, 9, 12}) EXPECT_FALSE(fs::exists(frame(n))) << n;
    EXPECT_EQ(script(), scriptText(folder, PlaybackStyle::Forwards, 15));
    EXPECT_EQ(log.texts, (std::vector<std::string>{"Calculating frame 10 of 11", "Rendering frame 10 of 11",
                                                   "Saving frame 10 of 11", "Calculating frame 11 of 11",
                                                   "Rendering frame 11 of 11", "Saving frame 11 of 11"}));
    // The settings used stay in the document, which still counts as unmodified.
    EXPECT_EQ(std::tuple(doc.animation().tweenStyle, doc.animation().destFolder, doc.animation().width, doc.animation().height, doc.isModified()),
              std::tuple(TweenStyle::SlowAtKeyframes, folder, kW, kH, false));
    expectRestored();
}

TEST_F(AnimRender, SegmentsWithoutFramesAreSkipped) {
    doc.setKeyframes({test::key(-2, 2, -1.5, 1.5, 30, 2), test::key(-1, 1, -1, 1, 40, 0, 1, 0.3, 0.6, 9),
                      test::key(-0.5, 0.5, -0.5, 0.5, 50, 2, 1, 0.3, 0.6, 18), test::key(-0.2, 0.2, -0.2, 0.2, 60, 4)});
    ASSERT_TRUE(render(3, 3).completed());  // a range of one frame
    expectFrame(3, 2, 0);  // keyframe 3 opens the next segment with frames
    EXPECT_TRUE(!fs::exists(frame(2)) && !fs::exists(frame(4)) && host.beeps == 1);
}

TEST_F(AnimRender, EscapeDuringFrameFiveKeepsFramesOneToFour) {
    host.allowMessages = true;
    host.cancelAt = [this](int) { return !log.texts.empty() && log.texts.back() == "Rendering frame 5 of 15"; };
    const AnimRenderResult r = render(1, 15);
    EXPECT_EQ(std::pair(r.outcome, r.lastFrame), std::pair(AnimRenderOutcome::Aborted, 5));
    ASSERT_EQ(host.messages.size(), 1u);
    const Message& m = host.messages[0];
    EXPECT_EQ(std::tuple(m.text, m.icon, m.caption, m.ownerName),
              std::tuple("Render operation aborted.", MsgIcon::Information, "Velmora", "Animation Frames Window"));
    for (int n = 1; n <= 4; ++n) expectFrame(n, 0, n - 1);
    EXPECT_FALSE(fs::exists(frame(5)));
    EXPECT_EQ(script(), scriptText(folder, PlaybackStyle::Forwards, 15));
    EXPECT_EQ(std::tuple(host.beeps, host.questionSounds, log.texts.back()), std::tuple(0, 1, "Rendering frame 5 of 15"));
    expectRestored();
}

TEST_F(AnimRender, FilesThatCannotBeWrittenAreNamedAndTheRestStays) {
    struct Case { std::string blocked; AnimRenderOutcome outcome; std::int32_t lastFrame; bool script;
                  std::string text; };
    const Case cases[] = {  // the frame's number, not the count of frames begun (2)
        {"frame4.bmp", AnimRenderOutcome::SaveFailed, 4, true, "Could not save frame 4.\nRender operation aborted."},
        {"script.aas", AnimRenderOutcome::Completed, 6, false, animtext::kScriptFailed}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.blocked);
        test::TempDir scratch;
        folder = scratch.path().string() + "/";
        fs::create_directory(folder + c.blocked);  // a folder where the file should go
        std::tie(host.allowMessages, host.beeps, host.messages) = std::tuple(true, 0, std::vector<Message>{});
        const AnimRenderResult r = render(3, 6);
        EXPECT_EQ(std::tuple(r.outcome, r.lastFrame, r.scriptWritten), std::tuple(c.outcome, c.lastFrame, c.script));
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_EQ(std::pair(host.messages[0].text, host.messages[0].icon), std::pair(c.text, MsgIcon::Error));
        const bool completed = c.outcome == AnimRenderOutcome::Completed;
        EXPECT_EQ(std::tuple(host.beeps, fs::exists(folder + "frame3.bmp"), fs::exists(folder + "frame6.bmp")),
                  std::tuple(completed ? 1 : 0, true, completed));
        expectRestored();
    }
}

TEST_F(AnimRender, FewerThanTwoKeyframesChangeNothing) {
    host.allowMessages = true;
    doc.editKeyframes([&](std::vector<Keyframe>& k) { k.resize(1); });
    EXPECT_EQ(render(1, 1).outcome, AnimRenderOutcome::TooFewKeyframes);
    EXPECT_EQ(std::tuple(host.lastText(), host.messages.back().icon),
              std::tuple(animtext::kTooFewKeyframes, MsgIcon::Information));
    EXPECT_EQ(
        std::tuple(doc.animation().width == kW, log.texts.size(), fs::exists(dir.file("script.aas"))),
        std::tuple(false, std::size_t{0}, false));
}

}  // namespace
