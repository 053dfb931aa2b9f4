// The Palette Editor: clicks on the grid reach the edit operations, the colour
// chooser, Load/Save, how the dialog closes, and F9 in the program.
#include <QApplication>
#include <QMouseEvent>

#include "GuiFixture.h"
#include "PaletteTestSupport.h"
#include "TempDir.h"
#include "commands/CommandIds.h"
#include "paletteeditor/PaletteGrid.h"
#include "paletteeditor/PaletteEditorDialog.h"
#include "palette/PaletteEditOps.h"
#include "palette/PaletteFiles.h"

namespace velmora::test {
namespace {

using namespace velmora::gui;

class PaletteEditor : public ::testing::Test {
protected:
    PaletteEditor() { dlg->show(); }
    // A click (or two) as the desktop delivers it: to the editor, at a dialog point.
    void clickEntry(int i, bool twice = false) {
        const int w = grid->model().cellWidth(), h = grid->model().cellHeight();
        const QPointF at(grid->pos() + QPoint((i % 16) * w + w / 2, (i / 16) * h + h / 2));
        for (int n = 0; n < (twice ? 4 : 2); ++n) {
            const QEvent::Type type =
                n % 2 ? QEvent::MouseButtonRelease : n ? QEvent::MouseButtonDblClick : QEvent::MouseButtonPress;
            QMouseEvent e(type, at, at, dlg->mapToGlobal(at), Qt::LeftButton, n % 2 ? Qt::NoButton : Qt::LeftButton,
                          Qt::NoModifier);
            QApplication::sendEvent(dlg.get(), &e);
        }
    }
    RgbQuad working(int i) const { return grid->working().entry(static_cast<std::size_t>(i)); }

    FakeHost host;
    ScriptedDialogs dialogs;
    const Palette original = patternPalette(2);  // reserved bytes set too
    Palette palette = original;
    std::unique_ptr<PaletteEditorDialog> dlg = std::make_unique<PaletteEditorDialog>(palette, host, dialogs);
    PaletteGrid* grid = dlg->grid();
};

TEST_F(PaletteEditor, ModeButtonsAndClicksReachTheEditOperations) {
    const struct { int button, from, to; void (*op)(Palette&, int, int); } cases[] = {
        {PaletteEditorDialog::kIdCopy, 5, 200, copyEntry}, {PaletteEditorDialog::kIdSwap, 10, 20, swapEntries},
        {PaletteEditorDialog::kIdSpread, 0, 255, spreadEntries}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button);
        grid->working() = original;
        clickEntry(c.from);
        Press(*dlg, c.button);
        EXPECT_EQ(dlg->cursor().shape(), Qt::BitmapCursor) << "the TO cursor while armed";
        clickEntry(c.to);
        Palette expected = original;
        c.op(expected, c.from, c.to);
        EXPECT_EQ(grid->working(), expected);
        EXPECT_NE(dlg->cursor().shape(), Qt::BitmapCursor) << "and the mode ended";
    }
    EXPECT_EQ(palette, original) << "nothing reaches the caller before OK";
    grid->working() = patternPalette(1);
    Press(*dlg, PaletteEditorDialog::kIdOk);
    EXPECT_TRUE(dlg->result() == QDialog::Accepted && palette == patternPalette(1)) << "every byte, reserved ones too";
}

TEST_F(PaletteEditor, DoubleClickOpensTheChooserPresetToTheEntry) {
    dialogs.colorAnswers = {QColor(1, 2, 3), std::nullopt};
    clickEntry(77, true);
    const RgbQuad before = original.entry(77);
    EXPECT_EQ(dialogs.colorPresets.at(0), QColor(before.red, before.green, before.blue));
    EXPECT_EQ(working(77), (RgbQuad{3, 2, 1, before.reserved}));
    clickEntry(78, true);  // cancelled
    EXPECT_EQ(working(78), original.entry(78));
}

TEST_F(PaletteEditor, LoadKeepsTheSelectionARefusedLoadKeepsTheColoursAndSaveWrites) {
    dialogs.openAnswers = {QString(VELMORA_TESTDATA_DIR "/palettes/droz39.map"),
                           QString(VELMORA_TESTDATA_DIR "/palettes-rejected/goodega.map")};
    clickEntry(8);
    Press(*dlg, PaletteEditorDialog::kIdLoad);
    EXPECT_FALSE(dialogs.openRequests.at(0).mustExist) << "a typed name of a missing file is read as the rules say";
    EXPECT_EQ(working(1), (RgbQuad{103, 78, 72, 0}));  // "72 78 103   RGB cycles ..."
    EXPECT_EQ(grid->model().selection().index(), 8) << "Load keeps the selection";
    const Palette loaded = grid->working();
    host.allowMessages = true;
    Press(*dlg, PaletteEditorDialog::kIdLoad);
    EXPECT_EQ(host.lastText(), "Conversion failed - this is not a valid FractInt .MAP file.");  // nothing loaded
    EXPECT_EQ(grid->working(), loaded);
    TempDir dir;
    dialogs.saveAnswers.push_back(QString::fromStdString(dir.file("mine")));
    Press(*dlg, PaletteEditorDialog::kIdSave);
    EXPECT_EQ(readBytes(dir.file("mine.rgb")), rgbPaletteFileBytes(loaded)) << "the default extension is added";
}

TEST(EditPaletteCommand, RunsTheEditorAndRecoloursWithoutARender) {
    StartedApp t;
    t.dialogs.modal = [](QDialog& d) {
        static_cast<PaletteEditorDialog&>(d).grid()->working().setEntry(0, RgbQuad{0, 0, 200, 0});
        d.accept();
        return d.result();
    };
    ASSERT_TRUE(t.frame().router().run(ID_EDIT_PALETTE));
    EXPECT_TRUE(t.makeDoc().isModified());
    EXPECT_EQ(t.makeDoc().palette().entry(0).red, 200);
    // The unrendered picture is all index 0: the view shows the new colour at once.
    const QImage shown = t.view().grab().toImage();
    EXPECT_EQ(QColor(shown.pixel(4, shown.height() - 4)), QColor(200, 0, 0));
}

}  // namespace
}  // namespace velmora::test
