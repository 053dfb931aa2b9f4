// What the program keeps across restarts: bar layout, recent files, preview pages.
#include <QStatusBar>
#include <QToolBar>

#include "GuiFixture.h"
#include "TempDir.h"
#include "commands/CommandIds.h"

namespace velmora::test {
namespace {

using namespace velmora::gui;

TEST(settings, LayoutRecentFilesAndPreviewPagesSurviveARestartEvenACancelledClose) {
    clearSettings();
    TempDir dir;
    const QString saved = QString::fromStdString(dir.file("d0.vmr"));
    {
        AppUnderTest t;
        ASSERT_EQ(t.start(), Application::kKeepRunning);
        t.frame().show();
        t.dialogs.saveAnswers.push_back(saved);
        t.frame().dispatch(ID_FILE_SAVE_AS);
        t.frame().addToolBar(Qt::LeftToolBarArea, t.frame().toolBar());
        t.frame().dispatch(ID_VIEW_TOOLBAR);
        t.frame().dispatch(ID_VIEW_STATUS_BAR);
        t.frame().dispatch(ID_FILE_PRINT_PREVIEW);  // the scripted preview switches to two pages
        t.makeDoc().setModifiedFlag();
        t.host.answers.push_back(MsgAnswer::Cancel);
        EXPECT_FALSE(t.frame().close());
        EXPECT_EQ(std::pair(t.host.lastText(), t.frame().isVisible()),
                  std::pair("Save changes to " + saved.toStdString() + "?", true));
    }
    AppUnderTest again;
    ASSERT_EQ(again.start(), Application::kKeepRunning);
    MainWindow& f = again.frame();
    EXPECT_EQ(std::tuple(f.toolBar()->isHidden(), f.action(ID_VIEW_TOOLBAR)->isChecked(), f.toolBarArea(f.toolBar()),
                         f.statusBarWidget()->isHidden(), again.app->previewPages()),
              std::tuple(true, false, Qt::LeftToolBarArea, true, 2));
    EXPECT_EQ(again.app->recentFiles().files(), QStringList{saved});
}

}  // namespace
}  // namespace velmora::test
