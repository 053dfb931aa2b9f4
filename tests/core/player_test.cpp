// The player's core: reading scripts nobody should trust, the position over a
// script, and finding the player program.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <optional>
#include <set>

#include <sys/stat.h>

#include "TempDir.h"
#include "anim/ScriptPlayback.h"
#include "anim/ScriptReader.h"
#include "platform/PlayerLaunch.h"

namespace velmora {
namespace {

using Frames = std::vector<std::string>;
using namespace std::string_literals;

TEST(PlayerScript, LinesLoopCountsAndSkippedLinesWholeOrInPieces) {
    struct Case { std::string bytes; Frames frames; std::uint32_t loops; std::size_t skipped; };
    const std::string longest(kMaxScriptLineBytes, 'a'), tooLong(kMaxScriptLineBytes + 1, 'b');
    const Case cases[] = {
        {"/a/f1.bmp\n/a/f2.bmp", {"/a/f1.bmp", "/a/f2.bmp"}, 1, 0}, {"\nf2\nf1", {"f2", "f1"}, 1, 0}, {"", {}, 1, 0},
        {"f1\nf2\nf2\nf1\nLoop 1000", {"f1", "f2", "f2", "f1"}, 1000, 0}, {"\nLoop 1000", {}, 1000, 0},
        {"f\nLoop 0", {"f"}, 1, 0}, {"f\nLoop \t +4 \t", {"f"}, 4, 0}, {"f\nLoop 2147483647", {"f"}, 2147483647u, 0},
        // Beyond the 32-bit range the count saturates instead of wrapping round; the last Loop line wins.
        {"f\nLoop 4294967297", {"f"}, kMaxLoopCount, 0}, {"f\nLoop -99999999999999999999999", {"f"}, 1, 0},
        {"Loop 5\nf\nLoop 99999999999999999999999", {"f"}, kMaxLoopCount, 0},
        {"Loop\nLoop x\nLoop 3 times\nLoop3\nloop 4", {"Loop", "Loop x", "Loop 3 times", "Loop3", "loop 4"}, 1, 0},
        {"\xEF\xBB\xBF" "C:\\a\\f1.bmp\r\n\r\nC:\\a\\f2.bmp\r\nLoop 2\r\n", {"C:\\a\\f1.bmp", "C:\\a\\f2.bmp"}, 2, 0},
        {"  \n\t\nmy frame 1.bmp\n \r\n my frame 2.bmp", {"my frame 1.bmp", " my frame 2.bmp"}, 1, 0},
        {longest + "\r\n" + tooLong + "\nf\0g.bmp\nok.bmp\n"s + tooLong + "\r", {longest, "ok.bmp"}, 1, 3}};
    for (const Case& c : cases) {
        for (const std::size_t piece : {c.bytes.size() + 1, std::size_t{1}, std::size_t{7}}) {  // as a file is read
            ScriptParser parser;
            for (std::size_t i = 0; i < c.bytes.size(); i += piece)
                parser.feed(std::string_view(c.bytes).substr(i, piece));
            const PlayScript s = parser.finish();
            EXPECT_EQ(std::tuple(s.frames, s.loopCount, s.skippedLines, s.truncated),
                      std::tuple(c.frames, c.loops, c.skipped, false))
                << c.bytes.substr(0, 40) << " in pieces of " << piece;
        }
    }
}

TEST(PlayerScript, CapsStopKeepingWithoutAHalfLine) {
    test::TempDir dir;
    const std::string path = dir.file("script.aas");
    struct Case { ScriptLimits limits; std::string bytes; Frames frames; bool truncated; };
    const Case cases[] = {{{3, 1000}, "\na\nb\nc\nd\ne\nLoop 9", {"a", "b", "c"}, true},
                          {{1000, 10}, "abcd\nefghij\nk", {"abcd", "efghij"}, true},
                          {{2, 1000}, "a\nb\nLoop 4", {"a", "b"}, false},  // exactly at the cap nothing is lost
                          {{9, 99, 15}, "frame1.bmp\nframe2.bmp\nLoop 3", {"frame1.bmp"}, true},  // 15 ends in line 2
                          {{9, 99, 28}, "frame1.bmp\nframe2.bmp\nLoop 3", {"frame1.bmp", "frame2.bmp"}, false},
                          {{9, 99, 99, 4}, "\na\n \n\nb\n\nc", {"a", "b"}, true},  // the 5th ignored byte stops it
                          {{9, 99, 99, 4}, "\na\n \n\nb\nc", {"a", "b", "c"}, false}};
    for (const Case& c : cases) {
        test::writeBytes(path, std::vector<std::uint8_t>(c.bytes.begin(), c.bytes.end()));
        PlayScript s;
        std::error_code cause;
        ASSERT_TRUE(readScriptFile(path, s, cause, c.limits)) << c.bytes;
        EXPECT_EQ(std::pair(s.frames, s.truncated), std::pair(c.frames, c.truncated)) << c.bytes;
    }
    std::string block;  // many frames as long as a path may be: the default caps stop keeping them
    for (int i = 0; i < 256; ++i) block += std::string(kMaxScriptLineBytes, 'p') + "\n";
    ScriptParser parser;
    for (std::size_t fed = 0; !parser.full() && fed < (std::size_t{1} << 30); fed += block.size()) parser.feed(block);
    EXPECT_TRUE(parser.full() && parser.finish().frames.size() * kMaxScriptLineBytes <= ScriptLimits{}.maxPathBytes);
    PlayScript s;
    std::error_code absent, folder;
    EXPECT_FALSE(readScriptFile(dir.file("absent.aas"), s, absent) || readScriptFile(dir.path().string(), s, folder));
    EXPECT_EQ(std::pair(absent, folder), std::pair(make_error_code(std::errc::no_such_file_or_directory),
                                                   make_error_code(std::errc::is_a_directory)));
}

// A folder of frames plays its frameN files in the order of N, else its
// pictures in name order; other files and folders are no frames.
TEST(PlayerScript, AFolderPlaysItsFramesInOrder) {
    const struct { std::vector<std::string> files; Frames frames; } cases[] = {
        {{"frame10.bmp", "frame2.bmp", "frame1.PNG", "notes.txt", "frame3.bmp/", "frameX.bmp"},
         {"frame1.PNG", "frame2.bmp", "frame10.bmp"}},
        {{"b.png", "a.BMP", "c.txt"}, {"a.BMP", "b.png"}},
        {{}, {}}};
    for (const auto& c : cases) {
        test::TempDir dir;
        for (const std::string& f : c.files) {
            if (f.back() == '/') std::filesystem::create_directory(dir.file(f));
            else test::writeBytes(dir.file(f), {1});
        }
        PlayScript s;
        std::error_code cause;
        ASSERT_TRUE(scriptOfFolder(dir.path().string(), s, cause));
        Frames names;
        for (const std::string& f : s.frames) names.push_back(std::filesystem::path(f).filename().string());
        EXPECT_EQ(names, c.frames);
    }
    PlayScript s;
    std::error_code cause;
    EXPECT_FALSE(scriptOfFolder("/nonexistent/folder", s, cause));
    EXPECT_EQ(cause, std::errc::no_such_file_or_directory);
}

TEST(PlayerPlayback, PlaysEachPassThenStaysOnTheLastEntry) {
    using Shown = std::vector<std::pair<unsigned, std::size_t>>;  // (pass, entry) until playing finishes
    const std::tuple<std::size_t, std::uint32_t, Shown> cases[] = {  // frames, loops (0 plays once)
        {3, 2, {{0, 0}, {0, 1}, {0, 2}, {1, 0}, {1, 1}, {1, 2}}}, {2, 0, {{0, 0}, {0, 1}}}, {1, 1, {{0, 0}}}};
    for (const auto& [frames, loops, expected] : cases) {
        ScriptPlayback p(frames, loops);
        Shown shown{{p.pass(), p.frame()}};
        while (p.tick()) shown.emplace_back(p.pass(), p.frame());
        EXPECT_EQ(shown, expected);
        EXPECT_TRUE(p.finished() && !p.tick() &&
                    std::pair(p.pass(), p.frame()) == expected.back());  // stays on the last
    }
    ScriptPlayback none(0, 1000);
    none.togglePause();
    EXPECT_TRUE(none.finished() && !none.running() && !none.tick() && !none.stepForward() && !none.stepBack());
    ScriptPlayback huge(1000000, 2147483647u);  // the position must not overflow
    for (int i = 0; i < 1000001; ++i) ASSERT_TRUE(huge.stepForward());
    EXPECT_EQ(std::pair(huge.pass(), huge.frame()), std::pair(1u, std::size_t{1}));
}

TEST(PlayerPlayback, SteppingPausesCrossesPassesAndStopsAtTheEnds) {
    ScriptPlayback p(2, 2);
    EXPECT_FALSE(p.stepBack());  // already at the start
    EXPECT_TRUE(p.paused() && !p.tick());  // a paused player ignores the timer
    // Forwards or back, whether it moved, and the (pass, entry) it leads to.
    const std::tuple<bool, bool, unsigned, std::size_t> steps[] = {
        {true, true, 0, 1}, {true, true, 1, 0}, {false, true, 0, 1}, {true, true, 1, 0}, {true, true, 1, 1},
        {true, false, 1, 1}};
    for (const auto& [forward, moved, pass, frame] : steps) {
        EXPECT_EQ(forward ? p.stepForward() : p.stepBack(), moved);
        EXPECT_EQ(std::pair(p.pass(), p.frame()), std::pair(pass, frame));
    }
    p.togglePause();
    EXPECT_TRUE(!p.tick() && p.finished());
    EXPECT_TRUE(p.stepBack() && !p.finished());  // stepping back out of the end makes it playable again
    p.togglePause();
    EXPECT_TRUE(p.tick() && !p.tick() && p.finished());
    p.togglePause();  // playing a finished script starts over
    EXPECT_EQ(std::tuple(p.running(), p.pass(), p.frame()), std::tuple(true, 0u, std::size_t{0}));
    p.stepForward();
    p.restart();  // so does Home from anywhere, and it plays
    EXPECT_EQ(std::tuple(p.running(), p.pass(), p.frame()), std::tuple(true, 0u, std::size_t{0}));
}

// The slider's seek stays in the current pass and within the list; looping
// wraps the end of the last pass to the start instead of finishing.
TEST(PlayerPlayback, SeekAndLooping) {
    ScriptPlayback p(3, 2);
    // Entry asked for, whether it moved, and the (pass, entry) it leads to.
    const std::tuple<std::size_t, bool, unsigned, std::size_t> seeks[] = {
        {0, false, 0, 0}, {2, true, 0, 2}, {99, false, 0, 2}, {1, true, 0, 1}};
    for (const auto& [entry, moved, pass, frame] : seeks) {
        EXPECT_EQ(p.seek(entry), moved) << entry;
        EXPECT_EQ(std::pair(p.pass(), p.frame()), std::pair(pass, frame)) << entry;
    }
    EXPECT_TRUE(p.tick() && p.tick());  // into the second pass
    EXPECT_TRUE(p.seek(2) && p.pass() == 1u && p.frame() == 2u);
    while (p.tick()) {}
    EXPECT_TRUE(p.finished());
    p.setLooping(true);  // switched on at the end: plays on from the start
    EXPECT_EQ(std::tuple(p.running(), p.pass(), p.frame()), std::tuple(true, 0u, std::size_t{0}));
    for (int i = 0; i < 5; ++i) p.tick();
    EXPECT_TRUE(p.tick() && !p.finished() && p.pass() == 0u && p.frame() == 0u);  // wrapped
    p.setLooping(false);
    for (int i = 0; i < 5; ++i) p.tick();
    EXPECT_TRUE(!p.tick() && p.finished());
    ScriptPlayback none(0, 1);
    EXPECT_FALSE(none.seek(3));
}

TEST(PlayerPlayback, SpeedStepsAndIsClamped) {
    ScriptPlayback p(5, 1);
    EXPECT_EQ(std::pair(p.fps(), p.intervalMs()), std::pair(15, 67));  // the steps themselves go through the window
    for (int i = 0; i < 40; ++i) p.slower();
    EXPECT_EQ(std::pair(p.fps(), p.intervalMs()), std::pair(kMinFps, 1000));
    for (int i = 0; i < 80; ++i) p.faster();
    EXPECT_EQ(std::pair(p.fps(), p.intervalMs()), std::pair(kMaxFps, 17));
}

TEST(PlayerPlayback, WindowFitsTheFirstFrameWithinTheScreen) {
    // Frame, available area and window sizes: shrunk with the proportions kept, never
    // below a usable minimum, the frame's own size when no screen is known.
    const std::array<int, 6> sizes[] = {{4000, 2000, 1000, 1000, 1000, 500}, {1000, 3000, 2000, 1500, 500, 1500},
                                        {640, 480, 0, 0, 640, 480}, {1, 1, 1920, 1080, kMinWindowSide, kMinWindowSide}};
    for (const auto& [w, h, aw, ah, ww, wh] : sizes)
        EXPECT_EQ(std::pair(fitWindowSize(w, h, aw, ah).width, fitWindowSize(w, h, aw, ah).height), std::pair(ww, wh))
            << w;
}

std::string inFolder(const std::string& folder) {
    return (std::filesystem::path(folder) / playerProgramName()).string();
}

TEST(PlayerLaunch, OwnFolderThenAbsolutePathEntriesInOrder) {
    struct Case { std::string own, path; std::set<std::string> programs; std::optional<std::string> found;
                  Frames asked; };
    // Empty and relative entries would search the working directory, which is
    // the frames folder when Velmora starts the player.
    const Case cases[] = {
        {"/opt/v", "/usr/bin", {inFolder("/opt/v"), inFolder("/usr/bin")}, inFolder("/opt/v"), {inFolder("/opt/v")}},
        {"/opt/v", "/usr/local/bin:/usr/bin:/bin", {inFolder("/usr/bin"), inFolder("/bin")}, inFolder("/usr/bin"),
         {inFolder("/opt/v"), inFolder("/usr/local/bin"), inFolder("/usr/bin")}},
        {"relative/own", ":/usr/bin::bin:./x:/usr/bin:/opt/v:", {}, {}, {inFolder("/usr/bin"), inFolder("/opt/v")}}};
    for (const Case& c : cases) {
        Frames asked;
        const auto found = findPlayerProgram(c.own, c.path, [&](const std::string& p) {
            asked.push_back(p);
            return c.programs.count(p) != 0;
        });
        EXPECT_EQ(std::pair(found, asked), std::pair(c.found, c.asked)) << c.path;
    }
    test::TempDir dir;  // the real check wants an executable regular file
    const std::string program = inFolder(dir.path().string());
    test::writeBytes(program, {'#', '!'});
    EXPECT_FALSE(isExecutableFile(program));
    ASSERT_EQ(::chmod(program.c_str(), 0755), 0);
    EXPECT_TRUE(isExecutableFile(program) && !isExecutableFile(dir.path().string()));
    EXPECT_EQ(findPlayerProgram("/nonexistent", "/usr/bin:" + dir.path().string()), program);
}

}  // namespace
}  // namespace velmora
