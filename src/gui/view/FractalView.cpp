#include "view/FractalView.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>
#include <optional>

#include "animwindows/AnimationFramesWindow.h"
#include "commands/CommandIds.h"
#include "commands/CommandRouter.h"
#include "deep/DeepSwitch.h"
#include "widgets/DialogParts.h"
#include "host/DesktopDialogs.h"
#include "dialogs/SettingsDialog.h"
#include "model/Document.h"
#include "paletteeditor/PaletteEditorDialog.h"
#include "rendering/BackgroundRender.h"
#include "widgets/ProgressDialog.h"
#include "rendering/RenderInputGate.h"
#include "rendering/PictureImage.h"
#include "geometry/FitToWindow.h"
#include "geometry/PrintFit.h"
#include "geometry/Stretch.h"
#include "dialogs/LocationDialog.h"
#include "geometry/ExactZoom.h"
#include "geometry/ZoomGeometry.h"

namespace velmora::gui {

namespace {

// The document's host, except that a render the wheel stopped ends without
// the question sound: the user did not cancel, they zoomed on.
class WheelQuietHost : public Host {
public:
    WheelQuietHost(Host& target, const bool& wheelStopped) : m_target(target), m_wheelStopped(wheelStopped) {}
    MsgAnswer showMessage(const Message& message) override { return m_target.showMessage(message); }
    bool pollCancelKey() override { return m_target.pollCancelKey(); }
    void playQuestionSound() override {
        if (!m_wheelStopped) m_target.playQuestionSound();
    }
    void beep() override { m_target.beep(); }
    bool startPlayer(const std::string& script, const std::string& dir) override {
        return m_target.startPlayer(script, dir);
    }

private:
    Host& m_target;
    const bool& m_wheelStopped;
};

}  // namespace

FractalView::FractalView(Document& doc, Host& host, DesktopDialogs& dialogs, QWidget* parent)
    : QWidget(parent), m_doc(doc), m_host(host), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("FractalView"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(m_cursor);
    setWhatsThis(tr("<b>The picture</b><p>The fractal, stretched over the whole window. Press F5 to render "
                    "it; drag a box over it and press F6 to zoom in or F7 to zoom out. The wheel zooms about the "
                    "cursor; a middle drag (or a left drag with Space held) moves the picture.</p>"));
    m_fitTimer = new QTimer(this);
    m_fitTimer->setSingleShot(true);
    m_fitTimer->setInterval(kFitSettleMs);
    connect(m_fitTimer, &QTimer::timeout, this, &FractalView::fitSettled);
    // Creation: a new view always starts with the default palette.
    loadDefaultPalette();
    m_doc.addObserver(*this);
}

// The frames window belongs to the main window for stacking, but lives and
// dies with the view.
FractalView::~FractalView() {
    m_doc.removeObserver(*this);
    delete m_animWindow.data();
}

void FractalView::connectCommands(CommandRouter& router) {
    router.set(ID_FILE_NEW, [this] { onFileNew(); });
    router.set(ID_RENDER, [this] { onRender(); });
    router.set(ID_EDIT_COPY, [this] { onEditCopy(); });
    router.set(ID_FILE_PRINT, [this] { onFilePrint(); });
    router.set(ID_FILE_PRINT_DIRECT, [this] { onFilePrintDirect(); });
    router.set(ID_FILE_PRINT_PREVIEW, [this] { onFilePrintPreview(); });
    const auto needsSelection = [this](CommandState& s) { s.enabled = hasSelection(); };
    router.set(ID_ZOOM_IN, [this] { onZoomIn(); }, needsSelection);
    router.set(ID_ZOOM_OUT, [this] { onZoomOut(); }, needsSelection);
    router.set(ID_LOCK_PROPORTIONS, [this] { onLockProportions(); },
               [this](CommandState& s) { s.checked = m_lockProportions; });
    router.set(ID_CONFIGURE, [this] { onConfigure(); });
    router.set(ID_ANIM_WINDOW, [this] { onAnimWindow(); });
    router.set(ID_VIEW_ANIMWINDOW, [this] { onToggleAnimWindow(); },
               [this](CommandState& s) { s.checked = isAnimWindowShown(); });
    router.set(ID_EDIT_PALETTE, [this] { onEditPalette(); });
    router.set(ID_NAV_BACK, [this] { onBack(); },
               [this](CommandState& s) { s.enabled = m_doc.history().canGoBack(); });
    router.set(ID_NAV_FORWARD, [this] { onForward(); },
               [this](CommandState& s) { s.enabled = m_doc.history().canGoForward(); });
    router.set(ID_VIEW_LOCATION, [this] { onLocation(); });
}

void FractalView::loadDefaultPalette() { m_doc.loadDefaultPalette(); }

void FractalView::report(const char* text) {
    Message m;
    m.text = text;
    m.caption = kAppTitle;
    m.icon = MsgIcon::Warning;
    m.owner = MsgOwner::MainWindow;
    m.ownerName = "FractalView";
    m_host.showMessage(m);
}

// --- drawing -----------------------------------------------------------------

void FractalView::redrawNow() {
    endSelection();
    m_overlayOnly = false;
    m_pictureValid = false;
    repaint();
}

void FractalView::documentChanged(DocChanges what) {
    // Whatever changed what the picture shows is a full redraw.
    if ((what & (doc_change::kValues | doc_change::kPalette | doc_change::kPicture)) != 0) redrawNow();
}

void FractalView::endSelection() {
    const bool hadSelection = hasSelection();
    m_anchor = m_current = QPoint(0, 0);
    m_shownBox = PixelRect{};
    if (hadSelection) selectionChanged();
}

void FractalView::updateOverlay() {
    if (m_pictureValid) m_overlayOnly = true;
    update();
}

void FractalView::resizeEvent(QResizeEvent* event) {
    // A new size ends the selection: its box no longer matches the picture.
    endSelection();
    if (height() > 0) m_clientAspect = static_cast<double>(width()) / static_cast<double>(height());
    m_pictureValid = false;
    m_overlayOnly = false;
    // Restarted by every step of a drag, so only the settled size renders.
    if (m_fitToWindow) m_fitTimer->start();
    QWidget::resizeEvent(event);
}

void FractalView::paintEvent(QPaintEvent*) {
    // A paint only draws: whatever uncovered the view (a menu, a dialog), the
    // selection stays. The picture is rebuilt from the document unless only the
    // frame moved, and never from a picture that is still being computed.
    if ((!m_overlayOnly || !m_pictureValid) && !m_doc.isBusy()) rebuildPicture();
    m_overlayOnly = false;
    QPainter painter(this);
    drawPicture(painter);
    drawOverlay(painter);
}

void FractalView::rebuildPicture() {
    FractalEngine* engine = m_doc.engine();
    if (engine != nullptr) engine->buildBitmap(m_doc.palette());

    const int cw = width();
    const int ch = height();
    m_picture = QImage();
    if (engine != nullptr && engine->hasBuffer() && cw > 0 && ch > 0) {
        QImage stretched(cw, ch, QImage::Format_Indexed8);
        if (!stretched.isNull()) {
            stretched.setColorTable(colorTable(m_doc.palette()));
            stretchBottomUp(engine->bits(), engine->stride(), engine->width(), engine->height(),
                            stretched.bits(), static_cast<std::size_t>(stretched.bytesPerLine()), cw, ch);
            m_picture = stretched;
        }
    }
    m_pictureValid = true;
    m_showRenderHint = engine == nullptr || !engine->isValid();
}

void FractalView::drawPicture(QPainter& painter) {
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    if (m_picture.isNull() || !m_panOffset.isNull()) {
        // No picture, or the strip a pan uncovers: blank.
        const RgbQuad q = m_doc.palette().entry(0);
        painter.fillRect(rect(), QColor(q.red, q.green, q.blue));
    }
    if (!m_picture.isNull()) painter.drawImage(m_panOffset, m_picture);
    if (m_showRenderHint) {
        painter.setBackgroundMode(Qt::OpaqueMode);
        painter.setBackground(Qt::black);
        painter.setPen(Qt::white);
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, QStringLiteral("Render to see changes"));
        painter.setBackgroundMode(Qt::TransparentMode);
    }
}

