// File menu commands on the scripted program: Export BMP, New/Open/Save with
// their questions, and the recent files list.
#include <QCheckBox>
#include <QComboBox>
#include <QSpinBox>
#include <fstream>

#include "GuiFixture.h"
#include "TempDir.h"
#include "commands/CommandIds.h"
#include "palette/DefaultPalette.h"

namespace velmora::test {
namespace {

using namespace velmora::gui;

class DocumentCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        t.makeDoc().setResolution(64, 48);  // quick renders
        { std::ofstream(dir.file("plain")) << "a file, not a folder"; }
    }
    // A path no save can create, even as root: its parent is a regular file.
    std::string unwritable(const std::string& name) const { return dir.file("plain/" + name); }
    TempDir dir;
    StartedApp t;
};

TEST_F(DocumentCommandsTest, ExportBmpBeforeTheViewDrewWritesThePictureWithTheDocumentsPalette) {
    t.makeDoc().editPalette([&](Palette& p) { p.setEntry(7, RgbQuad{1, 2, 3, 0}); });
    t.session().render();  // rendered, never drawn: no header block yet
    ASSERT_EQ(t.session().engine()->bitmapInfo(), nullptr);
    t.dialogs.saveAnswers.push_back(QString::fromStdString(dir.file("pic.bmp")));
    ASSERT_TRUE(t.enabled(ID_FILE_EXPORTBMP));
    t.frame().dispatch(ID_FILE_EXPORTBMP);
    EXPECT_FALSE(t.dialogs.saveRequests.at(0).confirmOverwrite);
    const auto bytes = readBytes(dir.file("pic.bmp"));  // colour table and pixels; the header is the core's
    ASSERT_EQ(bytes.size(), 1078u + 64u * 48u);
    EXPECT_TRUE(std::equal(bytes.begin() + 54, bytes.begin() + 1078, t.makeDoc().palette().raw().begin()) &&
                std::equal(bytes.begin() + 1078, bytes.end(), t.session().engine()->bits()));
}

// Export Image at its own size with the dialog's options, then Open takes the
// PNG's document without its path, so Save cannot write over the picture.
TEST_F(DocumentCommandsTest, ExportImageWritesThePngItsDialogAsksForAndOpenReadsItBack) {
    t.dialogs.modal = [&](QDialog& d) {
        d.findChild<QCheckBox*>(QStringLiteral("exportKeepProportions"))->setChecked(false);  // on at first
        d.findChild<QSpinBox*>(QStringLiteral("exportWidth"))->setValue(90);
        d.findChild<QComboBox*>(QStringLiteral("exportSupersample"))->setCurrentIndex(1);
        d.findChild<QCheckBox*>(QStringLiteral("exportSmooth"))->setChecked(true);
        return int(QDialog::Accepted);
    };
    t.makeDoc().editParams([&](FractalParams& p) { p.iterations = 77; });
    t.dialogs.saveAnswers.push_back(QString::fromStdString(dir.file("pic.png")));
    t.frame().dispatch(ID_FILE_EXPORTIMAGE);
    const auto bytes = readBytes(dir.file("pic.png"));
    ASSERT_GT(bytes.size(), 33u);
    EXPECT_EQ(std::vector<int>(bytes.begin() + 16, bytes.begin() + 26), (std::vector<int>{0, 0, 0, 90, 0, 0, 0, 48, 8, 2}));
    // The choices come back next time; kept proportions make the height follow the width.
    t.dialogs.modal = [&](QDialog& d) {
        auto* keep = d.findChild<QCheckBox*>(QStringLiteral("exportKeepProportions"));
        auto* width = d.findChild<QSpinBox*>(QStringLiteral("exportWidth"));
        auto* height = d.findChild<QSpinBox*>(QStringLiteral("exportHeight"));
        EXPECT_EQ(std::tuple(width->value(), height->value(), keep->isChecked()), std::tuple(90, 48, false));
        keep->setChecked(true);
        width->setValue(2 * t.makeDoc().width());
        EXPECT_EQ(height->value(), 2 * t.makeDoc().height());
        return int(QDialog::Rejected);
    };
    t.frame().dispatch(ID_FILE_EXPORTIMAGE);
    t.frame().dispatch(ID_FILE_NEW);
    t.dialogs.openAnswers.push_back(QString::fromStdString(dir.file("pic.png")));
    t.frame().dispatch(ID_FILE_OPEN);
    EXPECT_EQ(std::tuple(t.makeDoc().params().iterations, t.makeDoc().params().width, t.makeDoc().pathName(),
                         t.makeDoc().title()),
              std::tuple(77, 90, std::string(), std::string("pic")));
    { std::ofstream(dir.file("x.png")) << "not a picture"; }
    t.dialogs.openAnswers.push_back(QString::fromStdString(dir.file("x.png")));
    t.host.allowMessages = true;
    t.frame().dispatch(ID_FILE_OPEN);
    EXPECT_EQ(t.makeDoc().params().width, 90) << "a refused PNG changes nothing";
    EXPECT_EQ(t.host.messages.size(), 1u);
}

