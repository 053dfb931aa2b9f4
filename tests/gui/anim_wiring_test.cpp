// The frames window inside the program: the two commands that show it, the
// toggle's check mark, and the list rebuilt by the view's repaint and by New.
#include <gtest/gtest.h>

#include <QAction>

#include "AnimFixture.h"
#include "app/CommandIds.h"

namespace velmora::test {
namespace {

using namespace velmora::gui;

class AnimWiringTest : public ::testing::Test {
protected:
    void SetUp() override {
        ClearSettings();
        ASSERT_EQ(t.Start(), CVelmoraApp::kKeepRunning);
    }
    bool Checked() {
        t.Frame().UpdateCommandUI();
        return t.Frame().Action(ID_VIEW_ANIMWINDOW)->isChecked();
    }

    AppUnderTest t;
};

TEST_F(AnimWiringTest, ToggleCreatesShowsAndHides) {
    EXPECT_EQ(t.View().GetAnimWindow(), nullptr);
    EXPECT_FALSE(Checked());
    ASSERT_TRUE(t.Frame().Dispatch(ID_VIEW_ANIMWINDOW));
    CAnimFramesDlg* wnd = t.View().GetAnimWindow();
    ASSERT_NE(wnd, nullptr);
    EXPECT_TRUE(t.View().m_bAnimWndCreated);
    EXPECT_TRUE(wnd->isVisible());
    EXPECT_EQ(wnd->m_pView, &t.View());
    EXPECT_TRUE(Checked());
    ASSERT_TRUE(t.Frame().Dispatch(ID_VIEW_ANIMWINDOW));
    EXPECT_FALSE(wnd->isVisible());
    EXPECT_FALSE(Checked());
    ASSERT_TRUE(t.Frame().Dispatch(ID_VIEW_ANIMWINDOW));
    EXPECT_EQ(t.View().GetAnimWindow(), wnd);  // made once per view
    EXPECT_TRUE(wnd->isVisible());
}

TEST_F(AnimWiringTest, ToolbarCommandOnlyShows) {
    ASSERT_TRUE(t.Frame().Dispatch(ID_ANIM_WINDOW));
    CAnimFramesDlg* wnd = t.View().GetAnimWindow();
    ASSERT_NE(wnd, nullptr);
    EXPECT_TRUE(wnd->isVisible());
    ASSERT_TRUE(t.Frame().Dispatch(ID_ANIM_WINDOW));
    EXPECT_TRUE(wnd->isVisible());
    wnd->reject();  // Escape hides it; the check mark follows
    EXPECT_FALSE(Checked());
    ASSERT_TRUE(t.Frame().Dispatch(ID_ANIM_WINDOW));
    EXPECT_EQ(t.View().GetAnimWindow(), wnd);
    EXPECT_TRUE(Checked());
}

TEST_F(AnimWiringTest, RepaintAndNewRebuildTheListWithoutMarker) {
    ASSERT_TRUE(t.Frame().Dispatch(ID_ANIM_WINDOW));
    CAnimFramesDlg& wnd = *t.View().GetAnimWindow();
    AddKeyframe(t.Doc(), 10);
    AddKeyframe(t.Doc(), 0);
    wnd.RefreshList(2);
    SelectRow(wnd, 1);
    t.View().grab();  // a repaint
    EXPECT_EQ(Rows(wnd), (std::vector<std::string>{"1|10", "2|-", "<end>| "}));
    EXPECT_EQ(wnd.SelectedRow(), -1);

    wnd.RefreshList(1);
    ASSERT_TRUE(t.Frame().Dispatch(ID_FILE_NEW));
    EXPECT_EQ(t.Doc().GetKeyframeCount(), 0);
    EXPECT_EQ(Rows(wnd), std::vector<std::string>{"<end>| "});
}

}  // namespace
}  // namespace velmora::test
