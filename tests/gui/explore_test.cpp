// Exploring from the main window: the Julia preview following the mouse, Fit
// Picture to Window after a resize, and a bookmark added and gone to.
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QTest>

#include "GuiFixture.h"
#include "commands/CommandIds.h"
#include "dialogs/BookmarkDialogs.h"
#include "geometry/ExactZoom.h"
#include "geometry/FitToWindow.h"
#include "engine/FractalEngine.h"
#include "engine/SmoothPicture.h"
#include "rendering/PreviewRenderer.h"
#include "shell/BookmarksMenu.h"
#include "view/JuliaPreview.h"
#include "rendering/PictureImage.h"
#include "session/RenderSession.h"

namespace velmora::test {
namespace {

using namespace velmora::gui;

PlaneRegion regionOf(const FractalParams& p) { return {p.left, p.top, p.right, p.bottom}; }

class Explore : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&t.frame()));
        ASSERT_TRUE(t.frame().dispatch(ID_RENDER));
    }
    Document& doc() { return t.makeDoc(); }
    RenderSession& session() { return t.session(); }
    StartedApp t;
};

// Quick moves over the view: the picture and the text answer the last one,
// at the capped Detail Level; a double-click makes it the document, and Back
// returns to the Mandelbrot set.
TEST_F(Explore, ThePreviewShowsTheLatestPositionAndADoubleClickUsesIt) {
    JuliaPreview& preview = *t.frame().juliaPreview();
    EXPECT_TRUE(preview.isHidden()) << "hidden until asked for";
    ASSERT_TRUE(t.frame().dispatch(ID_VIEW_JULIA_PREVIEW));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&preview));
    QTest::qWait(50);  // the dock takes its room from the view
    doc().editParams([&](FractalParams& p) { p.iterations = 5001; });  // above the preview's cap
    FractalView& view = t.view();
    std::uint64_t answered = 0;
    int pictures = 0;
    QObject::connect(&preview.renderer(), &PreviewRenderer::rendered, [&](const QImage&, std::uint64_t r) {
        answered = r;
        ++pictures;
    });
    const QPoint last(view.width() / 3, view.height() / 4);
    for (const QPoint at : {QPoint(5, 5), QPoint(view.width() - 5, 40), QPoint(60, view.height() - 9), last})
        QTest::mouseMove(&view, at);
    const std::uint64_t latest = preview.renderer().latestRequest();
    ASSERT_GE(latest, 4u);
    ASSERT_TRUE(QTest::qWaitFor([&] { return answered == latest; }, 2000));
    QTest::qWait(50);
    EXPECT_EQ(answered, latest) << "nothing older arrives after the latest";

    const PlanePoint c = planePointAt(regionOf(doc().params()), {last.x(), last.y()}, view.width(), view.height()).value();
    EXPECT_EQ(std::pair(preview.shownReal(), preview.shownImag()), std::pair(c.x, c.y));
    const QString label = preview.findChild<QLabel*>(QStringLiteral("JuliaPreviewConstant"))->text();
    EXPECT_TRUE(label.contains(QString::number(c.x, 'g', 10)) && label.contains(QString::number(std::abs(c.y), 'g', 10)))
        << label.toStdString();
    // The whole set at the picture's proportions, not stretched into them.
    const int w = preview.picture().width(), h = preview.picture().height();
    const PlaneRegion r = regionAround({-2, -1.5, 2, 1.5}, w, h).value();
    FractalEngine reference(w, h);
    ASSERT_EQ(reference.render({r.left, r.top, r.right, r.bottom, FractalType::Julia, c.x, c.y,
                                JuliaPreview::kMaxDetailLevel + 1, 0, 0, {}}),
              RenderOutcome::Done);
    EXPECT_EQ(preview.picture(), wholePicture(reference, doc().palette()));

    // A render under way is cancelled by the next request: a parabolic Julia
    // set that would take hours gives way at once, and only the newer answers.
    FractalParams slow;
    std::tie(slow.type, slow.cReal, slow.cImag, slow.iterations, slow.width, slow.height) =
        std::tuple(FractalType::Julia, 0.25, 0.0, 2'000'000'000, 400, 400);
    preview.renderer().request(slow, doc().palette());
    QTest::qWait(30);
    FractalParams quick = slow;
    std::tie(quick.iterations, quick.width) = std::pair(50, 40);
    preview.renderer().request(quick, doc().palette());
    pictures = 0;
    ASSERT_TRUE(QTest::qWaitFor([&] { return pictures == 1; }, 2000));
    QTest::qWait(50);
    EXPECT_EQ(pictures, 1);
    EXPECT_EQ(preview.picture().size(), QSize(40, 400));

    QTest::mouseDClick(preview.findChild<QWidget*>(QStringLiteral("JuliaPreviewPicture")), Qt::LeftButton);
    const FractalParams& p = doc().params();
    EXPECT_EQ(std::tuple(p.type, p.cReal, p.cImag, p.left, p.top, p.right, p.bottom),
              std::tuple(FractalType::Julia, c.x, c.y, -2.0, -1.5, 2.0, 1.5));
    EXPECT_TRUE(session().engine()->isValid()) << "rendered";
    ASSERT_TRUE(t.frame().dispatch(ID_NAV_BACK));
    EXPECT_EQ(doc().params().type, FractalType::Mandelbrot);
}

