#include <gtest/gtest.h>

#include "FakeHost.h"
#include "anim/DialogNumber.h"
#include "anim/KeyframeEdit.h"
#include "AnimTestSupport.h"

using namespace velmora;
using velmora::test::FakeHost;

namespace {

const char* kMismatch =
    "Cannot add frame: The active frame is not the same\ntype of fractal as the other frames in the animation.";

class KeyframeEdit : public ::testing::Test {
protected:
    void SetUp() override {
        doc.OnNewDocument();
        doc.LoadDefaultPalette();
    }
    // Makes the active values recognisable by one number.
    void Activate(double left, FractalType type = FractalType::Mandelbrot) {
        doc.m_params.left = left;
        doc.m_params.type = type;
    }
    double LeftOf(std::int32_t i) const { return doc.GetKeyframe(i)->left; }

    FakeHost host;
    CVelmoraDoc doc{host};
};

TEST_F(KeyframeEdit, CaptureAndApplyCopyTheActiveValuesButNotTheSize) {
    doc.m_params = FractalParams{-1.25, 0.5, 0.75, -0.25, FractalType::Julia, -0.8, 0.156, 345, 31, 17};
    doc.SetResolution(31, 17);
    doc.m_palette = test::Ramp(9);
    Keyframe k;
    k.transitions = 12;
    CaptureActive(doc, k);
    EXPECT_EQ(k.left, -1.25);
    EXPECT_EQ(k.top, 0.5);
    EXPECT_EQ(k.right, 0.75);
    EXPECT_EQ(k.bottom, -0.25);
    EXPECT_EQ(k.type, 2);
    EXPECT_EQ(k.cReal, -0.8);
    EXPECT_EQ(k.cImag, 0.156);
    EXPECT_EQ(k.iterations, 345);
    EXPECT_EQ(k.palette, test::Ramp(9));
    EXPECT_EQ(k.transitions, 12);

    const Keyframe other = test::Key(3, 4, 5, 6, 77, 1, 1, 0.1, 0.2, 50);
    FractalEngine* engine = doc.m_pEngine.get();
    const double engineLeft = engine->GetXMin();
    ApplyToActive(doc, other);
    EXPECT_EQ(doc.m_params.left, 3.0);
    EXPECT_EQ(doc.m_params.right, 4.0);
    EXPECT_EQ(doc.m_params.top, 5.0);
    EXPECT_EQ(doc.m_params.bottom, 6.0);
    EXPECT_EQ(doc.m_params.type, FractalType::Mandelbrot);
    EXPECT_EQ(doc.m_params.iterations, 77);
    EXPECT_EQ(doc.m_params.cReal, 0.1);
    EXPECT_EQ(doc.m_palette, test::Ramp(50));
    EXPECT_EQ(doc.m_params.width, 31);
    EXPECT_EQ(doc.m_params.height, 17);
    EXPECT_EQ(doc.m_pEngine.get(), engine);     // the same engine...
    EXPECT_EQ(engine->GetXMin(), engineLeft);   // ...not reloaded
}

TEST_F(KeyframeEdit, InsertIntoAnEmptyListAsksNothing) {
    Activate(1);
    const InsertResult r = InsertActive(doc, 0);  // the "<end>" row
    EXPECT_TRUE(r.message.empty());
    EXPECT_EQ(r.index, 0);
    EXPECT_EQ(r.count.question, CountQuestion::None);
    ASSERT_EQ(doc.GetKeyframeCount(), 1);
    EXPECT_EQ(LeftOf(0), 1.0);
    EXPECT_EQ(doc.GetKeyframe(0)->transitions, 0);
    EXPECT_EQ(doc.GetKeyframe(0)->palette, doc.m_palette);
}

TEST_F(KeyframeEdit, InsertAtTheEndAsksForThePreviousCount) {
    Activate(1);
    InsertActive(doc, 0);
    Activate(2);
    const InsertResult r = InsertActive(doc, 1);
    EXPECT_EQ(r.index, 1);
    EXPECT_EQ(r.count.question, CountQuestion::AfterPrevious);
    EXPECT_EQ(r.count.keyframe, 0);
    EXPECT_EQ(r.count.initial, 10);
    EXPECT_FALSE(r.count.allowCancel);
    EXPECT_EQ(CountPrompt(r.count.question), "&How many transition frames after the previous keyframe?");
    ASSERT_TRUE(SetTransitionCount(doc, r.count.keyframe, 7));
    EXPECT_EQ(doc.GetKeyframe(0)->transitions, 7);
    EXPECT_EQ(doc.GetKeyframe(1)->transitions, 0);
    EXPECT_EQ(doc.GetTotalFrames(), 7);
}

TEST_F(KeyframeEdit, InsertInFrontAsksForTheNewKeyframesOwnCount) {
    Activate(1);
    InsertActive(doc, 0);
    Activate(2);
    SetTransitionCount(doc, InsertActive(doc, 1).count.keyframe, 5);
    Activate(3);
    const InsertResult first = InsertActive(doc, 0);
    EXPECT_EQ(first.index, 0);
    EXPECT_EQ(first.count.question, CountQuestion::UntilNext);
    EXPECT_EQ(first.count.keyframe, 0);
    EXPECT_EQ(CountPrompt(first.count.question), "&How many transition frames until the next keyframe?");
    SetTransitionCount(doc, 0, 4);
    // In the middle: the count before it now leads to the new keyframe.
    Activate(4);
    const InsertResult middle = InsertActive(doc, 2);
    EXPECT_EQ(middle.count.question, CountQuestion::UntilNext);
    EXPECT_EQ(middle.count.keyframe, 2);
    SetTransitionCount(doc, 2, 9);
    ASSERT_EQ(doc.GetKeyframeCount(), 4);
    EXPECT_EQ(LeftOf(0), 3.0);
    EXPECT_EQ(LeftOf(1), 1.0);
    EXPECT_EQ(LeftOf(2), 4.0);
    EXPECT_EQ(LeftOf(3), 2.0);
    EXPECT_EQ(doc.GetKeyframe(1)->transitions, 5);
    EXPECT_EQ(doc.GetTotalFrames(), 4 + 5 + 9);
}

TEST_F(KeyframeEdit, InsertRefusals) {
    Activate(1);
    InsertActive(doc, 0);
    Activate(2);
    SetTransitionCount(doc, InsertActive(doc, 1).count.keyframe, 5);
    // Only the first keyframe's type counts, even when the neighbour has the active type.
    doc.GetKeyframe(1)->type = 2;
    Activate(3, FractalType::Julia);
    EXPECT_EQ(InsertActive(doc, 2).message, kMismatch);
    EXPECT_EQ(InsertActive(doc, kNoRow).message, kMismatch);  // the type is checked first
    Activate(3);
    EXPECT_EQ(InsertActive(doc, kNoRow).message, "Select a frame first.");
    EXPECT_EQ(InsertActive(doc, 3).message, "Frame not found.");  // beyond "<end>"
    ASSERT_EQ(doc.GetKeyframeCount(), 2);
    EXPECT_EQ(LeftOf(0), 1.0);
    EXPECT_EQ(LeftOf(1), 2.0);
    EXPECT_EQ(doc.GetKeyframe(0)->transitions, 5);
}

TEST_F(KeyframeEdit, PropertiesAskForTheRightCount) {
    doc.m_keyframes = test::ThreeKeyframes(10, 5);
    CountRequest r = PropertiesRequest(doc, 1);
    EXPECT_EQ(r.question, CountQuestion::UntilNext);
    EXPECT_EQ(r.keyframe, 1);
    EXPECT_EQ(r.initial, 5);
    EXPECT_TRUE(r.allowCancel);
    r = PropertiesRequest(doc, 2);  // the last: the count leading to it
    EXPECT_EQ(r.question, CountQuestion::AfterPrevious);
    EXPECT_EQ(r.keyframe, 1);
    EXPECT_EQ(r.initial, 5);
    EXPECT_TRUE(r.allowCancel);
    EXPECT_EQ(PropertiesRequest(doc, 3).question, CountQuestion::None);  // "<end>"
    EXPECT_EQ(PropertiesRequest(doc, kNoRow).question, CountQuestion::None);
    doc.m_keyframes.resize(1);
    EXPECT_EQ(PropertiesRequest(doc, 0).question, CountQuestion::None);
    EXPECT_FALSE(SetTransitionCount(doc, 1, 3));
    EXPECT_FALSE(SetTransitionCount(doc, -1, 3));
}

TEST_F(KeyframeEdit, DeleteKeepsEveryOtherCount) {
    doc.m_keyframes = test::ThreeKeyframes(10, 5);
    DeleteResult r = DeleteKeyframe(doc, 1);
    EXPECT_TRUE(r.deleted);
    ASSERT_EQ(doc.GetKeyframeCount(), 2);
    EXPECT_EQ(doc.GetKeyframe(0)->transitions, 10);  // now leads to the old third keyframe
    EXPECT_EQ(LeftOf(1), -0.9);
    EXPECT_EQ(doc.GetTotalFrames(), 10);

    r = DeleteKeyframe(doc, 1);  // the last: the one before stops counting
    EXPECT_TRUE(r.deleted);
    EXPECT_EQ(doc.GetTotalFrames(), 0);

    r = DeleteKeyframe(doc, 1);  // "<end>"
    EXPECT_FALSE(r.deleted);
    EXPECT_EQ(r.message, "Frame not found");
    r = DeleteKeyframe(doc, kNoRow);
    EXPECT_FALSE(r.deleted);
    EXPECT_TRUE(r.message.empty());
    EXPECT_EQ(doc.GetKeyframeCount(), 1);
    EXPECT_TRUE(DeleteKeyframe(doc, 0).deleted);
    EXPECT_EQ(doc.GetKeyframeCount(), 0);
}

TEST(TransitionCountEntry, RefusesCountsBelowOne) {
    for (const char* text : {"0", "-5", "abc", "", "   ", "+", "-0"}) {
        const CountEntry e = ReadTransitionCount(text);
        EXPECT_FALSE(e.accepted) << text;
        EXPECT_EQ(e.message, "Transition count must be at least 1") << text;
    }
    EXPECT_EQ(ReadTransitionCount("12abc").count, 12);
    EXPECT_EQ(ReadTransitionCount("  +7").count, 7);
    EXPECT_TRUE(ReadTransitionCount("1").accepted);
    EXPECT_EQ(ReadTransitionCount("99999999999999").count, INT32_MAX);
    // Only the first 127 characters are read.
    EXPECT_EQ(ReadTransitionCount(std::string(126, ' ') + "45").count, 4);
    EXPECT_FALSE(ReadTransitionCount(std::string(127, ' ') + "45").accepted);
}

TEST(DialogNumber, LeadingNumberRules) {
    EXPECT_EQ(ReadLeadingInt("42"), 42);
    EXPECT_EQ(ReadLeadingInt(" \t-17x"), -17);
    EXPECT_EQ(ReadLeadingInt("+3.9"), 3);
    EXPECT_EQ(ReadLeadingInt("x1"), 0);
    EXPECT_EQ(ReadLeadingInt("- 1"), 0);
    EXPECT_EQ(ReadLeadingInt(""), 0);
    EXPECT_EQ(ReadLeadingInt("2147483647"), INT32_MAX);
    EXPECT_EQ(ReadLeadingInt("2147483648"), INT32_MAX);
    EXPECT_EQ(ReadLeadingInt("-2147483648"), INT32_MIN);
    EXPECT_EQ(ReadLeadingInt("-99999999999999999999999"), INT32_MIN);
}

}  // namespace
