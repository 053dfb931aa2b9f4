#include <gtest/gtest.h>

#include "FakeHost.h"
#include "anim/FramesList.h"
#include "anim/KeyframeEdit.h"
#include "AnimTestSupport.h"

using namespace velmora;

namespace {

std::vector<std::string> Column(const std::vector<FramesListRow>& rows, bool first) {
    std::vector<std::string> out;
    for (const auto& r : rows) out.push_back(first ? r.keyframe : r.transitions);
    return out;
}

TEST(FramesList, RowsMarkerDashAndEnd) {
    test::FakeHost host;
    CVelmoraDoc doc(host);
    test::Prepare(doc, {});
    auto rows = FramesListRows(doc, -1);
    EXPECT_EQ(Column(rows, true), (std::vector<std::string>{"<end>"}));
    EXPECT_EQ(Column(rows, false), (std::vector<std::string>{" "}));

    // Inserting into the empty list marks the new row and shows "-" for its count.
    const InsertResult r = InsertActive(doc, 0);
    rows = FramesListRows(doc, r.index + 1);
    EXPECT_EQ(Column(rows, true), (std::vector<std::string>{"1 *", "<end>"}));
    EXPECT_EQ(Column(rows, false), (std::vector<std::string>{"-", " "}));

    doc.m_keyframes = test::ThreeKeyframes(10, 5);
    rows = FramesListRows(doc, 2);
    EXPECT_EQ(Column(rows, true), (std::vector<std::string>{"1", "2 *", "3", "<end>"}));
    EXPECT_EQ(Column(rows, false), (std::vector<std::string>{"10", "5", "-", " "}));
    EXPECT_EQ(Column(FramesListRows(doc, 4), true), (std::vector<std::string>{"1", "2", "3", "<end>"}));
}

TEST(FramesList, EditButtons) {
    EXPECT_EQ(EditButtonsFor(false, 1, 3), EditButtons::AllDisabled);
    EXPECT_EQ(EditButtonsFor(true, -1, 3), EditButtons::AllDisabled);
    EXPECT_EQ(EditButtonsFor(true, 3, 3), EditButtons::InsertOnly);
    EXPECT_EQ(EditButtonsFor(true, 0, 0), EditButtons::InsertOnly);
    EXPECT_EQ(EditButtonsFor(true, 0, 3), EditButtons::AllEnabled);
    EXPECT_EQ(EditButtonsFor(true, 2, 3), EditButtons::AllEnabled);
    EXPECT_EQ(EditButtonsFor(true, 4, 3), EditButtons::NoSuchRow);
}

}  // namespace
