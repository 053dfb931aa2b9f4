// The "Animation Frames Window" on the offscreen platform: the list after each
// edit, the button rules, the messages, and Copy To Active on the real program.
#include <gtest/gtest.h>

#include <QPushButton>
#include <algorithm>

#include "AnimFixture.h"
#include "anim/AnimMessages.h"
#include "anim/CTransitionCountDlg.h"
#include "app/CommandIds.h"

namespace velmora::test {
namespace {

using gui::CTransitionCountDlg;

constexpr int kInsert = 3;
constexpr int kCopyFrom = 4;
constexpr int kDelete = 7;
constexpr int kCopyTo = 8;
constexpr int kProperties = 11;
constexpr int kRender = 1;
constexpr int kScript = 1033;
constexpr int kHelp = 57670;
constexpr int kEditing[] = {kInsert, kCopyFrom, kCopyTo, kProperties, kDelete};

// What one Transition Count dialog showed, and the answer given to it.
struct CountAsked {
    QString prompt;
    QString proposed;
    bool cancelEnabled = false;
};

class FramesTest : public ::testing::Test {
protected:
    FramesTest() : doc(host), dlg(doc, host, dialogs) { doc.OnNewDocument(); }

    // Answers the next Transition Count dialogs: a text for OK, or empty for Cancel.
    void AnswerCounts(std::vector<QString> answers) {
        dialogs.modal = [this, answers](QDialog& d) mutable {
            EXPECT_EQ(d.objectName(), "Transition Count");
            EXPECT_FALSE(answers.empty()) << "one dialog too many";
            asked.push_back({Control<QLabel>(d, 1026)->text(), Control<QLineEdit>(d, 1025)->text(),
                             Control<QAbstractButton>(d, 2)->isEnabled()});
            const QString a = answers.empty() ? QString() : answers.front();
            if (!answers.empty()) answers.erase(answers.begin());
            if (a.isEmpty()) {
                d.reject();
            } else {
                SetText(d, 1025, a);
                Press(d, 1);
            }
            return d.result();
        };
    }
    std::vector<bool> EditingEnabled() const {
        std::vector<bool> on;
        for (int id : kEditing) on.push_back(Control<QAbstractButton>(dlg, id)->isEnabled());
        return on;
    }
    void Insert(int row) {
        SelectRow(dlg, row);
        Press(dlg, kInsert);
    }

    FakeHost host;
    ScriptedDialogs dialogs;
    CVelmoraDoc doc;
    FramesWindow dlg;
    std::vector<CountAsked> asked;
};

using Strings = std::vector<std::string>;

TEST_F(FramesTest, WindowShowsTheColumnsAndAnEmptyAnimationAsEnd) {
    EXPECT_EQ(dlg.windowTitle(), "Animation Frames Window");
    EXPECT_EQ(dlg.List()->headerItem()->text(0), "Keyframe");
    EXPECT_EQ(dlg.List()->headerItem()->text(1), "Transition Count");
    EXPECT_EQ(Rows(dlg), Strings{"<end>| "});
    EXPECT_EQ(EditingEnabled(), std::vector<bool>(5, false));
    const std::pair<int, const char*> texts[] = {
        {kInsert, "&Insert Active"}, {kCopyFrom, "Copy &From Active"}, {kCopyTo, "Copy &To Active"},
        {kProperties, "Keyframe &Properties"}, {kDelete, "&Delete Keyframe"}, {kRender, "&Render Anim"},
        {kScript, "&Script"}, {kHelp, "&Help"}};
    for (const auto& [id, text] : texts) EXPECT_EQ(Control<QAbstractButton>(dlg, id)->text(), text) << id;
    EXPECT_TRUE(Control<QPushButton>(dlg, kRender)->isDefault());
}

TEST_F(FramesTest, InsertIntoAnEmptyListAsksNothing) {
    Insert(0);
    EXPECT_EQ(Rows(dlg), (Strings{"1 *|-", "<end>| "}));
    ASSERT_EQ(doc.GetKeyframeCount(), 1);
    EXPECT_EQ(doc.GetKeyframe(0)->transitions, 0);
    EXPECT_EQ(doc.GetKeyframe(0)->left, doc.m_params.left);
    EXPECT_EQ(doc.GetKeyframe(0)->palette, doc.m_palette);
    EXPECT_FALSE(doc.IsModified());
    // The rebuild dropped the selection: the editing buttons wait for a click.
    EXPECT_EQ(EditingEnabled(), std::vector<bool>(5, false));
}

TEST_F(FramesTest, InsertAtEndAfterAKeyframeSetsThePreviousCount) {
    Insert(0);
    AnswerCounts({"7"});
    doc.m_params.left = -1.0;
    Insert(1);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].prompt, "&How many transition frames after the previous keyframe?");
    EXPECT_EQ(asked[0].proposed, "10");
    EXPECT_FALSE(asked[0].cancelEnabled);
    EXPECT_EQ(Rows(dlg), (Strings{"1|7", "2 *|-", "<end>| "}));
    EXPECT_EQ(doc.GetKeyframe(1)->left, -1.0);
    EXPECT_EQ(doc.GetTotalFrames(), 7);
}

