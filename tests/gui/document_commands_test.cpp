#include <QAction>
#include <fstream>

#include "GuiFixture.h"
#include "TempDir.h"
#include "app/CommandIds.h"
#include "palette/DefaultPalette.h"

namespace velmora::test {
namespace {

using namespace velmora::gui;

class DocumentCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ClearSettings();
        ASSERT_EQ(t.Start(), CVelmoraApp::kKeepRunning);
        // Small pictures keep the renders quick.
        t.Doc().SetResolution(64, 48);
    }
    bool ExportEnabled() {
        t.Frame().UpdateCommandUI();
        return t.Frame().Action(ID_FILE_EXPORTBMP)->isEnabled();
    }
    // A document file saved through the program itself.
    std::string SavedDocument(const std::string& name, double left) {
        t.Doc().m_params.left = left;
        const std::string path = dir.File(name);
        EXPECT_TRUE(t.Doc().OnSaveDocument(path));
        return path;
    }
    TempDir dir;
    AppUnderTest t;
};

TEST_F(DocumentCommandsTest, ExportBmpFollowsRenderNewAndOpen) {
    EXPECT_FALSE(ExportEnabled()) << "fresh start";
    t.Frame().Dispatch(ID_RENDER);
    EXPECT_TRUE(ExportEnabled()) << "after a render";

    t.Frame().Dispatch(ID_FILE_NEW);
    EXPECT_FALSE(ExportEnabled()) << "after New";

    // A cancelled render counts as rendered.
    t.Doc().SetResolution(64, 48);
    t.host.polls = 0;
    t.host.cancelAt = [](int n) { return n == 1; };
    t.Frame().Dispatch(ID_RENDER);
    EXPECT_EQ(t.host.questionSounds, 1);
    EXPECT_FALSE(t.Doc().m_pEngine->IsValid());
    EXPECT_TRUE(ExportEnabled()) << "after a cancelled render";
    t.host.cancelAt = nullptr;

    const std::string path = SavedDocument("a.vmr", -1.5);
    t.dialogs.openAnswers.push_back(QString::fromStdString(path));
    t.Frame().Dispatch(ID_FILE_OPEN);
    EXPECT_EQ(t.Doc().GetPathName(), path);
    EXPECT_FALSE(ExportEnabled()) << "after Open";
}

TEST_F(DocumentCommandsTest, ExportBmpAsksWithoutOverwriteQuestionAndWritesThePicture) {
    t.Frame().Dispatch(ID_RENDER);
    const std::string out = dir.File("pic.bmp");
    { std::ofstream(out) << "old contents"; }
    t.dialogs.saveAnswers.push_back(QString::fromStdString(out));
    t.Frame().Dispatch(ID_FILE_EXPORTBMP);
    ASSERT_EQ(t.dialogs.saveRequests.size(), 1u);
    const SaveFileRequest& r = t.dialogs.saveRequests[0];
    EXPECT_EQ(r.filter, QStringLiteral("Windows BMP Files (*.bmp);;All Files (*)"));
    EXPECT_EQ(r.defaultSuffix, QStringLiteral("bmp"));
    EXPECT_FALSE(r.confirmOverwrite);
    EXPECT_TRUE(r.proposedName.isEmpty());
    const auto bytes = ReadBytes(out);
    // 64 x 48 with no padding: 1078 + 3072.
    ASSERT_EQ(bytes.size(), 1078u + 64u * 48u);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    // The colour table is the palette on screen.
    EXPECT_TRUE(std::equal(bytes.begin() + 54, bytes.begin() + 1078, t.Doc().m_palette.Raw().begin()));
    // The pixels are the engine's.
    EXPECT_TRUE(std::equal(bytes.begin() + 1078, bytes.end(), t.Doc().m_pEngine->GetBits()));
}

TEST_F(DocumentCommandsTest, ExportBmpCancelledWritesNothing) {
    t.Frame().Dispatch(ID_RENDER);
    t.dialogs.saveAnswers.push_back(QString());
    t.Frame().Dispatch(ID_FILE_EXPORTBMP);
    EXPECT_TRUE(t.host.messages.empty());
}

TEST_F(DocumentCommandsTest, ExportBmpFailuresAreReported) {
    t.Frame().Dispatch(ID_RENDER);
    t.host.allowMessages = true;
    // Cannot be created: the framework's file error with the path, stop icon.
    const std::string bad = dir.File("no/such/folder/x.bmp");
    t.dialogs.saveAnswers.push_back(QString::fromStdString(bad));
    t.Frame().Dispatch(ID_FILE_EXPORTBMP);
    ASSERT_EQ(t.host.messages.size(), 1u);
    EXPECT_NE(t.host.messages[0].text.find(bad), std::string::npos);
    EXPECT_EQ(t.host.messages[0].icon, MsgIcon::Error);

    // Created, but the writes fail.
    if (std::filesystem::exists("/dev/full")) {
        t.dialogs.saveAnswers.push_back(QStringLiteral("/dev/full"));
        t.Frame().Dispatch(ID_FILE_EXPORTBMP);
        ASSERT_EQ(t.host.messages.size(), 2u);
        EXPECT_EQ(t.host.messages[1].text, "Could not write data. Probable cause: Disk full.");
        EXPECT_EQ(t.host.messages[1].icon, MsgIcon::Warning);
        EXPECT_EQ(t.host.messages[1].owner, MsgOwner::None);
        EXPECT_TRUE(t.host.messages[1].caption.empty());
    }
}

