// The Palette Editor on the offscreen platform: mouse clicks on the grid, the
// mode buttons, the colour chooser, Load/Save and how the dialog closes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QBitmap>
#include <QImage>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <filesystem>

#include "FakeHost.h"
#include "app/CommandIds.h"
#include "GuiFixture.h"
#include "TempDir.h"
#include "model/VelmoraDoc.h"
#include "palette/CPaletteCtrl.h"
#include "palette/CPaletteEditorDlg.h"
#include "palette/DefaultPalette.h"
#include "palette/PaletteFiles.h"
#include "palette/TargetCursor.h"

using namespace velmora;
using namespace velmora::gui;
using namespace velmora::test;

namespace {

// The scripted dialogs with colour chooser answers.
class PaletteDialogs : public ScriptedDialogs {
public:
    std::deque<std::optional<QColor>> colorAnswers;
    std::vector<QColor> colorPresets;
    std::optional<QColor> GetColor(QWidget*, const QColor& initial) override {
        colorPresets.push_back(initial);
        if (colorAnswers.empty()) {
            ADD_FAILURE() << "unexpected colour dialog";
            return std::nullopt;
        }
        auto a = colorAnswers.front();
        colorAnswers.pop_front();
        return a;
    }
};

Palette WithReservedBytes() {
    Palette p = DefaultPalette();
    for (std::size_t i = 0; i < 256; ++i) p.Bytes()[i * 4 + 3] = static_cast<std::uint8_t>(i % 7);
    return p;
}

void SendMouse(QWidget& w, QEvent::Type type, const QPoint& pos) {
    const QPointF local(pos);
    const QPointF global(w.mapToGlobal(pos));
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, local, local, global, Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(&w, &e);
}

class PaletteEditor : public ::testing::Test {
protected:
    PaletteEditor() : original(WithReservedBytes()), palette(original) {
        dlg = std::make_unique<CPaletteEditorDlg>(palette, host, dialogs);
        dlg->show();
        grid = dlg->Grid();
    }

    // A click as the desktop delivers it: to the editor, at a dialog point.
    void Click(const QPoint& dialogPoint) {
        SendMouse(*dlg, QEvent::MouseButtonPress, dialogPoint);
        SendMouse(*dlg, QEvent::MouseButtonRelease, dialogPoint);
    }
    void DoubleClick(const QPoint& dialogPoint) {
        Click(dialogPoint);
        SendMouse(*dlg, QEvent::MouseButtonDblClick, dialogPoint);
        SendMouse(*dlg, QEvent::MouseButtonRelease, dialogPoint);
    }
    QPoint EntryPoint(int i) const {
        const int w = grid->Model().CellWidth();
        const int h = grid->Model().CellHeight();
        return grid->pos() + QPoint((i % 16) * w + w / 2, (i / 16) * h + h / 2);
    }
    void ClickEntry(int i) { Click(EntryPoint(i)); }
    void Press(int id) {
        auto* b = dlg->findChild<QPushButton*>(QString::number(id));
        ASSERT_NE(b, nullptr) << id;
        b->click();
    }
    RgbQuad Working(int i) const { return grid->Working().Entry(static_cast<std::size_t>(i)); }
    bool TargetCursorShown() const {
        return dlg->cursor().shape() == Qt::BitmapCursor && dlg->cursor().hotSpot() == QPoint(1, 1);
    }

    FakeHost host;
    PaletteDialogs dialogs;
    const Palette original;
    Palette palette;
    std::unique_ptr<CPaletteEditorDlg> dlg;
    CPaletteCtrl* grid = nullptr;
};

}  // namespace

TEST_F(PaletteEditor, LayoutFollowsTheTemplate) {
    EXPECT_EQ(dlg->windowTitle(), "Palette Editor");
    const char* texts[][2] = {{"1", "&OK"},  {"2", "Cancel"}, {"8", "&Copy"}, {"4", "S&wap"},
                              {"5", "&Spread"}, {"6", "&Load"},  {"7", "S&ave"}, {"57670", "&Help"}};
    for (auto& t : texts) {
        auto* b = dlg->findChild<QPushButton*>(t[0]);
        ASSERT_NE(b, nullptr) << t[0];
        EXPECT_EQ(b->text(), t[1]);
        EXPECT_GT(b->geometry().left(), grid->geometry().right()) << "buttons stand right of the grid";
    }
    EXPECT_TRUE(dlg->findChild<QPushButton*>("1")->isDefault());
    EXPECT_EQ(grid->objectName(), "1019");
    EXPECT_GE(grid->Model().CellWidth(), 1);
    // The 200 x 158 grid is wider than high, as in the template.
    EXPECT_GT(grid->width(), grid->height());
}

