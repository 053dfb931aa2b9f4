// What the program keeps across restarts: bar layout, recent files, preview pages.
#include <QStatusBar>
#include <QToolBar>

#include "GuiFixture.h"
#include "TempDir.h"
#include "app/CommandIds.h"

namespace velmora::test {
namespace {

using namespace velmora::gui;

TEST(Settings, LayoutRecentFilesAndPreviewPagesSurviveARestartEvenACancelledClose) {
    ClearSettings();
    TempDir dir;
    const QString saved = QString::fromStdString(dir.File("d0.vmr"));
    {
        AppUnderTest t;
        ASSERT_EQ(t.Start(), Application::kKeepRunning);
        t.Frame().show();
        t.dialogs.saveAnswers.push_back(saved);
        t.Frame().Dispatch(ID_FILE_SAVE_AS);
        t.Frame().addToolBar(Qt::LeftToolBarArea, t.Frame().ToolBar());
        t.Frame().Dispatch(ID_VIEW_TOOLBAR);
        t.Frame().Dispatch(ID_VIEW_STATUS_BAR);
        t.Frame().Dispatch(ID_FILE_PRINT_PREVIEW);  // the scripted preview switches to two pages
        t.Doc().SetModifiedFlag();
        t.host.answers.push_back(MsgAnswer::Cancel);
        EXPECT_FALSE(t.Frame().close());
        EXPECT_EQ(t.host.LastText(), "Save changes to " + saved.toStdString() + "?");
        EXPECT_TRUE(t.Frame().isVisible());
    }
    AppUnderTest again;
    ASSERT_EQ(again.Start(), Application::kKeepRunning);
    EXPECT_TRUE(again.Frame().ToolBar()->isHidden());
    EXPECT_FALSE(again.Frame().Action(ID_VIEW_TOOLBAR)->isChecked());
    EXPECT_EQ(again.Frame().toolBarArea(again.Frame().ToolBar()), Qt::LeftToolBarArea);
    EXPECT_TRUE(again.Frame().StatusBar()->isHidden());
    EXPECT_EQ(again.app->GetPreviewPages(), 2);
    EXPECT_EQ(again.app->GetRecentFiles().Files(), QStringList{saved});
}

}  // namespace
}  // namespace velmora::test