TEST_F(DocumentCommandsTest, NewOnAnUnmodifiedDocumentAsksNothing) {
    t.Doc().m_params.iterations = 77;
    t.Frame().Dispatch(ID_FILE_NEW);
    EXPECT_TRUE(t.host.messages.empty());
    EXPECT_EQ(t.Doc().m_params.iterations, FractalParams{}.iterations);
}

TEST_F(DocumentCommandsTest, NewOnAModifiedUntitledDocumentAsksAboutThisDocument) {
    t.Doc().m_params.iterations = 77;
    t.Doc().m_palette.SetEntry(5, RgbQuad{1, 2, 3, 0});
    t.Doc().SetModifiedFlag();
    t.host.answers.push_back(MsgAnswer::No);
    t.Frame().Dispatch(ID_FILE_NEW);
    ASSERT_EQ(t.host.messages.size(), 1u);
    const Message& m = t.host.messages[0];
    EXPECT_EQ(m.text, "Save changes to this document?");
    EXPECT_EQ(m.buttons, MsgButtons::YesNoCancel);
    EXPECT_EQ(m.icon, MsgIcon::Warning);
    EXPECT_EQ(m.caption, "Velmora");
    EXPECT_NE(m.owner, MsgOwner::None);
    // No: the document starts afresh with the default palette.
    EXPECT_EQ(t.Doc().m_params.iterations, FractalParams{}.iterations);
    EXPECT_EQ(t.Doc().m_palette, DefaultPalette());
    EXPECT_FALSE(t.Doc().IsModified());
    EXPECT_EQ(t.Frame().windowTitle(), QStringLiteral("Untitled - Velmora"));
}

TEST_F(DocumentCommandsTest, NewOnAModifiedSavedDocumentAsksWithItsPathAndCancelKeepsIt) {
    const std::string path = SavedDocument("kept.vmr", -1.25);
    t.Doc().SetPathName(path);
    t.Doc().m_params.iterations = 99;
    t.Doc().SetModifiedFlag();
    t.host.answers.push_back(MsgAnswer::Cancel);
    t.Frame().Dispatch(ID_FILE_NEW);
    ASSERT_EQ(t.host.messages.size(), 1u);
    EXPECT_EQ(t.host.messages[0].text, "Save changes to " + path + "?");
    EXPECT_EQ(t.Doc().m_params.iterations, 99) << "Cancel changes nothing";
    EXPECT_TRUE(t.Doc().IsModified());
    EXPECT_EQ(t.Doc().GetPathName(), path);
}

TEST_F(DocumentCommandsTest, NewWithYesSavesFirst) {
    const std::string path = SavedDocument("saved.vmr", -1.25);
    t.Doc().SetPathName(path);
    t.Doc().m_params.iterations = 123;
    t.Doc().SetModifiedFlag();
    t.host.answers.push_back(MsgAnswer::Yes);
    t.Frame().Dispatch(ID_FILE_NEW);
    EXPECT_EQ(t.Doc().m_params.iterations, FractalParams{}.iterations);
    // The file now holds the changed value.
    CVelmoraDoc reread(t.host);
    ASSERT_TRUE(reread.OnOpenDocument(path));
    EXPECT_EQ(reread.m_params.iterations, 123);
}

TEST_F(DocumentCommandsTest, NewWithYesButCancelledSaveKeepsTheDocument) {
    t.Doc().m_params.iterations = 55;
    t.Doc().SetModifiedFlag();
    t.host.answers.push_back(MsgAnswer::Yes);
    t.dialogs.saveAnswers.push_back(QString());  // Save As cancelled
    t.Frame().Dispatch(ID_FILE_NEW);
    EXPECT_EQ(t.Doc().m_params.iterations, 55) << "unsaved changes must not be thrown away";
    EXPECT_TRUE(t.Doc().IsModified());
}

