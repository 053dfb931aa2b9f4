// The main window's menus and toolbar as built, and the help windows its
// commands and dialogs open.
#include <QFile>
#include <QMenuBar>
#include <QTimer>
#include <QToolBar>

#include "GuiFixture.h"
#include "app/CommandIds.h"
#include "app/HelpWindow.h"

namespace velmora::test {
namespace {

using namespace velmora::gui;

TEST(MainWindow, MenusAndToolbarReadAsTheirTexts) {
    ClearSettings();
    AppUnderTest t;
    ASSERT_EQ(t.Start(), CVelmoraApp::kKeepRunning);
    QStringList lines;
    const auto line = [&](const QString& name, QWidget* bar, bool tips) {
        QStringList entries;
        for (QAction* a : bar->actions())
            if (a->isVisible()) entries << (a->isSeparator() ? QStringLiteral("-") : tips ? a->toolTip() : a->text());
        lines << name + QStringLiteral(": ") + entries.join(QStringLiteral(" | ")).replace('\t', QStringLiteral("\\t"));
    };
    line(QStringLiteral("Menu bar"), t.Frame().menuBar(), false);
    for (int i = 0; i < 5; ++i) line(t.Frame().Menu(i)->title(), t.Frame().Menu(i), false);
    line(QStringLiteral("Toolbar"), t.Frame().ToolBar(), true);
    QFile f(QStringLiteral(VELMORA_TESTDATA_DIR "/gui/menus.txt"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly | QIODevice::Text));
    EXPECT_EQ(lines.join('\n').toStdString(), QString::fromUtf8(f.readAll()).trimmed().toStdString());

    t.Frame().Dispatch(ID_HELP_INDEX);
    HelpWindow* w = t.Frame().findChild<HelpWindow*>();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->CurrentTopic(), QStringLiteral("main"));
}

TEST(Help, HelpAskedForFromAModalDialogBelongsToThatDialog) {
    QDialog dlg;
    dlg.setWindowModality(Qt::ApplicationModal);
    HelpWindow* w = nullptr;
    QTimer::singleShot(0, &dlg, [&] {
        w = ShowHelpTopic(&dlg, QStringLiteral("settings"));
        dlg.reject();
    });
    dlg.exec();
    ASSERT_NE(w, nullptr);
    // A window outside the modal dialog would not take a single click.
    EXPECT_EQ(w->parentWidget(), &dlg);
    EXPECT_EQ(w->CurrentTopic(), QStringLiteral("settings"));
}

}  // namespace
}  // namespace velmora::test
