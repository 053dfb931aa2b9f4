// The animation windows: the frames list after each edit and the program
// commands that show it, the animation render with its restore step, and the
// Script dialog, through the Host and dialog seams.
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <filesystem>

#include <sys/stat.h>

#include "AnimTestSupport.h"
#include "GuiFixture.h"
#include "TempDir.h"
#include "VideoDecode.h"
#include "animwindows/AnimationFramesWindow.h"
#include "animwindows/ScriptDialog.h"
#include "commands/CommandIds.h"
#include "platform/PlayerLaunch.h"
#include "widgets/ProgressDialog.h"
#include "session/RenderSession.h"

namespace velmora::test {
namespace {

namespace fs = std::filesystem;
using namespace velmora::gui;
using Strings = std::vector<std::string>;

enum { kRender = 1, kInsert = 3, kCopyFrom = 4, kDelete = 7, kCopyTo = 8, kProperties = 11, kPlay = 1031 };
enum { kCount = 1025, kPrompt = 1026, kFolder = 1027, kHeight = 1028, kWidth = 1030 };

// The frames window as the active one: the offscreen platform gives no
// dependable window activation, and the editing buttons need it.
class FramesWindow : public AnimationFramesWindow {
public:
    using AnimationFramesWindow::AnimationFramesWindow;

protected:
    bool windowIsActive() const override { return true; }
};

// Every row of the list as "keyframe|count".
Strings rows(const AnimationFramesWindow& dlg) {
    Strings rows;
    for (int i = 0; i < dlg.list()->topLevelItemCount(); ++i)
        rows.push_back(
            (dlg.list()->topLevelItem(i)->text(0) + "|" + dlg.list()->topLevelItem(i)->text(1)).toStdString());
    return rows;
}

void click(AnimationFramesWindow& dlg, int row, int button) {
    dlg.list()->clearSelection();
    dlg.list()->topLevelItem(row)->setSelected(true);
    if (button != 0) Press(dlg, button);
}

void addKeyframe(Document& doc, int transitions, double left = -2.0) {
    doc.editKeyframes([&](std::vector<Keyframe>& k) { k.push_back(key(left, left + 4.0, -1.5, 1.5, 200, transitions)); });
}

TEST(FramesWindowButtons, EachReachesItsKeyframeEditAndTheListShowsIt) {
    FakeHost host;
    ScriptedDialogs dialogs;
    Document doc(host);
    RenderSession session{doc};
    doc.onNewDocument();
    FramesWindow dlg(session, host, dialogs);
    // The Transition Count dialogs, answered with a text for OK or empty for Cancel.
    std::deque<QString> answers{"7", QString(), "8", QString()};
    QStringList asked;
    dialogs.modal = [&](QDialog& d) {
        asked << control<QLabel>(d, kPrompt)->text() + "|" + control<QLineEdit>(d, kCount)->text();
        const QString a = ScriptedDialogs::next(answers, "count");
        a.isEmpty() ? d.reject() : (setText(d, kCount, a), Press(d, 1));
        return d.result();
    };
    click(dlg, 0, kInsert);  // into an empty list: no question
    doc.editParams([&](FractalParams& p) { p.left = -1.0; });
    click(dlg, 1, kInsert);
    doc.editParams([&](FractalParams& p) { p.left = -3.0; });
    click(dlg, 0, kInsert);  // closing the question keeps the proposed 10
    EXPECT_EQ(asked.mid(0, 2), (QStringList{"&How many transition frames after the previous keyframe?|10",
                                        "&How many transition frames until the next keyframe?|10"}));
    EXPECT_EQ(rows(dlg), (Strings{"1 *|10", "2|7", "3|-", "<end>| "}));
    EXPECT_EQ(std::tuple(doc.keyframe(0)->left, doc.keyframe(2)->left, doc.totalFrames(), doc.isModified()),
              std::tuple(-3.0, -1.0, 17, false));

    click(dlg, 1, 0);
    emit dlg.list()->itemDoubleClicked(dlg.list()->topLevelItem(1), 0);  // Properties
    click(dlg, 2, kProperties);  // cancelled: the old count stays
    EXPECT_EQ(asked.mid(2), (QStringList{"&How many transition frames until the next keyframe?|7",
                                         "&How many transition frames after the previous keyframe?|8"}));
    EXPECT_EQ(rows(dlg), (Strings{"1|10", "2|8", "3|-", "<end>| "}));
    click(dlg, 2, kDelete);
    EXPECT_EQ(rows(dlg), (Strings{"1|10", "2|-", "<end>| "}));
    EXPECT_EQ(doc.totalFrames(), 10);
    doc.editParams([&](FractalParams& p) { p.left = 0.5; });
    click(dlg, 0, kCopyFrom);
    EXPECT_EQ(std::pair(doc.keyframe(0)->left, doc.keyframe(0)->transitions), std::pair(0.5, 10));
}

TEST(FramesInProgram, CommandsShowTheWindowWhoseCopyToActiveBlanksThePictureAndNewEmpties) {
    StartedApp t;
    ASSERT_TRUE(t.frame().dispatch(ID_VIEW_ANIMWINDOW));
    AnimationFramesWindow* wnd = t.frame().controller().animWindow();
    ASSERT_NE(wnd, nullptr);
    EXPECT_TRUE(wnd->isVisible());
    t.frame().updateCommandUI();
    EXPECT_TRUE(t.frame().action(ID_VIEW_ANIMWINDOW)->isChecked());
    ASSERT_TRUE(t.frame().dispatch(ID_VIEW_ANIMWINDOW));  // the toggle hides
    EXPECT_FALSE(wnd->isVisible());
    ASSERT_TRUE(t.frame().dispatch(ID_ANIM_WINDOW));  // the toolbar command only shows
    ASSERT_TRUE(t.frame().dispatch(ID_ANIM_WINDOW));
    EXPECT_TRUE(wnd->isVisible() && t.frame().controller().animWindow() == wnd);

    t.makeDoc().setResolution(40, 30);
    t.frame().controller().render();
    ASSERT_TRUE(t.enabled(ID_FILE_EXPORTBMP));
    addKeyframe(t.makeDoc(), 10, -1.25);
    wnd->refreshList(-1);
    click(*wnd, 0, 0);
    wnd->onCopyToActive();
    // A blank picture, and the main window learnt of it from the document itself.
    EXPECT_EQ(std::tuple(t.makeDoc().params().left, t.session().engine()->isValid(),
                         t.frame().action(ID_FILE_EXPORTBMP)->isEnabled()),
              std::tuple(-1.25, false, false));
    ASSERT_TRUE(t.frame().dispatch(ID_FILE_NEW));
    EXPECT_EQ(rows(*wnd), Strings{"<end>| "});
}

// --- the render from the frames window ------------------------------------------

// A frames window over two keyframes, the first with `transitions` frames; its
// dialogs are answered by the test's own script.
class FramesRender : public ::testing::Test {
protected:
    void prepare(int transitions) {
        test::prepare(doc, {key(-2.0, 2.0, -1.5, 1.5, 40, transitions, 1, 0.3, 0.6, 0),
                            key(-1.2, 0.4, -0.6, 0.6, 60, 0, 1, 0.3, 0.6, 100)});
        doc.setResolution(30, 20);
        dlg.refreshList(-1);
        host.allowMessages = true;
    }
    // Fills in and accepts the Render Settings dialog.
    void settings(QDialog& d, const QString& width, const QString& height) {
        setText(d, kWidth, width);
        setText(d, kHeight, height);
        setText(d, kFolder, QString::fromStdString(folder));
        d.accept();
    }
    bool frame(int n) const { return fs::exists(folder + "frame" + std::to_string(n) + ".bmp"); }