TEST_F(DocumentCommandsTest, OpeningABadFileReportsItAndLeavesANewDocument) {
    const std::string bad = dir.File("bad.vmr");
    { std::ofstream(bad, std::ios::binary) << "this is not a Velmora document at all"; }
    t.Frame().Dispatch(ID_RENDER);
    t.host.allowMessages = true;
    t.dialogs.openAnswers.push_back(QString::fromStdString(bad));
    t.Frame().Dispatch(ID_FILE_OPEN);
    ASSERT_EQ(t.host.messages.size(), 1u);
    EXPECT_EQ(t.host.messages[0].text, "Unexpected file format.");
    EXPECT_EQ(t.host.messages[0].icon, MsgIcon::Error);
    EXPECT_TRUE(t.host.messages[0].caption.empty());
    EXPECT_EQ(t.Frame().windowTitle(), QStringLiteral("Untitled - Velmora"));
    EXPECT_TRUE(t.app->GetRecentFiles().Files().isEmpty());
    EXPECT_FALSE(ExportEnabled());
    ASSERT_NE(t.Doc().m_pEngine, nullptr);
    EXPECT_FALSE(t.Doc().m_pEngine->IsValid());
}

TEST_F(DocumentCommandsTest, OpenAsksToSaveAModifiedDocumentByTitle) {
    const std::string path = SavedDocument("other.vmr", -1.0);
    t.Doc().OnNewDocument();
    t.Doc().SetModifiedFlag();
    t.dialogs.openAnswers.push_back(QString::fromStdString(path));
    t.host.answers.push_back(MsgAnswer::Cancel);
    t.Frame().Dispatch(ID_FILE_OPEN);
    ASSERT_EQ(t.host.messages.size(), 1u);
    EXPECT_EQ(t.host.messages[0].text, "Save changes to Untitled?");
    EXPECT_TRUE(t.Doc().GetPathName().empty()) << "Cancel keeps the document";
}

TEST_F(DocumentCommandsTest, SaveAsProposesUntitledAndAFailedSaveStaysModified) {
    t.Doc().SetModifiedFlag();
    t.host.allowMessages = true;
    t.dialogs.saveAnswers.push_back(QString::fromStdString(dir.File("missing/dir/x.vmr")));
    t.Frame().Dispatch(ID_FILE_SAVE);
    ASSERT_EQ(t.dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(t.dialogs.saveRequests[0].proposedName, QStringLiteral("Untitled.vmr"));
    EXPECT_TRUE(t.dialogs.saveRequests[0].filter.startsWith(QStringLiteral("Velmora File (*.vmr)")));
    EXPECT_EQ(t.dialogs.saveRequests[0].defaultSuffix, QStringLiteral("vmr"));
    ASSERT_EQ(t.host.messages.size(), 1u);
    EXPECT_NE(t.host.messages[0].text.find("x.vmr"), std::string::npos);
    EXPECT_TRUE(t.Doc().IsModified());
    EXPECT_EQ(t.Frame().windowTitle(), QStringLiteral("Untitled - Velmora"));

    const std::string good = dir.File("good.vmr");
    t.dialogs.saveAnswers.push_back(QString::fromStdString(good));
    t.Frame().Dispatch(ID_FILE_SAVE_AS);
    EXPECT_FALSE(t.Doc().IsModified());
    EXPECT_EQ(t.Frame().windowTitle(), QStringLiteral("good.vmr - Velmora"));
    EXPECT_EQ(t.app->GetRecentFiles().Files().value(0).toStdString(), good);
}

TEST_F(DocumentCommandsTest, RecentFilesKeepTheLastFourNewestFirst) {
    std::vector<std::string> paths;
    for (int i = 0; i < 5; ++i) paths.push_back(SavedDocument("doc" + std::to_string(i) + ".vmr", -1.0 - i * 0.1));
    for (const std::string& p : paths) {
        t.dialogs.openAnswers.push_back(QString::fromStdString(p));
        t.Frame().Dispatch(ID_FILE_OPEN);
    }
    const QStringList files = t.app->GetRecentFiles().Files();
    ASSERT_EQ(files.size(), 4);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(files[i].toStdString(), paths[static_cast<std::size_t>(4 - i)]);
    EXPECT_EQ(t.Frame().Action(ID_FILE_MRU_FILE1)->text(), QStringLiteral("&1 ") + QString::fromStdString(paths[4]));
    EXPECT_TRUE(t.Frame().Action(ID_FILE_MRU_FILE1 + 3)->isVisible());

    // Opening through the list; one that no longer loads leaves it.
    t.Frame().Dispatch(ID_FILE_MRU_FILE1 + 2);
    EXPECT_EQ(t.Doc().GetPathName(), paths[2]);
    std::filesystem::remove(paths[3]);
    t.host.allowMessages = true;
    const int index = static_cast<int>(t.app->GetRecentFiles().Files().indexOf(QString::fromStdString(paths[3])));
    ASSERT_GE(index, 0);
    t.Frame().Dispatch(ID_FILE_MRU_FILE1 + index);
    EXPECT_FALSE(t.app->GetRecentFiles().Files().contains(QString::fromStdString(paths[3])));
}

}  // namespace
}  // namespace velmora::test
