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
    {"a byte more", [](Bytes& b, const Bytes&) { b.push_back(0); }, FrameFileCheck::Truncated},
    {"other size", [](Bytes& b, const Bytes& other) { b = other; }, FrameFileCheck::WrongSize},
    {"other palette", [](Bytes& b, const Bytes&) { b[14 + 40 + 4 * 77 + 1] ^= 1; }, FrameFileCheck::OtherPalette},
    {"huge height claimed", [](Bytes& b, const Bytes&) { le::storeI32(&b[22], 0x7fffffff); }, FrameFileCheck::WrongSize},
    {"top-down rows", [](Bytes& b, const Bytes&) { le::storeI32(&b[22], -le::loadI32(&b[22])); }, FrameFileCheck::NotAFrame},
    {"24-bit", [](Bytes& b, const Bytes&) { le::storeU16(&b[28], 24); }, FrameFileCheck::NotAFrame},
    {"missing", nullptr, FrameFileCheck::Missing},
};

// One frame for each kind of damage; each is told apart from the file alone
// with the frame's own palette, rendered again, and the folder ends as an
// uninterrupted render left it, the complete frame the very same file.
TEST(AnimResume, KeepsOnlyCompleteFramesOfThisPaletteAndEndsIdentical) {
    test::TempDir dir;
    test::FakeHost host;
    const std::int32_t total = static_cast<std::int32_t>(std::size(kDamages));
    const std::vector<Keyframe> keys = test::threeKeyframes(total - 1, 1);
    const auto render = [&](const char* folder, std::int32_t width, bool skip) {
        fs::create_directories(dir.file(folder));
        RenderSettings s{1, total, TweenStyle::SlowAtKeyframes, dir.file(folder) + "/", width, 9, skip};
        Document doc(host);
        test::prepare(doc, keys);
        return test::renderWithSettings(doc, s, nullptr);
    };
    ASSERT_TRUE(render("whole", 13, false).completed() && render("small", 7, false).completed());
    std::vector<ino_t> inodes;
    for (std::int32_t n = 1; n <= total; ++n) {
        const Damage& d = kDamages[n - 1];
        SCOPED_TRACE(d.name);
        const std::string path = framePath(dir.file("resumed/"), n);
        Bytes bytes = readBytes(framePath(dir.file("whole/"), n));
        fs::create_directories(dir.file("resumed"));
        if (d.apply) {
            d.apply(bytes, readBytes(framePath(dir.file("small/"), n)));
            writeBytes(path, bytes);
        }
        Keyframe tweened;
        tweenKeyframes(keys[0], keys[1], tweened, n - 1, TweenStyle::SlowAtKeyframes);
        FrameFile file;
        EXPECT_EQ(checkRenderedFrame(path, 13, 9, tweened.palette, file), d.check);
        struct stat st {};
        inodes.push_back(::stat(path.c_str(), &st) == 0 ? st.st_ino : 0);
    }
    const AnimRenderResult r = render("resumed", 13, true);
    EXPECT_EQ(std::tuple(r.completed(), r.framesKept, r.framesBegun), std::tuple(true, 1, total));
    for (std::int32_t n = 1; n <= total; ++n) {
        SCOPED_TRACE(kDamages[n - 1].name);
        const std::string path = framePath(dir.file("resumed/"), n);
        EXPECT_EQ(readBytes(path), readBytes(framePath(dir.file("whole/"), n)));
        struct stat st {};
        ::stat(path.c_str(), &st);
        EXPECT_EQ(st.st_ino == inodes[n - 1], kDamages[n - 1].check == FrameFileCheck::Complete);
    }
}

}  // namespace
}  // namespace velmora