void FractalView::drawOverlay(QPainter& painter) {
    const PixelRect& r = m_shownBox;
    if (r.left == 0 && r.top == 0 && r.right == 0 && r.bottom == 0) return;
    // The frame inverts what lies under it, so it shows on any colour.
    const int cx = m_sizeDragBorder.width();
    const int cy = m_sizeDragBorder.height();
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    painter.save();
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    const QColor invert(Qt::white);
    painter.fillRect(QRect(r.left, r.top, w, cy), invert);
    if (h > cy) painter.fillRect(QRect(r.left, r.bottom - cy, w, cy), invert);
    if (h > 2 * cy) {
        painter.fillRect(QRect(r.left, r.top + cy, cx, h - 2 * cy), invert);
        if (w > cx) painter.fillRect(QRect(r.right - cx, r.top + cy, cx, h - 2 * cy), invert);
    }
    painter.restore();
}

AnimationFramesWindow* FractalView::animWindow() const { return m_animWindow.data(); }

bool FractalView::isAnimWindowShown() const {
    return m_animWndCreated && !m_animWindow.isNull() && m_animWindow->isVisible();
}

void FractalView::onAnimWindow() {
    if (!m_animWndCreated) {
        m_animWindow = new AnimationFramesWindow(m_doc, m_host, m_dialogs, window());
        m_animWndCreated = true;
    }
    m_animWindow->show();
    m_animWindow->raise();
    emit commandStateChanged();
}

