#pragma once
// The view: shows the document's picture stretched over its whole client area,
// prints it, and handles the picture commands (Render, Copy, New, Print).
// The drag box is drawn by drawOverlay and asked for with updateOverlay(), so
// the selection survives (a full redraw ends it); the view's commands are
// registered in connectCommands.
#include <QCursor>
#include <QImage>
#include <QPoint>
#include <QPointer>
#include <QSize>
#include <QWidget>
#include <optional>

#include "model/DocumentObserver.h"
#include "geometry/SelectionCopy.h"
#include "location/FractalParams.h"

class QPrinter;
class QTimer;

namespace velmora {
class Document;
class Host;
}  // namespace velmora

namespace velmora::gui {

class AnimationFramesWindow;
class CommandRouter;
class DesktopDialogs;

// What the view asks of the window around it - saving before New, the printer,
// the print preview's page count - without knowing that window.
class ViewShell {
public:
    virtual ~ViewShell() = default;
    virtual bool saveDocument() = 0;
    virtual QPrinter& printer() = 0;
    virtual int previewPages() const = 0;
    virtual void setPreviewPages(int pages) = 0;
    // Says on screen whether the picture being rendered needs the deep engine.
    virtual void showDeepRender(bool /*deep*/) {}
};

class FractalView : public QWidget, public DocumentObserver {
    Q_OBJECT
public:
    FractalView(Document& doc, Host& host, DesktopDialogs& dialogs, QWidget* parent = nullptr);
    ~FractalView() override;

    Document& document() { return m_doc; }
    Host& host() { return m_host; }
    DesktopDialogs& dialogs() { return m_dialogs; }
    // The frame the view lives in; none while a test uses the view alone.
    void setShell(ViewShell* shell) { m_shell = shell; }

    // Registers the view's commands with the frame's router.
    void connectCommands(CommandRouter& router);

    // --- commands ---------------------------------------------------------
    void onRender();
    void onEditCopy();
    void onFileNew();
    void onFilePrint();        // with the print dialog
    void onFilePrintDirect();  // on the current printer, no dialog
    void onFilePrintPreview();
    // The drag box's commands: zoom into or out of the selection, the lock
    // switch, and the settings dialog.
    void onZoomIn();
    void onZoomOut();
    void onLockProportions();
    void onConfigure();
    void onEditPalette();
    // Back and Forward through the places shown (the document's history).
    void onBack();
    void onForward();
    void onLocation();
    // The animation frames window: the toolbar command only shows it (made on
    // first use), the View menu's toggle hides it while it is shown.
    void onAnimWindow();
    void onToggleAnimWindow();
    bool isAnimWindowShown() const;
    AnimationFramesWindow* animWindow() const;
    // Every change that renders: the replaced values go on the history, the
    // new ones are rendered and the document counts as changed.
    void changeAndRender(const FractalParams& values);
    // Fit Picture to Window: while on, a render first gives the picture the
    // view's size and the region the view's proportions (centre and width
    // kept), and a resize renders again once the size has settled.
    void setFitToWindow(bool on);
    bool fitToWindow() const { return m_fitToWindow; }
    static constexpr int kFitSettleMs = 300;

    // Draws the picture on a printer page: top-left, as large as fits.
    // False when the printer could not be started (already reported).
    bool printDocument(QPrinter& printer);

    // Installs the default palette (creation and New).
    void loadDefaultPalette();

    // A full redraw now: rebuilds the picture and ends any selection.
    void redrawNow();
    // The document changed: a change of what the picture shows redraws it.
    void documentChanged(DocChanges what) override;
    // Repaints only the overlay (the drag frame) over the cached picture.
    void updateOverlay();

    // The selection as the drag box leaves it.
    bool hasSelection() const;
    // m_box normalised from m_anchor and m_current.
    void recomputeBox();

    double clientAspect() const { return m_clientAspect; }

signals:
    // The selection, the lock or the frames window's visibility changed: the
    // states of the commands that read them are due for an update.
    void commandStateChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // The drag box's mouse handling goes here.
    void mousePressEvent(QMouseEvent* event) override;
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
    bool m_animWndCreated = false;
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
    // Forgets the drag box (a full redraw or a new size).
    void endSelection();
    void drawPicture(QPainter& painter);
    void report(const char* text);
    void zoom(bool out);
    // The drag point kept on the view and, while locked, corrected; the
    // pointer is put where the point ends up.
    QPoint dragPoint(const QPoint& raw);
    void selectionChanged();
    // Fit Picture to Window: the size has settled; and the fitting itself,
    // true when it changed the document.
    void fitSettled();
    bool fitDocumentToView();
    // Back or Forward: shows what the history gave, if anything.
    void travel(const std::optional<FractalParams>& values);
    // Adds a wheel event's angle; true once it makes at least a whole notch.
    bool addWheel(const QWheelEvent& event);
    // The region the whole notches gathered so far lead to, about where the
    // wheel last turned; the notches are used up.
    std::optional<FractalParams> takeWheelZoom();

    Document& m_doc;
    Host& m_host;
    DesktopDialogs& m_dialogs;
    ViewShell* m_shell = nullptr;
    QImage m_picture;          // the stretched picture as last drawn
    bool m_pictureValid = false;
    bool m_overlayOnly = false;
    bool m_showRenderHint = true;
    QPointer<AnimationFramesWindow> m_animWindow;
    // Wheel angle not yet a whole notch (a touchpad's fine steps).
    int m_wheelRemainder = 0;
    QPoint m_wheelAt;
    // Pan: the button dragging, where it started and how far the picture is
    // shown shifted meanwhile.
    Qt::MouseButton m_panButton = Qt::NoButton;
    QPoint m_panStart;
    QPoint m_panOffset;
    bool m_spaceHeld = false;
    bool m_fitToWindow = false;
    QTimer* m_fitTimer = nullptr;
};

}  // namespace velmora::gui
