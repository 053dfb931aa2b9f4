// The player's position over a script: order over passes, stepping, speed.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "TempDir.h"
#include "anim/ScriptPlayback.h"

namespace velmora {
namespace {

// Every (pass, entry) shown from the start until playing finishes.
std::vector<std::pair<unsigned, std::size_t>> PlayToTheEnd(ScriptPlayback& p) {
    std::vector<std::pair<unsigned, std::size_t>> shown{{p.Pass(), p.Frame()}};
    while (p.Tick()) shown.emplace_back(p.Pass(), p.Frame());
    return shown;
}

TEST(PlayerPlayback, PlaysEveryEntryInOrderForEachPassThenStops) {
    ScriptPlayback p(3, 2);
    const std::vector<std::pair<unsigned, std::size_t>> expected{{0, 0}, {0, 1}, {0, 2}, {1, 0}, {1, 1}, {1, 2}};
    EXPECT_EQ(PlayToTheEnd(p), expected);
    EXPECT_TRUE(p.Finished());
    EXPECT_FALSE(p.Running());
    // The last entry stays on show and further ticks change nothing.
    EXPECT_FALSE(p.Tick());
    EXPECT_EQ(p.Frame(), 2u);
    EXPECT_EQ(p.Pass(), 1u);
}

TEST(PlayerPlayback, SingleEntryAndNoEntries) {
    ScriptPlayback one(1, 1);
    EXPECT_TRUE(one.Running());
    EXPECT_FALSE(one.Tick());
    EXPECT_TRUE(one.Finished());

    ScriptPlayback none(0, 1000);
    EXPECT_TRUE(none.Empty());
    EXPECT_TRUE(none.Finished());
    EXPECT_FALSE(none.Tick());
    EXPECT_FALSE(none.StepForward());
    EXPECT_FALSE(none.StepBack());
    none.TogglePause();
    none.Restart();
    EXPECT_FALSE(none.Running());
    EXPECT_EQ(PlaybackTitle("script.aas", none), "script.aas - no frames - ZEDoz");
}

TEST(PlayerPlayback, LoopCountZeroPlaysOnce) {
    ScriptPlayback p(2, 0);
    EXPECT_EQ(p.LoopCount(), 1u);
    EXPECT_EQ(PlayToTheEnd(p).size(), 2u);
}

TEST(PlayerPlayback, HugeLoopCountsDoNotOverflowThePosition) {
    ScriptPlayback p(1000000, 2147483647u);
    for (int i = 0; i < 1000001; ++i) ASSERT_TRUE(p.StepForward());
    EXPECT_EQ(p.Pass(), 1u);
    EXPECT_EQ(p.Frame(), 1u);
}

TEST(PlayerPlayback, SteppingPausesAndCrossesPassesButStopsAtTheEnds) {
    ScriptPlayback p(2, 2);
    EXPECT_FALSE(p.StepBack());  // already at the start
    EXPECT_TRUE(p.Paused());
    EXPECT_FALSE(p.Tick());  // a paused player ignores the timer
    EXPECT_EQ(p.Frame(), 0u);

    EXPECT_TRUE(p.StepForward());
    EXPECT_TRUE(p.StepForward());
    EXPECT_EQ(p.Pass(), 1u);
    EXPECT_EQ(p.Frame(), 0u);
    EXPECT_TRUE(p.StepBack());
    EXPECT_EQ(p.Pass(), 0u);
    EXPECT_EQ(p.Frame(), 1u);
    EXPECT_TRUE(p.StepForward());
    EXPECT_TRUE(p.StepForward());
    EXPECT_FALSE(p.StepForward());  // the last entry of the last pass
    EXPECT_EQ(p.Pass(), 1u);
    EXPECT_EQ(p.Frame(), 1u);

    p.TogglePause();
    EXPECT_TRUE(p.Running());
    EXPECT_FALSE(p.Tick());
    EXPECT_TRUE(p.Finished());
    // Stepping back out of the finished state makes it playable again.
    EXPECT_TRUE(p.StepBack());
    EXPECT_FALSE(p.Finished());
    p.TogglePause();
    EXPECT_TRUE(p.Tick());
}

TEST(PlayerPlayback, PlayingAFinishedScriptAndHomeStartOver) {
    ScriptPlayback p(3, 1);
    PlayToTheEnd(p);
    ASSERT_TRUE(p.Finished());
    p.TogglePause();
    EXPECT_TRUE(p.Running());
    EXPECT_EQ(p.Frame(), 0u);

    p.Tick();
    p.TogglePause();
    ASSERT_TRUE(p.Paused());
    p.Restart();
    EXPECT_EQ(p.Frame(), 0u);
    EXPECT_TRUE(p.Running());
}

TEST(PlayerPlayback, SpeedStartsAtFifteenAndIsClamped) {
    ScriptPlayback p(5, 1);
    EXPECT_EQ(p.Fps(), 15);
    EXPECT_EQ(p.IntervalMs(), 67);
    p.Faster();
    EXPECT_EQ(p.Fps(), 20);
    p.Slower();
    p.Slower();
    EXPECT_EQ(p.Fps(), 12);
    for (int i = 0; i < 40; ++i) p.Faster();
    EXPECT_EQ(p.Fps(), kMaxFps);
    EXPECT_EQ(p.IntervalMs(), 17);
    for (int i = 0; i < 40; ++i) p.Slower();
    EXPECT_EQ(p.Fps(), kMinFps);
    EXPECT_EQ(p.IntervalMs(), 1000);
    p.SetFps(7);  // between two steps
    p.Faster();
    EXPECT_EQ(p.Fps(), 8);
    p.SetFps(7);
    p.Slower();
    EXPECT_EQ(p.Fps(), 6);
    p.SetFps(-5);
    EXPECT_EQ(p.Fps(), kMinFps);
    p.SetFps(1000000);
    EXPECT_EQ(p.Fps(), kMaxFps);
}

TEST(PlayerPlayback, TitleNamesPositionPassSpeedAndState) {
    ScriptPlayback p(10, 2);
    EXPECT_EQ(PlaybackTitle("script.aas", p), "script.aas - 1/10, pass 1/2 - 15 fps - ZEDoz");
    p.StepBack();
    EXPECT_EQ(PlaybackTitle("script.aas", p), "script.aas - 1/10, pass 1/2 - 15 fps - Paused - ZEDoz");
    ScriptPlayback once(2, 1);
    once.Tick();
    once.Tick();
    EXPECT_EQ(PlaybackTitle("s.aas", once), "s.aas - 2/2 - 15 fps - Finished - ZEDoz");
}

TEST(PlayerPlayback, MissingFramesAreToldApartFromFolders) {
    test::TempDir dir;
    test::WriteBytes(dir.File("frame1.bmp"), {'B', 'M'});
    EXPECT_EQ(CheckFrameFile(dir.File("frame1.bmp")), FrameFileState::Present);
    EXPECT_EQ(CheckFrameFile(dir.File("frame2.bmp")), FrameFileState::Missing);
    EXPECT_EQ(CheckFrameFile(dir.Path().string()), FrameFileState::NotAFile);
    EXPECT_EQ(CheckFrameFile(""), FrameFileState::Missing);
    EXPECT_EQ(FrameProblemText(1, "/x/frame2.bmp", FrameFileStateReason(FrameFileState::Missing)),
              "Cannot show frame 2:\n/x/frame2.bmp\nThe file does not exist.");
}

TEST(PlayerPlayback, WindowFitsTheFirstFrameWithinTheScreen) {
    WindowSize s = FitWindowSize(320, 200, 1920, 1080);
    EXPECT_EQ(s.width, 320);
    EXPECT_EQ(s.height, 200);
    s = FitWindowSize(4000, 2000, 1000, 1000);  // halved by width, proportions kept
    EXPECT_EQ(s.width, 1000);
    EXPECT_EQ(s.height, 500);
    s = FitWindowSize(1000, 3000, 2000, 1500);
    EXPECT_EQ(s.width, 500);
    EXPECT_EQ(s.height, 1500);
    s = FitWindowSize(1, 1, 1920, 1080);  // tiny frames still give a usable window
    EXPECT_EQ(s.width, kMinWindowSide);
    EXPECT_EQ(s.height, kMinWindowSide);
    s = FitWindowSize(640, 480, 0, 0);  // no screen known
    EXPECT_EQ(s.width, 640);
    EXPECT_EQ(s.height, 480);
}

}  // namespace
}  // namespace velmora
