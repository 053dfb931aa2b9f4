#include <gtest/gtest.h>

#include "anim/FrameNumbering.h"
#include "AnimTestSupport.h"

using namespace velmora;
using velmora::test::Key;
using velmora::test::ThreeKeyframes;

namespace {

FramePosition At(std::int32_t segment, std::int32_t step) { return FramePosition{segment, step}; }

TEST(FrameNumbering, CountsTenAndFiveGiveFramesOneToFifteen) {
    const auto keys = ThreeKeyframes(10, 5);
    EXPECT_EQ(LocateFrame(keys, 1), At(0, 0));    // keyframe 1 itself
    EXPECT_EQ(LocateFrame(keys, 10), At(0, 9));   // the last in-between of segment 1
    EXPECT_EQ(LocateFrame(keys, 11), At(1, 0));   // keyframe 2
    EXPECT_EQ(LocateFrame(keys, 15), At(1, 4));
    EXPECT_FALSE(LocateFrame(keys, 16));          // the last keyframe is never a frame
    EXPECT_FALSE(LocateFrame(keys, 0));
    EXPECT_FALSE(LocateFrame(keys, -3));
}

TEST(FrameNumbering, TheLastKeyframesCountTakesNoPart) {
    auto keys = ThreeKeyframes(2, 1);
    keys[2].transitions = 1000;
    EXPECT_EQ(LocateFrame(keys, 3), At(1, 0));
    EXPECT_FALSE(LocateFrame(keys, 4));
    EXPECT_FALSE(LocateFrame(std::vector<Keyframe>{}, 1));
    EXPECT_FALSE(LocateFrame(std::vector<Keyframe>{Key(0, 1, 0, 1, 10, 5)}, 1));
}

TEST(FrameNumbering, SegmentsWithoutFramesAreWalkedPast) {
    std::vector<Keyframe> keys = {Key(0, 1, 0, 1, 10, 3), Key(0, 1, 0, 1, 10, 0), Key(0, 1, 0, 1, 10, -4),
                                  Key(0, 1, 0, 1, 10, 2), Key(0, 1, 0, 1, 10, 9)};
    EXPECT_EQ(LocateFrame(keys, 3), At(0, 2));
    // A negative count (only a file can hold one) holds no frames either,
    // rather than giving frames back to the walk.
    EXPECT_EQ(LocateFrame(keys, 4), At(3, 0));
    EXPECT_EQ(LocateFrame(keys, 5), At(3, 1));
    EXPECT_FALSE(LocateFrame(keys, 6));
}

TEST(FrameNumbering, LargeCountsDoNotOverflow) {
    std::vector<Keyframe> keys = {Key(0, 1, 0, 1, 10, INT32_MAX), Key(0, 1, 0, 1, 10, INT32_MAX),
                                  Key(0, 1, 0, 1, 10, 1)};
    EXPECT_EQ(LocateFrame(keys, INT32_MAX), At(0, INT32_MAX - 1));
}

}  // namespace
