#include <QSettings>
#include <QStatusBar>
#include <QToolBar>

#include "GuiFixture.h"
#include "TempDir.h"
#include "app/CommandIds.h"

namespace velmora::test {
namespace {

using namespace velmora::gui;

QSettings Store() { return QSettings(kSettingsOrganization, kSettingsApplication); }

TEST(Settings, FirstStartGivesTheDefaultWindow) {
    ClearSettings();
    AppUnderTest t;
    ASSERT_EQ(t.Start(), CVelmoraApp::kKeepRunning);
    EXPECT_EQ(t.Frame().size(), QSize(450, 425));
    EXPECT_FALSE(t.Frame().ToolBar()->isHidden());
    EXPECT_EQ(t.Frame().toolBarArea(t.Frame().ToolBar()), Qt::TopToolBarArea);
    EXPECT_FALSE(t.Frame().StatusBar()->isHidden());
    EXPECT_TRUE(t.app->GetRecentFiles().Files().isEmpty());
    EXPECT_EQ(t.app->GetPreviewPages(), 1);
    EXPECT_EQ(t.Doc().m_params.iterations, FractalParams{}.iterations);
}

TEST(Settings, LayoutRecentFilesAndPreviewPagesSurviveARestart) {
    ClearSettings();
    TempDir dir;
    std::vector<std::string> docs;
    {
        AppUnderTest t;
        ASSERT_EQ(t.Start(), CVelmoraApp::kKeepRunning);
        for (int i = 0; i < 2; ++i) {
            const std::string p = dir.File("d" + std::to_string(i) + ".vmr");
            t.dialogs.saveAnswers.push_back(QString::fromStdString(p));
            t.Frame().Dispatch(ID_FILE_SAVE_AS);
            docs.push_back(p);
        }
        t.Frame().addToolBar(Qt::LeftToolBarArea, t.Frame().ToolBar());
        t.Frame().Dispatch(ID_VIEW_TOOLBAR);
        t.Frame().Dispatch(ID_VIEW_STATUS_BAR);
        t.Frame().Dispatch(ID_FILE_PRINT_PREVIEW);  // the scripted preview switches to two pages
        ASSERT_EQ(t.dialogs.previews, 1);
        EXPECT_TRUE(t.Frame().close());
    }
    AppUnderTest again;
    ASSERT_EQ(again.Start(), CVelmoraApp::kKeepRunning);
    EXPECT_TRUE(again.Frame().ToolBar()->isHidden());
    EXPECT_EQ(again.Frame().toolBarArea(again.Frame().ToolBar()), Qt::LeftToolBarArea);
    EXPECT_TRUE(again.Frame().StatusBar()->isHidden());
    EXPECT_EQ(again.app->GetPreviewPages(), 2);
    const QStringList files = again.app->GetRecentFiles().Files();
    ASSERT_EQ(files.size(), 2);
    EXPECT_EQ(files[0].toStdString(), docs[1]);
    EXPECT_EQ(files[1].toStdString(), docs[0]);
    QSettings s = Store();
    EXPECT_EQ(s.value("Recent File List/File1").toString().toStdString(), docs[1]);
    EXPECT_EQ(s.value("Settings/PreviewPages").toInt(), 2);
}

TEST(Settings, BarLayoutIsSavedEvenWhenTheCloseIsCancelled) {
    ClearSettings();
    AppUnderTest t;
    ASSERT_EQ(t.Start(), CVelmoraApp::kKeepRunning);
    t.Frame().show();
    t.Frame().Dispatch(ID_VIEW_TOOLBAR);
    t.Doc().SetModifiedFlag();
    t.host.answers.push_back(MsgAnswer::Cancel);
    EXPECT_FALSE(t.Frame().close());
    ASSERT_EQ(t.host.messages.size(), 1u);
    EXPECT_EQ(t.host.messages[0].text, "Save changes to Untitled?");
    EXPECT_TRUE(t.Frame().isVisible());

    AppUnderTest again;
    ASSERT_EQ(again.Start(), CVelmoraApp::kKeepRunning);
    EXPECT_TRUE(again.Frame().ToolBar()->isHidden());
}

TEST(Settings, UnregisterRemovesTheSettingsAndSaysSo) {
    ClearSettings();
    {
        QSettings s = Store();
        s.setValue("Recent File List/File1", "/tmp/x.vmr");
    }
    AppUnderTest t;
    t.host.allowMessages = true;
    EXPECT_EQ(t.Start({"/Unregister"}), 0);
    ASSERT_EQ(t.host.messages.size(), 1u);
    EXPECT_EQ(t.host.messages[0].text,
              "System registry entries have been removed and the INI file (if any) was deleted.");
    EXPECT_EQ(t.app->GetMainFrame(), nullptr) << "ends without a window";
    EXPECT_FALSE(Store().contains("Recent File List/File1"));

    AppUnderTest t2;
    t2.host.allowMessages = true;
    EXPECT_EQ(t2.Start({"-Unregserver"}), 0);
    EXPECT_EQ(t2.host.messages.size(), 1u);
}

}  // namespace
}  // namespace velmora::test
