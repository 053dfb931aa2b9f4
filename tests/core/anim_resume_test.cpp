// Resuming an animation render: a frame file is kept only when it is exactly
// what the render would write again; every other frame is rendered anew, and
// the folder ends identical to an uninterrupted render.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include <sys/stat.h>

#include "AnimTestSupport.h"
#include "FakeHost.h"
#include "anim/FrameFile.h"
#include "anim/PlaybackScript.h"
#include "anim/Tween.h"
#include "base/LittleEndian.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using test::readBytes;
using test::writeBytes;
using Bytes = std::vector<std::uint8_t>;

struct Damage {
    const char* name;
    std::function<void(Bytes&, const Bytes& otherSize)> apply;  // none: the file is removed
    FrameFileCheck check;
};

const Damage kDamages[] = {
    {"untouched", [](Bytes&, const Bytes&) {}, FrameFileCheck::Complete},
    {"cut short", [](Bytes& b, const Bytes&) { b.resize(b.size() - 3); }, FrameFileCheck::Truncated},
    {"header only", [](Bytes& b, const Bytes&) { b.resize(1078); }, FrameFileCheck::Truncated},
    {"half a header", [](Bytes& b, const Bytes&) { b.resize(500); }, FrameFileCheck::Truncated},
    {"a byte more", [](Bytes& b, const Bytes&) { b.push_back(0); }, FrameFileCheck::Truncated},
    {"other size", [](Bytes& b, const Bytes& other) { b = other; }, FrameFileCheck::WrongSize},
    {"other palette", [](Bytes& b, const Bytes&) { b[14 + 40 + 4 * 77 + 1] ^= 1; }, FrameFileCheck::OtherPalette},
    {"huge height claimed", [](Bytes& b, const Bytes&) { le::storeI32(&b[22], 0x7fffffff); }, FrameFileCheck::WrongSize},
    {"top-down rows", [](Bytes& b, const Bytes&) { le::storeI32(&b[22], -le::loadI32(&b[22])); }, FrameFileCheck::NotAFrame},
    {"size field lies", [](Bytes& b, const Bytes&) { le::storeU32(&b[2], 1078); }, FrameFileCheck::Truncated},
    {"24-bit", [](Bytes& b, const Bytes&) { le::storeU16(&b[28], 24); }, FrameFileCheck::NotAFrame},
    {"other resolution field", [](Bytes& b, const Bytes&) { le::storeI32(&b[38], 2835); }, FrameFileCheck::NotAFrame},
    {"not a BMP", [](Bytes& b, const Bytes&) { b[0] = 'X'; }, FrameFileCheck::NotAFrame},
    {"missing", nullptr, FrameFileCheck::Missing},
};

class AnimResume : public ::testing::Test {
protected:
    RenderSettings settings(const std::string& folder, std::int32_t width = 13, std::int32_t height = 9) {
        fs::create_directories(dir.file(folder));
        return {1, total, TweenStyle::SlowAtKeyframes, dir.file(folder) + "/", width, height};
    }
    AnimRenderResult render(RenderSettings s) {
        Document doc(host);
        test::prepare(doc, keys);
        return renderAnimation(doc, s, nullptr);
    }
    test::TempDir dir;
    test::FakeHost host;
    // One frame for each kind of damage.
    const std::int32_t total = static_cast<std::int32_t>(std::size(kDamages));
    const std::vector<Keyframe> keys = test::threeKeyframes(8, total - 8);
};

TEST_F(AnimResume, KeepsOnlyCompleteFramesOfThisPaletteAndEndsIdentical) {
    const RenderSettings whole = settings("whole");
    RenderSettings resumed = settings("resumed");
    ASSERT_TRUE(render(whole).completed());
    ASSERT_TRUE(render(settings("small", 7, 5)).completed());

    Document doc(host);
    test::prepare(doc, keys);
    std::vector<ino_t> inodes;
    for (std::int32_t n = 1; n <= total; ++n) {
        const Damage& d = kDamages[n - 1];
        const std::string path = framePath(resumed.destFolder, n);
        Bytes bytes = readBytes(framePath(whole.destFolder, n));
        if (d.apply) {
            d.apply(bytes, readBytes(framePath(dir.file("small") + "/", n)));
            writeBytes(path, bytes);
        }
        struct stat st {};
        inodes.push_back(::stat(path.c_str(), &st) == 0 ? st.st_ino : 0);
    }
    // Each damage is told apart from the file alone, with the frame's own palette.
    for (std::int32_t n = 1; n <= total; ++n) {
        SCOPED_TRACE(kDamages[n - 1].name);
        const std::size_t k = n <= 8 ? 0 : 1;
        Keyframe tweened;
        tweenKeyframes(keys[k], keys[k + 1], tweened, n <= 8 ? n - 1 : n - 9, resumed.tweenStyle);
        FrameFile file;
        EXPECT_EQ(checkRenderedFrame(framePath(resumed.destFolder, n), 13, 9, tweened.palette, file),
                  kDamages[n - 1].check);
    }

    resumed.skipRendered = true;
    const AnimRenderResult r = render(resumed);
    ASSERT_TRUE(r.completed());
    EXPECT_EQ(std::pair(r.framesKept, r.framesBegun), std::pair(1, total));
    for (std::int32_t n = 1; n <= total; ++n) {
        SCOPED_TRACE(kDamages[n - 1].name);
        const std::string path = framePath(resumed.destFolder, n);
        EXPECT_EQ(readBytes(path), readBytes(framePath(whole.destFolder, n)));
        struct stat st {};
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        // The kept file is the same file; every other one was written anew.
        EXPECT_EQ(st.st_ino == inodes[static_cast<std::size_t>(n - 1)], kDamages[n - 1].check == FrameFileCheck::Complete);
    }
}

// A frame rendered with another palette (the keyframes changed since) is
// rendered again, though its size and length are right.
TEST_F(AnimResume, ChangedKeyframesRenderAgain) {
    RenderSettings s = settings("f");
    ASSERT_TRUE(render(s).completed());
    const Bytes before = readBytes(framePath(s.destFolder, 2));
    Document doc(host);
    test::prepare(doc, test::threeKeyframes(8, total - 8));
    doc.m_keyframes[0].palette = test::ramp(50);
    s.skipRendered = true;
    const AnimRenderResult r = renderAnimation(doc, s, nullptr);
    EXPECT_EQ(r.framesKept, total - 8);
    EXPECT_NE(readBytes(framePath(s.destFolder, 2)), before);
}

}  // namespace
}  // namespace velmora
