#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolBar>
#include <vector>

#include "GuiFixture.h"
#include "app/CommandIds.h"
#include "app/CommandTable.h"

namespace velmora::test {
namespace {

using namespace velmora::gui;

QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// The visible entries of a menu, separators as "-".
QStringList MenuEntries(QMenu* menu) {
    QStringList out;
    for (QAction* a : menu->actions()) {
        if (!a->isVisible()) continue;
        out << (a->isSeparator() ? QStringLiteral("-") : a->text());
    }
    return out;
}

class CommandTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        ClearSettings();
        ASSERT_EQ(t.Start(), CVelmoraApp::kKeepRunning);
    }
    AppUnderTest t;
};

TEST_F(CommandTableTest, MenuBarAndMenusReadAsTheTable) {
    QStringList titles;
    for (QAction* a : t.Frame().menuBar()->actions()) titles << a->text();
    EXPECT_EQ(titles, (QStringList{"&File", "&Edit", "&View", "&Render", "&Help"}));

    EXPECT_EQ(MenuEntries(t.Frame().Menu(0)),
              (QStringList{"&New\tCtrl+N", "&Open...\tCtrl+O", "&Save\tCtrl+S", "Save &As...", "&Export BMP", "-",
                           "&Print...\tCtrl+P", "Print Pre&view", "P&rint Setup...", "-", "Recent File", "-",
                           "E&xit"}));
    EXPECT_EQ(MenuEntries(t.Frame().Menu(1)), (QStringList{"&Copy\tCtrl+C"}));
    EXPECT_EQ(MenuEntries(t.Frame().Menu(2)), (QStringList{"&Toolbar", "&Status Bar", "&Anim Window"}));
    EXPECT_EQ(MenuEntries(t.Frame().Menu(3)),
              (QStringList{"&Render\tF5", "Zoom &In\tF6", "Zoom &Out\tF7", "-", "&Configure\tF8", "Edit &Palette\tF9",
                           "&Lock Proportions\tF10"}));
    EXPECT_EQ(MenuEntries(t.Frame().Menu(4)), (QStringList{"&Index", "&Contents", "-", "&About"}));
}

TEST_F(CommandTableTest, EveryCommandCarriesItsPromptTooltipAndKeys) {
    const std::map<int, QStringList> keys{
        {ID_FILE_NEW, {"Ctrl+N"}}, {ID_FILE_OPEN, {"Ctrl+O"}}, {ID_FILE_SAVE, {"Ctrl+S"}},
        {ID_FILE_PRINT, {"Ctrl+P"}}, {ID_EDIT_COPY, {"Ctrl+C", "Ctrl+Ins"}}, {ID_RENDER, {"F5"}},
        {ID_ZOOM_IN, {"F6"}}, {ID_ZOOM_OUT, {"F7"}}, {ID_CONFIGURE, {"F8"}}, {ID_EDIT_PALETTE, {"F9"}},
        {ID_LOCK_PROPORTIONS, {"F10"}}};
    for (const CommandInfo& c : Commands()) {
        QAction* a = t.Frame().Action(c.id);
        ASSERT_NE(a, nullptr) << c.id;
        EXPECT_EQ(a->statusTip(), Q(c.prompt)) << c.id;
        if (!c.tooltip.empty()) {
            EXPECT_EQ(a->toolTip(), Q(c.tooltip)) << c.id;
        }
        QStringList got;
        for (const QKeySequence& k : a->shortcuts()) got << k.toString(QKeySequence::PortableText);
        const auto it = keys.find(c.id);
        EXPECT_EQ(got, it == keys.end() ? QStringList{} : it->second) << c.id;
    }
    EXPECT_EQ(t.Frame().Action(ID_FILE_EXPORTBMP)->statusTip(), QStringLiteral("Saves as a Windows .BMP file"));
    EXPECT_EQ(t.Frame().Action(ID_ANIM_WINDOW)->statusTip(), QStringLiteral("Displays the animation frames window"));
}

TEST_F(CommandTableTest, ToolbarHasTheStatedOrderAndOurOwnIcons) {
    QStringList got;
    for (QAction* a : t.Frame().ToolBar()->actions())
        got << (a->isSeparator() ? QStringLiteral("-") : a->toolTip());
    EXPECT_EQ(got, (QStringList{"New", "Open", "Save", "Copy", "Print", "-", "Render", "Configure", "Zoom In",
                                "Zoom Out", "Palette Editor", "Lock Proportions", "-", "Anim window", "-", "About",
                                "Help"}));
    EXPECT_EQ(t.Frame().ToolBar()->iconSize(), QSize(16, 15));
    std::vector<QImage> pictures;
    for (QAction* a : t.Frame().ToolBar()->actions()) {
        if (a->isSeparator()) continue;
        const QImage img = a->icon().pixmap(QSize(16, 15)).toImage().convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(img.size(), QSize(16, 15)) << a->toolTip().toStdString();
        pictures.push_back(img);
    }
    ASSERT_EQ(pictures.size(), 14u);
    for (std::size_t i = 0; i < pictures.size(); ++i)
        for (std::size_t j = i + 1; j < pictures.size(); ++j)
            EXPECT_NE(pictures[i], pictures[j]) << "buttons " << i << " and " << j << " look the same";
}