void FractalView::onToggleAnimWindow() {
    if (isAnimWindowShown()) {
        m_animWindow->hide();
        emit commandStateChanged();
        return;
    }
    onAnimWindow();
}

bool FractalView::printDocument(QPrinter& printer) {
    FractalEngine* engine = m_doc.engine();
    if (engine == nullptr) return false;
    engine->buildBitmap(m_doc.palette());
    QPainter painter;
    if (!painter.begin(&printer)) {
        report("Failed to start print job.");
        return false;
    }
    PageMetrics page;
    page.horzRes = printer.width();
    page.vertRes = printer.height();
    page.logPixelsX = printer.logicalDpiX();
    page.logPixelsY = printer.logicalDpiY();
    const PrintTarget t = fitOnPage(engine->width(), engine->height(), page);
    const QImage picture = wholePicture(*engine, m_doc.palette());
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    // Whatever the valid flag says: on paper only the picture appears.
    if (!picture.isNull() && t.width > 0 && t.height > 0) painter.drawImage(QRect(0, 0, t.width, t.height), picture);
    painter.end();
    return true;
}

// --- selection ---------------------------------------------------------------

bool FractalView::hasSelection() const {
    return velmora::hasSelection(m_dragging, ClientPoint{m_anchor.x(), m_anchor.y()},
                                 ClientPoint{m_current.x(), m_current.y()});
}

void FractalView::recomputeBox() {
    m_box =
        normalizedBox(ClientPoint{m_anchor.x(), m_anchor.y()}, ClientPoint{m_current.x(), m_current.y()});
}

void FractalView::selectionChanged() { emit commandStateChanged(); }

QPoint FractalView::dragPoint(const QPoint& raw) {
    ClientPoint p = clampToView(ClientPoint{raw.x(), raw.y()}, width(), height());
    if (m_lockProportions) {
        p = lockProportionsPoint(ClientPoint{m_anchor.x(), m_anchor.y()}, p, m_clientAspect);
    }
    const QPoint point(p.x, p.y);
    // Keeps the pointer on the view and on the locked box's corner.
    if (point != raw) QCursor::setPos(mapToGlobal(point));
    return point;
}