TEST_F(FramesTest, ClosingTheCountDialogKeepsTheProposedTen) {
    Insert(0);
    AnswerCounts({QString()});
    Insert(1);
    EXPECT_EQ(Rows(dlg), (Strings{"1|10", "2 *|-", "<end>| "}));
}

TEST_F(FramesTest, InsertBeforeKeyframeOneSetsItsOwnCount) {
    Insert(0);
    AnswerCounts({"7", "4"});
    Insert(1);
    doc.m_params.left = -3.0;
    Insert(0);
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[1].prompt, "&How many transition frames until the next keyframe?");
    EXPECT_EQ(asked[1].proposed, "10");
    EXPECT_FALSE(asked[1].cancelEnabled);
    EXPECT_EQ(Rows(dlg), (Strings{"1 *|4", "2|7", "3|-", "<end>| "}));
    EXPECT_EQ(doc.GetKeyframe(0)->left, -3.0);
    EXPECT_EQ(doc.GetTotalFrames(), 11);
}

TEST_F(FramesTest, InsertOfAnotherTypeIsRefusedWhateverTheNeighbour) {
    AddKeyframe(doc, 5);
    doc.m_params.type = FractalType::Julia;
    AddKeyframe(doc, 0);  // a Julia neighbour; only the first keyframe counts
    dlg.RefreshList(-1);
    host.allowMessages = true;
    Insert(2);
    ASSERT_EQ(host.messages.size(), 1u);
    const Message& m = host.messages[0];
    EXPECT_EQ(m.text, "Cannot add frame: The active frame is not the same\ntype of fractal as the other frames in the "
                      "animation.");
    EXPECT_EQ(m.caption, "Velmora");
    EXPECT_EQ(m.icon, MsgIcon::None);
    EXPECT_EQ(m.owner, MsgOwner::Dialog);
    EXPECT_EQ(m.ownerName, "Animation Frames Window");
    EXPECT_EQ(doc.GetKeyframeCount(), 2);
    EXPECT_EQ(Rows(dlg), (Strings{"1|5", "2|-", "<end>| "}));
}

TEST_F(FramesTest, InsertWithoutASelectionAsksForOne) {
    host.allowMessages = true;
    dlg.OnInsertActive();
    EXPECT_EQ(host.LastText(), "Select a frame first.");
    EXPECT_EQ(doc.GetKeyframeCount(), 0);
}

TEST_F(FramesTest, PropertiesOnTheLastKeyframeEditThePreviousCount) {
    AddKeyframe(doc, 10);
    AddKeyframe(doc, 5);
    AddKeyframe(doc, 0);
    dlg.RefreshList(-1);
    AnswerCounts({QString(), "3"});
    SelectRow(dlg, 2);
    Press(dlg, kProperties);  // cancelled: the old count stays
    SelectRow(dlg, 2);
    Press(dlg, kProperties);
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0].prompt, "&How many transition frames after the previous keyframe?");
    EXPECT_EQ(asked[0].proposed, "5");
    EXPECT_TRUE(asked[0].cancelEnabled);
    EXPECT_EQ(Rows(dlg), (Strings{"1|10", "2|3", "3|-", "<end>| "}));
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(FramesTest, PropertiesOnAMiddleKeyframeEditItsOwnCountByDoubleClick) {
    AddKeyframe(doc, 10);
    AddKeyframe(doc, 5);
    AddKeyframe(doc, 0);
    dlg.RefreshList(-1);
    AnswerCounts({"8"});
    SelectRow(dlg, 1);
    emit dlg.List()->itemDoubleClicked(dlg.List()->topLevelItem(1), 0);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].prompt, "&How many transition frames until the next keyframe?");
    EXPECT_EQ(asked[0].proposed, "5");
    EXPECT_EQ(Rows(dlg), (Strings{"1|10", "2|8", "3|-", "<end>| "}));
}

TEST_F(FramesTest, PropertiesOnEndOrTheOnlyKeyframeAskNothing) {
    AddKeyframe(doc, 0);
    dlg.RefreshList(1);
    SelectRow(dlg, 1);
    dlg.OnKeyframeProperties();  // "<end>": nothing, not even a rebuild
    EXPECT_EQ(Rows(dlg), (Strings{"1 *|-", "<end>| "}));
    SelectRow(dlg, 0);
    dlg.OnKeyframeProperties();  // the only keyframe: just the rebuild
    EXPECT_EQ(Rows(dlg), (Strings{"1|-", "<end>| "}));
}

