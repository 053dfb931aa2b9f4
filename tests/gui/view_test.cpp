// The view: the drag box and the zoom commands it feeds, Configure, drawing
// the picture, and copying it, driven by mouse events and commands offscreen.
#include <QApplication>
#include <QClipboard>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QWheelEvent>

#include "GuiFixture.h"
#include "commands/CommandIds.h"
#include "dialogs/LocationDialog.h"
#include "dialogs/SettingsDialog.h"
#include "commands/CommandRouter.h"
#include "rendering/PictureImage.h"
#include "geometry/ZoomGeometry.h"
#include "session/RenderSession.h"

namespace velmora::test {
namespace {

using namespace velmora::gui;

void expectRegion(const FractalParams& p, const PlaneRegion& r) {
    for (auto [got, want] : {std::pair{p.left, r.left}, {p.top, r.top}, {p.right, r.right}, {p.bottom, r.bottom}})
        EXPECT_DOUBLE_EQ(got, want);
}

void wheel(QWidget& w, QPoint at, int delta) {
    QWheelEvent e(at, w.mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                  false);
    QCoreApplication::sendEvent(&w, &e);
}

// A view on its own over a new document, its commands routed.
class ViewTest : public ::testing::Test {
protected:
    ViewTest() {
        doc.onNewDocument();
        view = std::make_unique<FractalView>(session, host);
        controller = std::make_unique<ExploreController>(session, host, dialogs, *view);
        view->setController(controller.get());
        view->connectCommands(router);
        controller->connectCommands(router);
        view->resize(400, 300);
        view->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(view.get()));
    }
    void render() { ASSERT_TRUE(router.run(ID_RENDER)); }
    void drag(QPoint from, QPoint to) {
        QTest::mousePress(view.get(), Qt::LeftButton, Qt::NoModifier, from);
        QTest::mouseMove(view.get(), to);
        QTest::mouseRelease(view.get(), Qt::LeftButton, Qt::NoModifier, to);
    }

    FakeHost host;
    ScriptedDialogs dialogs;
    Document doc{host};
    RenderSession session{doc};
    CommandRouter router;
    std::unique_ptr<FractalView> view;
    std::unique_ptr<ExploreController> controller;
};

TEST_F(ViewTest, DragBoxFeedsZoomInAndZoomOut) {
    const struct { int command; QPoint from, to; PlaneRegion expected; } cases[] = {
        {ID_ZOOM_IN, {100, 75}, {300, 225}, {-1.0, -0.75, 1.0, 0.75}},
        {ID_ZOOM_OUT, {300, 225}, {100, 75}, {-3.0, -2.25, 5.0, 3.75}}};  // drawn backwards: same box
    drag(QPoint(50, 50), QPoint(150, 150));
    EXPECT_EQ(host.beeps, 1) << "nothing to select on before the first render";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        doc.onNewDocument();
        render();
        drag(c.from, c.to);
        QApplication::processEvents();  // the frame's own repaint must not end the selection
        ASSERT_TRUE(router.state(c.command).enabled);
        ASSERT_TRUE(router.run(c.command));
        controller->settle();
        expectRegion(doc.params(), c.expected);
        EXPECT_DOUBLE_EQ(session.engine()->xMin(), c.expected.left) << "rendered with the new region";
        // Rendered, modified, and the selection ended.
        EXPECT_EQ(std::tuple(session.engine()->isValid(), doc.isModified(), router.state(c.command).enabled),
                  std::tuple(true, true, false));
    }
}

