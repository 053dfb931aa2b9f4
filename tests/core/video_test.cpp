// Video files: frames encoded as an animation renders and decoded back with
// the same libraries, the padding of odd sides, and the refusals that leave
// nothing behind.
#include <gtest/gtest.h>

#include <filesystem>

#include "AnimTestSupport.h"
#include "FakeHost.h"
#include "VideoDecode.h"
#include "anim/FrameFile.h"
#include "anim/PlaybackScript.h"
#include "video/FrameFilesVideo.h"
#include "video/VideoFrameSink.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

// How many entries the folder holds: a failed video leaves no temporary file.
long entries(const TempDir& dir) { return std::distance(fs::directory_iterator(dir.path()), {}); }

struct RoundTrip {
    const char* file;
    const char* codec;
    const char* format;
    std::int32_t width, height;
};

class VideoRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

// Every frame arrives, at the padded size, each close to its BMP file in luma.
TEST_P(VideoRoundTrip, DecodesBackToTheRenderedFrames) {
    const RoundTrip& c = GetParam();
    TempDir dir;
    test::FakeHost host;
    Document doc(host);
    test::prepare(doc, test::threeKeyframes(3, 2));
    const RenderSettings s{1, 5, TweenStyle::ConstantSpeed, dir.file("f") + "/", c.width, c.height};
    fs::create_directory(s.destFolder);
    VideoEncoder encoder;
    std::string error;
    ASSERT_TRUE(encoder.open({dir.file(c.file), 25, VideoQuality::High}, c.width, c.height, error)) << error;
    VideoFrameSink sink(encoder);
    ASSERT_TRUE(test::renderWithSettings(doc, s, nullptr, &sink).completed());
    ASSERT_TRUE(encoder.finish(error)) << error;

    const test::DecodedVideo v = test::decodeVideo(dir.file(c.file));
    EXPECT_EQ(std::tuple(v.ok, v.codec, v.format.find(c.format), v.width, v.height, v.luma.size()),
              std::tuple(true, std::string(c.codec), 0u, evenSide(c.width), evenSide(c.height), std::size_t{5}));
    for (std::size_t i = 0; i < v.luma.size(); ++i) {
        FrameFile frame;
        ASSERT_EQ(readFrameFile(framePath(s.destFolder, std::int64_t(i) + 1), frame), FrameFileCheck::Complete);
        EXPECT_GT(test::lumaPsnr(v.luma[i], v.width, frame.picture()), 35.0)
            << "frame " << i + 1;
    }
    EXPECT_EQ(entries(dir), 2);
}

INSTANTIATE_TEST_SUITE_P(Containers, VideoRoundTrip,
                         ::testing::Values(RoundTrip{"a.mp4", "h264", "mov,mp4", 48, 32},
                                           RoundTrip{"odd.mp4", "h264", "mov,mp4", 33, 17},
                                           RoundTrip{"a.webm", "vp9", "matroska,webm", 31, 20},
                                           RoundTrip{"a.MKV", "h264", "matroska", 20, 15}));

// Odd sides grow by one, filled with copies of the last column and row; the
// indexed (bottom-up) and the 32-bit (top-down) paths agree.
TEST(VideoPadding, RepeatsTheLastColumnAndRow) {
    std::vector<std::uint8_t> table(1024);
    for (int i = 0; i < 1024; ++i) table[i] = std::uint8_t(i / 4 + i % 4);  // entry i: (i, i+1, i+2, i+3)
    for (const auto& [w, h] : {std::pair(1, 1), {3, 2}, {2, 3}, {3, 3}, {4, 2}}) {
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        const std::size_t stride = static_cast<std::size_t>((w + 3) / 4 * 4);
        std::vector<std::uint8_t> rows(stride * h, 0xEE), topDown, padded;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) rows[(h - 1 - y) * stride + x] = std::uint8_t(10 * y + x);
        expandIndexed({w, h, stride, rows.data(), table.data()}, padded);
        const int pw = evenSide(w), ph = evenSide(h);
        ASSERT_EQ(padded.size(), static_cast<std::size_t>(pw * ph * 4));
        for (int y = 0; y < ph; ++y)
            for (int x = 0; x < pw; ++x) {
                const int index = 10 * std::min(y, h - 1) + std::min(x, w - 1);
                EXPECT_EQ(padded[(y * pw + x) * 4 + 2], index + 2) << x << "," << y;
            }
        for (int y = 0; y < h; ++y) topDown.insert(topDown.end(), &padded[y * pw * 4], &padded[(y * pw + w) * 4]);
        std::vector<std::uint8_t> again;
        padToEven(topDown.data(), static_cast<std::size_t>(w * 4), w, h, again);
        EXPECT_EQ(again, padded);
    }
}

// Each refusal gives its message and leaves nothing behind, nor does an
// encoder dropped midway.
TEST(VideoRefusals, LeaveNoFile) {
    TempDir dir;
    const std::uint8_t pixels[16] = {};
    const std::tuple<std::string, int, std::int32_t, int, std::string> cases[] = {
        {"a.avi", 25, 2, 1, "Cannot tell the video format of"},
        {"a.mp4", 0, 2, 1, "from 1 to 120 frames per second"},
        {"a.mp4", 121, 2, 1, "from 1 to 120 frames per second"},
        {"a.mp4", 25, 0, 1, "from 1 to 16384 pixels"},
        {"no/such/a.mp4", 25, 2, 1, "No such file or directory"},
        {"a.mp4", 25, 2, 0, "there are no frames to write"},
        {"dropped.webm", 5, 2, 1, ""}};
    for (const auto& [name, fps, width, frames, message] : cases) {
        SCOPED_TRACE(name + " " + std::to_string(fps));
        VideoEncoder encoder;
        std::string error;
        bool ok = encoder.open({dir.file(name), fps, VideoQuality::Small}, width, 2, error);
        for (int i = 0; ok && i < frames; ++i) ok = encoder.addFrame(pixels, 8, error);
        if (message.empty()) continue;
        EXPECT_FALSE(ok && encoder.finish(error));
        EXPECT_NE(error.find(message), std::string::npos) << error;
        EXPECT_EQ(entries(dir), 0);
    }
    EXPECT_EQ(entries(dir), 0);
}

// Frame files into a video: a missing one names itself, and no video is left.
TEST(FrameFilesVideo, AMissingFrameStopsTheVideo) {
    TempDir dir;
    test::FakeHost host;
    Document doc(host);
    test::prepare(doc, test::threeKeyframes(2, 1));
    ASSERT_TRUE(test::renderWithSettings(doc, {1, 2, TweenStyle::ConstantSpeed, dir.file(""), 9, 7}, nullptr).completed());
    const std::vector<std::string> paths = {framePath(dir.file(""), 2), framePath(dir.file(""), 1),
                                            framePath(dir.file(""), 3)};
    std::string error;
    EXPECT_FALSE(encodeFrameFiles(paths, {dir.file("w.mp4"), 10, VideoQuality::High}, error));
    EXPECT_EQ(std::pair(error, fs::exists(dir.file("w.mp4"))),
              std::pair("The frame file '" + paths.back() + "' is missing or unreadable.", false));
}

}  // namespace
}  // namespace velmora
