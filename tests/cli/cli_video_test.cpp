// velmora-cli anim with video, resume and frame ranges: what reaches the
// files. Ranges are rendered by separate processes of the built program at
// once, as a render farm runs them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include <signal.h>
#include <unistd.h>

#include "AnimTestSupport.h"
#include "CliRun.h"
#include "FakeHost.h"
#include "PngDecode.h"
#include "VideoDecode.h"
#include "anim/FrameFile.h"
#include "anim/PlaybackScript.h"
#include "video/FrameFilesVideo.h"

using namespace velmora;

namespace {

namespace fs = std::filesystem;

using test::cli;
using test::CliRun;
using test::readBytes;
using Args = std::vector<std::string>;

class CliVideo : public ::testing::Test {
protected:
    void SetUp() override {
        test::FakeHost host;
        Document doc(host);
        test::prepare(doc, test::threeKeyframes(24, 6));
        doc.editAnimation([](AnimationSettings& a) { std::tie(a.width, a.height, a.playbackStyle) = std::tuple(41, 27, PlaybackStyle::PingPong); });
        ASSERT_TRUE(doc.onSaveDocument(file));
        ASSERT_EQ(cli({"anim", file, "--folder", dir.file("one")}).code, 0);
    }
    // The frame files of a folder by name, with their bytes, and whether its
    // script is the one a render writes there (it names its folder).
    static std::map<std::string, std::string> contents(const std::string& folder) {
        std::map<std::string, std::string> out = test::frameFiles(folder);
        out["script"] = test::readText(folder + "/" + kScriptFileName) == scriptText(folder + "/", PlaybackStyle::PingPong, 30) ? "ok" : "bad";
        return out;
    }
    // The shell command that runs the built velmora-cli on the document.
    std::string start(const std::string& folder, const std::string& options) {
        return std::string("'") + VELMORA_CLI_PATH + "' anim '" + file + "' --folder '" + folder + "' " + options;
    }
    test::TempDir dir;
    const std::string file = dir.file("anim.vmr");
};

// Disjoint ranges rendered at once by separate processes into one folder give
// the files of a single render, script included.
TEST_F(CliVideo, ConcurrentRangesEqualOneRender) {
    const std::string folder = dir.file("farm"), codes = dir.file("codes");
    fs::create_directory(folder);
    std::string command;
    for (const char* range : {"1-9", "10-17", "18-24", "25-30"})
        command += "(" + start(folder, "--frames " + std::string(range)) + " >/dev/null; echo $? >> '" + codes + "') & ";
    ASSERT_EQ(std::system((command + "wait").c_str()), 0);
    EXPECT_EQ(test::readText(codes), "0\n0\n0\n0\n");
    EXPECT_TRUE(contents(folder) == contents(dir.file("one")));
    EXPECT_EQ(contents(folder).size(), 31u);
}

// A render killed midway and resumed ends with the files of one render, and
// the resumed render's video holds every frame, kept or new; --no-frames
// writes only the video.
TEST_F(CliVideo, KilledRenderResumesIntoTheSameFilesAndAVideo) {
    const std::string frames = dir.file("f");
    fs::create_directory(frames);
    ASSERT_EQ(std::system((start(frames, "") + " >/dev/null 2>&1 & echo $! > '" + dir.file("pid") + "'").c_str()), 0);
    for (int i = 0; i < 5000 && !fs::exists(frames + "/frame3.bmp"); ++i) ::usleep(1000);
    ::kill(std::stoi(test::readText(dir.file("pid"))), SIGKILL);
    const CliRun r = cli({"anim", file, "--folder", frames, "--resume", "--video", dir.file("b.webm")});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("Frames kept from before: "), std::string::npos) << r.out;
    EXPECT_TRUE(contents(frames) == contents(dir.file("one")));
    const test::DecodedVideo v = test::decodeVideo(dir.file("b.webm"));
    ASSERT_EQ(std::tuple(v.codec, v.luma.size()), std::tuple(std::string("vp9"), std::size_t{30}));
    FrameFile first;  // a kept frame reaches the video through its file
    ASSERT_EQ(readFrameFile(framePath(frames + "/", 1), first), FrameFileCheck::Complete);
    EXPECT_GT(test::lumaPsnr(v.luma[0], v.width, first.picture()), 35.0);
    ASSERT_EQ(cli({"anim", file, "--folder", dir.file("g"), "--no-frames", "--video", dir.file("a.mp4"), "--fps", "30",
                   "--quality", "small"}).code, 0);
    EXPECT_EQ(std::pair(fs::is_empty(dir.file("g")), test::decodeVideo(dir.file("a.mp4")).luma.size()),
              std::pair(true, std::size_t{30}));
}