// On: the picture takes the view's size at once and again once a resize has
// settled, the region keeping its centre and width; the choice is saved.
TEST_F(Explore, FitPictureToWindowFollowsASettledResize) {
    FractalView& view = t.view();
    const PlaneRegion before = regionOf(doc().params());
    ASSERT_TRUE(t.frame().dispatch(ID_VIEW_FIT_TO_WINDOW));
    EXPECT_EQ(std::tuple(doc().width(), doc().height(), doc().isModified()), std::tuple(view.width(), view.height(), false));
    const PlaneRegion fitted = fitRegionToClient(before, view.width(), view.height()).value();
    EXPECT_EQ(std::pair(doc().params().top, doc().params().bottom), std::pair(fitted.top, fitted.bottom));

    t.frame().resize(t.frame().width() + 120, t.frame().height() + 40);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.width() != doc().width(); }, 2000));
    QTest::qWait(ExploreController::kFitSettleMs / 3);
    EXPECT_NE(doc().width(), view.width()) << "not before the size settles";
    ASSERT_TRUE(QTest::qWaitFor([&] { return doc().width() == view.width(); }, 2000));
    t.frame().controller().settle();
    EXPECT_EQ(doc().height(), view.height());
    const PlaneRegion refitted = fitRegionToClient(fitted, view.width(), view.height()).value();
    EXPECT_EQ(std::tuple(doc().params().left, doc().params().top, doc().params().right, doc().params().bottom),
              std::tuple(refitted.left, refitted.top, refitted.right, refitted.bottom));
    EXPECT_TRUE(session().engine()->isValid());
    EXPECT_EQ(view.grab().toImage().convertToFormat(QImage::Format_RGB32),
              wholePicture(*session().engine(), doc().palette()).convertToFormat(QImage::Format_RGB32))
        << "drawn pixel for pixel";

    auto settings = Application::openSettings();
    const QSize size = t.frame().size();
    t.frame().saveBarState(*settings);
    EXPECT_TRUE(settings->value(QStringLiteral("Settings-Summary/FitPictureToWindow")).toBool());
    t.frame().resize(size + QSize(50, 30));
    t.frame().loadBarState(*settings);
    EXPECT_EQ(t.frame().size(), size) << "the window's size comes back";
}

// + and - zoom by 2 about the middle of the picture, as a notch there would;
// F1 and Ctrl+Q reach the help and Exit.
TEST_F(Explore, KeysZoomAboutTheCentreAndReachHelpAndExit) {
    const double width = doc().params().right - doc().params().left;
    ASSERT_TRUE(t.frame().dispatch(ID_ZOOM_IN_CENTRE));
    EXPECT_DOUBLE_EQ(doc().params().right - doc().params().left, width / 2);
    ASSERT_TRUE(t.frame().dispatch(ID_ZOOM_OUT_CENTRE) && t.frame().dispatch(ID_ZOOM_OUT_CENTRE));
    EXPECT_DOUBLE_EQ(doc().params().right - doc().params().left, width * 2);
    EXPECT_EQ(std::pair(t.frame().action(ID_HELP)->shortcut(), t.frame().action(ID_APP_EXIT)->shortcut()),
              std::pair(QKeySequence(Qt::Key_F1), QKeySequence(Qt::CTRL | Qt::Key_Q)));
    EXPECT_TRUE(t.frame().action(ID_ZOOM_IN_CENTRE)->shortcuts().contains(QKeySequence(Qt::Key_Plus)));
    // The status bar follows the point under the mouse.
    QTest::mouseMove(&t.view(), QPoint(1, 2));
    const QString shown = t.frame().findChild<QLabel*>(QStringLiteral("PointUnderMouse"))->text();
    const auto point = pointUnder(doc().params(), {1, 2}, t.view().width(), t.view().height()).value();
    EXPECT_EQ(shown.toStdString(), "Re " + point.re + ", Im " + point.im);
}