// View > Render Automatically: what opens is rendered at once, and only then;
// the choice is saved.
TEST_F(DocumentCommandsTest, RenderAutomaticallyRendersWhatOpens) {
    ASSERT_TRUE(t.makeDoc().onSaveDocument(dir.file("r.vmr")));
    for (const bool automatic : {true, false}) {
        ASSERT_TRUE(t.frame().dispatch(ID_VIEW_RENDER_AUTOMATICALLY));
        t.dialogs.openAnswers.push_back(QString::fromStdString(dir.file("r.vmr")));
        ASSERT_TRUE(t.frame().dispatch(ID_FILE_OPEN));
        EXPECT_EQ(t.session().isRendered() && t.session().engine()->isValid(), automatic);
        auto settings = Application::openSettings();
        t.frame().saveBarState(*settings);
        EXPECT_EQ(settings->value(QStringLiteral("Settings-Summary/RenderAutomatically")).toBool(), automatic);
    }
}

// New on a modified document: each answer to "Save changes?" and how the save went.
TEST_F(DocumentCommandsTest, NewOnAModifiedDocumentKeepsItUnlessToldOrSaved) {
    // The answer, what Save As did if it was asked, and whether the document was kept.
    const struct { MsgAnswer answer; std::string save; bool kept; } cases[] = {
        {MsgAnswer::No, "", false}, {MsgAnswer::Cancel, "", true}, {MsgAnswer::Yes, "saved", false},
        {MsgAnswer::Yes, "cancelled", true}, {MsgAnswer::Yes, "failed", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(static_cast<int>(c.answer)) + c.save);
        t.makeDoc().setModifiedFlag(false);
        t.frame().dispatch(ID_FILE_NEW);
        t.host.messages.clear();
        t.makeDoc().editParams([&](FractalParams& p) { p.iterations = 77; });
        t.makeDoc().editPalette([&](Palette& p) { p.setEntry(5, RgbQuad{1, 2, 3, 0}); });
        t.makeDoc().setModifiedFlag();
        t.host.answers.push_back(c.answer);
        const std::string path = c.save == "saved"    ? dir.file("saved.vmr")
                                 : c.save == "failed" ? unwritable("x.vmr")
                                                      : "";
        if (!c.save.empty()) t.dialogs.saveAnswers.push_back(QString::fromStdString(path));
        t.host.allowMessages = true;
        t.frame().dispatch(ID_FILE_NEW);
        ASSERT_FALSE(t.host.messages.empty());
        EXPECT_EQ(t.host.messages[0].text, "Save changes to this document?");
        EXPECT_EQ(std::tuple(t.makeDoc().params().iterations, t.makeDoc().palette() == defaultPalette(),
                             t.makeDoc().isModified()),
                  std::tuple(c.kept ? 77 : FractalParams{}.iterations, !c.kept, c.kept));
        Document reread(t.host);
        EXPECT_EQ(reread.onOpenDocument(path) && reread.params().iterations == 77, c.save == "saved");
    }
}

TEST_F(DocumentCommandsTest, RecentFilesKeepTheLastFourNewestFirst) {
    QStringList opened;
    for (int i = 0; i < 5; ++i) {
        opened.prepend(QString::fromStdString(dir.file("doc" + std::to_string(i) + ".vmr")));
        ASSERT_TRUE(t.makeDoc().onSaveDocument(opened.front().toStdString()));
        t.dialogs.openAnswers.push_back(opened.front());
        t.frame().dispatch(ID_FILE_OPEN);
    }
    EXPECT_EQ(t.app->recentFiles().files(), opened.mid(0, 4));
    // Opening through the list; one that no longer loads leaves it.
    t.frame().dispatch(ID_FILE_MRU_FILE1 + 2);
    EXPECT_EQ(QString::fromStdString(t.makeDoc().pathName()), opened[2]);
    std::filesystem::remove(opened[1].toStdString());
    t.host.allowMessages = true;
    t.frame().dispatch(ID_FILE_MRU_FILE1 + 2);  // the list now starts with the one just opened
    EXPECT_EQ(t.app->recentFiles().files(), (QStringList{opened[2], opened[0], opened[3]}));
}

}  // namespace
}  // namespace velmora::test
