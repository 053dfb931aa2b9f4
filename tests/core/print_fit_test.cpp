#include <gtest/gtest.h>

#include "render/PrintFit.h"

namespace velmora {
namespace {

const PageMetrics kLetter600{4800, 6600, 600, 600};

TEST(PrintFit, WidePictureTakesThePageWidth) {
    EXPECT_EQ(FitOnPage(300, 200, kLetter600), (PrintTarget{4800, 3200}));
}

TEST(PrintFit, TallPictureFallsBackToThePageHeight) {
    // 200 x 600 would be 4800 x 14400; the page is only 6600 high.
    EXPECT_EQ(FitOnPage(200, 600, kLetter600), (PrintTarget{2200, 6600}));
}

TEST(PrintFit, HeightExactlyFillingThePageKeepsTheWidth) {
    // 4800 x 6600 page, picture 48 x 66: the height equals VERTRES, not above it.
    EXPECT_EQ(FitOnPage(48, 66, kLetter600), (PrintTarget{4800, 6600}));
}

TEST(PrintFit, UnequalResolutionsKeepPixelsSquareOnPaper) {
    // 1200 x 600 dpi: a square picture must come out twice as many dots wide as high.
    const PageMetrics page{9600, 6600, 1200, 600};
    EXPECT_EQ(FitOnPage(100, 100, page), (PrintTarget{9600, 4800}));
}

TEST(PrintFit, ResultsAreTruncatedTowardZero) {
    // 4800 * 2 / 3 = 3200 exactly; 4800 * 1 / 7 = 685.7 -> 685.
    EXPECT_EQ(FitOnPage(7, 1, kLetter600).height, 685);
    EXPECT_EQ(FitOnPage(3, 7, PageMetrics{1000, 1000, 72, 72}), (PrintTarget{428, 1000}));
}

TEST(PrintFit, DegenerateInputGivesAnEmptyTarget) {
    EXPECT_EQ(FitOnPage(0, 100, kLetter600), PrintTarget{});
    EXPECT_EQ(FitOnPage(100, -1, kLetter600), PrintTarget{});
    EXPECT_EQ(FitOnPage(100, 100, PageMetrics{4800, 6600, 0, 600}), PrintTarget{});
    EXPECT_EQ(FitOnPage(100, 100, PageMetrics{0, 6600, 600, 600}), PrintTarget{});
}

TEST(PrintFit, ExtremeAspectStaysInsideThePage) {
    const PrintTarget t = FitOnPage(1, 100000, kLetter600);
    EXPECT_LE(t.width, 4800);
    EXPECT_EQ(t.height, 6600);
    EXPECT_EQ(t.width, 0);  // 1 * 6600 / 100000 truncates to nothing
}

}  // namespace
}  // namespace velmora