// A zoom video in one command: its first and last frames are the renders of
// the wide view and of the deep place, the Detail Level rising between them;
// the video holds every frame. Refusals come before any work.
TEST_F(CliVideo, ZoomMakesTheVideoFromTheWholeSetDownToThePlace) {
    const std::string centre = "-0.743643887037158704752191506114774,0.131825904205311970493132056385139";
    const Args common = {"--center", centre, "--size", "32x24"};
    const auto with = [&](Args args) { args.insert(args.end(), common.begin(), common.end()); return args; };
    const CliRun r = cli(with({"zoom", dir.file("z.mkv"), "--width", "1e-30", "--seconds", "0.5", "--fps", "10",
                               "--iterations", "900", "--iterations-from", "100", "--folder", dir.file("zf")}));
    ASSERT_EQ(r.code, 0) << r.err;
    for (const auto& [frame, width, iterations] : {std::tuple{1, "4", "100"}, {5, "1e-30", "900"}}) {
        ASSERT_EQ(cli(with({"render", "-o", dir.file("end.bmp"), "--width", width, "--iterations", iterations})).code, 0);
        EXPECT_EQ(readBytes(dir.file("end.bmp")), readBytes(framePath(dir.file("zf/"), frame))) << frame;
    }
    EXPECT_EQ(test::decodeVideo(dir.file("z.mkv")).luma.size(), 5u);
    const struct { Args args; std::string err; } refused[] = {
        {{"zoom", dir.file("z.gif"), "--width", "1e-9"}, "gif"},
        {{"zoom", dir.file("z.mp4"), "--width", "1e-9", "--seconds", "0.1", "--fps", "10"}, "2 to 500000 frames"},
        {{"zoom", dir.file("z.mp4"), "--width", "1e-9", "--resume"}, "--resume needs --folder"},
        {{"zoom", dir.file("z.mp4"), "--width", "0"}, "greater than 0"}};
    for (const auto& c : refused) {
        const CliRun no = cli(with(c.args));
        EXPECT_TRUE(no.code == 1 && no.err.find(c.err) != std::string::npos) << no.err;
    }
    EXPECT_FALSE(fs::exists(dir.file("z.mp4")));
}

// A smooth zoom down past the doubles: each kept frame is the picture
// render --smooth makes of its values (colour spread included), in PNG files
// the script lists, and the video's true-colour frames are those pictures.
TEST_F(CliVideo, SmoothZoomFramesAreTheSmoothRendersOfTheirValues) {
    // Beside i, where the set shows filaments at every depth.
    const Args common = {"--center", "1.3e-31,1.0000000000000000000000000000003", "--size", "32x24",
                         "--iterations", "3000", "--density", "0.2", "--offset", "20"};
    const auto with = [&](Args args) { args.insert(args.end(), common.begin(), common.end()); return args; };
    const CliRun r = cli(with({"zoom", dir.file("s.mkv"), "--smooth", "--width", "1e-30", "--seconds", "0.5",
                               "--fps", "10", "--folder", dir.file("sf")}));
    ASSERT_EQ(r.code, 0) << r.err;
    const test::DecodedVideo video = test::decodeVideo(dir.file("s.mkv"));
    ASSERT_EQ(video.luma.size(), 5u);
    EXPECT_NE(test::readText(dir.file("sf/") + kScriptFileName).find("frame5.png"), std::string::npos);
    for (const auto& [frame, width] : {std::pair{1, "4"}, {5, "1e-30"}}) {
        ASSERT_EQ(cli(with({"render", "-o", dir.file("end.png"), "--smooth", "--width", width})).code, 0);
        const std::vector<std::uint8_t> want = test::decodePng(dir.file("end.png"));
        ASSERT_EQ(want.size(), 3 + 32 * 24 * 3u);
        EXPECT_GT(std::set<std::uint8_t>(want.begin() + 3, want.end()).size(), 20u) << "a picture, not a flat field";
        EXPECT_EQ(test::decodePng(framePath(dir.file("sf/"), frame, true)), want) << frame;
        std::vector<std::uint8_t> bgr(want.rbegin(), want.rend() - 3);  // blue, green, red, bottom row first
        const auto at = [&](int x, int y) { return bgr.data() + 3 * ((23 - y) * 32 + (31 - x)); };
        EXPECT_GT(test::lumaPsnrOf(video.luma[std::size_t(frame - 1)], video.width, 32, 24, at), 30.0) << frame;
    }
    // Resumed, complete frames stay and a cut one is made again; the kept
    // files make a video of their own.
    fs::resize_file(framePath(dir.file("sf/"), 3, true), 100);
    const CliRun again = cli(with({"zoom", dir.file("s.mkv"), "--smooth", "--width", "1e-30", "--seconds", "0.5",
                                   "--fps", "10", "--folder", dir.file("sf"), "--resume"}));
    EXPECT_NE(again.out.find("Frames kept from before: 4 of 5."), std::string::npos) << again.out;
    std::vector<std::string> files;
    for (int n = 1; n <= 5; ++n) files.push_back(framePath(dir.file("sf/"), n, true));
    std::string error;
    ASSERT_TRUE(encodeFrameFiles(files, {dir.file("f.webm")}, error)) << error;
    EXPECT_EQ(test::decodeVideo(dir.file("f.webm")).luma.size(), 5u);
}

