// The drag box over the view, the zoom commands and Configure, driven by mouse
// events and commands on the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "FakeHost.h"
#include "GuiFixture.h"
#include "app/CommandIds.h"
#include "app/CommandRouter.h"
#include "model/VelmoraDoc.h"
#include "render/CVelmoraView.h"

namespace velmora::test {
namespace {

using namespace velmora::gui;

// A view on its own, sized as the examples want, with its commands routed.
class ZoomView : public ::testing::Test {
protected:
    ZoomView() : doc(host) {
        doc.OnNewDocument();
        view = std::make_unique<CVelmoraView>(doc, host, dialogs);
        view->ConnectCommands(router);
        Show(400, 300);
    }

    void Show(int w, int h) {
        view->resize(w, h);
        view->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
        QApplication::processEvents();
    }
    void Render() { ASSERT_TRUE(router.Run(ID_RENDER)); }

    void Drag(QPoint from, std::initializer_list<QPoint> through, QPoint to) {
        QTest::mousePress(view.get(), Qt::LeftButton, Qt::NoModifier, from);
        for (const QPoint& p : through) QTest::mouseMove(view.get(), p);
        QTest::mouseMove(view.get(), to);
        QTest::mouseRelease(view.get(), Qt::LeftButton, Qt::NoModifier, to);
    }
    bool Enabled(int id) const { return router.State(id).enabled; }

