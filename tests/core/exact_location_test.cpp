// Locations of any precision: decimal text, the .vmr block of exact values,
// zoom and pan past the double wall, centre and width, the settings dialog's
// fields, the zoom depth, and tweening between deep keyframes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <functional>
#include <optional>

#include "FakeHost.h"
#include "TempDir.h"
#include "anim/Tween.h"
#include "base/LittleEndian.h"
#include "location/CentreWidth.h"
#include "location/DecimalText.h"
#include "location/ExactLocationValues.h"
#include "location/Mpfr.h"
#include "location/ZoomDepth.h"
#include "geometry/ExactZoom.h"
#include "model/Document.h"
#include "model/ColourBlock.h"
#include "model/DocumentFile.h"
#include "model/SettingsCheck.h"

namespace velmora {
namespace {

const std::string kRe = "-0.743643887037158704752191506114774246677514060542729328264";
const std::string kIm = "0.131825904205311970493132056385139396519817796986506208645";

// A 400 x 300 location of that width about the centre above.
FractalParams deepAt(const std::string& width) {
    FractalParams p;
    p.width = 400;
    p.height = 300;
    ExactLocation e;
    EXPECT_EQ(edgesFromCentre({kRe, kIm, width}, 400, 300, e), CentreWidthFault::None);
    e.cReal = "0.3";
    e.cImag = "0.6";
    EXPECT_TRUE(assignExact(p, e));
    return p;
}

Mpfr value(const std::string& text) {
    Mpfr v(600);
    EXPECT_TRUE(readDecimal(text, v)) << text;
    return v;
}

// (a - b) / scale as a double.
double relative(const Mpfr& a, const Mpfr& b, const Mpfr& scale) {
    Mpfr d(600);
    mpfr_sub(d.get(), a.get(), b.get(), MPFR_RNDN);
    mpfr_div(d.get(), d.get(), scale.get(), MPFR_RNDN);
    return mpfr_get_d(d.get(), MPFR_RNDN);
}

TEST(DecimalText, WhatIsANumberAndWhatADoubleCarries) {
    const struct { const char* text; bool decimal, inRange, more; } cases[] = {
        {"0.1", true, true, false},         {"0.10000000000000000555", true, true, true},
        {"+.5e-3", true, true, false},      {"1.", true, true, false},
        {"-0", true, true, false},          {"1e-400", true, true, true},
        {"1e400", true, false, false},      {"", false, false, false},
        {"1e", false, false, false},        {"--1", false, false, false},
        {"1.2.3", false, false, false},     {" 1", false, false, false},
        {"nan", false, false, false},       {"inf", false, false, false},
        {"0x10", false, false, false},      {"1e1234567", false, false, false},
        {"1e-0000001", true, true, false},  {"5e+000000000300", true, true, false},
        {kRe.c_str(), true, true, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        double d = 0.0;
        EXPECT_EQ(isDecimalText(c.text), c.decimal);
        EXPECT_EQ(nearestDouble(c.text, d), c.inRange);
        EXPECT_EQ(carriesMoreThanDouble(c.text), c.more);
    }
    EXPECT_FALSE(isDecimalText(std::string(kMaxDecimalChars + 1, '1')));
    const struct { const char* value; std::size_t digits; const char* text; } formats[] = {
        {"1234.5678", 6, "1234.57"}, {"-0.000012345", 3, "-0.0000123"}, {"1.5e-30", 5, "1.5e-30"},
        {"0", 5, "0"},               {"1e45", 3, "1e45"},               {"-250", 20, "-250"}};
    for (const auto& f : formats) EXPECT_EQ(formatDecimal(value(f.value), f.digits), f.text);
    const struct { const char* text; std::pair<long, long> at; } places[] = {  // of the first and last digit
        {"1234.5678", {3, -4}}, {"-0.000012300", {-5, -7}}, {"+.5e-3", {-4, -4}}, {"250", {2, 1}}, {"-0.0", {0, 0}}};
    for (const auto& c : places) EXPECT_EQ(std::pair(leadingDigitPlace(c.text), lowestDigitPlace(c.text)), c.at);
}

// A deep document and one of its keyframes keep their exact values through
// the bytes and a file. (A shallow one has no block: the layout's sizes in the
// document tests.)
TEST(ExactBlock, RoundTripsAndAShallowDocumentHasNone) {
    DocumentContents c;
    c.params = deepAt("1e-45");
    Keyframe shallow, deep;
    shallow.iterations = deep.iterations = 100;
    deep.transitions = 5;
    ASSERT_TRUE(assignExact(deep, exactTextOf(deepAt("3e-30"))));
    c.keyframes = {shallow, deep};
    const std::vector<std::uint8_t> bytes = serializeContents(c);
    ASSERT_GT(bytes.size(), kDocumentHeaderSize + 1 + 2 * kKeyframeRecordSize);

    test::TempDir dir;
    std::ofstream(dir.file("d.vmr"), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                              static_cast<std::streamsize>(bytes.size()));
    DocumentContents fromBytes, fromFile;
    ASSERT_TRUE(parseDocument(bytes.data(), bytes.size(), fromBytes));
    std::error_code cause;
    ASSERT_EQ(readDocumentFile(dir.file("d.vmr"), fromFile, cause), DocumentReadResult::Loaded);
    for (const DocumentContents* back : {&fromBytes, &fromFile}) {
        EXPECT_EQ(back->params, c.params);
        EXPECT_TRUE(back->keyframes[0].exact.empty());
        EXPECT_EQ(back->keyframes[1].exact, deep.exact);
        EXPECT_EQ(serializeContents(*back), bytes);
    }
}

struct Damage {
    const char* name;
    std::function<void(std::vector<std::uint8_t>&, std::size_t block, std::size_t second)> apply;
};

class DamagedBlock : public ::testing::TestWithParam<Damage> {};

void storeU32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) { le::storeU32(&b[at], v); }

// Any damage leaves every location on the file's doubles, none half-applied;
// a block read whole goes back into a save as it was, until a location changes.
TEST_P(DamagedBlock, IsIgnoredWholeAndKeptWhileTheLocationsStay) {
    DocumentContents c;
    c.params = deepAt("1e-45");
    Keyframe k;
    ASSERT_TRUE(assignExact(k, exactTextOf(deepAt("3e-30"))));
    c.keyframes = {k};
    std::vector<std::uint8_t> bytes = serializeContents(c);
    const std::size_t block = kDocumentHeaderSize + kKeyframeRecordSize + 1;
    std::size_t second = block + 16 + 4;  // past the signature, length, count and the first record's index
    for (const std::string* s : {&c.params.exact.left, &c.params.exact.top, &c.params.exact.right,
                                 &c.params.exact.bottom, &c.params.exact.cReal, &c.params.exact.cImag})
        second += 4 + s->size();
    GetParam().apply(bytes, block, second);

    DocumentContents back;
    ASSERT_TRUE(parseDocument(bytes.data(), bytes.size(), back));
    EXPECT_TRUE(back.params.exact.empty());
    EXPECT_TRUE(back.keyframes[0].exact.empty());
    EXPECT_EQ(std::pair(back.keyframes[0].left, back.params.left), std::pair(k.left, c.params.left));
    const std::string name = GetParam().name;
    // Bytes past the length it states, or missing, are not the block's.
    const bool whole = name != "Signature" && name != "LengthPastEnd" && name != "Truncated" && name != "LengthShort";
    EXPECT_EQ(serializeContents(back) == bytes, whole);
    back.keyframes[0].left = 0.5;
    EXPECT_EQ(serializeContents(back).size(), block);
}

INSTANTIATE_TEST_SUITE_P(
    forms, DamagedBlock,
    ::testing::Values(
        Damage{"Signature", [](auto& b, auto block, auto) { b[block + 3] ^= 1; }},
        Damage{"LengthPastEnd", [](auto& b, auto block, auto) { storeU32(b, block + 8, b.size()); }},
        Damage{"LengthShort", [](auto& b, auto block, auto) { --b[block + 8]; }},
        Damage{"Truncated", [](auto& b, auto, auto) { b.resize(b.size() - 3); }},
        Damage{"NotDecimal", [](auto& b, auto block, auto) { b[block + 24] = 'x'; }},
        Damage{"EmptyText", [](auto& b, auto block, auto) { storeU32(b, block + 20, 0); }},
        Damage{"TextPastEnd", [](auto& b, auto block, auto) { storeU32(b, block + 20, 0x7fffffff); }},
        Damage{"CountZero", [](auto& b, auto block, auto) { storeU32(b, block + 12, 0); }},
        Damage{"CountBeyondLocations", [](auto& b, auto block, auto) { storeU32(b, block + 12, 3); }},
        Damage{"CountShortOfRecords", [](auto& b, auto block, auto) { storeU32(b, block + 12, 1); }},
        Damage{"NoSuchKeyframe", [](auto& b, auto, auto second) { storeU32(b, second, 1); }},
        Damage{"SameLocationTwice", [](auto& b, auto, auto second) { storeU32(b, second, 0xffffffff); }},
        Damage{"OtherDoubles", [](auto& b, auto, auto) { b[5 + 8 + 7] ^= 0x10; }}),  // the top edge
    [](const auto& info) { return std::string(info.param.name); });

using Step = std::function<std::optional<FractalParams>(const FractalParams&)>;

// Within the doubles' reach every step is the doubles' arithmetic, bit for bit.
TEST(ExactZoom, ShallowStepsAreTheDoublesArithmetic) {
    const PixelRect box{100, 75, 300, 225};
    const struct { const char* name; Step exact; std::function<std::optional<PlaneRegion>(const PlaneRegion&)> plain; }
        steps[] = {
            {"in", [&](auto& p) { return zoomInLocation(p, box, 400, 300); },
             [&](auto& r) { return zoomInRegion(r, box, 400, 300); }},
            {"out", [&](auto& p) { return zoomOutLocation(p, box, 400, 300); },
             [&](auto& r) { return zoomOutRegion(r, box, 400, 300); }},
            {"wheel", [](auto& p) { return wheelZoomLocation(p, {37, 211}, 3, 400, 300); },
             [](auto& r) { return wheelZoomRegion(r, {37, 211}, 3, 400, 300); }},
            {"pan", [](auto& p) { return panLocation(p, -17, 29, 400, 300); },
             [](auto& r) { return panRegion(r, -17, 29, 400, 300); }}};
    const PlaneRegion regions[] = {{-2, -1.5, 2, 1.5}, {1.5, 1, -1.5, -1}, {-0.75, 0.1, -0.75 + 3e-11, 0.1 + 2e-11}};
    for (const auto& s : steps) {
        for (const PlaneRegion& r : regions) {
            SCOPED_TRACE(std::string(s.name) + " at " + std::to_string(r.left));
            FractalParams p;
            p.left = r.left, p.top = r.top, p.right = r.right, p.bottom = r.bottom;
            const auto got = s.exact(p);
            const auto want = s.plain(r);
            ASSERT_TRUE(got && want);
            EXPECT_TRUE(got->exact.empty());
            for (auto [g, w] : {std::pair{got->left, want->left}, {got->top, want->top}, {got->right, want->right},
                                {got->bottom, want->bottom}})
                EXPECT_EQ(std::memcmp(&g, &w, sizeof g), 0) << g << " " << w;
        }
    }
    FractalParams flat;
    flat.right = flat.left;
    EXPECT_FALSE(zoomOutLocation(flat, box, 400, 300));
    EXPECT_FALSE(zoomInLocation(deepAt("1e-30"), box, 0, 300));
}

// At width 1e-25 each step lands where the same arithmetic in MPFR says, to
// far below a pixel; the doubles alone could not tell the edges apart.
TEST(ExactZoom, DeepStepsLandWhereMpfrSays) {
    const FractalParams p = deepAt("1e-25");
    const PixelRect box{100, 75, 300, 225};
    // Each axis as (low, high, client) and the expected new edges from it.
    using Axis = std::function<void(Mpfr&, Mpfr&, long, long, long, long)>;
    const auto at = [](Mpfr& out, const Mpfr& lo, const Mpfr& hi, long n, long d) {
        mpfr_sub(out.get(), hi.get(), lo.get(), MPFR_RNDN);
        mpfr_mul_si(out.get(), out.get(), n, MPFR_RNDN);
        mpfr_div_si(out.get(), out.get(), d, MPFR_RNDN);
        mpfr_add(out.get(), lo.get(), out.get(), MPFR_RNDN);
    };
    const struct { const char* name; Step step; Axis expected; } cases[] = {
        {"in", [&](auto& q) { return zoomInLocation(q, box, 400, 300); },
         [&](auto& lo, auto& hi, long, long boxLo, long boxHi, long client) {
             Mpfr a(600), b(600);
             at(a, lo, hi, boxLo, client);
             at(b, lo, hi, boxHi, client);
             lo = a, hi = b;
         }},
        {"wheel", [](auto& q) { return wheelZoomLocation(q, {40, 200}, 5, 400, 300); },
         [&](auto& lo, auto& hi, long cursor, long, long, long client) {
             Mpfr pt(600);
             at(pt, lo, hi, cursor, client);
             for (Mpfr* e : {&lo, &hi}) {  // p + (e - p) / 2^5
                 mpfr_sub(e->get(), e->get(), pt.get(), MPFR_RNDN);
                 mpfr_div_2ui(e->get(), e->get(), 5, MPFR_RNDN);
                 mpfr_add(e->get(), e->get(), pt.get(), MPFR_RNDN);
             }
         }},
        {"pan", [](auto& q) { return panLocation(q, 40, 200, 400, 300); },
         [&](auto& lo, auto& hi, long moved, long, long, long client) {
             Mpfr a(600), b(600);
             at(a, lo, hi, -moved, client);
             mpfr_sub(b.get(), a.get(), lo.get(), MPFR_RNDN);
             mpfr_add(hi.get(), hi.get(), b.get(), MPFR_RNDN);
             lo = a;
         }}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto got = c.step(p);
        ASSERT_TRUE(got);
        ASSERT_FALSE(got->exact.empty());
        Mpfr l = value(p.exact.left), r = value(p.exact.right), t = value(p.exact.top), b = value(p.exact.bottom);
        c.expected(l, r, 40, box.left, box.right, 400);
        c.expected(t, b, 200, box.top, box.bottom, 300);
        Mpfr w(600), h(600);
        mpfr_sub(w.get(), r.get(), l.get(), MPFR_RNDN);
        mpfr_sub(h.get(), b.get(), t.get(), MPFR_RNDN);
        EXPECT_LT(std::fabs(relative(value(got->exact.left), l, w)), 1e-15);
        EXPECT_LT(std::fabs(relative(value(got->exact.right), r, w)), 1e-15);
        EXPECT_LT(std::fabs(relative(value(got->exact.top), t, h)), 1e-15);
        EXPECT_LT(std::fabs(relative(value(got->exact.bottom), b, h)), 1e-15);
        EXPECT_EQ(got->left, mpfr_get_d(l.get(), MPFR_RNDN));
        EXPECT_EQ(got->exact.cReal, "0.3");
    }
}

// The wheel goes on past the wall without a switch, each notch halving the
// width about the point under the cursor; all the way back the exact values go.
TEST(ExactZoom, WheelThroughTheWallAndBack) {
    FractalParams p;
    const FractalParams start = p;
    bool wentExact = false;
    const auto edges = [](const FractalParams& q, Mpfr& pointed, Mpfr& width) {
        const ExactLocation t = exactTextOf(q);
        mpfr_sub(width.get(), value(t.right).get(), value(t.left).get(), MPFR_RNDN);
        mpfr_div_2ui(pointed.get(), width.get(), 2, MPFR_RNDN);  // the cursor a quarter across
        mpfr_add(pointed.get(), pointed.get(), value(t.left).get(), MPFR_RNDN);
    };
    Mpfr before(600), beforeWidth(600), after(600), afterWidth(600), half(600);
    for (int i = 1; i <= 200; ++i) {
        SCOPED_TRACE(i);
        edges(p, before, beforeWidth);
        p = *wheelZoomLocation(p, {100, 100}, 1, 400, 300);
        edges(p, after, afterWidth);
        mpfr_div_2ui(half.get(), beforeWidth.get(), 1, MPFR_RNDN);
        // Doubles (and their shortest text) place the edges to a unit in the
        // last place of -1; exact values to the width.
        const double tolerance = wentExact ? 1e-15 : 1e-15 / mpfr_get_d(afterWidth.get(), MPFR_RNDN);
        wentExact = wentExact || !p.exact.empty();
        ASSERT_LT(std::fabs(relative(afterWidth, half, half)), tolerance);
        ASSERT_LT(std::fabs(relative(after, before, afterWidth)), tolerance);
        ASSERT_EQ(p.exact.empty(), !wentExact);
    }
    ASSERT_TRUE(wentExact);
    for (int i = 0; i < 200; ++i) p = *wheelZoomLocation(p, {100, 100}, -1, 400, 300);
    EXPECT_TRUE(p.exact.empty());
    EXPECT_EQ(std::tuple(p.left, p.right), std::tuple(start.left, start.right));
}

// A held zoom's rate per tick, and where the old picture lies in the new
// place: the point zoomed about stays, the scale is the zoom's, at any depth.
TEST(ExactZoom, HeldZoomAndTheOldPictureInTheNewPlace) {
    const struct { double rate, seconds; bool out; double factor; } rates[] = {
        {2.0, 1.0, false, 2.0}, {2.0, 0.5, false, std::sqrt(2.0)}, {4.0, 0.25, true, 1 / std::sqrt(2.0)},
        {2.0, 0.0, false, 1.0}, {1.0, 1.0, false, 1.0},         {NAN, 1.0, false, 1.0}};
    for (const auto& r : rates) EXPECT_DOUBLE_EQ(heldZoomFactor(r.rate, r.seconds, r.out), r.factor) << r.rate;

    FractalParams shallow;
    std::tie(shallow.width, shallow.height) = std::tuple(400, 300);
    const FractalParams deep = deepAt("1e-45");
    const struct { const char* name; FractalParams shown; std::optional<FractalParams> target; ClientPlacement at; } cases[] = {
        {"same place", shallow, shallow, {0, 0, 400, 300}},
        {"four notches", shallow, wheelZoomLocation(shallow, {100, 75}, 4, 400, 300), {-1500, -1125, 4900, 3675}},
        {"a notch out", shallow, wheelZoomLocation(shallow, {100, 75}, -1, 400, 300), {50, 37.5, 250, 187.5}},
        {"a pan", shallow, panLocation(shallow, 40, -20, 400, 300), {40, -20, 440, 280}},
        {"held, deep", deep, scaleAboutLocation(deep, 100.5, 75.5, 3.0, 400, 300), {-201, -151, 999, 749}},
        {"held out, deep", deep, scaleAboutLocation(deep, 0, 300, 0.5, 400, 300), {0, 150, 200, 300}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(c.target.has_value());
        const auto at = placeInClient(c.shown, *c.target, 400, 300);
        ASSERT_TRUE(at.has_value());
        for (const auto& [got, want] : {std::pair(at->left, c.at.left), std::pair(at->top, c.at.top),
                                        std::pair(at->right, c.at.right), std::pair(at->bottom, c.at.bottom)})
            EXPECT_NEAR(got, want, 1e-6);
    }
    EXPECT_FALSE(scaleAboutLocation(shallow, 1, 1, 0.0, 400, 300) || scaleAboutLocation(shallow, 1, 1, -2, 400, 300) ||
                 scaleAboutLocation(shallow, NAN, 1, 2, 400, 300) || scaleAboutLocation(shallow, 1, 1, 2, 0, 300));
    FractalParams flat = shallow;
    flat.right = flat.left;
    EXPECT_FALSE(placeInClient(shallow, flat, 400, 300) || placeInClient(shallow, shallow, 400, 0));
}

// The edges are centre -/+ half the extent to every digit, however short the
// centre's text and however deep the width; the region they make has that
// centre and width again.
// The point under the mouse: the middle of its pixel, to the digits the
// pixel's size needs, exactly past the doubles; nothing outside the picture.
TEST(ExactZoom, PointUnderTheMouseHasTheDigitsThePixelNeeds) {
    FractalParams shallow;
    std::tie(shallow.width, shallow.height) = std::tuple(400, 300);
    const struct { ClientPoint at; std::string re, im; } cases[] = {
        {{100, 50}, "-0.995", "-0.995"}, {{0, 0}, "-1.995", "-1.495"}, {{399, 299}, "1.995", "1.495"}};
    for (const auto& c : cases) {
        const auto p = pointUnder(shallow, c.at, 400, 300);
        ASSERT_TRUE(p.has_value());
        EXPECT_EQ(std::pair(p->re, p->im), std::pair(c.re, c.im));
    }
    EXPECT_FALSE(pointUnder(shallow, {400, 0}, 400, 300) || pointUnder(shallow, {0, -1}, 400, 300));
    // 1e-45 wide: the middle pixel's centre is the view's centre moved by half a pixel.
    const auto deep = pointUnder(deepAt("1e-45"), {200, 150}, 400, 300);
    ASSERT_TRUE(deep.has_value());
    EXPECT_EQ(deep->re.substr(0, 40), std::string(kRe).substr(0, 40));
    EXPECT_GE(deep->re.size(), 48u) << deep->re;
}

TEST(CentreWidth, EdgesExactlyAndEveryFault) {
    const std::string d60 = "0.123456789012345678901234567890123456789012345678901234567890";
    const struct { CentreWidth given; std::int32_t w, h; std::string left, top, right, bottom; } cases[] = {
        {{kRe, kIm, "1e-45"}, 640, 480,
         "-0.743643887037158704752191506114774246677514061042729328264",
         "0.131825904205311970493132056385139396519817796611506208645",
         "-0.743643887037158704752191506114774246677514060042729328264",
         "0.131825904205311970493132056385139396519817797361506208645"},
        {{"-0.5", "0", "3"}, 400, 300, "-2", "-1.125", "1", "1.125"},
        {{"-0.75", "0.1", "1e-30"}, 640, 480, "-0.7500000000000000000000000000005",
         "0.099999999999999999999999999999625", "-0.7499999999999999999999999999995",
         "0.100000000000000000000000000000375"},
        {{"-0.75", "0.1", "1e-200"}, 100, 100, "-0.75" + std::string(198, '0') + "5",
         "0.0" + std::string(199, '9') + "5", "-0.74" + std::string(198, '9') + "5",
         "0.1" + std::string(199, '0') + "5"},
        {{d60, "-1.5", "2e-45"}, 100, 50, "0.12345678901234567890123456789012345678901234467890123456789",
         "-1.5000000000000000000000000000000000000000000005",
         "0.12345678901234567890123456789012345678901234667890123456789",
         "-1.4999999999999999999999999999999999999999999995"},
        {{"0", "0", "1e-30"}, 100, 100, "-5e-31", "-5e-31", "5e-31", "5e-31"}};
    ExactLocation e;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.given.re + " " + c.given.im + " " + c.given.width);
        ASSERT_EQ(edgesFromCentre(c.given, c.w, c.h, e), CentreWidthFault::None);
        EXPECT_EQ(std::tuple(e.left, e.top, e.right, e.bottom), std::tuple(c.left, c.top, c.right, c.bottom));
        FractalParams region;
        ASSERT_TRUE(assignExact(region, {c.left, c.top, c.right, c.bottom, "0", "0"}));
        const CentreWidth back = centreOf(region);
        EXPECT_TRUE(sameDecimalValue(back.re, c.given.re) && sameDecimalValue(back.im, c.given.im) &&
                    sameDecimalValue(back.width, c.given.width))
            << back.re << " " << back.im << " " << back.width;
    }
    const struct { CentreWidth given; CentreWidthFault fault; } faults[] = {
        {{"x", "0", "1"}, CentreWidthFault::Centre},    {{"0", "1e999", "1"}, CentreWidthFault::Centre},
        {{"0", "0", "0"}, CentreWidthFault::Width},     {{"0", "0", "-1e-50"}, CentreWidthFault::Width},
        {{"0", "0", ""}, CentreWidthFault::Width},      {{"1.7e308", "0", "1e308"}, CentreWidthFault::Range}};
    for (const auto& f : faults) {
        SCOPED_TRACE(f.given.re + " " + f.given.im + " " + f.given.width);
        EXPECT_EQ(edgesFromCentre(f.given, 400, 300, e), f.fault);
    }
    // What the Location dialog shows gives the same location back.
    const FractalParams p = deepAt("2.5e-33");
    ASSERT_EQ(edgesFromCentre(centreOf(p), 400, 300, e), CentreWidthFault::None);
    EXPECT_EQ(std::tuple(e.left, e.top, e.right, e.bottom),
              std::tuple(p.exact.left, p.exact.top, p.exact.right, p.exact.bottom));
}

TEST(ZoomDepth, InitialWidthOverTheWidth) {
    FractalParams p;
    EXPECT_EQ(zoomDepthText(p), "Zoom 1");
    p.right = 0.0;
    EXPECT_EQ(zoomDepthText(p), "Zoom 2");
    EXPECT_EQ(zoomDepthText(deepAt("3.3e-47")), "Zoom 1.2e+47");
    EXPECT_EQ(zoomDepthText(deepAt("3.3e-400")), "Zoom 1.2e+400");  // past any double
    p.right = p.left;
    EXPECT_EQ(zoomDepthText(p), "Zoom -");
}

// Fields left as shown keep the exact values; edited ones are read as typed.
TEST(SettingsFields, KeepExactValuesUnlessEdited) {
    test::FakeHost host;
    Document doc(host);
    doc.onNewDocument();
    const FractalParams deep = deepAt("1e-30");
    doc.setParams(deep);
    SettingsFields f = settingsFieldsFrom(doc);
    ASSERT_EQ(applySettings(doc, host, f), SettingsResult::Accepted);
    EXPECT_EQ(doc.params().exact, deep.exact);

    f.cReal = "0.25";  // the constant edited: the edges stay exact
    ASSERT_EQ(applySettings(doc, host, f), SettingsResult::Accepted);
    EXPECT_EQ(std::tuple(doc.params().exact.left, doc.params().exact.cReal, doc.params().cReal),
              std::tuple(deep.exact.left, "0.25", 0.25));

    f = settingsFieldsFrom(doc);
    f.left = "-0.5";
    f.right = "0.5";
    f.cReal = "0.3";
    ASSERT_EQ(applySettings(doc, host, f), SettingsResult::Accepted);
    EXPECT_TRUE(doc.params().exact.empty());
    EXPECT_EQ(doc.params().left, -0.5);

    f.left = kRe;  // a typed number longer than a double keeps its digits
    ASSERT_EQ(applySettings(doc, host, f), SettingsResult::Accepted);
    EXPECT_EQ(doc.params().exact.left, kRe);
}

// Constant speed zooms at a steady rate in log(width): keyframes 1e-40 apart
// in 40 frames shrink the width tenfold each frame.
TEST(TweenExact, ConstantSpeedIsSteadyInLogWidth) {
    Keyframe a, b, out;
    ASSERT_TRUE(assignExact(a, exactTextOf(deepAt("4"))));
    ASSERT_TRUE(assignExact(b, exactTextOf(deepAt("4e-40"))));
    a.transitions = 40;
    for (std::int32_t d = 0; d < 40; ++d) {
        SCOPED_TRACE(d);
        tweenKeyframes(a, b, out, d, TweenStyle::ConstantSpeed);
        Mpfr w(600);
        mpfr_sub(w.get(), value(exactTextOf(out).right).get(), value(exactTextOf(out).left).get(), MPFR_RNDN);
        mpfr_log10(w.get(), w.get(), MPFR_RNDN);
        EXPECT_NEAR(mpfr_get_d(w.get(), MPFR_RNDN), std::log10(4.0) - d, 1e-9);
        EXPECT_EQ(out.exact.empty(), d < 13);  // deep once the doubles cannot hold it
    }
    // The next shallow segment starts clean on the same scratch keyframe.
    Keyframe c = a;
    c.left = -1.0;
    tweenKeyframes(a, c, out, 3, TweenStyle::ConstantSpeed);
    EXPECT_TRUE(out.exact.empty());
}

// ---- The colouring block ----

// Written only when a value differs from its default, after everything an
// older reader reads (so its bytes start with the file that reader knows),
// and read back to the same bytes, from memory and from a file.
TEST(ColourBlock, FollowsWhatOlderReadersReadAndComesBackWhole) {
    const struct { ColourSpread spread; bool smooth, deep; } cases[] = {
        {{}, false, false}, {{0.01, 255.5}, false, false}, {{}, true, false}, {{100000.0, 3.0}, true, true}};
    for (const auto& k : cases) {
        DocumentContents c;
        if (k.deep) c.params = deepAt("1e-45");  // an exact block before it
        const std::vector<std::uint8_t> older = serializeContents(c);
        std::tie(c.spread, c.animation.smooth) = std::tuple(k.spread, k.smooth);
        const std::vector<std::uint8_t> bytes = serializeContents(c);
        const bool plain = k.spread == ColourSpread{} && !k.smooth;  // no block at all
        ASSERT_EQ(bytes.size(), older.size() + (plain ? 0 : kBlockHeadSize + kColourPayloadSize));
        EXPECT_TRUE(std::equal(older.begin(), older.end(), bytes.begin()));
        test::TempDir dir;
        std::ofstream(dir.file("c.vmr"), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                                  static_cast<std::streamsize>(bytes.size()));
        DocumentContents fromBytes, fromFile;
        ASSERT_TRUE(parseDocument(bytes.data(), bytes.size(), fromBytes));
        std::error_code cause;
        ASSERT_EQ(readDocumentFile(dir.file("c.vmr"), fromFile, cause), DocumentReadResult::Loaded);
        for (const DocumentContents* back : {&fromBytes, &fromFile})
            EXPECT_TRUE(back->spread == k.spread && back->animation.smooth == k.smooth &&
                        back->params.exact == c.params.exact && serializeContents(*back) == bytes);
    }
}

// A payload that does not read leaves the defaults; a longer one is read for
// the fields it starts with.
TEST(ColourBlock, PayloadsOutOfRangeShortOrCutChangeNothing) {
    DocumentContents c;
    c.spread = {2.0, 7.0};
    const std::vector<std::uint8_t> good = serializeContents(c);
    const std::size_t at = good.size() - kColourPayloadSize;  // the payload's first byte
    const double nan = std::nan("");
    const struct { double density, offset; std::uint32_t length; std::size_t size; bool taken; } cases[] = {
        {2.0, 7.0, kColourPayloadSize, good.size(), true}, {2.0, 7.0, kColourPayloadSize + 3, good.size() + 3, true},
        {0.0, 7.0, kColourPayloadSize, good.size(), false}, {nan, 7.0, kColourPayloadSize, good.size(), false},
        {2.0, 256.0, kColourPayloadSize, good.size(), false}, {2.0, -0.001, kColourPayloadSize, good.size(), false},
        {2.0, 7.0, kColourPayloadSize - 1, good.size() - 1, false},  // too short for its fields
        {2.0, 7.0, kColourPayloadSize, good.size() - 1, false}};      // cut: the length promises more
    for (const auto& k : cases) {
        std::vector<std::uint8_t> b = good, fields;
        b.resize(k.size, 9);
        le::putDouble(fields, k.density);
        le::putDouble(fields, k.offset);
        std::copy(fields.begin(), fields.end(), b.begin() + static_cast<std::ptrdiff_t>(at));
        le::storeU32(b.data() + at - 4, k.length);
        DocumentContents back;
        ASSERT_TRUE(parseDocument(b.data(), b.size(), back));
        EXPECT_EQ(back.spread, k.taken ? c.spread : ColourSpread{}) << k.density << " " << k.offset << " " << k.length;
    }
}

}  // namespace
}  // namespace velmora