    FakeHost host;
    ScriptedDialogs dialogs;
    Document doc{host};
    RenderSession session{doc};
    TempDir dir;
    const std::string folder = (dir.path() / "").string();
    FramesWindow dlg{session, host, dialogs};
};

// The render's own rules (frames kept, the document restored) are the core's;
// here the dialogs, the progress window's cancel and Play reach it.
TEST_F(FramesRender, EscapeAbortsACompleteRenderOffersToPlay) {
    prepare(10);
    dlg.show();
    Strings opened;
    dialogs.modal = [&](QDialog& d) {
        opened.push_back(d.objectName().toStdString());
        if (d.objectName() == "Save Video") {
            dialogs.saveAnswers.push_back(QString::fromStdString(folder) + "stopped.mp4");
            d.findChild<QPushButton*>("videoBrowse")->click();
            Press(d, 1);
            return d.result();
        }
        if (d.objectName() != "Render Settings") {  // the completion dialog
            Press(d, kPlay);
            Press(d, 1);
            return d.result();
        }
        settings(d, "0", "12");
        EXPECT_NE(d.result(), QDialog::Accepted) << "the settings are checked";
        settings(d, "16", "12");
        return d.result();
    };
    host.answers = {MsgAnswer::Ok, MsgAnswer::Yes};  // the refusal; the folder exists: go on
    host.cancelAt = [&](int) {
        auto* progress = dlg.findChild<ProgressDialog*>();
        return progress != nullptr && progress->statusText()->text() == "Rendering frame 5 of 10";
    };
    ASSERT_EQ(session.render(), 1);
    Press(dlg, kRender);
    EXPECT_EQ(opened, Strings{"Render Settings"}) << "no completion dialog";
    // The frames took the document's values in turn: its picture is blank.
    EXPECT_EQ(std::tuple(host.lastText(), frame(4), frame(5), doc.animation().width, session.engine()->isValid()),
              std::tuple("Render operation aborted.", true, false, 16, false));
    EXPECT_EQ(dlg.findChild<ProgressDialog*>(), nullptr) << "the progress window is gone";
    // Save Video takes the stopped render's frames, and says which are gone.
    fs::remove(folder + "frame2.bmp");
    Press(dlg, 1040);
    EXPECT_EQ(std::pair(host.lastText(), decodeVideo(folder + "stopped.mp4").luma.size()),
              std::pair(std::string("1 of the 4 frames are missing; the video holds the other 3."), std::size_t{3}));

    host.answers = {MsgAnswer::Ok, MsgAnswer::Yes};
    host.cancelAt = nullptr;
    opened.clear();
    dlg.accept();  // Enter
    EXPECT_EQ(opened, (Strings{"Render Settings", "AnimationDoneDialog"}));
    EXPECT_TRUE(frame(10) && !frame(11));
    ASSERT_EQ(host.playerStarts.size(), 1u);
    EXPECT_EQ(fs::path(host.playerStarts[0].first), dir.path() / "script.aas");
}

// Smooth colouring in the Render Settings dialog reaches the render (PNG
// frames, the setting kept in the document, whence it is proposed).
TEST_F(FramesRender, SmoothColouringIsWired) {
    prepare(2);
    dialogs.modal = [&](QDialog& d) {
        auto* smooth = d.findChild<QCheckBox*>("smoothFrames");
        if (smooth == nullptr) return Press(d, 1), d.result();  // the completion dialog: done
        smooth->setChecked(!smooth->isChecked());
        settings(d, "14", "10");
        return d.result();
    };
    host.answers = {MsgAnswer::Yes};  // the folder exists: go on
    Press(dlg, kRender);
    EXPECT_TRUE(fs::exists(folder + "frame2.png") && !frame(1) && doc.animation().smooth);
}

// Save Video from the completion dialog and from the frames window reaches
// the frames of the last render with the chosen options; Skip frames already
// rendered reaches the render.
TEST_F(FramesRender, SaveVideoAndSkipRenderedAreWired) {
    prepare(4);
    bool skip = false;
    std::deque<std::pair<QString, int>> videos;  // file name and frame rate for each Save Video dialog
    dialogs.modal = [&](QDialog& d) {
        if (d.objectName() == "Render Settings") {
            d.findChild<QCheckBox*>("skipRendered")->setChecked(skip);
            settings(d, "14", "10");
        } else if (d.objectName() == "Save Video") {
            const auto [name, fps] = ScriptedDialogs::next(videos, "video");
            d.findChild<QSpinBox*>("videoFps")->setValue(fps);
            dialogs.saveAnswers.push_back(QString::fromStdString(folder) + name);
            d.findChild<QPushButton*>("videoBrowse")->click();
            Press(d, 1);
            if (d.result() != QDialog::Accepted) Press(d, 2);  // a refused name: give up
        } else {
            Press(d, 1040);  // Save Video... from the completion dialog
            Press(d, 1);
        }
        return d.result();
    };
    host.answers = {MsgAnswer::Yes};  // the folder exists: go on
    videos = {{"done.mp4", 12}};
    Press(dlg, kRender);
    const auto done = decodeVideo(folder + "done.mp4");
    EXPECT_EQ(std::tuple(done.luma.size(), done.width, done.height, done.fps), std::tuple(std::size_t{4}, 14, 10, 12.0));
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(dialogs.saveRequests[0].proposedName.toStdString(), folder + "animation.mp4");

    videos = {{"frames.gif", 5}, {"frames.webm", 5}};
    Press(dlg, 1040);  // the refusal names the formats
    EXPECT_NE(host.lastText().find(".mp4, .webm or .mkv"), std::string::npos) << host.lastText();
    Press(dlg, 1040);
    EXPECT_EQ(decodeVideo(folder + "frames.webm").luma.size(), 4u);

    struct stat before {};
    ::stat((folder + "frame2.bmp").c_str(), &before);
    skip = true;
    host.answers = {MsgAnswer::Yes};
    videos = {{"again.mkv", 30}};
    Press(dlg, kRender);
    struct stat after {};
    ::stat((folder + "frame2.bmp").c_str(), &after);
    EXPECT_EQ(after.st_ino, before.st_ino) << "the complete frame was kept";
    EXPECT_TRUE(videos.empty() && fs::exists(folder + "again.mkv"));
}

TEST(ScriptDialog, OpensWithTheStoredStyleAndPlayAndOkStoreItAndWriteTheScript) {
    FakeHost host;
    Document doc(host);
    doc.onNewDocument();
    addKeyframe(doc, 2);
    addKeyframe(doc, 0);
    TempDir dir;
    const std::string f = (dir.path() / "frame").string();
    doc.editAnimation([&](AnimationSettings& a) { a.destFolder = (dir.path() / "").string(); });
    doc.editAnimation([&](AnimationSettings& a) { a.playbackStyle = static_cast<PlaybackStyle>(12); });  // ping-pong, looping
    ScriptDialog d(doc, host);
    d.show();
    const auto button = [&](int id) { return control<QAbstractButton>(d, id); };
    EXPECT_TRUE(button(1036)->isChecked() && button(1037)->isChecked() && !button(1034)->isChecked());
    button(1035)->setChecked(true);  // reverse, once
    button(1037)->setChecked(false);
    host.playerStartResult = false;
    host.allowMessages = true;
    Press(d, 1038);
    // The script is written, the player is missing; Play leaves the dialog open and stores the style.
    EXPECT_EQ(std::tuple(host.lastText(), d.isVisible(), host.playerStarts.size(), int(doc.animation().playbackStyle)),
              std::tuple(playerLoadErrorText(), true, 1u, 2));
    button(1036)->setChecked(true);
    Press(d, 1);
    EXPECT_EQ(static_cast<int>(doc.animation().playbackStyle), 4);
    const std::vector<std::uint8_t> b = readBytes(doc.animation().destFolder + "script.aas");
    EXPECT_EQ(std::string(b.begin(), b.end()), f + "1.bmp\n" + f + "2.bmp\n" + f + "2.bmp\n" + f + "1.bmp");
    EXPECT_FALSE(doc.isModified());
}

}  // namespace
}  // namespace velmora::test