TEST_F(PaletteEditor, ModeButtonWithNothingSelectedWarnsThenAClickOnlySelects) {
    host.allowMessages = true;
    Press(CPaletteEditorDlg::kIdCopy);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "Select a palette entry first.");
    EXPECT_EQ(host.messages[0].caption, "Velmora");
    EXPECT_EQ(host.messages[0].owner, MsgOwner::Dialog);
    EXPECT_EQ(host.messages[0].ownerName, "1019");
    EXPECT_EQ(grid->Mode(), PaletteEditMode::None);
    EXPECT_FALSE(TargetCursorShown());
    ClickEntry(3);
    EXPECT_EQ(grid->Model().Selection().Index(), 3);
    EXPECT_EQ(grid->Working(), original);
}

TEST_F(PaletteEditor, CopyByClicksKeepsTheSelection) {
    ClickEntry(5);
    Press(CPaletteEditorDlg::kIdCopy);
    EXPECT_EQ(grid->Mode(), PaletteEditMode::Copy);
    EXPECT_TRUE(TargetCursorShown());
    ClickEntry(200);
    EXPECT_EQ(Working(200), original.Entry(5));
    EXPECT_EQ(grid->Model().Selection().Index(), 5);
    EXPECT_EQ(grid->Mode(), PaletteEditMode::None);
    EXPECT_FALSE(TargetCursorShown());
}

TEST_F(PaletteEditor, SwapByClicks) {
    ClickEntry(10);
    Press(CPaletteEditorDlg::kIdSwap);
    ClickEntry(20);
    EXPECT_EQ(Working(10), original.Entry(20));
    EXPECT_EQ(Working(20), original.Entry(10));
    EXPECT_EQ(grid->Model().Selection().Index(), 10);
}

TEST_F(PaletteEditor, SpreadByClicksRebuildsTheGridsPalette) {
    ClickEntry(0);
    Press(CPaletteEditorDlg::kIdSpread);
    ClickEntry(255);
    for (int k = 0; k < 256; ++k) {
        const RgbQuad q = Working(k);
        ASSERT_EQ(q.red, k) << k;
        ASSERT_EQ(q.green, 0) << k;
        ASSERT_EQ(q.blue, 0) << k;
        ASSERT_EQ(q.reserved, original.Entry(static_cast<std::size_t>(k)).reserved) << k;
    }
    const LogicalPalette* lp = grid->LogicalPaletteHolder().Get();
    ASSERT_NE(lp, nullptr);
    EXPECT_EQ(lp->entries[128].peRed, 128);
    EXPECT_EQ(lp->entries[128].peGreen, 0);
    EXPECT_EQ(grid->Model().Selection().Index(), 0);
    EXPECT_EQ(palette, original) << "nothing reaches the caller before OK";
}

TEST_F(PaletteEditor, ClicksOffTheCellsLeaveTheModeArmed) {
    grid->setGeometry(7, 7, 200, 158);  // cells 12 x 9 leave strips of 8 and 14 pixels
    ClickEntry(3);
    Press(CPaletteEditorDlg::kIdSwap);
    Click(grid->pos() + QPoint(195, 20));  // right strip
    Click(grid->pos() + QPoint(20, 150));  // bottom strip
    DoubleClick(grid->pos() + QPoint(195, 150));
    Click(QPoint(2, 2));  // the dialog's margin, outside the grid
    EXPECT_EQ(grid->Mode(), PaletteEditMode::Swap);
    EXPECT_TRUE(TargetCursorShown());
    EXPECT_EQ(grid->Working(), original);
}

TEST_F(PaletteEditor, DoubleClickOpensTheChooserPresetToTheEntry) {
    dialogs.colorAnswers.push_back(QColor(1, 2, 3));
    DoubleClick(EntryPoint(77));
    ASSERT_EQ(dialogs.colorPresets.size(), 1u);
    const RgbQuad before = original.Entry(77);
    EXPECT_EQ(dialogs.colorPresets[0], QColor(before.red, before.green, before.blue));
    EXPECT_EQ(Working(77), (RgbQuad{3, 2, 1, before.reserved}));
    EXPECT_EQ(grid->LogicalPaletteHolder().Get()->entries[77].peRed, 1);
    EXPECT_EQ(grid->Model().Selection().Index(), 77);

    dialogs.colorAnswers.push_back(std::nullopt);  // cancelled
    DoubleClick(EntryPoint(78));
    EXPECT_EQ(Working(78), original.Entry(78));
}