void FractalView::mousePressEvent(QMouseEvent* event) {
    const bool pans = event->button() == Qt::MiddleButton || (event->button() == Qt::LeftButton && m_spaceHeld);
    if (pans && m_panButton == Qt::NoButton && !m_dragging) {
        // The box would no longer match the picture once it moves.
        endSelection();
        m_panButton = event->button();
        m_panStart = event->position().toPoint();
        m_panOffset = QPoint(0, 0);
        setCursor(Qt::ClosedHandCursor);
        return;
    }
    if (event->button() != Qt::LeftButton || m_panButton != Qt::NoButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    if (!m_doc.isRendered()) {
        // Nothing to select on before the first render.
        m_host.beep();
        return;
    }
    const QPoint raw = event->position().toPoint();
    const ClientPoint p = clampToView(ClientPoint{raw.x(), raw.y()}, width(), height());
    m_anchor = m_current = QPoint(p.x, p.y);
    m_dragging = true;
    selectionChanged();
    QWidget::mousePressEvent(event);
}

void FractalView::mouseMoveEvent(QMouseEvent* event) {
    if (m_panButton != Qt::NoButton) {
        m_panOffset = event->position().toPoint() - m_panStart;
        updateOverlay();
    } else if (m_dragging) {
        m_current = dragPoint(event->position().toPoint());
        recomputeBox();
        m_shownBox = m_box;
        updateOverlay();
    }
    QWidget::mouseMoveEvent(event);
}

void FractalView::mouseReleaseEvent(QMouseEvent* event) {
    if (m_panButton != Qt::NoButton && event->button() == m_panButton) {
        m_panButton = Qt::NoButton;
        setCursor(m_cursor);
        const QPoint moved = event->position().toPoint() - m_panStart;
        m_panOffset = QPoint(0, 0);
        const std::optional<FractalParams> panned =
            moved.isNull() ? std::nullopt : panLocation(m_doc.params(), moved.x(), moved.y(), width(), height());
        if (!panned) {
            updateOverlay();  // a click, or no region to move: the picture goes back
            return;
        }
        changeAndRender(*panned);
        return;
    }
    if (event->button() == Qt::LeftButton && m_dragging) {
        m_dragging = false;
        // Not corrected again: a locked drag already put the pointer there.
        const QPoint raw = event->position().toPoint();
        const ClientPoint p = clampToView(ClientPoint{raw.x(), raw.y()}, width(), height());
        m_current = QPoint(p.x, p.y);
        recomputeBox();
        m_shownBox = m_box;
        updateOverlay();
        selectionChanged();
    }
    QWidget::mouseReleaseEvent(event);
}

void FractalView::wheelEvent(QWheelEvent* event) {
    event->accept();
    if (!addWheel(*event)) return;
    if (m_doc.isBusy() || m_panButton != Qt::NoButton) {
        takeWheelZoom();  // dropped: another job has the document, or a pan is under way
        return;
    }
    if (const std::optional<FractalParams> values = takeWheelZoom()) {
        endSelection();
        changeAndRender(*values);
    }
}

bool FractalView::addWheel(const QWheelEvent& event) {
    // 120 a notch; a touchpad that gives only pixels counts one a pixel.
    const int delta = event.angleDelta().y() != 0 ? event.angleDelta().y() : event.pixelDelta().y();
    m_wheelRemainder += delta;
    m_wheelAt = event.position().toPoint();
    return m_wheelRemainder / 120 != 0;
}

std::optional<FractalParams> FractalView::takeWheelZoom() {
    const int notches = m_wheelRemainder / 120;
    m_wheelRemainder -= notches * 120;
    if (notches == 0) return std::nullopt;
    return wheelZoomLocation(m_doc.params(), ClientPoint{m_wheelAt.x(), m_wheelAt.y()}, notches, width(), height());
}

void FractalView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space) {
        if (!event->isAutoRepeat()) m_spaceHeld = true;
        return;
    }
    QWidget::keyPressEvent(event);
}

void FractalView::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space) {
        if (!event->isAutoRepeat()) m_spaceHeld = false;
        return;
    }
    QWidget::keyReleaseEvent(event);
}

void FractalView::focusOutEvent(QFocusEvent* event) {
    // The release of a Space held while the focus left never arrives here.
    m_spaceHeld = false;
    QWidget::focusOutEvent(event);
}

// --- commands ----------------------------------------------------------------

void FractalView::changeAndRender(const FractalParams& values) {
    m_doc.history().push(m_doc.params());
    m_doc.setParams(values);
    onRender();
    m_doc.setModifiedFlag();
    emit commandStateChanged();
}

void FractalView::travel(const std::optional<FractalParams>& values) {
    if (!values) return;
    m_doc.setParams(*values);
    onRender();
    m_doc.setModifiedFlag();
    emit commandStateChanged();
}

