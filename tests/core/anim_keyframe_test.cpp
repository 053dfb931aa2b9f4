// Keyframes: frame numbering, editing, the frames list rows, the numbers typed
// into the Transition Count dialog, and the values tweened between keyframes.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <optional>

#include "FakeHost.h"
#include "anim/AnimMessages.h"
#include "anim/FrameNumbering.h"
#include "anim/FramesList.h"
#include "anim/KeyframeEdit.h"
#include "anim/Tween.h"
#include "AnimTestSupport.h"
#include "session/RenderSession.h"

using namespace velmora;

namespace {

TEST(FrameNumbering, LocatesEachFrameOverSegmentsOfEveryCount) {
    struct Case { std::vector<std::int32_t> counts; std::int32_t frame; std::optional<FramePosition> at; };
    const std::vector<std::int32_t> tenFive = {10, 5, 3}, gaps = {3, 0, -4, 2, 9};
    // The last keyframe is never a frame; a count of 0 or below (only a file can hold
    // one) holds no frames rather than giving frames back to the walk.
    using P = FramePosition;
    const Case cases[] = {
        {tenFive, 1, P{0, 0}}, {tenFive, 10, P{0, 9}}, {tenFive, 11, P{1, 0}}, {tenFive, 15, P{1, 4}},
        {tenFive, 16, {}}, {tenFive, 0, {}}, {tenFive, -3, {}}, {{}, 1, {}}, {{5}, 1, {}},
        {{2, 1, 1000}, 3, P{1, 0}}, {{2, 1, 1000}, 4, {}}, {gaps, 3, P{0, 2}}, {gaps, 6, {}}, {gaps, 4, P{3, 0}},
        {gaps, 5, P{3, 1}}, {{INT32_MAX, INT32_MAX, 1}, INT32_MAX, P{0, INT32_MAX - 1}}};
    for (const Case& c : cases) {
        std::vector<Keyframe> keys;
        for (const std::int32_t count : c.counts) keys.push_back(test::key(0, 1, 0, 1, 10, count));
        const auto at = locateFrame(keys, c.frame);
        EXPECT_EQ(at.value_or(FramePosition{-1, -1}), c.at.value_or(FramePosition{-1, -1}))
            << "frame " << c.frame << " of " << c.counts.size() << " keyframes";
    }
}

class KeyframeEdit : public ::testing::Test {
protected:
    void SetUp() override { test::prepare(doc, {}); }
    // The left edge that tells keyframes apart, and the count of each.
    std::vector<std::pair<double, std::int32_t>> rows() const {
        std::vector<std::pair<double, std::int32_t>> out;
        for (const Keyframe& k : doc.keyframes()) out.emplace_back(k.left, k.transitions);
        return out;
    }

