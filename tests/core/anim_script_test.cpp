#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "FakeHost.h"
#include "TempDir.h"
#include "anim/PlaybackScript.h"
#include "AnimTestSupport.h"

using namespace velmora;
using velmora::test::ReadBytes;
using velmora::test::TempDir;

namespace {

std::string Text(std::uint8_t style, std::int32_t n, const std::string& folder = "c:\\anim\\") {
    return ScriptText(folder, static_cast<PlaybackStyle>(style), n);
}

TEST(ScriptText, EachStyleWithThreeFrames) {
    const std::string f1 = "c:\\anim\\frame1.bmp", f2 = "c:\\anim\\frame2.bmp", f3 = "c:\\anim\\frame3.bmp";
    EXPECT_EQ(Text(1, 3), f1 + "\n" + f2 + "\n" + f3);
    EXPECT_EQ(Text(2, 3), "\n" + f3 + "\n" + f2 + "\n" + f1);
    EXPECT_EQ(Text(4, 3), f1 + "\n" + f2 + "\n" + f3 + "\n" + f3 + "\n" + f2 + "\n" + f1);
    EXPECT_EQ(Text(1 | 8, 3), f1 + "\n" + f2 + "\n" + f3 + "\nLoop 1000");
    EXPECT_EQ(Text(2 | 8, 3), "\n" + f3 + "\n" + f2 + "\n" + f1 + "\nLoop 1000");
    EXPECT_EQ(Text(4 | 8, 3), Text(4, 3) + "\nLoop 1000");
}

TEST(ScriptText, StyleByteThreeRunsBothPasses) {
    EXPECT_EQ(Text(3, 3), Text(4, 3));
    EXPECT_EQ(Text(3 | 8, 2), Text(4 | 8, 2));
}

TEST(ScriptText, NoFramesAndOneFrame) {
    EXPECT_EQ(Text(1, 0), "");
    EXPECT_EQ(Text(1 | 8, 0), "\nLoop 1000");
    EXPECT_EQ(Text(2, 0), "");
    EXPECT_EQ(Text(4, 0), "");
    EXPECT_EQ(Text(1, -4), "");
    EXPECT_EQ(Text(4, 1), "c:\\anim\\frame1.bmp\nc:\\anim\\frame1.bmp");
    EXPECT_EQ(Text(2, 1), "\nc:\\anim\\frame1.bmp");
    EXPECT_EQ(Text(8, 2), "\nLoop 1000");  // looping alone: no pass
    EXPECT_EQ(Text(0, 2), "");
}

TEST(ScriptText, NumbersHaveNoLeadingZerosAndLinesNoCarriageReturn) {
    const std::string t = Text(1, 12, "/f/");
    EXPECT_EQ(t.find('\r'), std::string::npos);
    EXPECT_NE(t.find("/f/frame9.bmp\n/f/frame10.bmp\n"), std::string::npos);
    EXPECT_EQ(t.substr(t.size() - 14), "/f/frame12.bmp");
    // Long scripts are produced in pieces; the pieces must join seamlessly.
    const std::string big = Text(4, 9000, "/f/");
    EXPECT_EQ(static_cast<std::size_t>(std::count(big.begin(), big.end(), '\n')), 17999u);
    EXPECT_NE(big.find("\n/f/frame4096.bmp\n/f/frame4097.bmp\n"), std::string::npos);
}

TEST(WriteScript, WritesTheDocumentsWholeAnimation) {
    TempDir dir;
    test::FakeHost host;
    CVelmoraDoc doc(host);
    test::Prepare(doc, test::ThreeKeyframes(2, 1));
    doc.m_destFolder = dir.Path().string() + "/";
    doc.m_playbackStyle = PlaybackStyle::PingPong | PlaybackStyle::Looping;
    const auto cwd = std::filesystem::current_path();
    ASSERT_TRUE(WriteScript(doc));
    EXPECT_EQ(std::filesystem::current_path(), cwd);  // the working directory is left alone
    const auto bytes = ReadBytes(dir.File("script.aas"));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), ScriptText(doc.m_destFolder, doc.m_playbackStyle, 3));

    // An existing script is replaced, not appended to.
    doc.m_playbackStyle = PlaybackStyle::Forwards;
    ASSERT_TRUE(WriteScript(doc));
    const auto again = ReadBytes(dir.File("script.aas"));
    EXPECT_EQ(std::string(again.begin(), again.end()), doc.m_destFolder + "frame1.bmp\n" + doc.m_destFolder +
                                                           "frame2.bmp\n" + doc.m_destFolder + "frame3.bmp");
}

TEST(WriteScript, FailsWithoutAFolderOrWhenTheFileCannotBeMade) {
    TempDir dir;
    EXPECT_FALSE(WriteScript(dir.File("missing") + "/", PlaybackStyle::Forwards, 3));
    EXPECT_FALSE(WriteScript("", PlaybackStyle::Forwards, 3));
    std::filesystem::create_directory(dir.File("script.aas"));  // a folder in the file's place
    EXPECT_FALSE(WriteScript(dir.Path().string() + "/", PlaybackStyle::Forwards, 3));
    EXPECT_TRUE(WriteScript(dir.File("script.aas") + "/", PlaybackStyle::Forwards, 0));
    EXPECT_TRUE(ReadBytes(dir.File("script.aas/script.aas")).empty());
}

}  // namespace

namespace {

TEST(ScriptDialogChoice, StoredBytesOpenAsTheDialogShowsThem) {
    auto choice = [](int byte) { return PlaybackChoiceOf(static_cast<PlaybackStyle>(byte)); };
    EXPECT_EQ(choice(1).direction, PlaybackDirection::Forwards);
    EXPECT_FALSE(choice(1).looping);
    EXPECT_EQ(choice(2 | 8).direction, PlaybackDirection::Reverse);
    EXPECT_TRUE(choice(2 | 8).looping);
    EXPECT_EQ(choice(4).direction, PlaybackDirection::PingPong);
    EXPECT_EQ(choice(3).direction, PlaybackDirection::Forwards);  // a byte read from a file
    EXPECT_EQ(choice(6).direction, PlaybackDirection::Reverse);
    EXPECT_EQ(choice(0).direction, PlaybackDirection::PingPong);
    EXPECT_TRUE(choice(8).looping);
}

TEST(ScriptDialogChoice, StoresExactlyOneDirection) {
    EXPECT_EQ(static_cast<int>(StorePlaybackStyle({PlaybackDirection::Forwards, false})), 1);
    EXPECT_EQ(static_cast<int>(StorePlaybackStyle({PlaybackDirection::Reverse, false})), 2);
    EXPECT_EQ(static_cast<int>(StorePlaybackStyle({PlaybackDirection::PingPong, false})), 4);
    EXPECT_EQ(static_cast<int>(StorePlaybackStyle({PlaybackDirection::Reverse, true})), 10);
    // Opening and storing again turns a byte of 3 into plain Forwards.
    EXPECT_EQ(static_cast<int>(StorePlaybackStyle(PlaybackChoiceOf(static_cast<PlaybackStyle>(3 | 8)))), 9);
}

}  // namespace