    FakeHost host;
    ScriptedDialogs dialogs;
    CVelmoraDoc doc;
    CommandRouter router;
    std::unique_ptr<CVelmoraView> view;
};

TEST_F(ZoomView, ShowsTheCrossCursor) { EXPECT_EQ(view->cursor().shape(), Qt::CrossCursor); }

TEST_F(ZoomView, PressBeforeAnyRenderOnlyBeeps) {
    QTest::mousePress(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
    EXPECT_EQ(host.beeps, 1);
    EXPECT_FALSE(view->m_bDragging);
    QTest::mouseMove(view.get(), QPoint(150, 150));
    QTest::mouseRelease(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(150, 150));
    EXPECT_FALSE(view->HasSelection());
    EXPECT_FALSE(Enabled(ID_ZOOM_IN));
}

TEST_F(ZoomView, DragLeavesASelectionThatOutlivesOverlayPaints) {
    Render();
    QTest::mousePress(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(300, 225));
    EXPECT_TRUE(view->m_bDragging);
    QTest::mouseMove(view.get(), QPoint(200, 150));
    EXPECT_EQ(view->m_rectLast, (PixelRect{200, 150, 300, 225}));
    EXPECT_FALSE(view->HasSelection());  // not while the button is down
    EXPECT_FALSE(Enabled(ID_ZOOM_OUT));
    QTest::mouseMove(view.get(), QPoint(100, 75));
    QTest::mouseRelease(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 75));
    QApplication::processEvents();  // the frame's own repaint must not end it
    EXPECT_TRUE(view->HasSelection());
    view->RecomputeBox();
    EXPECT_EQ(view->m_rectBox, (PixelRect{100, 75, 300, 225}));
    EXPECT_EQ(view->m_rectLast, view->m_rectBox);
    EXPECT_TRUE(Enabled(ID_ZOOM_IN));
    EXPECT_TRUE(Enabled(ID_ZOOM_OUT));
}

TEST_F(ZoomView, FrameIsDrawnOverThePicture) {
    Render();
    const QImage before = view->grab().toImage();
    Drag(QPoint(100, 75), {}, QPoint(300, 225));
    // An overlay paint draws the frame over the cached picture.
    view->UpdateOverlay();
    const QImage after = view->grab().toImage();
    EXPECT_NE(after.pixel(200, 75), before.pixel(200, 75));    // top edge
    EXPECT_NE(after.pixel(100, 150), before.pixel(100, 150));  // left edge
    EXPECT_EQ(after.pixel(200, 150), before.pixel(200, 150));  // inside untouched
}

TEST_F(ZoomView, ClickOrLineSelectsNothing) {
    Render();
    Drag(QPoint(120, 80), {}, QPoint(120, 80));
    EXPECT_FALSE(view->HasSelection());
    EXPECT_FALSE(router.Run(ID_ZOOM_IN));  // disabled: does nothing
    Drag(QPoint(120, 80), {QPoint(160, 80)}, QPoint(200, 80));
    EXPECT_FALSE(view->HasSelection());
    EXPECT_FALSE(router.Run(ID_ZOOM_OUT));
    EXPECT_EQ(doc.m_params.left, -2.0);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(ZoomView, ZoomInRendersTheBoxAndEndsTheSelection) {
    Render();
    Drag(QPoint(100, 75), {QPoint(200, 100)}, QPoint(300, 225));
    ASSERT_TRUE(router.Run(ID_ZOOM_IN));
    EXPECT_DOUBLE_EQ(doc.m_params.left, -1.0);
    EXPECT_DOUBLE_EQ(doc.m_params.top, -0.75);
    EXPECT_DOUBLE_EQ(doc.m_params.right, 1.0);
    EXPECT_DOUBLE_EQ(doc.m_params.bottom, 0.75);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_TRUE(doc.m_pEngine->IsValid());
    EXPECT_DOUBLE_EQ(doc.m_pEngine->GetXMin(), -1.0);  // rendered with the new region
    EXPECT_FALSE(view->HasSelection());
    EXPECT_EQ(view->m_rectLast, PixelRect{});
    EXPECT_FALSE(Enabled(ID_ZOOM_IN));
}

TEST_F(ZoomView, ZoomOutExample) {
    Render();
    Drag(QPoint(300, 225), {}, QPoint(100, 75));  // drawn backwards: same box
    ASSERT_TRUE(router.Run(ID_ZOOM_OUT));
    EXPECT_DOUBLE_EQ(doc.m_params.left, -3.0);
    EXPECT_DOUBLE_EQ(doc.m_params.top, -2.25);
    EXPECT_DOUBLE_EQ(doc.m_params.right, 5.0);
    EXPECT_DOUBLE_EQ(doc.m_params.bottom, 3.75);
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(ZoomView, DragPointStaysOnTheView) {
    Render();
    QTest::mousePress(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(200, 150));
    QTest::mouseMove(view.get(), QPoint(-60, 900));
    EXPECT_EQ(view->m_ptCurrent, QPoint(0, 300));
    QTest::mouseRelease(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(700, -8));
    EXPECT_EQ(view->m_ptCurrent, QPoint(400, 0));
    EXPECT_TRUE(view->HasSelection());
}

TEST_F(ZoomView, LockProportionsCorrectsTheDrag) {
    Show(400, 320);
    Render();
    EXPECT_DOUBLE_EQ(view->ClientAspect(), 1.25);
    EXPECT_FALSE(router.State(ID_LOCK_PROPORTIONS).checked);
    ASSERT_TRUE(router.Run(ID_LOCK_PROPORTIONS));
    EXPECT_TRUE(router.State(ID_LOCK_PROPORTIONS).checked);

    QTest::mousePress(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
    QTest::mouseMove(view.get(), QPoint(160, 140));
    EXPECT_EQ(view->m_ptCurrent, QPoint(160, 148));
    QTest::mouseMove(view.get(), QPoint(150, 160));
    EXPECT_EQ(view->m_ptCurrent, QPoint(175, 160));
    QTest::mouseMove(view.get(), QPoint(150, 60));  // up-right turns down-right
    EXPECT_EQ(view->m_ptCurrent, QPoint(150, 140));
    // The pointer stands on the corrected point when the button comes up.
    QTest::mouseRelease(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(150, 140));
    view->RecomputeBox();
    EXPECT_EQ(view->m_rectBox, (PixelRect{100, 100, 150, 140}));
    // A new press starts where it is, whatever the old anchor was.
    QTest::mousePress(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(300, 50));
    EXPECT_EQ(view->m_ptAnchor, QPoint(300, 50));
    EXPECT_EQ(view->m_ptCurrent, QPoint(300, 50));
    QTest::mouseRelease(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(300, 50));

    ASSERT_TRUE(router.Run(ID_LOCK_PROPORTIONS));
    EXPECT_FALSE(router.State(ID_LOCK_PROPORTIONS).checked);
    QTest::mousePress(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
    QTest::mouseMove(view.get(), QPoint(160, 140));
    EXPECT_EQ(view->m_ptCurrent, QPoint(160, 140));
    QTest::mouseRelease(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(160, 140));
}

TEST_F(ZoomView, ResizeEndsTheSelection) {
    Render();
    Drag(QPoint(10, 10), {}, QPoint(90, 90));
    ASSERT_TRUE(view->HasSelection());
    view->resize(380, 280);
    QApplication::processEvents();
    view->repaint();
    EXPECT_FALSE(view->HasSelection());
    EXPECT_EQ(view->m_rectLast, PixelRect{});
    EXPECT_DOUBLE_EQ(view->ClientAspect(), 380.0 / 280.0);
}

TEST_F(ZoomView, CollapsedViewDoesNotZoom) {
    Render();
    Drag(QPoint(100, 75), {}, QPoint(300, 225));
    ASSERT_TRUE(view->HasSelection());
    view->resize(0, 300);  // no paint reaches a view of no width
    ASSERT_TRUE(view->HasSelection());
    router.Run(ID_ZOOM_IN);
    router.Run(ID_ZOOM_OUT);
    EXPECT_EQ(doc.m_params.left, -2.0);
    EXPECT_EQ(doc.m_params.bottom, 1.5);
    EXPECT_FALSE(doc.IsModified());
}

// Configure runs the settings dialog through the dialog seam.
TEST_F(ZoomView, ConfigureAcceptedMarksTheDocumentModified) {
    dialogs.modal = [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Fractal Image Settings"));
        d.findChild<QLineEdit*>(QStringLiteral("1013"))->setText(QStringLiteral("99"));
        d.findChild<QLineEdit*>(QStringLiteral("1014"))->setText(QStringLiteral("320"));
        d.findChild<QPushButton*>(QStringLiteral("1"))->click();
        return d.result();
    };
    Render();
    Drag(QPoint(100, 75), {}, QPoint(300, 225));
    ASSERT_TRUE(view->HasSelection());
    ASSERT_TRUE(router.Run(ID_CONFIGURE));
    EXPECT_FALSE(view->HasSelection());  // the view was redrawn
    EXPECT_EQ(doc.m_params.iterations, 100);
    EXPECT_TRUE(doc.IsModified());
    // A new size gives a new, blank picture; no render follows.
    EXPECT_EQ(doc.m_pEngine->GetWidth(), 320);
    EXPECT_FALSE(doc.m_pEngine->IsValid());
}

TEST_F(ZoomView, ConfigureCancelledLeavesTheDocumentUnmodified) {
    host.allowMessages = true;
    dialogs.modal = [](QDialog& d) {
        d.findChild<QLineEdit*>(QStringLiteral("1005"))->setText(QStringLiteral("-1"));
        d.findChild<QLineEdit*>(QStringLiteral("1013"))->setText(QStringLiteral("0"));
        d.findChild<QPushButton*>(QStringLiteral("1"))->click();  // refused
        EXPECT_NE(d.result(), QDialog::Accepted);
        d.findChild<QPushButton*>(QStringLiteral("2"))->click();
        return d.result();
    };
    ASSERT_TRUE(router.Run(ID_CONFIGURE));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].caption, "Iterations");
    EXPECT_EQ(doc.m_params.left, -1.0);  // stored before the check, kept
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(ZoomView, ConfigureOpensThePaletteEditorAndKeepsItsChange) {
    int editors = 0;
    dialogs.modal = [&](QDialog& d) {
        if (d.objectName() == QStringLiteral("Palette Editor")) {
            ++editors;
            d.findChild<QPushButton*>(QStringLiteral("2"))->click();  // editor cancelled
            return d.result();
        }
        QPushButton* button = d.findChild<QPushButton*>(QStringLiteral("32783"));
        EXPECT_TRUE(button->isEnabled());
        button->click();
        d.findChild<QPushButton*>(QStringLiteral("2"))->click();  // settings cancelled
        return d.result();
    };
    ASSERT_TRUE(router.Run(ID_CONFIGURE));
    EXPECT_EQ(editors, 1);
    EXPECT_TRUE(doc.IsModified());  // whatever either dialog returned
}

}  // namespace
}  // namespace velmora::test