TEST_F(ViewTest, LockProportionsCorrectsTheBox) {
    const ClientPoint locked = lockProportionsPoint({100, 100}, {160, 140}, 400.0 / 300.0);
    ASSERT_NE(locked, (ClientPoint{160, 140}));
    const struct { bool locked; QPoint current; } cases[] = {{true, {locked.x, locked.y}}, {false, {160, 140}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.locked);
        doc.onNewDocument();
        render();
        ASSERT_TRUE(router.run(ID_LOCK_PROPORTIONS));  // on, then off again
        EXPECT_EQ(router.state(ID_LOCK_PROPORTIONS).checked, c.locked);
        QTest::mousePress(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
        QTest::mouseMove(view.get(), QPoint(160, 140));
        EXPECT_EQ(view->m_current, c.current);
        // The pointer was moved there, so the release comes there: the box the zoom commands take.
        QTest::mouseRelease(view.get(), Qt::LeftButton, Qt::NoModifier, c.current);
        view->recomputeBox();
        EXPECT_EQ(view->m_box, (PixelRect{100, 100, c.current.x(), c.current.y()}));
    }
}

// Repaints from outside (a menu opened over the view and closed) only draw:
// the box stays for the commands, and a drag in progress keeps its start.
TEST_F(ViewTest, AMenuOverTheViewKeepsTheSelectionAndTheDragStart) {
    render();
    drag(QPoint(100, 75), QPoint(300, 225));
    QMenu menu;
    menu.addAction(QStringLiteral("Zoom In"));
    menu.popup(view->mapToGlobal(QPoint(120, 100)));
    QApplication::processEvents();
    menu.close();
    view->repaint();
    EXPECT_TRUE(router.state(ID_ZOOM_IN).enabled);
    QTest::mousePress(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(120, 90));
    view->repaint();
    QTest::mouseMove(view.get(), QPoint(200, 150));
    QTest::mouseRelease(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(200, 150));
    view->recomputeBox();
    EXPECT_EQ(view->m_box, (PixelRect{120, 90, 200, 150}));
}

// Configure runs the settings dialog through the dialog seam.
TEST_F(ViewTest, ConfigureAcceptedRedrawsAndMarksTheDocumentModified) {
    dialogs.modal = [](QDialog& d) {
        setText(d, gui::SettingsDialog::kIdXPels, QStringLiteral("320"));
        Press(d, 1);
        return d.result();
    };
    render();
    drag(QPoint(100, 75), QPoint(300, 225));
    ASSERT_TRUE(router.run(ID_CONFIGURE));
    // The view was redrawn; a new, blank picture, no render follows.
    EXPECT_EQ(std::tuple(view->hasSelection(), doc.isModified(), session.engine()->width(), session.engine()->isValid()),
              std::tuple(false, true, 320, false));
}

// View > Location shows the centre and width, refuses a width that is no
// number without closing, renders pasted values, and Back returns.
TEST_F(ViewTest, LocationDialogTakesPastedValuesAndBackReturns) {
    const std::string re = "-0.7436438870371587047521915061147742466775";
    QStringList shown;
    dialogs.modal = [&](QDialog& d) {
        for (int id : {LocationDialog::kIdCentreRe, LocationDialog::kIdCentreIm, LocationDialog::kIdWidth})
            shown << control<QLineEdit>(d, id)->text();
        setText(d, LocationDialog::kIdCentreRe, QString::fromStdString(" " + re + "\n"));
        setText(d, LocationDialog::kIdWidth, QStringLiteral("1e-3O"));
        Press(d, LocationDialog::kIdOk);
        EXPECT_EQ(d.result(), QDialog::Rejected);
        setText(d, LocationDialog::kIdWidth, QStringLiteral("1e-30"));
        Press(d, LocationDialog::kIdOk);
        return d.result();
    };
    host.allowMessages = true;
    const FractalParams before = doc.params();
    ASSERT_TRUE(router.run(ID_VIEW_LOCATION));
    controller->settle();
    EXPECT_EQ(shown, QStringList({"0", "0", "4"}));
    EXPECT_EQ(host.messages.size(), 1u);
    ExactLocation want;
    ASSERT_EQ(edgesFromCentre({re, "0", "1e-30"}, 300, 300, want), CentreWidthFault::None);
    EXPECT_EQ(std::tuple(doc.params().exact.left, doc.params().exact.bottom, doc.isModified(), session.engine()->isValid()),
              std::tuple(want.left, want.bottom, true, true));
    ASSERT_TRUE(router.run(ID_NAV_BACK));
    EXPECT_EQ(doc.params(), before);
}

TEST_F(ViewTest, ACopyThatFailsLeavesTheClipboardAloneAndCopyTakesThePictureOrTheSelection) {
    QGuiApplication::clipboard()->setText(QStringLiteral("kept"));
    doc.setResolution(0, 10);  // a picture without pixels gives no image
    host.allowMessages = true;
    ASSERT_TRUE(router.run(ID_EDIT_COPY));
    EXPECT_EQ(std::tuple(host.lastText(), QGuiApplication::clipboard()->text()),
              std::tuple("Could not create image.", QStringLiteral("kept")));

    doc.setResolution(300, 300);
    render();
    ASSERT_TRUE(router.run(ID_EDIT_COPY));
    const QImage whole = QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(whole, wholePicture(*session.engine(), doc.palette()).convertToFormat(QImage::Format_RGB32));
    drag(QPoint(301, 201), QPoint(100, 100));
    ASSERT_TRUE(router.run(ID_EDIT_COPY));
    const PixelRect r = mapSelectionToPicture(PixelRect{100, 100, 301, 201}, 400, 300, 300, 300);
    EXPECT_EQ(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32),
              whole.copy(r.left, r.top, r.width(), r.height())) << "the box mapped onto the picture";
}

