// Reading playback scripts: the writer's own shapes, and files nobody should trust.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TempDir.h"
#include "anim/ScriptReader.h"

namespace velmora {
namespace {

using Frames = std::vector<std::string>;

TEST(PlayerScript, ForwardsScriptListsFramesInOrderAndPlaysOnce) {
    const PlayScript s = ParseScript("/a/frame1.bmp\n/a/frame2.bmp\n/a/frame3.bmp");
    EXPECT_EQ(s.frames, (Frames{"/a/frame1.bmp", "/a/frame2.bmp", "/a/frame3.bmp"}));
    EXPECT_EQ(s.loopCount, 1u);
    EXPECT_EQ(s.skippedLines, 0u);
    EXPECT_FALSE(s.truncated);
}

TEST(PlayerScript, ReverseScriptOpensWithAnEmptyLine) {
    const PlayScript s = ParseScript("\n/a/frame3.bmp\n/a/frame2.bmp\n/a/frame1.bmp");
    EXPECT_EQ(s.frames, (Frames{"/a/frame3.bmp", "/a/frame2.bmp", "/a/frame1.bmp"}));
}

TEST(PlayerScript, PingPongLoopingKeepsRepeatedEndsAndTheLoopCount) {
    const PlayScript s = ParseScript("f1.bmp\nf2.bmp\nf2.bmp\nf1.bmp\nLoop 1000");
    EXPECT_EQ(s.frames, (Frames{"f1.bmp", "f2.bmp", "f2.bmp", "f1.bmp"}));
    EXPECT_EQ(s.loopCount, 1000u);
}

TEST(PlayerScript, LoopWithoutFramesAndEmptyFiles) {
    // The writer's output for an animation of fewer than two keyframes.
    PlayScript s = ParseScript("\nLoop 1000");
    EXPECT_TRUE(s.frames.empty());
    EXPECT_EQ(s.loopCount, 1000u);
    s = ParseScript("");
    EXPECT_TRUE(s.frames.empty());
    EXPECT_EQ(s.loopCount, 1u);
    s = ParseScript("\n\n\n");
    EXPECT_TRUE(s.frames.empty());
}

TEST(PlayerScript, LoopCounts) {
    EXPECT_EQ(ParseScript("f.bmp\nLoop 2").loopCount, 2u);
    EXPECT_EQ(ParseScript("f.bmp\nLoop 0").loopCount, 1u);
    EXPECT_EQ(ParseScript("f.bmp\nLoop -7").loopCount, 1u);
    EXPECT_EQ(ParseScript("f.bmp\nLoop +3").loopCount, 3u);
    EXPECT_EQ(ParseScript("f.bmp\nLoop \t 4 \t").loopCount, 4u);
    EXPECT_EQ(ParseScript("f.bmp\nLoop 2147483647").loopCount, 2147483647u);
    // Beyond the 32-bit range the count saturates instead of wrapping round.
    EXPECT_EQ(ParseScript("f.bmp\nLoop 2147483648").loopCount, kMaxLoopCount);
    EXPECT_EQ(ParseScript("f.bmp\nLoop 4294967297").loopCount, kMaxLoopCount);
    EXPECT_EQ(ParseScript("f.bmp\nLoop 99999999999999999999999999999999").loopCount, kMaxLoopCount);
    EXPECT_EQ(ParseScript("f.bmp\nLoop -99999999999999999999999999999999").loopCount, 1u);
    // The last Loop line wins.
    EXPECT_EQ(ParseScript("Loop 5\nf.bmp\nLoop 6").loopCount, 6u);
}

TEST(PlayerScript, LinesThatOnlyLookLikeLoopAreFrames) {
    const PlayScript s = ParseScript("Loop\nLoop x\nLoop 3 times\nLoop3\nloop 4\nLooping 5");
    EXPECT_EQ(s.frames, (Frames{"Loop", "Loop x", "Loop 3 times", "Loop3", "loop 4", "Looping 5"}));
    EXPECT_EQ(s.loopCount, 1u);
}

TEST(PlayerScript, CrLfLinesAndAByteOrderMarkAreTolerated) {
    const PlayScript s = ParseScript("\xEF\xBB\xBF" "C:\\anim\\frame1.bmp\r\n\r\nC:\\anim\\frame2.bmp\r\nLoop 2\r\n");
    EXPECT_EQ(s.frames, (Frames{"C:\\anim\\frame1.bmp", "C:\\anim\\frame2.bmp"}));
    EXPECT_EQ(s.loopCount, 2u);
}

TEST(PlayerScript, BlankLinesAreSkippedButPathsKeepTheirSpaces) {
    const PlayScript s = ParseScript("  \n\t\nmy frame 1.bmp\n \r\n my frame 2.bmp");
    EXPECT_EQ(s.frames, (Frames{"my frame 1.bmp", " my frame 2.bmp"}));
}

TEST(PlayerScript, OverlongAndNulLinesAreSkippedAndCounted) {
    using namespace std::string_literals;
    const std::string longest(kMaxScriptLineBytes, 'a');
    const std::string tooLong(kMaxScriptLineBytes + 1, 'b');
    const PlayScript s = ParseScript(longest + "\r\n" + tooLong + "\nf\0g.bmp\nok.bmp\n"s + tooLong + "\r");
    EXPECT_EQ(s.frames, (Frames{longest, "ok.bmp"}));
    EXPECT_EQ(s.skippedLines, 3u);
}

TEST(PlayerScript, FeedingInPiecesGivesTheSameResult) {
    const std::string bytes = "\nframe10.bmp\r\nframe9.bmp\n\nframe8.bmp\nLoop 12\r\n";
    const PlayScript whole = ParseScript(bytes);
    for (std::size_t piece : {1u, 2u, 3u, 7u}) {
        ScriptParser parser;
        for (std::size_t i = 0; i < bytes.size(); i += piece) parser.Feed(std::string_view(bytes).substr(i, piece));
        const PlayScript s = parser.Finish();
        EXPECT_EQ(s.frames, whole.frames) << "pieces of " << piece;
        EXPECT_EQ(s.loopCount, whole.loopCount) << "pieces of " << piece;
    }
    EXPECT_EQ(whole.frames, (Frames{"frame10.bmp", "frame9.bmp", "frame8.bmp"}));
}

TEST(PlayerScript, GarbageNeverCrashesAndIsBounded) {
    std::string garbage;
    std::uint32_t x = 12345;
    for (int i = 0; i < 200000; ++i) {
        x = x * 1103515245u + 12345u;
        garbage.push_back(static_cast<char>(x >> 24));
    }
    const PlayScript s = ParseScript(garbage);
    for (const std::string& f : s.frames) {
        EXPECT_LE(f.size(), kMaxScriptLineBytes);
        EXPECT_EQ(f.find('\0'), std::string::npos);
        EXPECT_EQ(f.find('\n'), std::string::npos);
    }
    EXPECT_GE(s.loopCount, 1u);
}

TEST(PlayerScript, CapsOnFramesAndPathBytesStopKeepingAndMarkTruncation) {
    ScriptLimits limits;
    limits.maxFrames = 3;
    ScriptParser parser(limits);
    parser.Feed("\na.bmp\nb.bmp\nc.bmp\n");
    EXPECT_FALSE(parser.Full());
    parser.Feed("d.bmp\ne.bmp\nLoop 9");
    EXPECT_TRUE(parser.Full());
    PlayScript s = parser.Finish();
    EXPECT_TRUE(s.truncated);
    EXPECT_EQ(s.frames, (Frames{"a.bmp", "b.bmp", "c.bmp"}));

    limits = ScriptLimits{};
    limits.maxPathBytes = 10;
    s = ParseScript("");
    ScriptParser bytes(limits);
    bytes.Feed("abcd\nefghij\nk");
    s = bytes.Finish();
    EXPECT_TRUE(s.truncated);
    EXPECT_EQ(s.frames, (Frames{"abcd", "efghij"}));

    // Exactly at the caps nothing is lost.
    limits = ScriptLimits{};
    limits.maxFrames = 2;
    ScriptParser exact(limits);
    exact.Feed("a\nb\nLoop 4");
    s = exact.Finish();
    EXPECT_FALSE(s.truncated);
    EXPECT_EQ(s.frames.size(), 2u);
    EXPECT_EQ(s.loopCount, 4u);
}

TEST(PlayerScript, DefaultCapsBoundAHostileScript) {
    // Many frames, each as long as a path may be: what is kept stays bounded.
    const std::string line = std::string(kMaxScriptLineBytes, 'p') + "\n";
    std::string block;
    for (int i = 0; i < 256; ++i) block += line;
    ScriptParser parser;
    std::size_t fed = 0;
    while (!parser.Full() && fed < (std::size_t{1} << 30)) {
        parser.Feed(block);
        fed += block.size();
    }
    const PlayScript s = parser.Finish();
    EXPECT_TRUE(s.truncated);
    EXPECT_LE(s.frames.size() * kMaxScriptLineBytes, ScriptLimits{}.maxPathBytes);
}

TEST(PlayerScript, ReadsAFileAndReportsOneThatCannotBeRead) {
    test::TempDir dir;
    const std::string path = dir.File("script.aas");
    const std::string text = "\n" + dir.File("frame2.bmp") + "\n" + dir.File("frame1.bmp") + "\nLoop 2";
    test::WriteBytes(path, std::vector<std::uint8_t>(text.begin(), text.end()));

    PlayScript s;
    std::error_code cause;
    ASSERT_TRUE(ReadScriptFile(path, s, cause));
    EXPECT_EQ(s.frames, (Frames{dir.File("frame2.bmp"), dir.File("frame1.bmp")}));
    EXPECT_EQ(s.loopCount, 2u);

    EXPECT_FALSE(ReadScriptFile(dir.File("absent.aas"), s, cause));
    EXPECT_EQ(cause, std::errc::no_such_file_or_directory);
    EXPECT_FALSE(ReadScriptFile(dir.Path().string(), s, cause));
    EXPECT_EQ(cause, std::errc::is_a_directory);
}

TEST(PlayerScript, AFileLargerThanTheReadCapStopsWithoutAHalfLine) {
    test::TempDir dir;
    const std::string path = dir.File("huge.aas");
    const std::string text = "frame1.bmp\nframe2.bmp\nframe3.bmp\nLoop 3";
    test::WriteBytes(path, std::vector<std::uint8_t>(text.begin(), text.end()));
    ScriptLimits limits;
    limits.maxFileBytes = 15;  // ends inside "frame2.bmp"
    PlayScript s;
    std::error_code cause;
    ASSERT_TRUE(ReadScriptFile(path, s, cause, limits));
    EXPECT_TRUE(s.truncated);
    EXPECT_EQ(s.frames, (Frames{"frame1.bmp"}));
    EXPECT_EQ(s.loopCount, 1u);

    limits.maxFileBytes = text.size();  // the whole file fits exactly
    ASSERT_TRUE(ReadScriptFile(path, s, cause, limits));
    EXPECT_FALSE(s.truncated);
    EXPECT_EQ(s.frames.size(), 3u);
    EXPECT_EQ(s.loopCount, 3u);
}

}  // namespace
}  // namespace velmora