// The render farm hands every name to velmora-cli as it is, here and on
// another host: what GNU parallel reads as replacement strings stays text.
TEST_F(CliVideo, RenderFarmKeepsEveryNameAsItIs) {
    if (std::system("command -v parallel >/dev/null") != 0) GTEST_SKIP() << "GNU parallel is not installed";
    // Stands in for ssh: runs the job here with none of this environment, as a remote host would.
    std::ofstream(dir.file("ssh")) << "while [ \"$1\" != -- ]; do shift; done; shift\n"
                                      "exec env -i PATH=\"$PATH\" SHELL=/bin/bash bash -c \"$*\"\n";
    fs::permissions(dir.file("ssh"), fs::perms::owner_all);
    const auto quoted = [](std::string s) {
        for (std::size_t i = 0; (i = s.find('\'', i)) != std::string::npos; i += 4) s.replace(i, 1, "'\\''");
        return "'" + s + "'";
    };
    const struct { const char* doc; const char* folder; const char* options; const char* said; } cases[] = {
        {"anim.vmr", "x{}", "--chunk 7", "in ranges of 7"},
        {"d{}/it's \"a\" {.}.vmr", "f {%} '{1}'", "--chunk 12 --jobs 2", "in ranges of 12"},
        {"anim.vmr", "job{#}", "--video 'v{}.mkv' --quality small", "Frames kept from before: 30 of 30."},
        {"anim.vmr", "h{}", "--sshlogin 2/fake", "in ranges of 25"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder);
        fs::create_directories(fs::path(dir.file(c.doc)).parent_path());
        std::error_code there;  // anim.vmr is the document itself
        fs::copy_file(file, dir.file(c.doc), there);
        const std::string command = "cd " + quoted(dir.path()) + " && PARALLEL_SSH=./ssh VELMORA_CLI='" VELMORA_CLI_PATH
                                    "' bash '" VELMORA_FARM "' " + quoted(c.doc) + " " + quoted(c.folder) + " " +
                                    c.options + " >out 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0) << test::readText(dir.file("out"));
        EXPECT_NE(test::readText(dir.file("out")).find(c.said), std::string::npos) << test::readText(dir.file("out"));
        EXPECT_TRUE(contents(dir.file(c.folder)) == contents(dir.file("one")));
    }
    EXPECT_EQ(test::decodeVideo(dir.file("v{}.mkv")).luma.size(), 30u);
}

// A video that cannot be made is known before any frame is rendered.
TEST_F(CliVideo, UnwritableVideoStopsBeforeTheFrames) {
    fs::create_directory(dir.file("taken.mp4"));
    for (const auto& [name, why] :
         {std::pair("no/such/v.mp4", "No such file or directory"), {"taken.mp4", "Is a directory"}}) {
        const std::string video = dir.file(name);
        const CliRun r = cli({"anim", file, "--folder", dir.file("f"), "--video", video});
        EXPECT_EQ(std::tuple(r.code, r.out, r.err),
                  std::tuple(1, "", "Cannot create the video file '" + video + "': " + why + ".\n"));
        EXPECT_TRUE(fs::is_empty(dir.file("f")));
    }
}

}  // namespace