// Half notches add up to a zoom about the cursor; a middle drag shows the
// picture shifted and pans on release; each renders, marks the document
// modified and can be gone back from.
TEST_F(ViewTest, WheelZoomsAboutTheCursorAndAMiddleDragPans) {
    render();
    for (const bool whole : {false, true}) {
        wheel(*view, QPoint(100, 75), 60);
        EXPECT_EQ(doc.params().left == -2.0, !whole) << "a notch is 120";
    }
    const PlaneRegion zoomed = wheelZoomRegion({-2, -1.5, 2, 1.5}, {100, 75}, 1, 400, 300).value();
    controller->settle();
    expectRegion(doc.params(), zoomed);
    EXPECT_EQ(std::tuple(session.engine()->xMin(), session.engine()->isValid(), doc.isModified()),
              std::tuple(zoomed.left, true, true));
    QTest::mousePress(view.get(), Qt::MiddleButton, Qt::NoModifier, QPoint(200, 150));
    QTest::mouseMove(view.get(), QPoint(240, 130));
    const RgbQuad blank = doc.palette().entry(0);  // the uncovered strip
    EXPECT_EQ(view->grab().toImage().pixelColor(10, 140), QColor(blank.red, blank.green, blank.blue));
    QTest::mouseRelease(view.get(), Qt::MiddleButton, Qt::NoModifier, QPoint(240, 130));
    controller->settle();
    expectRegion(doc.params(), panRegion(zoomed, 40, -20, 400, 300).value());
    EXPECT_DOUBLE_EQ(session.engine()->xMin(), doc.params().left) << "rendered on release";
    ASSERT_TRUE(router.run(ID_NAV_BACK));
    expectRegion(doc.params(), zoomed);
}

// Notches that come while the view renders add up, each about the cursor, and
// the old picture is shown scaled into the new place before the render ends;
// the history keeps the place the burst began at.
TEST_F(ViewTest, QuickNotchesDuringARenderAddUpAndShowAtOnce) {
    render();
    const QImage before = view->grab().toImage();
    const FractalParams start = doc.params();
    for (int i = 0; i < 4; ++i) wheel(*view, QPoint(100, 75), 120);
    ASSERT_TRUE(controller->isViewRendering());
    expectRegion(doc.params(), wheelZoomRegion({-2, -1.5, 2, 1.5}, {100, 75}, 4, 400, 300).value());
    // View pixel (x, y) now shows the old pixel 100 + (x - 100) / 16, 75 + (y - 75) / 16.
    const QImage preview = view->grab().toImage();
    for (const int k : {-6, -1, 0, 3, 14})
        for (const int j : {-4, 0, 5})
            EXPECT_EQ(preview.pixel(107 + 16 * k, 82 + 16 * j), before.pixel(100 + k, 75 + j)) << k << "," << j;
    controller->settle();
    EXPECT_EQ(std::tuple(session.engine()->xMin(), session.engine()->isValid()), std::tuple(doc.params().left, true));
    ASSERT_TRUE(router.run(ID_NAV_BACK));
    EXPECT_EQ(doc.params(), start);
}

