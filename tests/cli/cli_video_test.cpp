// velmora-cli anim with video, resume and frame ranges: what reaches the
// files. Ranges are rendered by separate processes of the built program at
// once, as a render farm runs them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "AnimTestSupport.h"
#include "CliCommands.h"
#include "FakeHost.h"
#include "VideoDecode.h"
#include "anim/FrameFile.h"
#include "anim/PlaybackScript.h"

using namespace velmora;

namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;

struct CliRun { int code; std::string out, err; };

CliRun cli(const Args& args) {
    std::ostringstream out, err;
    const int code = cli::runCli(args, out, err, false);
    return {code, out.str(), err.str()};
}

class CliVideo : public ::testing::Test {
protected:
    void SetUp() override {
        test::FakeHost host;
        Document doc(host);
        test::prepare(doc, test::threeKeyframes(6, 4));
        doc.m_animWidth = 21;
        doc.m_animHeight = 13;
        doc.m_playbackStyle = PlaybackStyle::PingPong;
        ASSERT_TRUE(doc.onSaveDocument(file));
    }
    // Every file of a folder by name, with its bytes; the script names its
    // folder, so it stands for whether it is the script a render writes there.
    static std::map<std::string, std::string> contents(const std::string& folder) {
        std::map<std::string, std::string> out;
        for (const auto& e : fs::directory_iterator(folder)) out[e.path().filename().string()] = test::readText(e.path());
        if (out.count(kScriptFileName))
            out[kScriptFileName] = out[kScriptFileName] == scriptText(folder + "/", PlaybackStyle::PingPong, 10) ? "ok" : "bad";
        return out;
    }
    test::TempDir dir;
    const std::string file = dir.file("anim.vmr");
};

// Disjoint ranges rendered at once by separate processes into one folder give
// the files of a single render, script included.
TEST_F(CliVideo, ConcurrentRangesEqualOneRender) {
    ASSERT_EQ(cli({"anim", file, "--folder", dir.file("one")}).code, 0);
    const char* ranges[] = {"1-3", "4-6", "7-8", "9-10"};
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        const std::string folder = dir.file("farm" + std::to_string(round));
        fs::create_directory(folder);
        std::string command;
        for (const char* range : ranges)
            command += std::string("('") + VELMORA_CLI_PATH + "' anim '" + file + "' --folder '" + folder +
                       "' --frames " + range + " >/dev/null 2>&1; echo $? >> '" + dir.file("codes") + "') & ";
        ASSERT_EQ(std::system((command + "wait").c_str()), 0);
        EXPECT_EQ(test::readText(dir.file("codes")), "0\n0\n0\n0\n");
        fs::remove(dir.file("codes"));
        EXPECT_TRUE(contents(folder) == contents(dir.file("one")));
        EXPECT_EQ(contents(folder).size(), 11u);
    }
}

// --no-frames writes only the video; a resumed render feeds its kept frames
// to the video as well as the new ones.
TEST_F(CliVideo, VideoAloneAndResumedIntoAVideo) {
    const std::string frames = dir.file("f");
    CliRun r = cli({"anim", file, "--folder", frames, "--no-frames", "--video", dir.file("a.mp4"), "--fps", "30",
                    "--quality", "medium"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Your animation has been successfully rendered.\nVideo written: " + dir.file("a.mp4") +
                         " (libx264).\n");
    EXPECT_TRUE(fs::is_empty(frames));
    EXPECT_EQ(test::decodeVideo(dir.file("a.mp4")).luma.size(), 10u);

    ASSERT_EQ(cli({"anim", file, "--folder", frames, "--frames", "3-6"}).code, 0);
    r = cli({"anim", file, "--folder", frames, "--resume", "--video", dir.file("b.webm")});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("Frames kept from before: 4 of 10.\n"), std::string::npos) << r.out;
    const test::DecodedVideo v = test::decodeVideo(dir.file("b.webm"));
    ASSERT_EQ(std::tuple(v.codec, v.luma.size()), std::tuple(std::string("vp9"), std::size_t{10}));
    for (std::size_t i = 0; i < v.luma.size(); ++i) {
        FrameFile frame;
        ASSERT_EQ(readFrameFile(framePath(frames + "/", std::int64_t(i) + 1), frame), FrameFileCheck::Complete);
        EXPECT_GT(test::lumaPsnr(v.luma[i], v.width, test::referenceLuma(frame.picture()), 21, 13), 35.0) << i;
    }
}

// A video that cannot be made is known before any frame is rendered.
TEST_F(CliVideo, UnwritableVideoStopsBeforeTheFrames) {
    const std::string video = dir.file("no/such/v.mp4");
    const CliRun r = cli({"anim", file, "--folder", dir.file("f"), "--video", video});
    EXPECT_EQ(std::tuple(r.code, r.out, r.err),
              std::tuple(1, "", "Cannot create the video file '" + video + "': No such file or directory.\n"));
    EXPECT_TRUE(fs::is_empty(dir.file("f")));
}

}  // namespace
