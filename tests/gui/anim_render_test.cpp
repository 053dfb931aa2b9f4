// Render Settings, the animation render from the frames window (with its
// progress window, Escape and the completion dialog) and the Script dialog,
// on the offscreen platform through the Host and dialog seams.
#include <gtest/gtest.h>

#include <QDir>
#include <QPushButton>
#include <QRadioButton>
#include <filesystem>

#include "AnimFixture.h"
#include "TempDir.h"
#include "anim/CAnimDoneDlg.h"
#include "anim/CRenderSettingsDlg.h"
#include "anim/CScriptDlg.h"
#include "anim/PlaybackScript.h"
#include "platform/PlayerLaunch.h"
#include "render/CProgressDlg.h"

namespace velmora::test {
namespace {

namespace fs = std::filesystem;
using gui::CAnimDoneDlg;
using gui::CRenderSettingsDlg;
using gui::CScriptDlg;

constexpr int kWidth = 1030;
constexpr int kHeight = 1028;
constexpr int kFolder = 1027;
constexpr int kFrom = 1031;
constexpr int kTo = 1029;
constexpr int kSlow = 1032;
constexpr int kConstant = 1033;

const char kSep = fs::path::preferred_separator;

std::string WithSep(const fs::path& p) { return p.string() + kSep; }

class RenderSettingsTest : public ::testing::Test {
protected:
    RenderSettingsTest() : doc(host) {
        doc.OnNewDocument();
        AddKeyframe(doc, 10);
        AddKeyframe(doc, 5);
        AddKeyframe(doc, 0);
        host.allowMessages = true;
    }
    // The texts of the messages shown so far, then forgets them.
    std::vector<std::string> Shown() {
        std::vector<std::string> texts;
        for (const Message& m : host.messages) texts.push_back(m.text);
        host.messages.clear();
        return texts;
    }

