// Video files: frames encoded as an animation renders and decoded back with
// the same libraries, the padding of odd sides, and the refusals that leave
// nothing at the path.
#include <gtest/gtest.h>

#include <filesystem>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "AnimTestSupport.h"
#include "FakeHost.h"
#include "VideoDecode.h"
#include "anim/FrameFile.h"
#include "anim/PlaybackScript.h"
#include "video/FrameFilesVideo.h"
#include "video/VideoEncoder.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

// Everything in the folder but the named files: no temporary file may stay.
std::vector<std::string> others(const TempDir& dir, const std::vector<std::string>& expected) {
    std::vector<std::string> left;
    for (const auto& e : fs::directory_iterator(dir.path())) {
        const std::string name = e.path().filename().string();
        if (std::find(expected.begin(), expected.end(), name) == expected.end()) left.push_back(name);
    }
    return left;
}

class VideoSinkForTest : public AnimFrameSink {
public:
    explicit VideoSinkForTest(VideoEncoder& e) : encoder(e) {}
    bool frameReady(std::int64_t, const IndexedPicture& picture, std::string& error) override {
        return encoder.addFrame(picture, error);
    }
    VideoEncoder& encoder;
};

struct RoundTrip {
    const char* file;
    const char* codec;
    const char* format;
    std::int32_t width, height;
};

class VideoRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

// The frames go in as they are rendered; the decoded video has every frame at
// the padded size, each close to its BMP file in luma.
TEST_P(VideoRoundTrip, DecodesBackToTheRenderedFrames) {
    const RoundTrip& c = GetParam();
    TempDir dir;
    test::FakeHost host;
    Document doc(host);
    test::prepare(doc, test::threeKeyframes(3, 2));
    RenderSettings s{1, 5, TweenStyle::ConstantSpeed, dir.file("f") + "/", c.width, c.height};
    fs::create_directory(s.destFolder);

    VideoEncoder encoder;
    std::string error;
    ASSERT_TRUE(encoder.open({dir.file(c.file), 25, VideoQuality::High}, c.width, c.height, error)) << error;
    VideoSinkForTest sink(encoder);
    ASSERT_TRUE(renderAnimation(doc, s, nullptr, &sink).completed());
    ASSERT_TRUE(encoder.finish(error)) << error;
    EXPECT_EQ(encoder.codecName().find(c.codec == std::string("h264") ? "x264" : "vpx-vp9") != std::string::npos,
              true)
        << encoder.codecName();

    const test::DecodedVideo v = test::decodeVideo(dir.file(c.file));
    ASSERT_TRUE(v.ok);
    EXPECT_EQ(std::tuple(v.codec, v.format.find(c.format) != std::string::npos, v.width, v.height, v.luma.size()),
              std::tuple(std::string(c.codec), true, evenSide(c.width), evenSide(c.height), std::size_t{5}));
    for (std::size_t i = 0; i < v.luma.size(); ++i) {
        FrameFile frame;
        ASSERT_EQ(readFrameFile(framePath(s.destFolder, std::int64_t(i) + 1), frame), FrameFileCheck::Complete);
        const double psnr = test::lumaPsnr(v.luma[i], v.width, test::referenceLuma(frame.picture()), c.width, c.height);
        EXPECT_GT(psnr, 35.0) << "frame " << i + 1;
    }
    EXPECT_EQ(others(dir, {"f", c.file}), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Containers, VideoRoundTrip,
                         ::testing::Values(RoundTrip{"a.mp4", "h264", "mp4", 48, 32},
                                           RoundTrip{"odd.mp4", "h264", "mp4", 33, 17},
                                           RoundTrip{"a.webm", "vp9", "webm", 31, 20},
                                           RoundTrip{"a.MKV", "h264", "matroska", 20, 15}));

// Odd sides grow by one, filled with copies of the last column and row.
TEST(VideoPadding, RepeatsTheLastColumnAndRow) {
    const std::pair<std::int32_t, std::int32_t> sizes[] = {{1, 1}, {3, 2}, {2, 3}, {3, 3}, {4, 2}};
    for (const auto& [w, h] : sizes) {
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        // Indexed, bottom-up, rows padded to 4 bytes; entry i of the table is (i, i+1, i+2, 9).
        const std::size_t stride = static_cast<std::size_t>((w + 3) / 4 * 4);
        std::vector<std::uint8_t> rows(stride * static_cast<std::size_t>(h), 0xEE);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) rows[static_cast<std::size_t>(h - 1 - y) * stride + x] = std::uint8_t(10 * y + x);
        std::vector<std::uint8_t> table(1024);
        for (int i = 0; i < 256; ++i) table[i * 4] = std::uint8_t(i), table[i * 4 + 1] = std::uint8_t(i + 1),
                                      table[i * 4 + 2] = std::uint8_t(i + 2), table[i * 4 + 3] = 9;
        std::vector<std::uint8_t> out, direct(static_cast<std::size_t>(w * h * 4)), padded;
        expandIndexed({w, h, stride, rows.data(), table.data()}, out);
        const int pw = evenSide(w), ph = evenSide(h);
        ASSERT_EQ(out.size(), static_cast<std::size_t>(pw * ph * 4));
        for (int y = 0; y < ph; ++y)
            for (int x = 0; x < pw; ++x) {
                const int index = 10 * std::min(y, h - 1) + std::min(x, w - 1);
                const std::uint8_t* px = &out[static_cast<std::size_t>((y * pw + x) * 4)];
                EXPECT_EQ(std::tuple(px[0], px[1], px[2]), std::tuple(index, index + 1, index + 2)) << x << "," << y;
            }
        // The 32-bit path pads the same way.
        for (int y = 0; y < h; ++y)
            std::copy_n(&out[static_cast<std::size_t>(y * pw * 4)], w * 4, &direct[static_cast<std::size_t>(y * w * 4)]);
        padToEven(direct.data(), static_cast<std::size_t>(w * 4), w, h, padded);
        EXPECT_EQ(padded, out);
    }
}

