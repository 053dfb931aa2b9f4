#include <gtest/gtest.h>

#include "FakeHost.h"
#include "palette/DefaultPalette.h"
#include "palette/LogicalPalette.h"

using namespace velmora;

namespace {

// The rule written out independently: six segments, floor rounding.
RgbQuad Expected(int i) {
    RgbQuad q;
    if (i == 0) return q;
    int r = 0, g = 0, b = 0;
    if (i <= 48) { r = 255; g = 255 * i / 48; }
    else if (i <= 96) { r = 255 * (96 - i) / 48; g = 255; }
    else if (i <= 144) { g = 255; b = 255 * (i - 96) / 48; }
    else if (i <= 192) { g = 255 * (192 - i) / 48; b = 255; }
    else if (i <= 224) { r = 255 * (i - 192) / 32; b = 255; }
    else { r = 255; b = 255 * (255 - i) / 31; }
    q.red = static_cast<std::uint8_t>(r);
    q.green = static_cast<std::uint8_t>(g);
    q.blue = static_cast<std::uint8_t>(b);
    return q;
}

TEST(DefaultPalette, EveryEntryFollowsTheRule) {
    const Palette& p = DefaultPalette();
    for (int i = 0; i < 256; ++i) EXPECT_EQ(p.Entry(i), Expected(i)) << "entry " << i;
}

TEST(DefaultPalette, TellingEntriesRoundDown) {
    const Palette& p = DefaultPalette();
    struct { int i, r, g, b; } cases[] = {
        {1, 255, 5, 0},   {2, 255, 10, 0},  {3, 255, 15, 0},  {48, 255, 255, 0}, {49, 249, 255, 0},
        {95, 5, 255, 0},  {96, 0, 255, 0},  {144, 0, 255, 255}, {145, 0, 249, 255}, {192, 0, 0, 255},
        {193, 7, 0, 255}, {208, 127, 0, 255}, {223, 247, 0, 255}, {224, 255, 0, 255}, {225, 255, 0, 246},
        {226, 255, 0, 238}, {254, 255, 0, 8}, {255, 255, 0, 0}, {0, 0, 0, 0}};
    for (const auto& c : cases) {
        const RgbQuad q = p.Entry(c.i);
        EXPECT_EQ(q.red, c.r) << c.i;
        EXPECT_EQ(q.green, c.g) << c.i;
        EXPECT_EQ(q.blue, c.b) << c.i;
        EXPECT_EQ(q.reserved, 0) << c.i;
    }
}

TEST(Palette, ByteLayoutIsBlueGreenRedReserved) {
    Palette p;
    p.SetEntry(7, RgbQuad{1, 2, 3, 4});
    EXPECT_EQ(p.Bytes()[28], 1);
    EXPECT_EQ(p.Bytes()[29], 2);
    EXPECT_EQ(p.Bytes()[30], 3);
    EXPECT_EQ(p.Bytes()[31], 4);
    p.ClearReserved();
    EXPECT_EQ(p.Bytes()[31], 0);
    EXPECT_EQ(p.Bytes()[30], 3);
}

TEST(LogicalPalette, RuleSwapsRedAndBlueAndCarriesFlags) {
    Palette p = DefaultPalette();
    p.SetEntry(9, RgbQuad{10, 20, 30, 4});
    LogicalPalette lp;
    FillLogicalPalette(p, lp);
    EXPECT_EQ(lp.palVersion, 0x300);
    EXPECT_EQ(lp.palNumEntries, 256);
    EXPECT_EQ(lp.entries[1], (PaletteEntry{255, 5, 0, 0}));
    EXPECT_EQ(lp.entries[9], (PaletteEntry{30, 20, 10, 4}));
    EXPECT_EQ(lp.entries[255], (PaletteEntry{255, 0, 0, 0}));
}

class FailingHolder : public GdiPaletteHolder {
public:
    using GdiPaletteHolder::GdiPaletteHolder;
    bool failAlloc = false;
    bool failCreate = false;

protected:
    bool AllocateBlock() override { return !failAlloc; }
    bool CreatePalette() override { return !failCreate; }
};

TEST(GdiPaletteHolder, KeepsExactlyOneAliveOverManyRebuilds) {
    test::FakeHost host;
    const int before = LogicalPalette::AliveCount();
    {
        GdiPaletteHolder holder(host, MsgOwner::None);
        for (int i = 0; i < 50; ++i) holder.BuildGdiPalette(DefaultPalette());
        EXPECT_EQ(LogicalPalette::AliveCount(), before + 1);
        ASSERT_NE(holder.Get(), nullptr);
        EXPECT_EQ(holder.Get()->entries[1].peGreen, 5);
    }
    EXPECT_EQ(LogicalPalette::AliveCount(), before);
}

TEST(GdiPaletteHolder, AllocationFailureKeepsPreviousAndReportsOwnerless) {
    test::FakeHost host;
    host.allowMessages = true;
    FailingHolder holder(host, MsgOwner::None);
    holder.BuildGdiPalette(DefaultPalette());
    holder.failAlloc = true;
    Palette black;
    holder.BuildGdiPalette(black);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "Not enough memory to create palette.");
    EXPECT_EQ(host.messages[0].caption, "");
    EXPECT_EQ(host.messages[0].owner, MsgOwner::None);
    ASSERT_NE(holder.Get(), nullptr);
    EXPECT_EQ(holder.Get()->entries[1].peGreen, 5);  // still the default palette's
}

TEST(GdiPaletteHolder, CreateFailureLeavesEmptyPaletteAndWindowOwnedCaption) {
    test::FakeHost host;
    host.allowMessages = true;
    FailingHolder holder(host, MsgOwner::Dialog, "Palette Editor");
    holder.failCreate = true;
    holder.BuildGdiPalette(DefaultPalette());
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "Could not create palette.");
    EXPECT_EQ(host.messages[0].caption, "Velmora");
    ASSERT_NE(holder.Get(), nullptr);
    EXPECT_EQ(holder.Get()->palNumEntries, 0);
    holder.failCreate = false;
    holder.BuildGdiPalette(DefaultPalette());
    EXPECT_EQ(holder.Get()->palNumEntries, 256);
}

}  // namespace