TEST_F(PaletteEditor, GridShowsTheColoursAndTheRaisedSelection) {
    ClickEntry(17);
    const QImage shot = grid->grab().toImage();
    const int w = grid->Model().CellWidth();
    const int h = grid->Model().CellHeight();
    for (int i : {0, 17, 100, 255}) {
        const RgbQuad q = original.Entry(static_cast<std::size_t>(i));
        const QPoint centre((i % 16) * w + w / 2, (i / 16) * h + h / 2);
        EXPECT_EQ(QColor(shot.pixel(centre)), QColor(q.red, q.green, q.blue)) << i;
    }
    // Sunken cells are shaded dark at the top left, the raised one light.
    const QColor sunken(shot.pixel(0 * w, 1 * h));  // entry 16
    const QColor raised(shot.pixel(1 * w, 1 * h));  // entry 17
    EXPECT_LT(sunken.lightness(), raised.lightness());
}

TEST_F(PaletteEditor, CancelEscapeAndCloseWriteNothing) {
    ClickEntry(1);
    Press(CPaletteEditorDlg::kIdCopy);
    ClickEntry(2);
    Press(CPaletteEditorDlg::kIdCancel);
    EXPECT_EQ(dlg->result(), QDialog::Rejected);
    EXPECT_EQ(palette, original);

    CPaletteEditorDlg second(palette, host, dialogs);
    second.show();
    second.Grid()->Working().SetEntry(9, RgbQuad{1, 1, 1, 1});
    QTest::keyClick(&second, Qt::Key_Escape);
    EXPECT_EQ(second.result(), QDialog::Rejected);
    EXPECT_EQ(palette, original);

    CPaletteEditorDlg third(palette, host, dialogs);
    third.show();
    third.Grid()->Working().SetEntry(9, RgbQuad{1, 1, 1, 1});
    third.close();
    EXPECT_EQ(palette, original);
}

TEST_F(PaletteEditor, OkWritesAllBytesReservedIncluded) {
    ClickEntry(4);
    Press(CPaletteEditorDlg::kIdSwap);
    ClickEntry(6);
    Press(CPaletteEditorDlg::kIdOk);
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    Palette expected = original;
    SwapEntries(expected, 4, 6);
    EXPECT_EQ(palette, expected);
}

TEST_F(PaletteEditor, LoadThenOkWritesTheFileColoursWithReservedCleared) {
    const std::string map = std::string(VELMORA_TESTDATA_DIR) + "/palettes/droz39.map";
    dialogs.openAnswers.push_back(QString::fromStdString(map));
    ClickEntry(8);
    Press(CPaletteEditorDlg::kIdLoad);
    ASSERT_EQ(dialogs.openRequests.size(), 1u);
    EXPECT_EQ(dialogs.openRequests[0].filter,
              "Velmora Palette Files (*.rgb);;FractInt Palette Files (*.map);;"
              "Paint Shop Pro JASC Palette Files (*.pal);;All Files (*.*)");
    EXPECT_FALSE(dialogs.openRequests[0].mustExist);
    EXPECT_EQ(Working(1), (RgbQuad{103, 78, 72, 0}));  // "72 78 103   RGB cycles ..."
    EXPECT_EQ(grid->Model().Selection().Index(), 8) << "Load keeps the selection";
    Press(CPaletteEditorDlg::kIdOk);
    for (std::size_t i = 0; i < 256; ++i) ASSERT_EQ(palette.Entry(i).reserved, 0) << i;
    EXPECT_EQ(palette.Entry(1), (RgbQuad{103, 78, 72, 0}));
}

TEST_F(PaletteEditor, RefusedLoadKeepsTheColours) {
    host.allowMessages = true;
    dialogs.openAnswers.push_back(QString(VELMORA_TESTDATA_DIR) + "/palettes-rejected/goodega.map");
    Press(CPaletteEditorDlg::kIdLoad);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "Conversion failed - this is not a valid FractInt .MAP file.");
    EXPECT_EQ(host.messages[0].ownerName, CPaletteEditorDlg::kName);
    Palette expected = original;
    expected.ClearReserved();
    EXPECT_EQ(grid->Working(), expected);
    dialogs.openAnswers.push_back(QString());  // cancelled: nothing at all
    Press(CPaletteEditorDlg::kIdLoad);
    EXPECT_EQ(host.messages.size(), 1u);
}