TEST_F(CommandTableTest, LaterCommandsAreDisabledAndTheRestEnabledAtStart) {
    t.Frame().UpdateCommandUI();
    // Zoom/Configure/Palette/Anim commands may already be wired by their own windows;
    // whatever is not registered must show disabled.
    for (const int id : {ID_ZOOM_IN, ID_ZOOM_OUT, ID_CONFIGURE, ID_EDIT_PALETTE, ID_LOCK_PROPORTIONS, ID_ANIM_WINDOW,
                         ID_VIEW_ANIMWINDOW}) {
        if (!t.Frame().Router().HasHandler(id)) {
            EXPECT_FALSE(t.Frame().Action(id)->isEnabled()) << id;
        }
    }
    for (const int id : {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, ID_FILE_SAVE_AS, ID_FILE_PRINT, ID_FILE_PRINT_PREVIEW,
                         ID_FILE_PRINT_SETUP, ID_APP_EXIT, ID_EDIT_COPY, ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR, ID_RENDER,
                         ID_HELP_INDEX, ID_HELP_FINDER, ID_APP_ABOUT, ID_CONTEXT_HELP})
        EXPECT_TRUE(t.Frame().Action(id)->isEnabled()) << id;
    EXPECT_FALSE(t.Frame().Action(ID_FILE_EXPORTBMP)->isEnabled());
    EXPECT_FALSE(t.Frame().Action(ID_FILE_MRU_FILE1)->isEnabled()) << "greyed Recent File placeholder";
    EXPECT_TRUE(t.Frame().Action(ID_VIEW_TOOLBAR)->isChecked());
    EXPECT_TRUE(t.Frame().Action(ID_VIEW_STATUS_BAR)->isChecked());
}

TEST_F(CommandTableTest, ADisabledCommandNeverRunsEvenWithAStaleButton) {
    int runs = 0;
    bool allowed = true;
    t.Frame().Router().Set(ID_ANIM_WINDOW, [&] { ++runs; }, [&](CommandState& s) { s.enabled = allowed; });
    t.Frame().UpdateCommandUI();
    ASSERT_TRUE(t.Frame().Action(ID_ANIM_WINDOW)->isEnabled());
    allowed = false;  // the button still looks enabled
    t.Frame().Action(ID_ANIM_WINDOW)->trigger();
    EXPECT_EQ(runs, 0);
    EXPECT_FALSE(t.Frame().Action(ID_ANIM_WINDOW)->isEnabled()) << "refreshed after the attempt";
    allowed = true;
    t.Frame().UpdateCommandUI();
    t.Frame().Action(ID_ANIM_WINDOW)->trigger();
    EXPECT_EQ(runs, 1);
}

TEST_F(CommandTableTest, ViewMenuTogglesTheBars) {
    t.Frame().Dispatch(ID_VIEW_TOOLBAR);
    EXPECT_TRUE(t.Frame().ToolBar()->isHidden());
    EXPECT_FALSE(t.Frame().Action(ID_VIEW_TOOLBAR)->isChecked());
    t.Frame().Dispatch(ID_VIEW_STATUS_BAR);
    EXPECT_TRUE(t.Frame().StatusBar()->isHidden());
    EXPECT_FALSE(t.Frame().Action(ID_VIEW_STATUS_BAR)->isChecked());
    t.Frame().Dispatch(ID_VIEW_TOOLBAR);
    EXPECT_FALSE(t.Frame().ToolBar()->isHidden());
    EXPECT_TRUE(t.Frame().Action(ID_VIEW_TOOLBAR)->isChecked());
}

TEST_F(CommandTableTest, StatusBarShowsReadyAndFlyByPrompts) {
    QStatusBar* bar = t.Frame().StatusBar();
    EXPECT_EQ(bar->currentMessage(), QStringLiteral("Ready"));
    QAction* render = t.Frame().Action(ID_RENDER);
    render->showStatusText(&t.Frame());
    EXPECT_EQ(bar->currentMessage(), QStringLiteral("Renders the fractal image"));
    QStatusTipEvent leave{QString()};
    QApplication::sendEvent(&t.Frame(), &leave);
    EXPECT_EQ(bar->currentMessage(), QStringLiteral("Ready"));
}

TEST_F(CommandTableTest, AboutBoxIsRunModallyWithItsTexts) {
    QString title;
    QStringList labels;
    t.dialogs.modal = [&](QDialog& d) {
        title = d.windowTitle();
        for (QLabel* l : d.findChildren<QLabel*>()) labels << l->text();
        return int(QDialog::Accepted);
    };
    t.Frame().Dispatch(ID_APP_ABOUT);
    EXPECT_EQ(title, QStringLiteral("About Velmora"));
    EXPECT_TRUE(labels.contains(QStringLiteral("Velmora Version 1.0")));
}

}  // namespace
}  // namespace velmora::test