// Smooth colouring over a picture drawn without samples shows it as drawn
// before, stretched as ever, until a render keeps them.
TEST_F(ViewTest, SmoothWithoutSamplesShowsThePictureAsBefore) {
    render();
    const QImage before = view->grab().toImage();
    view->setSmooth(true);
    EXPECT_EQ(view->grab().toImage(), before);
    render();
    EXPECT_NE(view->grab().toImage(), before) << "rendered with the samples";
}

// A held right button zooms in about the pointer until released (Ctrl or
// Shift: out), at the rate set in the settings.
TEST_F(ViewTest, AHeldRightButtonZoomsUntilReleased) {
    render();
    dialogs.modal = [](QDialog& d) {
        d.findChild<QDoubleSpinBox*>(QStringLiteral("heldZoomRate"))->setValue(4.0);
        Press(d, SettingsDialog::kIdOk);
        return d.result();
    };
    ASSERT_TRUE(router.run(ID_CONFIGURE));
    EXPECT_EQ(view->heldZoomRate(), 4.0);
    for (const Qt::KeyboardModifier modifier : {Qt::NoModifier, Qt::ControlModifier, Qt::ShiftModifier}) {
        SCOPED_TRACE(modifier);
        const double width = doc.params().right - doc.params().left;
        QTest::mousePress(view.get(), Qt::RightButton, modifier, QPoint(200, 150));
        QTest::qWait(4 * FractalView::kHeldZoomTickMs);
        const double held = doc.params().right - doc.params().left;
        EXPECT_TRUE(modifier == Qt::NoModifier ? held < width : held > width) << held << " from " << width;
        QTest::qWait(4 * FractalView::kHeldZoomTickMs);
        const double longer = doc.params().right - doc.params().left;
        EXPECT_TRUE(modifier == Qt::NoModifier ? longer < held : longer > held) << "it goes on while held";
        QTest::mouseRelease(view.get(), Qt::RightButton, modifier, QPoint(200, 150));
        const FractalParams released = doc.params();
        QTest::qWait(4 * FractalView::kHeldZoomTickMs);
        controller->settle();
        EXPECT_EQ(doc.params(), released) << "it stops on release";
        EXPECT_EQ(std::tuple(session.engine()->xMin(), session.engine()->isValid()), std::tuple(released.left, true));
    }
}

TEST(Navigation, AltLeftAndAltRightStepThroughTheMainWindow) {
    StartedApp t;
    EXPECT_FALSE(t.enabled(ID_NAV_BACK));
    wheel(t.view(), QPoint(10, 10), -120);
    const auto altKey = [&](Qt::Key key) {
        ASSERT_TRUE(QTest::qWaitForWindowActive(&t.frame())) << "the render gives the focus back";
        QTest::keyClick(&t.view(), key, Qt::AltModifier);
    };
    const double zoomedLeft = t.makeDoc().params().left;
    EXPECT_EQ(std::pair(t.enabled(ID_NAV_BACK), t.enabled(ID_NAV_FORWARD)), std::pair(true, false));
    EXPECT_EQ(t.frame().findChild<QLabel*>(QStringLiteral("ZoomDepth"))->text(), QStringLiteral("Zoom 0.5"));
    altKey(Qt::Key_Left);
    EXPECT_EQ(std::tuple(t.makeDoc().params().left, t.enabled(ID_NAV_BACK), t.enabled(ID_NAV_FORWARD)),
              std::tuple(-2.0, false, true));
    altKey(Qt::Key_Right);
    EXPECT_EQ(t.makeDoc().params().left, zoomedLeft);
}

}  // namespace
}  // namespace velmora::test