TEST_F(PaletteEditor, SaveAddsTheDefaultExtensionAndDoesNotAsk) {
    TempDir dir;
    dialogs.saveAnswers.push_back(QString::fromStdString(dir.File("mine")));
    Press(CPaletteEditorDlg::kIdSave);
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(dialogs.saveRequests[0].filter, "Velmora Palette Files (*.rgb);;All Files (*.*)");
    EXPECT_EQ(dialogs.saveRequests[0].defaultSuffix, "rgb");
    EXPECT_FALSE(dialogs.saveRequests[0].confirmOverwrite);
    EXPECT_EQ(ReadBytes(dir.File("mine.rgb")), RgbPaletteFileBytes(original));

    // And reading it back through Load, as a user would.
    dialogs.openAnswers.push_back(QString::fromStdString(dir.File("mine")));
    grid->Working() = Palette();
    Press(CPaletteEditorDlg::kIdLoad);
    Palette expected = original;
    expected.ClearReserved();
    EXPECT_EQ(grid->Working(), expected);
}

TEST(PaletteTargetCursor, ArrowWithHotSpotAtItsTip) {
    const std::optional<QCursor> c = MakeTargetCursor();
    ASSERT_TRUE(c.has_value());
    EXPECT_EQ(c->shape(), Qt::BitmapCursor);
    EXPECT_EQ(c->hotSpot(), QPoint(1, 1));
    const QImage shape = c->bitmap().toImage();
    const QImage mask = c->mask().toImage();
    ASSERT_EQ(shape.size(), QSize(32, 32));
    ASSERT_EQ(mask.size(), QSize(32, 32));
    // The tip is opaque; the letters stand right of the arrow.
    EXPECT_NE(mask.pixelIndex(1, 1), mask.pixelIndex(0, 0));
    int letterPixels = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 14; x < 32; ++x) letterPixels += mask.pixelIndex(x, y) != mask.pixelIndex(0, 0);
    EXPECT_GT(letterPixels, 60);
}

TEST(EditDocumentPalette, CancelStillMarksTheDocumentModified) {
    FakeHost host;
    PaletteDialogs dialogs;
    CVelmoraDoc doc(host);
    doc.LoadDefaultPalette();
    doc.SetModifiedFlag(false);
    dialogs.modal = [](QDialog& d) {
        auto* grid = d.findChild<CPaletteCtrl*>();
        grid->Working().SetEntry(0, RgbQuad{9, 9, 9, 0});
        return QDialog::Rejected;
    };
    EditDocumentPalette(doc, host, dialogs);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.m_palette, DefaultPalette());

    dialogs.modal = [](QDialog& d) {
        auto& editor = static_cast<CPaletteEditorDlg&>(d);
        editor.Grid()->Working().SetEntry(0, RgbQuad{9, 9, 9, 0});
        editor.accept();
        return QDialog::Accepted;
    };
    EditDocumentPalette(doc, host, dialogs);
    EXPECT_EQ(doc.m_palette.Entry(0), (RgbQuad{9, 9, 9, 0}));
    ASSERT_NE(doc.m_pPalette.Get(), nullptr);
    EXPECT_EQ(doc.m_pPalette.Get()->entries[0].peRed, 9) << "the document's logical palette is rebuilt";
}

TEST(EditPaletteCommand, F9RunsTheEditorAndRecoloursWithoutARender) {
    ClearSettings();
    AppUnderTest t;
    ASSERT_EQ(t.Start(), gui::CVelmoraApp::kKeepRunning);
    t.Frame().UpdateCommandUI();
    ASSERT_TRUE(t.Frame().Action(gui::ID_EDIT_PALETTE)->isEnabled());
    t.Doc().SetModifiedFlag(false);
    int runs = 0;
    t.dialogs.modal = [&runs](QDialog& d) {
        ++runs;
        EXPECT_EQ(d.windowTitle(), "Palette Editor");
        static_cast<CPaletteEditorDlg&>(d).Grid()->Working().SetEntry(0, RgbQuad{0, 0, 200, 0});
        d.reject();
        return QDialog::Rejected;
    };
    ASSERT_TRUE(t.Frame().Router().Run(gui::ID_EDIT_PALETTE));
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(t.Doc().IsModified()) << "even after Cancel";
    EXPECT_EQ(t.Doc().m_palette, DefaultPalette());

    t.dialogs.modal = [](QDialog& d) {
        auto& editor = static_cast<CPaletteEditorDlg&>(d);
        editor.Grid()->Working().SetEntry(0, RgbQuad{0, 0, 200, 0});
        editor.accept();
        return QDialog::Accepted;
    };
    ASSERT_TRUE(t.Frame().Router().Run(gui::ID_EDIT_PALETTE));
    EXPECT_EQ(t.Doc().m_palette.Entry(0), (RgbQuad{0, 0, 200, 0}));
    EXPECT_EQ(t.Doc().m_pPalette.Get()->entries[0].peRed, 200);
    // The unrendered picture is all index 0: the view shows the new colour at once.
    const QImage shown = t.View().grab().toImage();
    EXPECT_EQ(QColor(shown.pixel(4, shown.height() - 4)), QColor(200, 0, 0));
}
