// The view's arithmetic without a window: drag boxes, zoom regions, Lock
// Proportions, copying a selection, fitting a print and stretching the picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <optional>
#include <vector>

#include "FakeHost.h"
#include "model/Document.h"
#include "model/NavigationHistory.h"
#include "engine/FractalEngine.h"
#include "geometry/PrintFit.h"
#include "geometry/SelectionCopy.h"
#include "geometry/Stretch.h"
#include "geometry/ZoomGeometry.h"

namespace velmora {
namespace {

constexpr std::int32_t kMaxInt = std::numeric_limits<std::int32_t>::max();
const PlaneRegion kDefault{-2.0, -1.5, 2.0, 1.5};
const PixelRect kCentre{100, 75, 300, 225};

// Both refused, or the same edges within `tolerance`.
void expectRegion(const std::optional<PlaneRegion>& got, const std::optional<PlaneRegion>& want, double tolerance) {
    ASSERT_EQ(got.has_value(), want.has_value());
    if (!got) return;
    for (const auto& [g, w] : {std::pair{got->left, want->left}, {got->top, want->top}, {got->right, want->right},
                               {got->bottom, want->bottom}})
        EXPECT_NEAR(g, w, tolerance);
}

TEST(DragBox, SelectionNeedsAnEndedDragAcrossBothAxes) {
    const struct { bool dragging; ClientPoint a, b; bool selects; } cases[] = {
        {false, {10, 10}, {10, 10}, false}, {false, {10, 10}, {50, 10}, false}, {false, {10, 10}, {10, 50}, false},
        {true, {10, 10}, {50, 50}, false},  {false, {10, 10}, {11, 110}, true}, {false, {50, 50}, {10, 10}, true}};
    for (const auto& c : cases) EXPECT_EQ(hasSelection(c.dragging, c.a, c.b), c.selects) << c.b.x << "," << c.b.y;
    for (const auto& [a, b] : {std::pair<ClientPoint, ClientPoint>{{10, 20}, {50, 80}}, {{50, 80}, {10, 20}},
                               {{10, 80}, {50, 20}}, {{50, 20}, {10, 80}}})
        EXPECT_EQ(normalizedBox(a, b), (PixelRect{10, 20, 50, 80}));
    EXPECT_EQ(normalizedBox({-5, 7}, {3, -9}), (PixelRect{-5, -9, 3, 7}));
    for (const auto& [p, want] : {std::pair<ClientPoint, ClientPoint>{{-5, 20}, {0, 20}}, {{450, 350}, {400, 300}}})
        EXPECT_EQ(clampToView(p, 400, 300), want);
    EXPECT_EQ(clampToView({12, 34}, 0, 0), (ClientPoint{0, 0}));
}

TEST(zoom, RegionsForABoxInA400x300View) {
    const double big = std::numeric_limits<double>::max();
    // Zoom in or out: region, box, client size, and the region wanted (none: refused).
    using R = PlaneRegion;
    const std::optional<R> no;
    const struct { const char* name; bool in; R region; PixelRect box; int cw, ch; std::optional<R> want; } cases[] = {
        {"in: centre box halves", true, kDefault, kCentre, 400, 300, R{-1, -0.75, 1, 0.75}},
        {"in: one column", true, kDefault, {200, 0, 201, 100}, 400, 300, R{0, -1.5, 0.01, -0.5}},
        {"in: top below bottom", true, {-2, 1.5, 2, -1.5}, {0, 0, 200, 75}, 400, 300, R{-2, 1.5, 0, 0.75}},
        {"in: mirrored x", true, {2, -1.5, -2, 1.5}, {0, 0, 100, 300}, 400, 300, R{2, -1.5, 1, 1.5}},
        {"in: corners outside extrapolate", true, kDefault, {-100, 0, 500, 300}, 400, 300, R{-3, -1.5, 3, 1.5}},
        {"in: a point stays a point", true, {1, 1, 1, 1}, kCentre, 400, 300, R{1, 1, 1, 1}},
        {"in: not finite", true, {-big, 0, big, 1}, kCentre, 400, 300, no},
        {"out: centre box", false, kDefault, kCentre, 400, 300, R{-3, -2.25, 5, 3.75}},
        {"out: keeps the corner's point", false, kDefault, {40, 30, 140, 80}, 400, 300, R{-3.2, -3, 12.8, 15}},
        {"out after in: old scale", false, {-1, -0.75, 1, 0.75}, kCentre, 400, 300, R{-1.5, -1.125, 2.5, 1.875}},
        {"out after in at the corner: back", false, {-2, -1.5, 0, 0}, {0, 0, 200, 150}, 400, 300, kDefault},
        {"out: stored top below bottom", false, {-2, 1.5, 2, -1.5}, kCentre, 400, 300, R{-3, 2.25, 5, -3.75}},
        {"out: a point divides 0 by 0", false, {1, 1, 1, 1}, kCentre, 400, 300, no},
        {"in: no width", true, kDefault, kCentre, 0, 300, no}, {"in: no height", true, kDefault, kCentre, 400, 0, no},
        {"out: no width", false, kDefault, kCentre, -4, 300, no},
        {"out: no height", false, kDefault, kCentre, 400, 0, no}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        expectRegion(c.in ? zoomInRegion(c.region, c.box, c.cw, c.ch) : zoomOutRegion(c.region, c.box, c.cw, c.ch),
                     c.want, 1e-12);
    }
}

TEST(zoom, WheelAboutTheCursorAndPanByADragIn400x300) {
    using R = PlaneRegion;
    const std::optional<R> no;
    // Wheel (notches != 0, at the client point) or pan (notches 0, by the drag).
    const struct { const char* name; int notches; ClientPoint at; R region; int cw; std::optional<R> want; } cases[] = {
        {"in at the centre", 1, {200, 150}, kDefault, 400, R{-1, -0.75, 1, 0.75}},
        {"in at the top-left corner", 1, {0, 0}, kDefault, 400, R{-2, -1.5, 0, 0}},
        {"out at the centre", -1, {200, 150}, kDefault, 400, R{-4, -3, 4, 3}},
        {"out at the bottom-right corner", -1, {400, 300}, kDefault, 400, R{-6, -4.5, 2, 1.5}},
        {"two notches in, point kept", 2, {100, 75}, kDefault, 400, R{-1.25, -0.9375, -0.25, -0.1875}},
        {"in on mirrored x", 1, {100, 150}, {2, -1.5, -2, 1.5}, 400, R{1.5, -0.75, -0.5, 0.75}},
        {"out past the largest double", -1, {200, 150}, {-1e308, 0, 1e308, 1}, 400, no},
        {"wheel: no width", 1, {0, 0}, kDefault, 0, no},
        {"pan right: plane follows", 0, {100, 0}, kDefault, 400, R{-3, -1.5, 1, 1.5}},
        {"pan up", 0, {0, -150}, kDefault, 400, R{-2, 0, 2, 3}},
        {"pan on mirrored x", 0, {100, 0}, {2, -1.5, -2, 1.5}, 400, R{3, -1.5, -1, 1.5}},
        {"pan: no width", 0, {5, 5}, kDefault, 0, no}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        expectRegion(c.notches != 0 ? wheelZoomRegion(c.region, c.at, c.notches, c.cw, 300)
                                    : panRegion(c.region, c.at.x, c.at.y, c.cw, 300),
                     c.want, 1e-14);
    }
}

// The point under the mouse, as the Julia preview takes its constant.
TEST(zoom, PlanePointUnderTheCursor) {
    const struct { ClientPoint at; PlaneRegion region; int cw; std::optional<std::pair<double, double>> want; } cases[] = {
        {{100, 225}, kDefault, 400, std::pair(-1.0, 0.75)},
        {{400, 0}, {2, 1.5, -2, -1.5}, 400, std::pair(-2.0, 1.5)},
        {{0, 0}, kDefault, 0, std::nullopt},
        {{400, 300}, {-1e308, 0, 1e308, 1}, 400, std::nullopt}};
    for (const auto& c : cases) {
        const auto got = planePointAt(c.region, c.at, c.cw, 300);
        EXPECT_EQ(got ? std::optional(std::pair(got->x, got->y)) : std::nullopt, c.want) << c.at.x << "," << c.at.y;
    }
}

TEST(NavigationHistory, BackForwardAndANewStepDropsWhatLayForward) {
    const auto at = [](double left) { return FractalParams{left, 0, 1, 1, FractalType::Julia, 0.5, 0.25, 99, 7, 9, {}}; };
    NavigationHistory h;
    h.push(at(1));
    h.push(at(2));
    // Each step: back (true) or forward from `current`; what it gives (0: nothing), then canBack, canForward.
    const struct { bool back; double current, gives; bool canBack, canForward; } steps[] = {
        {true, 3, 2, true, true}, {true, 2, 1, false, true}, {true, 1, 0, false, true},
        {false, 1, 2, true, true}, {false, 2, 3, true, false}, {false, 3, 0, true, false}};
    for (const auto& s : steps) {
        SCOPED_TRACE(s.current);
        const auto got = s.back ? h.back(at(s.current)) : h.forward(at(s.current));
        ASSERT_EQ(got.has_value(), s.gives != 0);
        if (got) {
            EXPECT_EQ(std::tuple(got->left, got->type, got->cImag, got->iterations, got->height),
                      std::tuple(s.gives, FractalType::Julia, 0.25, 99, 9));
        }
        EXPECT_EQ(std::pair(h.canGoBack(), h.canGoForward()), std::pair(s.canBack, s.canForward));
    }
    ASSERT_TRUE(h.back(at(3)));
    h.push(at(5));
    EXPECT_EQ(std::pair(h.canGoBack(), h.canGoForward()), std::pair(true, false)) << "a new step drops forward";
}

TEST(LockProportions, MovesThePointToTheViewsProportions) {
    EXPECT_DOUBLE_EQ(clientAspect(400, 320), 1.25);
    const struct { ClientPoint anchor, p; double aspect; ClientPoint want; } cases[] = {
        {{100, 100}, {160, 140}, 1.25, {160, 148}},  // candidate x 150 is not beyond 160: y follows x
        {{100, 100}, {150, 160}, 1.25, {175, 160}},  // candidate 175 is beyond 150: x follows y
        {{100, 100}, {150, 60}, 1.25, {150, 140}},   // up-right turns down-right
        {{100, 100}, {50, 140}, 1.25, {150, 140}},   // down-left turns down-right
        {{100, 100}, {40, 60}, 1.25, {50, 60}},      // up-left keeps its direction
        {{100, 100}, {90, 60}, 1.25, {90, 92}},
        {{0, 0}, {20, 7}, 1.5, {20, 13}},            // truncated toward zero
        {{0, 0}, {-20, -7}, 1.5, {-10, -7}},
        {{0, 0}, {0, 2000000000}, 1000.0, {kMaxInt, 2000000000}},  // saturates instead of overflowing
        {{100, 100}, {160, 140}, clientAspect(400, 0), {160, 140}},  // unusable aspects leave it alone
        {{100, 100}, {160, 140}, clientAspect(0, 0), {160, 140}},
        {{100, 100}, {160, 140}, 0.0, {160, 140}}};
    for (const auto& c : cases)
        EXPECT_EQ(lockProportionsPoint(c.anchor, c.p, c.aspect), c.want) << c.p.x << "," << c.p.y;
}

TEST(SelectionCopy, BoxesMapOntoThePictureAndAreClipped) {
    const struct { PixelRect box; std::int32_t cw, ch, pw, ph; PixelRect want; } cases[] = {
        {{100, 100, 301, 201}, 600, 600, 300, 300, {50, 50, 150, 100}},
        {{3, 2, 10, 12}, 40, 30, 40, 30, {3, 2, 10, 12}},
        {{-50, -20, 700, 900}, 600, 450, 300, 200, {0, 0, 300, 200}},
        {{-2000000000, 0, 2000000000, 10}, 3, 450, 300, 200, {0, 0, 300, 4}}};  // no overflow
    for (const auto& c : cases) EXPECT_EQ(mapSelectionToPicture(c.box, c.cw, c.ch, c.pw, c.ph), c.want) << c.box.left;
    EXPECT_TRUE(mapSelectionToPicture({650, 10, 700, 40}, 600, 450, 300, 200).isEmpty());  // beside the picture
    EXPECT_TRUE(mapSelectionToPicture({10, 10, 11, 50}, 400, 400, 100, 100).isEmpty());  // no whole column
    EXPECT_TRUE(mapSelectionToPicture({10, 10, 50, 50}, 0, 400, 100, 100).isEmpty());
    for (const auto& [w, stride] : {std::pair{0, 0u}, {1, 4u}, {4, 4u}, {5, 8u}, {7, 8u}, {100, 100u}})
        EXPECT_EQ(copyStride(w), stride) << w;
}

TEST(SelectionCopy, CopiesTopDownWithZeroPadding) {
    const struct { std::int32_t w, h; PixelRect rect, copied; } cases[] = {
        {40, 30, {3, 2, 10, 12}, {3, 2, 10, 12}},
        {5, 3, {0, 0, 5, 3}, {0, 0, 5, 3}},
        {10, 10, {-5, 8, 50, 60}, {0, 8, 10, 10}}};  // clipped again rather than read out of bounds
    for (const auto& c : cases) {
        SCOPED_TRACE(c.w);
        FractalEngine e(c.w, c.h);
        auto value = [](std::int32_t fromTop, std::int32_t x) { return static_cast<std::uint8_t>(fromTop * 7 + x); };
        for (std::int32_t memRow = 0; memRow < c.h; ++memRow)
            for (std::int32_t x = 0; x < c.w; ++x)
                e.bits()[static_cast<std::size_t>(memRow) * e.stride() + x] = value(c.h - 1 - memRow, x);
        CopiedImage img;
        ASSERT_EQ(copyPictureRect(e, c.rect, img), CopyResult::Ok);
        ASSERT_EQ((PixelRect{0, 0, img.width, img.height}), (PixelRect{0, 0, c.copied.width(), c.copied.height()}));
        ASSERT_EQ(img.stride, copyStride(img.width));
        ASSERT_EQ(img.bits.size(), img.stride * img.height);
        for (std::int32_t y = 0; y < img.height; ++y)
            for (std::size_t x = 0; x < img.stride; ++x)
                ASSERT_EQ(img.bits[y * img.stride + x],
                          x < std::size_t(img.width) ? value(c.copied.top + y, c.copied.left + std::int32_t(x)) : 0)
                    << x << "," << y;
    }
    FractalEngine e(10, 10);
    CopiedImage img;
    EXPECT_EQ(copyPictureRect(e, PixelRect{5, 5, 5, 9}, img), CopyResult::Empty);
}

TEST(PrintFit, PageWidthFirstThenPageHeightWithSquarePixels) {
    const PageMetrics letter{4800, 6600, 600, 600};
    const struct { std::int32_t w, h; PageMetrics page; PrintTarget want; } cases[] = {
        {300, 200, letter, {4800, 3200}}, {200, 600, letter, {2200, 6600}},  // 14400 high would not fit
        {48, 66, letter, {4800, 6600}},                                      // exactly the page height fits
        {100, 100, {9600, 6600, 1200, 600}, {9600, 4800}},                   // 1200 x 600 dpi
        {7, 1, letter, {4800, 685}}, {3, 7, {1000, 1000, 72, 72}, {428, 1000}}, {1, 100000, letter, {0, 6600}},
        {0, 100, letter, {}}, {100, -1, letter, {}},  // nothing to print or no page
        {100, 100, {4800, 6600, 0, 600}, {}}, {100, 100, {0, 6600, 600, 600}, {}}};
    for (const auto& c : cases) EXPECT_EQ(fitOnPage(c.w, c.h, c.page), c.want) << c.w << "x" << c.h;
}

// A bottom-up source whose pixel value names its column or its row from the
// top, with 0xEE in the padding.
std::vector<std::uint8_t> source(int w, int h, std::size_t stride, bool byColumn) {
    std::vector<std::uint8_t> s(stride * static_cast<std::size_t>(h), 0xEE);
    for (int memRow = 0; memRow < h; ++memRow)
        for (int x = 0; x < w; ++x)
            s[memRow * stride + x] = static_cast<std::uint8_t>(byColumn ? x % 251 : (h - 1 - memRow) % 251);
    return s;
}

TEST(Stretch, RepeatsOrDropsWholePixelsInOrderAndNeverBlends) {
    std::vector<std::uint8_t> dst(600 * 450);
    auto src = source(300, 300, 300, true);
    stretchBottomUp(src.data(), 300, 300, 300, dst.data(), 600, 600, 450);
    for (int x = 0; x < 600; ++x) ASSERT_EQ(dst[x], (x / 2) % 251) << x;  // twice as wide: every column twice
    src = source(300, 300, 300, false);
    stretchBottomUp(src.data(), 300, 300, 300, dst.data(), 600, 600, 450);
    int row = 0, run = 0;  // 1.5 times as high: every row from the top, once or twice, none skipped
    for (int y = 0; y < 450; ++y) {
        if (dst[y * 600] != row % 251) {
            ASSERT_EQ(dst[y * 600], ++row % 251) << y;
            run = 0;
        }
        ASSERT_LE(++run, 2) << y;
    }
    EXPECT_EQ(row, 299);
    src = source(10, 1, 12, true);
    stretchBottomUp(src.data(), 12, 10, 1, dst.data(), 4, 4, 1);
    EXPECT_EQ(std::vector<std::uint8_t>(dst.begin(), dst.begin() + 4), (std::vector<std::uint8_t>{0, 2, 5, 7}));
    src = source(3, 2, 4, true);
    stretchBottomUp(src.data(), 4, 3, 2, dst.data(), 8, 8, 2);
    for (int i = 0; i < 16; ++i) EXPECT_NE(dst[i], 0xEE);  // padding is never shown
    std::fill(dst.begin(), dst.end(), 9);  // empty sizes and no source write nothing
    stretchBottomUp(src.data(), 4, 2, 2, dst.data(), 4, 0, 1);
    stretchBottomUp(src.data(), 4, 0, 2, dst.data(), 4, 4, 1);
    stretchBottomUp(nullptr, 4, 2, 2, dst.data(), 4, 4, 1);
    EXPECT_EQ(std::count(dst.begin(), dst.end(), 9), 600 * 450);
}

}  // namespace
}  // namespace velmora
