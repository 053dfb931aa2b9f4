#include <QImage>
#include <QPixmap>

#include "GuiFixture.h"
#include "TempDir.h"
#include "render/PictureImage.h"
#include <QClipboard>
#include <QGuiApplication>
#include <QPrinter>

namespace velmora::test {
namespace {

using namespace velmora::gui;

// A view on its own, over a document with a labelled, valid picture.
class ViewDrawingTest : public ::testing::Test {
protected:
    void SetUp() override {
        doc.OnNewDocument();
        view = std::make_unique<CVelmoraView>(doc, host, dialogs);
        doc.SetResolution(300, 300);
    }
    // Makes the picture valid, then labels each pixel by its column or row.
    void Label(bool byColumn) {
        doc.m_params.iterations = 2;  // quick
        doc.RenderImage();
        ASSERT_TRUE(doc.m_pEngine->IsValid());
        FractalEngine& e = *doc.m_pEngine;
        for (int memRow = 0; memRow < e.GetHeight(); ++memRow)
            for (int x = 0; x < e.GetWidth(); ++x)
                e.GetBits()[memRow * e.GetStride() + x] =
                    static_cast<std::uint8_t>((byColumn ? x : e.GetHeight() - 1 - memRow) % 256);
        // Distinct colours, so a blend could not hide.
        for (int i = 0; i < 256; ++i)
            doc.m_palette.SetEntry(i, RgbQuad{static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                                              static_cast<std::uint8_t>((i * 7) % 256), 0});
    }
    QImage Grab() { return view->grab().toImage().convertToFormat(QImage::Format_RGB32); }
    QRgb Colour(int index) {
        const RgbQuad q = doc.m_palette.Entry(static_cast<std::size_t>(index));
        return qRgb(q.red, q.green, q.blue);
    }

    FakeHost host;
    ScriptedDialogs dialogs;
    CVelmoraDoc doc{host};
    std::unique_ptr<CVelmoraView> view;
};

TEST_F(ViewDrawingTest, StretchesEveryColumnToTwoWholePixelsAt600x450) {
    Label(true);
    view->resize(600, 450);
    const QImage img = Grab();
    ASSERT_EQ(img.size(), QSize(600, 450));
    for (int y : {0, 1, 200, 449}) {
        for (int x = 0; x < 600; ++x) ASSERT_EQ(img.pixel(x, y), Colour((x / 2) % 256)) << x << "," << y;
    }
}

TEST_F(ViewDrawingTest, StretchesRowsWholeAt600x450) {
    Label(false);
    view->resize(600, 450);
    const QImage img = Grab();
    // Each output row shows one whole source row, in order, none skipped.
    int expected = 0;
    for (int y = 0; y < 450; ++y) {
        const QRgb c = img.pixel(0, y);
        for (int x = 1; x < 600; x += 37) ASSERT_EQ(img.pixel(x, y), c) << "row " << y << " is not one source row";
        if (c != Colour(expected % 256)) {
            ++expected;
            ASSERT_EQ(c, Colour(expected % 256)) << "row " << y;
        }
    }
    EXPECT_EQ(expected, 299);
}

TEST_F(ViewDrawingTest, AnInvalidPictureShowsTheNoticeOverIndexZero) {
    view->resize(400, 300);
    const QImage img = Grab();
    const RgbQuad q0 = doc.m_palette.Entry(0);
    const QRgb zero = qRgb(q0.red, q0.green, q0.blue);
    EXPECT_EQ(img.pixel(2, 2), zero);
    EXPECT_EQ(img.pixel(397, 297), zero);
    // The centre line holds white text on black.
    bool white = false, black = false;
    for (int x = 100; x < 300; ++x) {
        for (int y = 140; y < 160; ++y) {
            white = white || img.pixel(x, y) == qRgb(255, 255, 255);
            black = black || img.pixel(x, y) == qRgb(0, 0, 0);
        }
    }
    EXPECT_TRUE(white);
    EXPECT_TRUE(black);
}

TEST_F(ViewDrawingTest, ResizingRedrawsWithoutRenderingAndEndsTheSelection) {
    Label(true);
    view->resize(600, 450);
    Grab();
    EXPECT_DOUBLE_EQ(view->ClientAspect(), 600.0 / 450.0);
    view->m_ptAnchor = QPoint(10, 10);
    view->m_ptCurrent = QPoint(50, 60);
    ASSERT_TRUE(view->HasSelection());
    const int polls = host.polls;
    view->resize(300, 600);
    const QImage img = Grab();
    EXPECT_EQ(host.polls, polls) << "no render";
    EXPECT_FALSE(view->HasSelection());
    EXPECT_DOUBLE_EQ(view->ClientAspect(), 0.5);
    EXPECT_EQ(img.pixel(299, 0), Colour(299 % 256));
}

TEST_F(ViewDrawingTest, EveryDrawRebuildsTheExportHeaderWithTheShownPalette) {
    Label(true);
    view->resize(100, 100);
    Grab();
    ASSERT_NE(doc.m_pEngine->GetBitmapInfo(), nullptr);
    EXPECT_EQ(PaletteOfHeader(*doc.m_pEngine->GetBitmapInfo()), doc.m_palette);
    doc.m_palette.SetEntry(3, RgbQuad{9, 9, 9, 0});
    view->RedrawNow();
    Grab();
    EXPECT_EQ(PaletteOfHeader(*doc.m_pEngine->GetBitmapInfo()).Entry(3), (RgbQuad{9, 9, 9, 0}));
}

TEST_F(ViewDrawingTest, CopyPutsThePictureWithItsColoursOnTheClipboard) {
    Label(true);
    view->resize(600, 600);
    Grab();
    view->OnEditCopy();
    const QImage whole = QGuiApplication::clipboard()->image();
    ASSERT_EQ(whole.size(), QSize(300, 300));
    EXPECT_EQ(whole.pixel(123, 5), Colour(123));

    // A selection (as the drag box leaves it) copies only its part.
    view->m_ptAnchor = QPoint(301, 201);
    view->m_ptCurrent = QPoint(100, 100);
    ASSERT_TRUE(view->HasSelection());
    view->OnEditCopy();
    const QImage part = QGuiApplication::clipboard()->image();
    ASSERT_EQ(part.size(), QSize(100, 50));
    EXPECT_EQ(part.pixel(0, 0), Colour(50));
    EXPECT_EQ(part.pixel(99, 49), Colour(149));
}

TEST_F(ViewDrawingTest, PrintingPutsThePictureTopLeftAsLargeAsFits) {
    Label(true);
    QPrinter printer(QPrinter::HighResolution);
    TempDir dir;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(dir.File("out.pdf")));
    ASSERT_TRUE(view->PrintDocument(printer));
    const auto bytes = ReadBytes(dir.File("out.pdf"));
    ASSERT_GT(bytes.size(), 100u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 5), "%PDF-");
}

}  // namespace
}  // namespace velmora::test