// Add Bookmark names the place through the dialogs; its item goes back there
// as a step Back undoes; Manage Bookmarks renames it in the settings, and the
// lines the list cannot read are counted and written back untouched.
TEST_F(Explore, ABookmarkIsAddedAndGoneTo) {
    const QString unreadable = QStringLiteral("junk\r\nS\t1\t0\t0\t1\t1\t0\t0\t2147483647\n");
    Application::openSettings()->setValue(QStringLiteral("Bookmarks/List"), unreadable);
    doc().editParams([&](FractalParams& p) { p.iterations = 1073741824; });
    t.host.allowMessages = true;
    ASSERT_TRUE(t.frame().dispatch(ID_BOOKMARK_ADD)) << "refused before any name is asked";
    EXPECT_NE(t.host.lastText().find("1073741822"), std::string::npos);
    doc().editParams([&](FractalParams& p) { p.iterations = 77; });
    const FractalParams there = doc().params();
    t.dialogs.modal = [](QDialog& d) {
        auto& name = dynamic_cast<BookmarkNameDialog&>(d);
        name.edit()->setText(QStringLiteral("  Seahorse & co "));
        return int(QDialog::Accepted);
    };
    EXPECT_FALSE(t.enabled(ID_BOOKMARK_MANAGE)) << "nothing to manage yet";
    ASSERT_TRUE(t.frame().dispatch(ID_BOOKMARK_ADD));
    BookmarksMenu& menu = *t.frame().bookmarks();
    ASSERT_NE(menu.item(0), nullptr);
    EXPECT_EQ(menu.item(0)->text(), QStringLiteral("Seahorse && co"));
    EXPECT_TRUE(menu.unreadableNote()->isVisible() && !menu.unreadableNote()->isEnabled());
    EXPECT_EQ(menu.unreadableNote()->text(), QStringLiteral("2 bookmarks could not be read"));

    FractalParams elsewhere = there;
    elsewhere.left = -0.8;
    elsewhere.iterations = 300;
    t.frame().controller().changeAndRender(elsewhere);
    t.frame().controller().settle();
    menu.item(0)->trigger();
    t.frame().controller().settle();
    EXPECT_EQ(std::tuple(doc().params().left, doc().params().iterations, session().engine()->xMin()),
              std::tuple(there.left, 77, there.left));
    ASSERT_TRUE(t.frame().dispatch(ID_NAV_BACK));
    EXPECT_EQ(doc().params().left, -0.8);

    t.dialogs.modal = [](QDialog& d) {
        dynamic_cast<ManageBookmarksDialog&>(d).list()->item(0)->setText(QStringLiteral("Valley"));
        return int(QDialog::Accepted);
    };
    ASSERT_TRUE(t.frame().dispatch(ID_BOOKMARK_MANAGE));
    const QString text = Application::openSettings()->value(QStringLiteral("Bookmarks/List")).toString();
    EXPECT_TRUE(text.endsWith(QStringLiteral("\n") + unreadable)) << text.toStdString();
    const auto stored = bookmarksFromText(text.toStdString());
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].name, "Valley");
    EXPECT_EQ(stored[0].location.iterations, 77);
}

// View > Smooth Colouring draws the picture again with its smooth samples;
// Copy takes what is shown, and so does Export's first choice.
TEST_F(Explore, SmoothColouringIsShownCopiedAndOffered) {
    int smoothRows = 0;  // true-colour rows with colour in them, as the render goes
    QObject::connect(&t.frame().controller(), &ExploreController::viewRowsDone,
            [&](int first, int end, const QByteArray& rows, bool trueColour) {
                if (trueColour && rows.count(char(0)) < rows.size() / 2) smoothRows += end - first;
            });
    ASSERT_TRUE(t.frame().dispatch(ID_VIEW_SMOOTH_COLOURING));
    t.frame().controller().settle();
    ASSERT_TRUE(t.frame().router().state(ID_VIEW_SMOOTH_COLOURING).checked);
    const FractalEngine& engine = *session().engine();
    ASSERT_TRUE(engine.hasSmooth()) << "rendered again to keep the samples";
    EXPECT_GT(smoothRows, 0) << "rows shown smooth as they finish";
    QImage smooth(engine.width(), engine.height(), QImage::Format_RGB32);
    ASSERT_TRUE(smoothPicture(engine, doc().palette(), doc().colourSpread(), smooth.bits(),
                              static_cast<std::size_t>(smooth.bytesPerLine())));
    const auto copied = [&] {
        EXPECT_TRUE(t.frame().dispatch(ID_EDIT_COPY));
        return QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32);
    };
    EXPECT_EQ(copied(), smooth);
    EXPECT_NE(smooth, wholePicture(engine, doc().palette()).convertToFormat(QImage::Format_RGB32));
    bool offered = false;
    t.dialogs.modal = [&](QDialog& d) {
        offered = d.findChild<QCheckBox*>(QStringLiteral("exportSmooth"))->isChecked();
        return int(QDialog::Rejected);
    };
    ASSERT_TRUE(t.frame().dispatch(ID_FILE_EXPORTIMAGE));
    EXPECT_TRUE(offered);
    ASSERT_TRUE(t.frame().dispatch(ID_VIEW_SMOOTH_COLOURING));
    EXPECT_EQ(copied(), wholePicture(engine, doc().palette()).convertToFormat(QImage::Format_RGB32));
}

}  // namespace
}  // namespace velmora::test
