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

TEST(ScriptText, EveryStyleByteAndFrameCount) {
    const std::string f1 = "c:\\a\\frame1.bmp", f2 = "c:\\a\\frame2.bmp", f3 = "c:\\a\\frame3.bmp";
    const std::string forwards = f1 + "\n" + f2 + "\n" + f3, reverse = "\n" + f3 + "\n" + f2 + "\n" + f1;
    const std::string both = forwards + "\n" + f3 + "\n" + f2 + "\n" + f1;
    const std::tuple<int, std::int32_t, std::string> cases[] = {  // style byte, frames, text
        {1, 3, forwards}, {2, 3, reverse}, {4, 3, both}, {3, 3, both},  // 3 runs both passes
        {1 | 8, 3, forwards + "\nLoop 1000"}, {2 | 8, 3, reverse + "\nLoop 1000"}, {4 | 8, 3, both + "\nLoop 1000"},
        {3 | 8, 2, f1 + "\n" + f2 + "\n" + f2 + "\n" + f1 + "\nLoop 1000"}, {1, 0, ""}, {2, 0, ""}, {4, 0, ""},
        {1 | 8, 0, "\nLoop 1000"}, {1, -4, ""}, {4, 1, f1 + "\n" + f1}, {2, 1, "\n" + f1},
        {8, 2, "\nLoop 1000"},  // looping alone: no pass
        {0, 2, ""}};
    for (const auto& [style, frames, text] : cases)
        EXPECT_EQ(ScriptText("c:\\a\\", static_cast<PlaybackStyle>(style), frames), text) << style << " " << frames;

    const std::string t = ScriptText("/f/", PlaybackStyle::Forwards, 12);
    EXPECT_EQ(t.find('\r'), std::string::npos);
    EXPECT_NE(t.find("/f/frame9.bmp\n/f/frame10.bmp\n"), std::string::npos);  // no leading zeros
    // Long scripts are produced in pieces; the pieces must join seamlessly.
    const std::string big = ScriptText("/f/", PlaybackStyle::PingPong, 9000);
    EXPECT_EQ(std::count(big.begin(), big.end(), '\n'), 17999);
    EXPECT_NE(big.find("\n/f/frame4096.bmp\n/f/frame4097.bmp\n"), std::string::npos);
}

TEST(WriteScript, ReplacesTheDocumentsScriptWithoutChangingDirectory) {
    TempDir dir;
    test::FakeHost host;
    CVelmoraDoc doc(host);
    test::Prepare(doc, test::ThreeKeyframes(2, 1));
    doc.m_destFolder = dir.Path().string() + "/";
    const auto cwd = std::filesystem::current_path();
    for (const PlaybackStyle style : {PlaybackStyle::PingPong | PlaybackStyle::Looping, PlaybackStyle::Forwards}) {
        doc.m_playbackStyle = style;  // the second, shorter script replaces the first
        ASSERT_TRUE(WriteScript(doc));
        EXPECT_EQ(test::ReadText(dir.File("script.aas")), ScriptText(doc.m_destFolder, style, 3));
    }
    EXPECT_EQ(std::filesystem::current_path(), cwd);

    EXPECT_FALSE(WriteScript(dir.File("missing") + "/", PlaybackStyle::Forwards, 3));
    EXPECT_FALSE(WriteScript("", PlaybackStyle::Forwards, 3));
    ASSERT_TRUE(WriteScript(doc.m_destFolder, PlaybackStyle::Forwards, 0));
    EXPECT_TRUE(ReadBytes(dir.File("script.aas")).empty());
}

TEST(ScriptDialogChoice, StoredBytesOpenAsShownAndStoreOneDirection) {
    using enum PlaybackDirection;
    const std::tuple<int, PlaybackDirection, bool> opened[] = {  // bytes a file may hold, too
        {1, Forwards, false}, {2 | 8, Reverse, true}, {4, PingPong, false}, {3, Forwards, false}, {6, Reverse, false},
        {0, PingPong, false}, {8, PingPong, true}};
    for (const auto& [byte, direction, looping] : opened) {
        const PlaybackChoice c = PlaybackChoiceOf(static_cast<PlaybackStyle>(byte));
        EXPECT_EQ(std::pair(c.direction, c.looping), std::pair(direction, looping)) << byte;
    }
    const std::tuple<PlaybackDirection, bool, int> stored[] = {
        {Forwards, false, 1}, {Reverse, false, 2}, {PingPong, false, 4}, {Reverse, true, 10}};
    for (const auto& [direction, looping, byte] : stored)
        EXPECT_EQ(static_cast<int>(StorePlaybackStyle({direction, looping})), byte);
    // Opening and storing again turns a byte of 3 into plain Forwards.
    EXPECT_EQ(static_cast<int>(StorePlaybackStyle(PlaybackChoiceOf(static_cast<PlaybackStyle>(3 | 8)))), 9);
}

}  // namespace
