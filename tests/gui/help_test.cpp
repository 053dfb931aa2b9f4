// The help windows the main window's commands and the dialogs open.
#include <QTimer>

#include "GuiFixture.h"
#include "commands/CommandIds.h"
#include "widgets/HelpWindow.h"

namespace velmora::test {
namespace {

using namespace velmora::gui;

TEST(Help, TheMenuCommandOpensTheMainTopic) {
    StartedApp t;
    t.frame().dispatch(ID_HELP_INDEX);
    ASSERT_NE(t.frame().findChild<HelpWindow*>(), nullptr);
    EXPECT_EQ(t.frame().findChild<HelpWindow*>()->currentTopic(), QStringLiteral("main"));
}

TEST(Help, HelpAskedForFromAModalDialogBelongsToThatDialog) {
    QDialog dlg;
    dlg.setWindowModality(Qt::ApplicationModal);
    HelpWindow* w = nullptr;
    QTimer::singleShot(0, &dlg, [&] {
        w = showHelpTopic(&dlg, QStringLiteral("settings"));
        dlg.reject();
    });
    dlg.exec();
    ASSERT_NE(w, nullptr);
    // A window outside the modal dialog would not take a single click.
    EXPECT_EQ(w->parentWidget(), &dlg);
    EXPECT_EQ(w->currentTopic(), QStringLiteral("settings"));
}

}  // namespace
}  // namespace velmora::test
