#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include "GuiFixture.h"
#include "app/CommandIds.h"
#include "app/CommandTable.h"

namespace velmora::test {
namespace {

using namespace velmora::gui;

TEST(CommandTable, StartsWithUntitledCaptionAndReady) {
    ClearSettings();
    AppUnderTest t;
    ASSERT_EQ(t.Start(), CVelmoraApp::kKeepRunning);
    EXPECT_EQ(t.Frame().windowTitle(), QStringLiteral("Untitled - Velmora"));
}

}  // namespace
}  // namespace velmora::test