TEST_F(FramesTest, DeletingTheLastKeyframeLeavesThePreviousLast) {
    AddKeyframe(doc, 10);
    AddKeyframe(doc, 5);
    AddKeyframe(doc, 0);
    dlg.RefreshList(-1);
    EXPECT_EQ(doc.GetTotalFrames(), 15);
    SelectRow(dlg, 2);
    Press(dlg, kDelete);
    EXPECT_EQ(Rows(dlg), (Strings{"1|10", "2|-", "<end>| "}));
    EXPECT_EQ(doc.GetTotalFrames(), 10);
    SelectRow(dlg, 0);
    Press(dlg, kDelete);  // the first: the counts of the others stay
    EXPECT_EQ(Rows(dlg), (Strings{"1|-", "<end>| "}));
    EXPECT_EQ(doc.GetKeyframe(0)->transitions, 5);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(FramesTest, ButtonsFollowTheSelectionAndTheActiveWindow) {
    AddKeyframe(doc, 10);
    AddKeyframe(doc, 0);
    dlg.RefreshList(-1);
    const std::vector<bool> none(5, false);
    const std::vector<bool> all(5, true);
    const std::vector<bool> insertOnly{true, false, false, false, false};

    SelectRow(dlg, 0);
    EXPECT_EQ(EditingEnabled(), all);
    SelectRow(dlg, 2);
    EXPECT_EQ(EditingEnabled(), insertOnly);
    SelectRow(dlg, -1);
    EXPECT_EQ(EditingEnabled(), none);

    SelectRow(dlg, 1);
    dlg.active = false;
    dlg.UpdateButtons();
    EXPECT_EQ(EditingEnabled(), none);
    dlg.active = true;
    dlg.UpdateButtons();
    EXPECT_EQ(EditingEnabled(), all);

    // A rebuild drops the selection; the next update disables.
    dlg.RefreshList(-1);
    dlg.UpdateButtons();
    EXPECT_EQ(EditingEnabled(), none);
    for (int id : {kRender, kScript, kHelp}) EXPECT_TRUE(Control<QAbstractButton>(dlg, id)->isEnabled()) << id;
}

TEST_F(FramesTest, AListOutOfDateWithTheDocumentSaysSo) {
    AddKeyframe(doc, 10);
    AddKeyframe(doc, 0);
    dlg.RefreshList(-1);
    SelectRow(dlg, 0);
    doc.m_keyframes.clear();  // as a document opened behind the window's back
    host.allowMessages = true;
    SelectRow(dlg, 2);
    EXPECT_EQ(host.LastText(), "This frame does not exist!");
    host.messages.clear();
    dlg.OnDeleteKeyframe();
    EXPECT_EQ(host.LastText(), "Frame not found");
    host.messages.clear();
    dlg.OnInsertActive();
    EXPECT_EQ(host.LastText(), "Frame not found.");
    EXPECT_EQ(doc.GetKeyframeCount(), 0);
}

TEST_F(FramesTest, CopyFromActiveOverwritesTheKeyframeAndKeepsItsCount) {
    AddKeyframe(doc, 10);
    AddKeyframe(doc, 0);
    dlg.RefreshList(-1);
    doc.m_params.type = FractalType::Julia;  // no type check here
    doc.m_params.cReal = 0.25;
    doc.m_palette.SetEntry(3, RgbQuad{1, 2, 3, 0});
    SelectRow(dlg, 0);
    Press(dlg, kCopyFrom);
    EXPECT_EQ(doc.GetKeyframe(0)->type, 2);
    EXPECT_EQ(doc.GetKeyframe(0)->cReal, 0.25);
    EXPECT_EQ(doc.GetKeyframe(0)->palette, doc.m_palette);
    EXPECT_EQ(doc.GetKeyframe(0)->transitions, 10);
    SelectRow(dlg, 2);
    dlg.OnCopyFromActive();  // "<end>": nothing
    EXPECT_EQ(doc.GetKeyframeCount(), 2);
}

TEST_F(FramesTest, EscapeOnlyHidesTheWindow) {
    AddKeyframe(doc, 10);
    dlg.RefreshList(-1);
    dlg.show();
    dlg.reject();
    EXPECT_FALSE(dlg.isVisible());
    dlg.show();
    dlg.close();
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(doc.GetKeyframeCount(), 1);
    EXPECT_EQ(Rows(dlg), (Strings{"1|-", "<end>| "}));
}

TEST_F(FramesTest, RenderNeedsTwoKeyframes) {
    AddKeyframe(doc, 10);
    host.allowMessages = true;
    dlg.accept();  // Enter
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "There must be at least 2 keyframes in order to render.\nSee Help for details.");
    EXPECT_EQ(host.messages[0].icon, MsgIcon::Information);
}