    FakeHost host;
    CVelmoraDoc doc;
    TempDir dir;
};

TEST_F(RenderSettingsTest, ProposesTheStoredSettingsAndTheWholeAnimation) {
    doc.m_animWidth = 64;
    doc.m_animHeight = 48;
    doc.m_destFolder = WithSep(dir.Path());
    doc.m_tweenStyle = TweenStyle::SlowAtKeyframes;
    CRenderSettingsDlg d(doc, host);
    EXPECT_EQ(d.windowTitle(), "Render Settings");
    EXPECT_EQ(Control<QLineEdit>(d, kWidth)->text(), "64");
    EXPECT_EQ(Control<QLineEdit>(d, kHeight)->text(), "48");
    EXPECT_EQ(Control<QLineEdit>(d, kFolder)->text().toStdString(), doc.m_destFolder);
    EXPECT_EQ(Control<QLineEdit>(d, kFrom)->text(), "1");
    EXPECT_EQ(Control<QLineEdit>(d, kTo)->text(), "15");
    EXPECT_TRUE(Control<QRadioButton>(d, kSlow)->isChecked());
    EXPECT_FALSE(Control<QRadioButton>(d, kConstant)->isChecked());
    doc.m_tweenStyle = static_cast<TweenStyle>(7);
    CRenderSettingsDlg other(doc, host);
    EXPECT_TRUE(Control<QRadioButton>(other, kConstant)->isChecked());
}

TEST_F(RenderSettingsTest, ChecksInTheirOrderAndKeepsTheEntries) {
    CRenderSettingsDlg d(doc, host);
    const auto ok = [&](QString w, QString from, QString to, QString h) {
        SetText(d, kWidth, w);
        SetText(d, kFrom, from);
        SetText(d, kTo, to);
        SetText(d, kHeight, h);
        d.accept();
        EXPECT_FALSE(d.m_bAccepted);
        const std::vector<std::string> shown = Shown();
        EXPECT_EQ(shown.size(), 1u);
        return shown.empty() ? std::string() : shown[0];
    };
    EXPECT_EQ(ok("0", "0", "0", "0"), "Width must be at least 1 pixel");
    EXPECT_EQ(ok("10", "0", "0", "0"), "Starting frame must be at least 1.");
    EXPECT_EQ(ok("10", "1", "0", "0"), "Ending frame must be at least 1.");
    EXPECT_EQ(ok("10", "5", "4", "0"), "Ending frame must be greater than or equal to the starting frame.");
    EXPECT_EQ(ok("10", "1", "20", "0"), "You have entered an ending frame number which does not exist.\nIn this "
                                         "animation, the highest frame number is 15.");
    EXPECT_EQ(ok("10", "1", "15", "0"), "Height must be at least 1 pixel");
    EXPECT_EQ(Control<QLineEdit>(d, kTo)->text(), "15");
    EXPECT_EQ(Control<QLineEdit>(d, kHeight)->text(), "0");
}

TEST_F(RenderSettingsTest, MessagesCarryTheirIconsAndTheDialogAsOwner) {
    CRenderSettingsDlg d(doc, host);
    SetText(d, kWidth, "0");
    d.accept();
    SetText(d, kWidth, "10");
    SetText(d, kFrom, "0");
    d.accept();
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(host.messages[0].icon, MsgIcon::Information);
    EXPECT_EQ(host.messages[1].icon, MsgIcon::None);
    for (const Message& m : host.messages) {
        EXPECT_EQ(m.caption, "Velmora");
        EXPECT_EQ(m.ownerName, "Render Settings");
    }
}

TEST_F(RenderSettingsTest, AnExistingFolderIsAskedAboutAndMadeAbsolute) {
    fs::create_directory(dir.Path() / "frames");
    const fs::path old = fs::current_path();
    fs::current_path(dir.Path());
    CRenderSettingsDlg d(doc, host);
    SetText(d, kFolder, "frames");
    host.answers = {MsgAnswer::No, MsgAnswer::Yes};
    d.accept();
    EXPECT_FALSE(d.m_bAccepted);  // No: the dialog stays open
    d.accept();
    fs::current_path(old);
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(host.messages[0].text.rfind("Warning: This directory already exists.", 0), 0u);
    EXPECT_EQ(host.messages[0].icon, MsgIcon::Question);
    EXPECT_EQ(host.messages[0].buttons, MsgButtons::YesNo);
    ASSERT_TRUE(d.m_bAccepted);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.m_destFolder, WithSep(fs::canonical(dir.Path()) / "frames"));
    EXPECT_EQ(d.m_nFrom, 1);
    EXPECT_EQ(d.m_nTo, 15);
    EXPECT_EQ(d.m_nWidth, 100);
    EXPECT_EQ(d.m_nHeight, 100);
    // The dialog changes nothing in the document.
    EXPECT_NE(doc.m_destFolder, d.m_destFolder);
}

TEST_F(RenderSettingsTest, ANewFolderIsAnnouncedAndCreatedOneLevelOnly) {
    CRenderSettingsDlg d(doc, host);
    SetText(d, kFolder, QString::fromStdString((dir.Path() / "missing" / "frames").string()));
    host.answers = {MsgAnswer::Ok};
    d.accept();
    EXPECT_EQ(Shown(), (std::vector<std::string>{"The directory specified does not exist and will be created.",
                                                 "Could not create directory."}));
    EXPECT_FALSE(d.m_bAccepted);

    SetText(d, kFolder, QString::fromStdString((dir.Path() / "new").string()));
    host.answers = {MsgAnswer::Cancel};
    d.accept();
    EXPECT_FALSE(d.m_bAccepted);
    EXPECT_FALSE(fs::exists(dir.Path() / "new"));
    host.answers = {MsgAnswer::Ok};
    d.accept();
    EXPECT_TRUE(d.m_bAccepted);
    EXPECT_TRUE(fs::is_directory(dir.Path() / "new"));
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(host.messages[1].icon, MsgIcon::Information);
    EXPECT_EQ(host.messages[1].buttons, MsgButtons::OkCancel);
}

TEST_F(RenderSettingsTest, AnEmptyFolderCannotBeCreated) {
    CRenderSettingsDlg d(doc, host);
    SetText(d, kFolder, "");
    host.answers = {MsgAnswer::Ok};
    d.accept();
    EXPECT_EQ(Shown().back(), "Could not create directory.");
    EXPECT_FALSE(d.m_bAccepted);
}

// --- the render from the frames window ------------------------------------------------

class AnimRenderTest : public ::testing::Test {
protected:
    AnimRenderTest() : doc(host), dlg(doc, host, dialogs) {
        doc.OnNewDocument();
        doc.SetResolution(30, 20);
        AddKeyframe(doc, 10, -2.0);
        AddKeyframe(doc, 0, -1.0);
        dlg.RefreshList(-1);
        folder = WithSep(dir.Path());
        // Render Settings: small frames into the scratch folder; the completion
        // dialog is recorded and closed.
        dialogs.modal = [this](QDialog& d) {
            opened.push_back(d.objectName().toStdString());
            if (d.objectName() == "Render Settings") {
                SetText(d, kWidth, "16");
                SetText(d, kHeight, "12");
                SetText(d, kFolder, QString::fromStdString(folder));
                d.accept();
            } else if (onDone) {
                onDone(d);
            }
            return d.result();
        };
        host.answers = {MsgAnswer::Yes};  // the folder exists: go on
    }
    bool Frame(int n) const { return fs::exists(dir.Path() / ("frame" + std::to_string(n) + ".bmp")); }