// Each refusal gives its message and leaves nothing behind.
TEST(VideoRefusals, LeaveNoFile) {
    TempDir dir;
    fs::create_directory(dir.file("taken.mp4"));
    const std::uint8_t pixels[16] = {};
    struct Case {
        std::string path;
        int fps;
        std::int32_t width;
        int frames;
        std::string message;
    };
    const Case cases[] = {
        {dir.file("a.avi"), 25, 2, 1, "Cannot tell the video format of"},
        {dir.file("a.mp4"), 0, 2, 1, "from 1 to 120 frames per second"},
        {dir.file("a.mp4"), 121, 2, 1, "from 1 to 120 frames per second"},
        {dir.file("a.mp4"), 25, 0, 1, "from 1 to 16384 pixels"},
        {dir.file("no/such/a.mp4"), 25, 2, 1, "No such file or directory"},
        {dir.file("a.mp4"), 25, 2, 0, "there are no frames to write"},
        {dir.file("taken.mp4"), 25, 2, 1, "Is a directory"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path + " " + std::to_string(c.fps));
        VideoEncoder encoder;
        std::string error;
        bool ok = encoder.open({c.path, c.fps, VideoQuality::Small}, c.width, 2, error);
        for (int i = 0; ok && i < c.frames; ++i) ok = encoder.addFrame(pixels, 8, error);
        ok = ok && encoder.finish(error);
        EXPECT_FALSE(ok);
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
        EXPECT_EQ(others(dir, {"taken.mp4"}), std::vector<std::string>{});
    }
    // Abandoned midway: the temporary file goes with the encoder.
    {
        VideoEncoder encoder;
        std::string error;
        ASSERT_TRUE(encoder.open({dir.file("b.webm"), 5, VideoQuality::Medium}, 2, 2, error));
        ASSERT_TRUE(encoder.addFrame(pixels, 8, error));
        EXPECT_EQ(others(dir, {"taken.mp4"}).size(), 1u);
    }
    EXPECT_EQ(others(dir, {"taken.mp4"}), std::vector<std::string>{});
}

// A disk that fills up mid-video fails the encoding and leaves no file.
TEST(VideoRefusals, FullDiskLeavesNothing) {
    TempDir dir;
    const pid_t pid = ::fork();
    if (pid == 0) {
        const rlimit r{20000, 20000};
        ::setrlimit(RLIMIT_FSIZE, &r);
        std::vector<std::uint8_t> noise(64 * 64 * 4);
        std::uint32_t seed = 1;
        VideoEncoder encoder;
        std::string error;
        bool ok = encoder.open({dir.file("a.mkv"), 25, VideoQuality::High}, 64, 64, error);
        for (int i = 0; ok && i < 40; ++i) {
            for (auto& b : noise) b = std::uint8_t((seed = seed * 1103515245u + 12345u) >> 24);
            ok = encoder.addFrame(noise.data(), 64 * 4, error);
        }
        ok = ok && encoder.finish(error);
        ::_exit(!ok && error.find("Could not write the video file") != std::string::npos ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(others(dir, {}), std::vector<std::string>{});
}

// Encoding the frame files of a render; a missing one names itself.
TEST(FrameFilesVideo, TakesCompleteFramesInOrder) {
    TempDir dir;
    test::FakeHost host;
    Document doc(host);
    test::prepare(doc, test::threeKeyframes(2, 1));
    RenderSettings s{1, 3, TweenStyle::ConstantSpeed, dir.file("f") + "/", 9, 7};
    fs::create_directory(s.destFolder);
    ASSERT_TRUE(renderAnimation(doc, s, nullptr).completed());
    std::vector<std::string> paths = {framePath(s.destFolder, 3), framePath(s.destFolder, 1)};
    std::string error;
    std::size_t done = 0;
    ASSERT_TRUE(encodeFrameFiles(paths, {dir.file("v.webm"), 10, VideoQuality::High}, error,
                                 [&](std::size_t n) { return (done = n) > 0; }))
        << error;
    EXPECT_EQ(std::pair(test::decodeVideo(dir.file("v.webm")).luma.size(), done), std::pair(std::size_t{2}, std::size_t{2}));
    paths.push_back(framePath(s.destFolder, 4));
    EXPECT_FALSE(encodeFrameFiles(paths, {dir.file("w.mp4"), 10, VideoQuality::High}, error));
    EXPECT_EQ(error, "The frame file '" + paths.back() + "' is missing or unreadable.");
    EXPECT_FALSE(fs::exists(dir.file("w.mp4")));
}

}  // namespace
}  // namespace velmora