void FractalView::onBack() { travel(m_doc.history().back(m_doc.params())); }

void FractalView::onForward() { travel(m_doc.history().forward(m_doc.params())); }

void FractalView::setFitToWindow(bool on) {
    m_fitToWindow = on;
    m_fitTimer->stop();
    fitSettled();
    emit commandStateChanged();
}

void FractalView::fitSettled() {
    if (!m_fitToWindow) return;
    if (m_doc.isBusy()) {
        m_fitTimer->start();  // once the render under way is done
        return;
    }
    // Before the first render there is no picture to follow the window yet.
    if (m_doc.isRendered() && fitDocumentToView()) onRender();
}

bool FractalView::fitDocumentToView() {
    if (!m_fitToWindow || width() <= 0 || height() <= 0) return false;
    FractalParams values = m_doc.params();
    values.width = width();
    values.height = height();
    if (values.exact.empty()) {
        if (const auto fitted = fitRegionToClient({values.left, values.top, values.right, values.bottom}, width(),
                                                  height())) {
            values.top = fitted->top;
            values.bottom = fitted->bottom;
        }
    } else if (values.width != m_doc.params().width || values.height != m_doc.params().height) {
        // Refitted in full precision when the size changes; at the same size
        // the digits would only wander by rounding.
        if (const auto fitted = fitExactLocation(values)) values = *fitted;
    }
    if (values == m_doc.params()) return false;
    m_doc.setParams(values);
    m_doc.setModifiedFlag();
    return true;
}

void FractalView::onLocation() {
    LocationDialog dlg(m_doc.params(), m_host, window());
    m_dialogs.runModal(dlg);
    if (!dlg.m_location) return;  // cancelled, or closed without an edit
    endSelection();
    changeAndRender(*dlg.m_location);
}

void FractalView::onRender() {
    fitDocumentToView();
    const QPointer<QWidget> active = QApplication::activeWindow();
    bool wheelStopped = false;
    WheelQuietHost quiet(m_doc.host(), wheelStopped);
    for (;;) {
        std::atomic<bool> cancel{false};
        {
            ProgressDialog dlg(this);
            // Not modal: the gate holds every input but Escape and the wheel.
            dlg.setModal(false);
            dlg.setCancelFlag(&cancel);
            RenderInputGate gate(*this, dlg, cancel, [&](const QWheelEvent& e) { return wheelStopped = addWheel(e); });
            dlg.showCentredOver(*this);
            WaitCursor wait;
            ProgressBarSink sink(*dlg.progressBar());
            Host& own = m_doc.host();
            m_doc.setHost(quiet);
            if (m_shell != nullptr) m_shell->showDeepRender(needsDeepEngine(m_doc.params()));
            // Complete or cancelled, the picture shows which: a cancelled one is blank.
            renderDocumentInBackground(m_doc, &sink, &cancel);
            if (m_shell != nullptr) m_shell->showDeepRender(false);
            m_doc.setHost(own);
        }
        m_doc.notifyChanged(doc_change::kPicture);
        // Notches that came during the render zoom on from what was shown.
        const std::optional<FractalParams> next = takeWheelZoom();
        wheelStopped = false;
        if (!next) break;
        m_doc.history().push(m_doc.params());
        m_doc.setParams(*next);
        m_doc.setModifiedFlag();
        emit commandStateChanged();
    }
    // Keys such as Alt+Left go on working without a click: not every window
    // system hands the focus back when the progress window goes.
    if (active != nullptr) {
        active->activateWindow();
    } else if (isVisible()) {
        window()->activateWindow();
    }
}

void FractalView::onZoomIn() { zoom(false); }

void FractalView::onZoomOut() { zoom(true); }

void FractalView::zoom(bool out) {
    if (!hasSelection()) return;
    recomputeBox();
    const FractalParams& p = m_doc.params();
    const PixelRect& box = m_box;
    // Empty for a collapsed view or a result that is no number: nothing happens.
    const std::optional<FractalParams> zoomed =
        out ? zoomOutLocation(p, box, width(), height()) : zoomInLocation(p, box, width(), height());
    if (!zoomed) return;
    changeAndRender(*zoomed);
}