    FakeHost host;
    ScriptedDialogs dialogs;
    CVelmoraDoc doc;
    FramesWindow dlg;
    TempDir dir;
    std::string folder;
    std::vector<std::string> opened;
    std::function<void(QDialog&)> onDone;
};

TEST_F(AnimRenderTest, EscapeDuringFrameFiveAbortsAndRestoresTheDocument) {
    const FractalParams before = doc.m_params;
    std::vector<std::string> statuses;
    QPoint progressAt;
    host.cancelAt = [&](int) {
        auto* progress = dlg.findChild<gui::CProgressDlg*>();
        if (progress == nullptr) return false;
        progressAt = progress->pos();
        const std::string status = progress->StatusText()->text().toStdString();
        if (statuses.empty() || statuses.back() != status) statuses.push_back(status);
        return status == "Rendering frame 5";
    };
    host.allowMessages = true;
    dlg.show();
    Press(dlg, 1);

    EXPECT_EQ(opened, std::vector<std::string>{"Render Settings"});  // no completion dialog
    ASSERT_GE(host.messages.size(), 2u);
    EXPECT_EQ(host.messages[1].text, "Render operation aborted.");
    EXPECT_EQ(host.messages[1].icon, MsgIcon::Error);
    EXPECT_EQ(host.messages.size(), 2u);
    for (int n = 1; n <= 4; ++n) EXPECT_TRUE(Frame(n)) << n;
    EXPECT_FALSE(Frame(5));
    EXPECT_TRUE(fs::exists(dir.Path() / "script.aas"));
    EXPECT_EQ(statuses, (std::vector<std::string>{"Rendering frame 1", "Rendering frame 2", "Rendering frame 3",
                                                  "Rendering frame 4", "Rendering frame 5"}));
    EXPECT_EQ(host.beeps, 0);
    // The progress window stood centred over the frames window, and is gone.
    EXPECT_EQ(dlg.findChild<gui::CProgressDlg*>(), nullptr);
    const QSize progressSize = gui::CProgressDlg(nullptr).size();
    EXPECT_EQ(progressAt, gui::CProgressDlg::CentredPosition(dlg.frameGeometry().topLeft(), dlg.size(), progressSize));

    EXPECT_EQ(doc.m_params.left, before.left);
    EXPECT_EQ(doc.GetWidth(), 30);
    EXPECT_EQ(doc.GetHeight(), 20);
    EXPECT_EQ(doc.m_animWidth, 16);
    EXPECT_EQ(doc.m_destFolder, folder);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(AnimRenderTest, ACompleteRenderOffersToPlay) {
    host.allowMessages = true;
    host.playerStartResult = false;
    onDone = [&](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Velmora");
        EXPECT_EQ(Control<QAbstractButton>(d, 1031)->text(), "&Play");
        EXPECT_EQ(Control<QAbstractButton>(d, 1)->text(), "&Done");
        EXPECT_EQ(Control<QAbstractButton>(d, 57670)->text(), "&Help");
        Press(d, 1031);  // the player is missing: the error, and the dialog stays
        EXPECT_EQ(d.result(), 0);
        host.playerStartResult = true;
        Press(d, 1031);
        Press(d, 1);
    };
    dlg.accept();  // Enter
    EXPECT_EQ(opened, (std::vector<std::string>{"Render Settings", "CAnimDoneDlg"}));
    for (int n = 1; n <= 10; ++n) EXPECT_TRUE(Frame(n)) << n;
    EXPECT_FALSE(Frame(11));
    EXPECT_EQ(host.beeps, 1);
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(host.messages[1].text, PlayerLoadErrorText());
    EXPECT_EQ(host.messages[1].icon, MsgIcon::Error);
    ASSERT_EQ(host.playerStarts.size(), 2u);
    EXPECT_EQ(host.playerStarts[1].first, folder + "script.aas");
    EXPECT_EQ(WithSep(host.playerStarts[1].second), folder);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(AnimRenderTest, CancelledSettingsChangeNothing) {
    dialogs.modal = [](QDialog& d) {
        d.reject();
        return d.result();
    };
    host.answers.clear();
    const std::int32_t width = doc.m_animWidth;
    dlg.OnRenderAnim();
    EXPECT_EQ(doc.m_animWidth, width);
    EXPECT_EQ(doc.GetWidth(), 30);
    EXPECT_FALSE(fs::exists(dir.Path() / "script.aas"));
}

// --- the Script dialog ---------------------------------------------------------------

class ScriptDialogTest : public ::testing::Test {
protected:
    ScriptDialogTest() : doc(host) {
        doc.OnNewDocument();
        AddKeyframe(doc, 2);
        AddKeyframe(doc, 0);
        doc.m_destFolder = WithSep(dir.Path());
    }
    std::string Script() const {
        const std::vector<std::uint8_t> b = ReadBytes(doc.m_destFolder + "script.aas");
        return std::string(b.begin(), b.end());
    }
    bool Checked(const QWidget& d, int id) const { return Control<QAbstractButton>(d, id)->isChecked(); }

    FakeHost host;
    CVelmoraDoc doc;
    TempDir dir;
};

TEST_F(ScriptDialogTest, OpensWithTheStoredStyle) {
    const struct {
        int style;
        int checked;
        bool looping;
    } cases[] = {{1, 1034, false}, {2, 1035, false}, {4, 1036, false}, {3, 1034, false},
                 {6, 1035, false}, {8, 1036, true},  {12, 1036, true}, {9, 1034, true}};
    for (const auto& c : cases) {
        doc.m_playbackStyle = static_cast<PlaybackStyle>(c.style);
        CScriptDlg d(doc, host);
        for (int id : {1034, 1035, 1036}) EXPECT_EQ(Checked(d, id), id == c.checked) << c.style << " " << id;
        EXPECT_EQ(Checked(d, 1037), c.looping) << c.style;
    }
}

TEST_F(ScriptDialogTest, OkStoresTheStyleAndWritesTheScript) {
    CScriptDlg d(doc, host);
    Control<QAbstractButton>(d, 1036)->setChecked(true);
    Control<QAbstractButton>(d, 1037)->setChecked(true);
    Press(d, 1);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(static_cast<int>(doc.m_playbackStyle), 12);
    const std::string f = doc.m_destFolder + "frame";
    EXPECT_EQ(Script(), f + "1.bmp\n" + f + "2.bmp\n" + f + "2.bmp\n" + f + "1.bmp\nLoop 1000");
    EXPECT_TRUE(host.playerStarts.empty());
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(ScriptDialogTest, PlayedStyleStaysStoredAfterCancel) {
    CScriptDlg d(doc, host);
    EXPECT_TRUE(Control<QPushButton>(d, 1038)->isDefault());
    d.show();
    Control<QAbstractButton>(d, 1035)->setChecked(true);
    Press(d, 1038);
    EXPECT_TRUE(d.isVisible());  // Play leaves the dialog open
    ASSERT_EQ(host.playerStarts.size(), 1u);
    EXPECT_EQ(host.playerStarts[0].first, doc.m_destFolder + "script.aas");
    EXPECT_EQ(Script(), "\n" + doc.m_destFolder + "frame2.bmp\n" + doc.m_destFolder + "frame1.bmp");
    Control<QAbstractButton>(d, 1034)->setChecked(true);
    Press(d, 2);
    EXPECT_EQ(static_cast<int>(doc.m_playbackStyle), 2);
}

TEST_F(ScriptDialogTest, PlayWithoutThePlayerReportsItAndStillWritesTheScript) {
    host.playerStartResult = false;
    host.allowMessages = true;
    CScriptDlg d(doc, host);
    Press(d, 1038);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, PlayerLoadErrorText());
    EXPECT_EQ(host.messages[0].icon, MsgIcon::Error);
    EXPECT_EQ(host.messages[0].ownerName, "Script");
    EXPECT_TRUE(fs::exists(dir.Path() / "script.aas"));
}

TEST_F(ScriptDialogTest, AFolderThatIsGoneWritesNothingAndSaysNothing) {
    doc.m_destFolder = WithSep(dir.Path() / "gone");
    CScriptDlg d(doc, host);
    Press(d, 1);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_FALSE(fs::exists(dir.Path() / "gone"));
}

}  // namespace
}  // namespace velmora::test
