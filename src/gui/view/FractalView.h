#pragma once
// The view: shows the document's picture stretched over its whole client area
// and turns the box, the wheel and pans into requests to the controller; it
// copies the picture or the box. The drag box is drawn by drawOverlay and asked for with updateOverlay(), so
// the selection survives (a full redraw ends it); the view's commands are
// registered in connectCommands.
#include <QCursor>
#include <QElapsedTimer>
#include <QImage>
#include <QPoint>
#include <QSize>
#include <QWidget>
#include <optional>

#include "control/ExploreController.h"
#include "model/DocumentObserver.h"
#include "geometry/SelectionCopy.h"
#include "location/FractalParams.h"

class QTimer;

namespace velmora {
class Document;
class Host;
class RenderSession;
}  // namespace velmora

namespace velmora::gui {

class CommandRouter;

class FractalView : public QWidget, public DocumentObserver, public ExploreView {
    Q_OBJECT
public:
    FractalView(RenderSession& session, Host& host, QWidget* parent = nullptr);
    ~FractalView() override;

    // Where the view's requests go; none while a test uses the view alone.
    void setController(ExploreController* controller);

    // Registers the view's commands with the frame's router.
    void connectCommands(CommandRouter& router);

    // --- commands ---------------------------------------------------------
    void onEditCopy();
    // The drag box's commands: zoom into or out of the selection and the lock switch.
    void onZoomIn();
    void onZoomOut();
    void onLockProportions();

    // A full redraw now: rebuilds the picture and ends any selection.
    void redrawNow();
    // The document changed: a change of what the picture shows redraws it.
    void documentChanged(DocChanges what) override;
    // Repaints only the overlay (the drag frame) over the cached picture.
    void updateOverlay();

    // The selection as the drag box leaves it.
    bool hasSelection() const;
    // Forgets the drag box (a full redraw or a new size).
    void endSelection() override;
    QWidget& surface() override { return *this; }
    bool addWheel(const QWheelEvent& event) override;
    std::optional<FractalParams> takeWheelZoom() override;
    // m_box normalised from m_anchor and m_current.
    void recomputeBox();

    double clientAspect() const { return m_clientAspect; }
    // A held right button zooms this many times a second (Settings).
    double heldZoomRate() const override { return m_heldZoomRate; }
    void setHeldZoomRate(double perSecond) override { m_heldZoomRate = perSecond > 1.0 ? perSecond : 2.0; }
    static constexpr int kHeldZoomTickMs = 30;
    bool isHoldingZoom() const { return m_heldButton != Qt::NoButton; }
    // Smooth colouring: the picture in true colour, blended by each pixel's
    // fractional count, where the render kept the samples (else as indexed).
    void setSmooth(bool on);
    bool isSmooth() const { return m_smooth; }
    // The picture as shown, at its own size: smooth when the view shows it so.
    QImage shownPicture() const;

signals:
    // The selection or the lock changed: the states of the commands that read them are due for an update.
    void commandStateChanged();
    // The plane point under the mouse as text ("Re X, Im Y"), empty once it leaves.
    void pointUnderMouse(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // The drag box's mouse handling goes here.
    void mousePressEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // The wheel zooms about the cursor; Space held makes a left drag a pan.
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    // Draws over the picture after every paint; the drag frame goes here.
    virtual void drawOverlay(QPainter& painter);

public:
    // --- drag box state (filled by the zoom commands) -----------------------
    double m_clientAspect = 1.0;
    bool m_lockProportions = false;
    QSize m_sizeDragBorder{1, 1};
    QPoint m_anchor{0, 0};
    QPoint m_current{0, 0};
    PixelRect m_shownBox{};
    PixelRect m_box{};
    bool m_dragging = false;
    QCursor m_cursor{Qt::CrossCursor};

private:
    // Rebuilds the header block and the stretched picture from the document.
    void rebuildPicture();
    void drawPicture(QPainter& painter);
    // The smooth picture at its own size when the view is smooth and the
    // render kept the samples; null otherwise.
    QImage smoothImage() const;
    // While the view renders: the last picture moved and scaled into the
    // place being drawn, under the rows of the new one done so far.
    void drawPreview(QPainter& painter);
    void renderStarted(int width, int height);
    void rowsDone(int first, int end, const QByteArray& rows, bool trueColour);
    void heldZoomTick();
    void endHeldZoom();
    void zoom(bool out);
    // The drag point kept on the view and, while locked, corrected; the
    // pointer is put where the point ends up.
    QPoint dragPoint(const QPoint& raw);
    void selectionChanged();
    // A change that renders, from the box, the wheel or a pan.
    void request(const FractalParams& values);

    RenderSession& m_session;
    Document& m_doc;
    Host& m_host;
    ExploreController* m_controller = nullptr;
    QImage m_picture;          // the stretched picture as last drawn
    std::optional<FractalParams> m_pictureParams;  // the place it shows
    QImage m_partial;          // the picture under way, at its own size
    int m_partialRows = 0;     // its stored rows done (from the bottom)
    // Held zoom: the button, where it points, which way, and the time of the last step.
    Qt::MouseButton m_heldButton = Qt::NoButton;
    QPoint m_heldAt;
    bool m_heldOut = false;
    QElapsedTimer m_heldClock;
    QTimer* m_heldTimer = nullptr;
    double m_heldZoomRate = 2.0;
    bool m_smooth = false;
    bool m_pictureValid = false;
    bool m_overlayOnly = false;
    bool m_showRenderHint = true;
    // Wheel angle not yet a whole notch (a touchpad's fine steps).
    int m_wheelRemainder = 0;
    QPoint m_wheelAt;
    // Pan: the button dragging, where it started and how far the picture is
    // shown shifted meanwhile.
    Qt::MouseButton m_panButton = Qt::NoButton;
    QPoint m_panStart;
    QPoint m_panOffset;
    bool m_spaceHeld = false;
};

}  // namespace velmora::gui