void FractalView::onLockProportions() {
    m_lockProportions = !m_lockProportions;
    emit commandStateChanged();
}

void FractalView::onEditPalette() {
    // Whatever closed the editor, the document counts as changed and the
    // picture shows the palette it now holds, without a new render.
    editDocumentPalette(m_doc, m_host, m_dialogs, window());
    m_doc.notifyChanged(doc_change::kPalette);
}

void FractalView::onConfigure() {
    const auto editPalette = [this](QWidget& over) {
        Palette palette = m_doc.palette();
        PaletteEditorDialog editor(palette, m_host, m_dialogs, &over);
        m_dialogs.runModal(editor);
        m_doc.setPalette(palette);
    };
    const FractalParams before = m_doc.params();
    SettingsDialog dlg(m_doc, m_host, editPalette, window());
    m_dialogs.runModal(dlg);
    if (dlg.m_accepted && !(m_doc.params() == before)) {
        m_doc.history().push(before);
        emit commandStateChanged();
    }
    if (dlg.m_accepted) m_doc.setModifiedFlag();
    // A window system repaints what the dialog covered; here the whole view is
    // redrawn, so a new size shows its blank picture at once.
    if (dlg.m_paletteEdited || dlg.m_accepted)
        m_doc.notifyChanged(doc_change::kValues | doc_change::kPalette | doc_change::kPicture);
}

void FractalView::onEditCopy() {
    FractalEngine* engine = m_doc.engine();
    if (engine == nullptr) return;
    QImage image;
    if (hasSelection()) {
        recomputeBox();
        const PixelRect r = mapSelectionToPicture(m_box, width(), height(), m_doc.width(), m_doc.height());
        if (r.isEmpty()) return;  // nothing of the picture is selected: nothing to copy
        CopiedImage copy;
        const CopyResult result = copyPictureRect(*engine, r, copy);
        if (result == CopyResult::NoMemory) {
            report("Not enough memory to copy.");
            return;
        }
        if (result != CopyResult::Ok) return;
        image = indexedImage(copy, m_doc.palette());
    } else {
        // The picture as last drawn: its colours are the header block's.
        const BitmapInfoBlock* header = engine->bitmapInfo();
        image = wholePicture(*engine, header != nullptr ? paletteOfHeader(*header) : m_doc.palette());
    }
    if (image.isNull()) {
        // Leave the clipboard as it was rather than offer an empty entry.
        report("Could not create image.");
        return;
    }
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr) return;
    WaitCursor wait;
    clipboard->setImage(image);
}

void FractalView::onFileNew() {
    if (m_doc.isModified()) {
        Message m;
        m.text = "Save changes to " +
                 (m_doc.pathName().empty() ? std::string("this document") : m_doc.pathName()) + "?";
        m.caption = kAppTitle;
        m.icon = MsgIcon::Warning;
        m.buttons = MsgButtons::YesNoCancel;
        m.owner = MsgOwner::MainWindow;
        m.ownerName = "FractalView";
        const MsgAnswer answer = m_host.showMessage(m);
        if (answer == MsgAnswer::Cancel) return;
        if (answer == MsgAnswer::Yes) {
            // A save that failed or was cancelled keeps the document: the user
            // asked for the changes to be kept.
            if (m_shell == nullptr || !m_shell->saveDocument()) return;
        }
    }
    m_doc.onNewDocument();
    loadDefaultPalette();
    m_doc.setTitle("Untitled");
}

void FractalView::onFilePrint() {
    if (m_shell == nullptr) return;
    QPrinter& printer = m_shell->printer();
    if (!m_dialogs.setUpPrint(this, printer)) return;
    printDocument(printer);
}

void FractalView::onFilePrintDirect() {
    if (m_shell == nullptr) return;
    printDocument(m_shell->printer());
}

void FractalView::onFilePrintPreview() {
    if (m_shell == nullptr) return;
    int pages = m_shell->previewPages();
    m_dialogs.showPrintPreview(this, m_shell->printer(), [this](QPrinter& p) { printDocument(p); }, pages);
    m_shell->setPreviewPages(pages);
}

}  // namespace velmora::gui