// --- the transition count dialog ------------------------------------------------

TEST(TransitionCountDialog, RefusesCountsBelowOneAndStaysOpen) {
    FakeHost host;
    host.allowMessages = true;
    for (const QString& entry : {QStringLiteral("0"), QStringLiteral("-5"), QStringLiteral("abc"), QString()}) {
        host.messages.clear();
        CTransitionCountDlg d(true, 10, false, host);
        SetText(d, 1025, entry);
        d.accept();
        ASSERT_EQ(host.messages.size(), 1u) << entry.toStdString();
        EXPECT_EQ(host.messages[0].text, "Transition count must be at least 1");
        EXPECT_EQ(host.messages[0].icon, MsgIcon::None);
        EXPECT_EQ(host.messages[0].caption, "Velmora");
        EXPECT_EQ(d.result(), QDialog::Rejected);
        EXPECT_EQ(d.m_nCount, 10);
    }
}

TEST(TransitionCountDialog, ReadsTheLeadingNumberOfTheFirst127Characters) {
    FakeHost host;
    const auto ok = [&](const QString& entry) {
        CTransitionCountDlg d(false, 10, true, host);
        SetText(d, 1025, entry);
        d.accept();
        EXPECT_EQ(d.result(), QDialog::Accepted) << entry.toStdString();
        return d.m_nCount;
    };
    EXPECT_EQ(ok("12abc"), 12);
    EXPECT_EQ(ok("  +7"), 7);
    EXPECT_EQ(ok(QString(126, ' ') + "5"), 5);
    EXPECT_EQ(ok("99999999999999999999"), 2147483647);  // held at the limit, not wrapped
    host.allowMessages = true;
    CTransitionCountDlg d(false, 10, true, host);
    SetText(d, 1025, QString(127, ' ') + "5");  // the digit lies beyond what is read
    d.accept();
    EXPECT_EQ(host.LastText(), "Transition count must be at least 1");
}

TEST(TransitionCountDialog, CancelKeepsTheInitialCount) {
    FakeHost host;
    CTransitionCountDlg d(true, 4, true, host);
    EXPECT_TRUE(Control<QAbstractButton>(d, 2)->isEnabled());
    SetText(d, 1025, "9");
    Press(d, 2);
    EXPECT_EQ(d.result(), QDialog::Rejected);
    EXPECT_EQ(d.m_nCount, 4);
    CTransitionCountDlg locked(true, 10, false, host);
    EXPECT_FALSE(Control<QAbstractButton>(locked, 2)->isEnabled());
    EXPECT_EQ(Control<QLineEdit>(locked, 1025)->text(), "10");
}

// --- Copy To Active in the running program ------------------------------------------

TEST(FramesInProgram, CopyToActiveBlanksThePictureAndDisablesExportBmp) {
    ClearSettings();
    AppUnderTest t;
    ASSERT_EQ(t.Start(), gui::CVelmoraApp::kKeepRunning);
    CVelmoraDoc& doc = t.Doc();
    doc.SetResolution(40, 30);
    t.View().resize(80, 60);
    t.View().OnRender();
    t.Frame().UpdateCommandUI();
    ASSERT_TRUE(doc.m_bRendered);
    ASSERT_TRUE(t.Frame().Action(gui::ID_FILE_EXPORTBMP)->isEnabled());
    const FractalEngine& engine = *doc.m_pEngine;
    ASSERT_TRUE(std::any_of(engine.GetBits(), engine.GetBits() + engine.GetBufferSize(),
                            [](std::uint8_t b) { return b != 0; }));

    AddKeyframe(doc, 10, -1.25);
    FramesWindow dlg(doc, t.host, t.dialogs, &t.Frame());
    dlg.m_pView = &t.View();
    dlg.RefreshList(-1);
    SelectRow(dlg, 0);
    Press(dlg, kCopyTo);

    EXPECT_EQ(doc.m_params.left, -1.25);
    EXPECT_EQ(doc.GetWidth(), 40);
    EXPECT_FALSE(doc.m_bRendered);
    EXPECT_FALSE(doc.m_pEngine->IsValid());
    EXPECT_TRUE(std::all_of(doc.m_pEngine->GetBits(), doc.m_pEngine->GetBits() + doc.m_pEngine->GetBufferSize(),
                            [](std::uint8_t b) { return b == 0; }));
    EXPECT_FALSE(t.Frame().Action(gui::ID_FILE_EXPORTBMP)->isEnabled());
    t.View().grab();  // paints as the screen would
    const QImage& shown = t.View().CachedPicture();
    ASSERT_FALSE(shown.isNull());
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x) ASSERT_EQ(shown.pixelIndex(x, y), 0) << x << "," << y;
    EXPECT_FALSE(doc.IsModified());
}

}  // namespace
}  // namespace velmora::test
