#include <gtest/gtest.h>

#include "FakeHost.h"
#include "render/FractalEngine.h"
#include "render/SelectionCopy.h"

namespace velmora {
namespace {

// Fills the picture so every pixel tells where it is: row from the top in the
// low nibble pattern, column folded into the value.
void Label(FractalEngine& e) {
    for (std::int32_t memRow = 0; memRow < e.GetHeight(); ++memRow) {
        const std::int32_t rowFromTop = e.GetHeight() - 1 - memRow;
        std::uint8_t* row = e.GetBits() + static_cast<std::size_t>(memRow) * e.GetStride();
        for (std::int32_t x = 0; x < e.GetWidth(); ++x) row[x] = static_cast<std::uint8_t>((rowFromTop * 7 + x) & 0xFF);
    }
}

std::uint8_t Expected(std::int32_t rowFromTop, std::int32_t x) { return static_cast<std::uint8_t>((rowFromTop * 7 + x) & 0xFF); }

TEST(SelectionCopy, MapsTheDocumentedExampleOntoThePicture) {
    // 300 x 300 picture in a 600 x 600 view, box (100,100)-(301,201).
    const PixelRect r = MapSelectionToPicture({100, 100, 301, 201}, 600, 600, 300, 300);
    EXPECT_EQ(r, (PixelRect{50, 50, 150, 100}));
    EXPECT_EQ(r.Width(), 100);
    EXPECT_EQ(r.Height(), 50);
    EXPECT_EQ(CopyStride(r.Width()), 100u);
}

TEST(SelectionCopy, StrideIsRoundedUpToFour) {
    EXPECT_EQ(CopyStride(7), 8u);
    EXPECT_EQ(CopyStride(1), 4u);
    EXPECT_EQ(CopyStride(4), 4u);
    EXPECT_EQ(CopyStride(5), 8u);
    EXPECT_EQ(CopyStride(0), 0u);
}

TEST(SelectionCopy, SevenPixelBoxInAViewThePictureSize) {
    test::FakeHost host;
    FractalEngine e(40, 30, host);
    Label(e);
    const PixelRect r = MapSelectionToPicture({3, 2, 10, 12}, 40, 30, 40, 30);
    ASSERT_EQ(r, (PixelRect{3, 2, 10, 12}));
    CopiedImage img;
    ASSERT_EQ(CopyPictureRect(e, r, img), CopyResult::Ok);
    EXPECT_EQ(img.width, 7);
    EXPECT_EQ(img.height, 10);
    EXPECT_EQ(img.stride, 8u);
    ASSERT_EQ(img.bits.size(), 80u);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 7; ++x) EXPECT_EQ(img.bits[y * 8 + x], Expected(2 + y, 3 + x)) << x << "," << y;
        EXPECT_EQ(img.bits[y * 8 + 7], 0) << "padding must be zero";
    }
}

TEST(SelectionCopy, FirstCopiedRowIsThePictureRowCountedFromTheTop) {
    test::FakeHost host;
    FractalEngine e(300, 300, host);
    Label(e);
    CopiedImage img;
    ASSERT_EQ(CopyPictureRect(e, PixelRect{50, 50, 150, 100}, img), CopyResult::Ok);
    EXPECT_EQ(img.bits[0], Expected(50, 50));
    EXPECT_EQ(img.bits[49 * img.stride + 99], Expected(99, 149));
}

TEST(SelectionCopy, BoxesOutsideTheViewAreClippedToThePicture) {
    // Corners dragged beyond the client area on every side.
    EXPECT_EQ(MapSelectionToPicture({-50, -20, 700, 900}, 600, 450, 300, 200), (PixelRect{0, 0, 300, 200}));
    // Entirely to the right of the picture: nothing left.
    EXPECT_TRUE(MapSelectionToPicture({650, 10, 700, 40}, 600, 450, 300, 200).IsEmpty());
    // Huge coordinates must not overflow.
    EXPECT_EQ(MapSelectionToPicture({-2000000000, 0, 2000000000, 10}, 3, 450, 300, 200).Width(), 300);
}

TEST(SelectionCopy, ZeroWidthMappingIsEmpty) {
    // A 1-pixel box in a view four times the picture maps to no whole column.
    EXPECT_TRUE(MapSelectionToPicture({10, 10, 11, 50}, 400, 400, 100, 100).IsEmpty());
    EXPECT_TRUE(MapSelectionToPicture({10, 10, 50, 50}, 0, 400, 100, 100).IsEmpty());
}

TEST(SelectionCopy, CopyRefusesRectanglesOutsideTheBuffer) {
    test::FakeHost host;
    FractalEngine e(10, 10, host);
    Label(e);
    CopiedImage img;
    // An unclipped rectangle is clipped again rather than read out of bounds.
    ASSERT_EQ(CopyPictureRect(e, PixelRect{-5, 8, 50, 60}, img), CopyResult::Ok);
    EXPECT_EQ(img.width, 10);
    EXPECT_EQ(img.height, 2);
    EXPECT_EQ(img.bits[0], Expected(8, 0));
    EXPECT_EQ(CopyPictureRect(e, PixelRect{5, 5, 5, 9}, img), CopyResult::Empty);
}

TEST(SelectionCopy, WholePictureCopyIsTopDown) {
    test::FakeHost host;
    FractalEngine e(5, 3, host);
    Label(e);
    CopiedImage img;
    ASSERT_EQ(CopyPictureRect(e, PixelRect{0, 0, 5, 3}, img), CopyResult::Ok);
    EXPECT_EQ(img.stride, 8u);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) EXPECT_EQ(img.bits[y * 8 + x], Expected(y, x));
}

}  // namespace
}  // namespace velmora