    test::FakeHost host;
    Document doc{host};
    RenderSession session{doc};
};

TEST_F(KeyframeEdit, CaptureAndApplyCopyTheActiveValuesButNotTheSize) {
    doc.setParams(FractalParams{-1.25, 0.5, 0.75, -0.25, FractalType::Julia, -0.8, 0.156, 345, 31, 17, {}});
    doc.setResolution(31, 17);
    doc.setPalette(test::ramp(9));
    Keyframe k = test::key(0, 0, 0, 0, 0, 12);
    captureActive(doc, k);
    EXPECT_EQ(std::tuple(test::values(k), k.transitions, k.palette),
              std::tuple(test::values(doc.params()), 12, test::ramp(9)));
    const double engineLeft = session.engine()->xMin();
    k = test::key(3, 4, 5, 6, 77, 1, 1, 0.1, 0.2, 50);
    applyToActive(doc, k);
    EXPECT_EQ(std::pair(test::values(doc.params()), doc.palette()), std::pair(test::values(k), test::ramp(50)));
    // The image size stays and the engine is not reloaded.
    EXPECT_EQ(std::tuple(doc.params().width, doc.params().height, session.engine()->xMin()),
              std::tuple(31, 17, engineLeft));
}

TEST_F(KeyframeEdit, InsertAsksForTheCountTheNewKeyframeSplits) {
    struct Step { double left; std::int32_t row; CountQuestion question; std::int32_t keyframe, answer; };
    // Into the empty list, at the end, in front, in the middle.
    const Step steps[] = {{1, 0, CountQuestion::None, -1, 0}, {2, 1, CountQuestion::AfterPrevious, 0, 5},
                          {3, 0, CountQuestion::UntilNext, 0, 4}, {4, 2, CountQuestion::UntilNext, 2, 9}};
    for (const Step& s : steps) {
        doc.editParams([&](FractalParams& p) { p.left = s.left; });
        const InsertResult r = insertActive(doc, s.row);
        EXPECT_EQ(std::tuple(r.message, r.index, r.count.question), std::tuple("", s.row, s.question)) << s.left;
        EXPECT_EQ(doc.keyframe(r.index)->palette, doc.palette());
        if (s.question == CountQuestion::None) continue;
        EXPECT_EQ(std::tuple(r.count.keyframe, r.count.initial, r.count.allowCancel),
                  std::tuple(s.keyframe, 10, false));
        ASSERT_TRUE(setTransitionCount(doc, r.count.keyframe, s.answer));
    }
    EXPECT_EQ(rows(), (std::vector<std::pair<double, std::int32_t>>{{3, 4}, {1, 5}, {4, 9}, {2, 0}}));
    EXPECT_EQ(doc.totalFrames(), 4 + 5 + 9);
    EXPECT_EQ(std::tuple(countPrompt(CountQuestion::AfterPrevious), countPrompt(CountQuestion::UntilNext)),
              std::tuple(animtext::kAskAfterPrevious, animtext::kAskUntilNext));
}

TEST_F(KeyframeEdit, InsertRefusalsChangeNothing) {
    doc.setKeyframes(test::threeKeyframes(10, 5));
    doc.editKeyframes([&](std::vector<Keyframe>& k) { k[1].type = 2; });  // only the first keyframe's type counts
    const auto before = rows();
    const std::string mismatch = animtext::kTypeMismatch;
    doc.editParams([&](FractalParams& p) { p.type = FractalType::Julia; });
    EXPECT_EQ(insertActive(doc, 2).message, mismatch);
    EXPECT_EQ(insertActive(doc, kNoRow).message, mismatch);  // the type is checked first
    doc.editParams([&](FractalParams& p) { p.type = FractalType::Mandelbrot; });
    EXPECT_EQ(insertActive(doc, kNoRow).message, "Select a frame first.");
    EXPECT_EQ(insertActive(doc, 4).message, "Frame not found.");  // beyond "<end>"
    EXPECT_EQ(rows(), before);
}

TEST_F(KeyframeEdit, PropertiesAndDelete) {
    doc.setKeyframes(test::threeKeyframes(10, 5));
    for (const std::int32_t row : {1, 2}) {  // on the last keyframe, the count leading to it
        const CountRequest r = propertiesRequest(doc, row);
        EXPECT_EQ(std::tuple(r.question, r.keyframe, r.initial, r.allowCancel),
                  std::tuple(row == 1 ? CountQuestion::UntilNext : CountQuestion::AfterPrevious, 1, 5, true));
    }
    for (const std::int32_t row : {3, kNoRow}) EXPECT_EQ(propertiesRequest(doc, row).question, CountQuestion::None);
    EXPECT_FALSE(setTransitionCount(doc, 3, 1) || setTransitionCount(doc, -1, 1));

    EXPECT_TRUE(deleteKeyframe(doc, 1).deleted);
    EXPECT_EQ(rows(), (std::vector<std::pair<double, std::int32_t>>{{-2.0, 10}, {-0.9, 3}}));
    EXPECT_EQ(doc.totalFrames(), 10);  // the first count now leads to the old third keyframe
    EXPECT_TRUE(deleteKeyframe(doc, 1).deleted);
    EXPECT_EQ(doc.totalFrames(), 0);  // the one before the deleted last stops counting
    EXPECT_EQ(propertiesRequest(doc, 0).question, CountQuestion::None);
    const DeleteResult end = deleteKeyframe(doc, 1), none = deleteKeyframe(doc, kNoRow);
    EXPECT_EQ(std::tuple(end.deleted, end.message, none.deleted, none.message),
              std::tuple(false, "Frame not found", false, ""));
    EXPECT_EQ(doc.keyframeCount(), 1);
}

TEST_F(KeyframeEdit, framesListRows) {
    auto rows = [this](std::int32_t selected) {
        std::string out;
        for (const auto& r : framesListRows(doc, selected)) out += r.keyframe + "|" + r.transitions + ";";
        return out;
    };
    const std::string empty = rows(-1);
    insertActive(doc, 0);
    const std::string one = rows(1);
    doc.setKeyframes(test::threeKeyframes(10, 5));
    EXPECT_EQ(std::tuple(empty, one, rows(2), rows(4)),
              std::tuple("<end>| ;", "1 *|-;<end>| ;", "1|10;2 *|5;3|-;<end>| ;", "1|10;2|5;3|-;<end>| ;"));
}

TEST(TransitionCountEntry, ReadsTheLeadingNumberOfTheFirst127CharactersAndRefusesCountsBelowOne) {
    // The number reader's own rules are tested with the settings texts.
    const std::pair<std::string, std::int32_t> counts[] = {
        {"12abc", 12}, {"1", 1},   {std::string(126, ' ') + "45", 4}, {"0", 0},
        {"-5", 0},     {"abc", 0}, {std::string(127, ' ') + "45", 0}};
    for (const auto& [text, value] : counts) {
        const CountEntry e = readTransitionCount(text);
        EXPECT_EQ(std::tuple(e.accepted, e.accepted ? e.count : 0, e.message),
                  std::tuple(value > 0, value, value > 0 ? "" : "Transition count must be at least 1")) << text;
    }
}

Keyframe tween(const Keyframe& a, const Keyframe& b, std::int32_t d, TweenStyle style) {
    Keyframe out;
    out.transitions = 77;
    tweenKeyframes(a, b, out, d, style);
    EXPECT_EQ(out.transitions, 77);  // the scratch record's count is not part of a frame
    return out;
}

TEST(TweenSlow, WeightStaysExactBeyondThe32BitSquare) {
    // 46341 squared no longer fits 32 bits; the weight must still rise from 0 towards 1.
    for (const std::int32_t t : {46341, 100000, INT32_MAX}) {
        const double w[] = {slowAtKeyframesWeight(t, 0), slowAtKeyframesWeight(t, 1), slowAtKeyframesWeight(t, t - 1)};
        EXPECT_TRUE(w[0] == 0.0 && 0.0 < w[1] && w[1] < w[2] && w[2] <= 1.0) << t;
        EXPECT_NEAR(slowAtKeyframesWeight(t, t / 2), std::sqrt(0.75), 1e-4) << t;
    }
}

TEST(TweenEdges, EachStyleAndTheAxesItCannotScale) {
    using Edges = std::array<double, 4>;  // left, right, top, bottom
    struct Case { const char* name; int style; Edges a, b; std::int32_t t, d; Edges want; };  // style as a stored byte
    const double w = std::sqrt(7.0) / 4.0;
    const Case cases[] = {
        {"slow", 1, {-2, 2, -1.5, 1.5}, {0, 1, 1, 3}, 4, 1, {-2 + 2 * w, 2 - w, -1.5 + 2.5 * w, 1.5 + 1.5 * w}},
        {"slow at step 0", 1, {-2, 2, -1.5, 1.5}, {0, 1, 1, 3}, 4, 0, {-2, 2, -1.5, 1.5}},
        {"constant: width 4 to 1", 2, {-2, 2, -1, 1}, {0, 1, -1, 1}, 2, 1, {-2.0 / 3, 4.0 / 3, -1, 1}},
        {"byte 255 is constant too", 255, {-2, 2, -1, 1}, {0, 1, -1, 1}, 2, 1, {-2.0 / 3, 4.0 / 3, -1, 1}},
        {"equal extents hold", 2, {-2, 2, -1, 1}, {3, 7, 5, 7}, 5, 4, {-2, 2, -1, 1}},
        // No ratio or real root for a zero extent or extents of opposite signs:
        // those axes move linearly rather than becoming NaN.
        {"zero extents", 2, {1, 1, -1, 1}, {-3, 1, 1, 1}, 4, 1, {0, 1, -0.5, 1}},
        {"opposite signs", 2, {2, -2, 1, -1}, {-1, 1, -3, 3}, 4, 3, {-0.25, 0.25, -2, 2}},
        {"two negative extents", 2, {2, -2, 0, 0.5}, {1, 0, 0, 0.5}, 2, 1, {4.0 / 3, -2.0 / 3, 0, 0.5}},
        {"segment without frames", 1, {-2, 2, -1, 1}, {0, 1, 0, 1}, 0, 3, {-2, 2, -1, 1}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Keyframe m =
            tween(test::key(c.a[0], c.a[1], c.a[2], c.a[3], 100, c.t),
                  test::key(c.b[0], c.b[1], c.b[2], c.b[3], 100, 1), c.d, static_cast<TweenStyle>(c.style));
        const Edges got = {m.left, m.right, m.top, m.bottom};
        for (int i = 0; i < 4; ++i) EXPECT_DOUBLE_EQ(got[i], c.want[i]) << "edge " << i;
    }
}

TEST(TweenLinear, JuliaConstantTypeAndIterations) {
    for (const TweenStyle s : {TweenStyle::SlowAtKeyframes, TweenStyle::ConstantSpeed}) {
        const Keyframe m =
            tween(test::key(-2, 2, -1, 1, 100, 3, 2, -0.8, 0.156), test::key(-2, 2, -1, 1, 100, 1, 1, 0.4, -0.5), 2, s);
        EXPECT_EQ(std::tuple(m.cReal, m.cImag, m.type),  // the type of the first keyframe
                  std::tuple(-0.8 + ((0.4 - -0.8) / 3) * 2, 0.156 + ((-0.5 - 0.156) / 3) * 2, 2));
    }
    // The step is truncated before the multiplication; limits a whole 32-bit
    // range apart still tween between them.
    const std::array<std::int32_t, 5> cases[] = {  // from, to, count, step, result
        {100, 150, 100, 0, 100}, {100, 150, 100, 99, 100}, {150, 100, 4, 3, 150 + (-50 / 4) * 3}, {0, 7, 4, 3, 3},
        {INT32_MIN, INT32_MAX, 4, 2, std::int32_t(INT32_MIN + ((std::int64_t{INT32_MAX} - INT32_MIN) / 4) * 2)}};
    for (const auto& [from, to, count, step, result] : cases) {
        const Keyframe a = test::key(-2, 2, -1, 1, from, count), b = test::key(-2, 2, -1, 1, to, 1);
        EXPECT_EQ(tween(a, b, step, TweenStyle::ConstantSpeed).iterations, result) << from << ">" << to << " " << step;
    }
}

TEST(TweenLinear, EachEntrysColoursTruncateAndLoseTheReservedByte) {
    Keyframe a = test::key(-2, 2, -1, 1, 100, 3), b = test::key(-2, 2, -1, 1, 100, 1);
    for (std::size_t i = 0; i < Palette::kEntries; ++i) {  // red tells the entries apart
        a.palette.setEntry(i, RgbQuad{0, 10, std::uint8_t(i), 99});
        b.palette.setEntry(i, RgbQuad{255, 11, std::uint8_t(i), 42});
    }
    for (int d = 0; d < 3; ++d) {
        const Keyframe m = tween(a, b, d, d == 1 ? TweenStyle::ConstantSpeed : TweenStyle::SlowAtKeyframes);
        for (std::size_t i = 0; i < Palette::kEntries; ++i)  // 10 + 2/3 truncates to 10
            ASSERT_EQ(m.palette.entry(i),
                      (RgbQuad{static_cast<std::uint8_t>(85 * d), 10, static_cast<std::uint8_t>(i), 0}))
                << "step " << d << " entry " << i;
    }
}

}  // namespace
