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

#include "commands/CommandIds.h"
#include "commands/CommandRouter.h"
#include "geometry/ExactZoom.h"
#include "geometry/Stretch.h"
#include "geometry/ZoomGeometry.h"
#include "engine/RenderReport.h"
#include "engine/SmoothPicture.h"
#include "model/Document.h"
#include "session/RenderSession.h"
#include "rendering/PictureImage.h"
#include "widgets/DialogParts.h"

namespace velmora::gui {

FractalView::FractalView(RenderSession& session, Host& host, QWidget* parent)
    : QWidget(parent), m_session(session), m_doc(session.document()), m_host(host) {
    setObjectName(QStringLiteral("FractalView"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);  // the status bar follows the point under the mouse
    setCursor(m_cursor);
    setWhatsThis(tr("<b>The picture</b><p>The fractal, stretched over the whole window. Press F5 to render "
                    "it; drag a box over it and press F6 to zoom in or F7 to zoom out. The wheel zooms about the "
                    "cursor; a middle drag (or a left drag with Space held) moves the picture; holding the right button "
                    "zooms continuously (with Ctrl or Shift: out).</p>"));
    m_heldTimer = new QTimer(this);
    m_heldTimer->setInterval(kHeldZoomTickMs);
    connect(m_heldTimer, &QTimer::timeout, this, &FractalView::heldZoomTick);
    // Creation: a new view always starts with the default palette.
    m_doc.loadDefaultPalette();
    m_doc.addObserver(*this);
}

FractalView::~FractalView() { m_doc.removeObserver(*this); }

void FractalView::setController(ExploreController* controller) {
    if (m_controller != nullptr) disconnect(m_controller, nullptr, this, nullptr);
    m_controller = controller;
    if (controller == nullptr) return;
    connect(controller, &ExploreController::viewRenderStarted, this, &FractalView::renderStarted);
    connect(controller, &ExploreController::viewRowsDone, this, &FractalView::rowsDone);
}

void FractalView::connectCommands(CommandRouter& router) {
    router.set(ID_EDIT_COPY, [this] { onEditCopy(); });
    const auto needsSelection = [this](CommandState& s) { s.enabled = hasSelection(); };
    router.set(ID_ZOOM_IN, [this] { onZoomIn(); }, needsSelection);
    router.set(ID_ZOOM_OUT, [this] { onZoomOut(); }, needsSelection);
    // The keys zoom as one wheel notch at the middle of the picture would.
    const auto zoomAboutCentre = [this](int notches) {
        if (const auto at = wheelZoomLocation(m_doc.params(), ClientPoint{width() / 2, height() / 2}, notches, width(),
                                              height()))
            request(*at);
    };
    router.set(ID_ZOOM_IN_CENTRE, [zoomAboutCentre] { zoomAboutCentre(1); });
    router.set(ID_ZOOM_OUT_CENTRE, [zoomAboutCentre] { zoomAboutCentre(-1); });
    router.set(ID_LOCK_PROPORTIONS, [this] { onLockProportions(); },
               [this](CommandState& s) { s.checked = m_lockProportions; });
}

void FractalView::request(const FractalParams& values) {
    if (m_controller != nullptr) m_controller->changeAndRender(values);
}

// --- drawing -----------------------------------------------------------------

void FractalView::redrawNow() {
    endSelection();
    m_overlayOnly = false;
    m_pictureValid = false;
    repaint();
}

void FractalView::documentChanged(DocChanges what) {
    const bool rendering = m_controller != nullptr && m_controller->isViewRendering();
    if (rendering && (what & (doc_change::kValues | doc_change::kPalette)) == doc_change::kValues) {
        // A new place while the view renders: the preview follows at once.
        endSelection();
        update();
        return;
    }
    if (what == doc_change::kPicture && !m_session.isBusy()) {
        // A picture done: shown now, and a box drawn meanwhile stays.
        rebuildPicture();
        m_partial = QImage();
        m_overlayOnly = false;
        update();
        return;
    }
    // Whatever changed what the picture shows is a full redraw.
    if ((what & (doc_change::kValues | doc_change::kPalette | doc_change::kPicture)) != 0) redrawNow();
}

void FractalView::renderStarted(int width, int height) {
    m_partialRows = 0;
    m_partial = width > 0 && height > 0 ? QImage(width, height, QImage::Format_Indexed8) : QImage();
    if (!m_partial.isNull()) m_partial.setColorTable(colorTable(m_doc.palette()));
    update();
}

void FractalView::rowsDone(int first, int end, const QByteArray& rows, bool trueColour) {
    if (!m_partial.isNull() && trueColour != (m_partial.format() == QImage::Format_RGB32))
        m_partial = m_partial.convertToFormat(trueColour ? QImage::Format_RGB32 : QImage::Format_Indexed8);
    const qsizetype bytes = qsizetype(m_partial.width()) * (trueColour ? 4 : 1);
    if (m_partial.isNull() || first < 0 || end > m_partial.height() || rows.size() != bytes * (end - first)) return;
    // Stored bottom-up: stored row y is image row height - 1 - y.
    for (int y = first; y < end; ++y)
        std::copy_n(rows.constData() + bytes * (y - first), bytes, m_partial.scanLine(m_partial.height() - 1 - y));
    m_partialRows = std::max(m_partialRows, end);
    update();
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
    if (m_controller != nullptr) m_controller->viewResized();
    QWidget::resizeEvent(event);
}

void FractalView::paintEvent(QPaintEvent*) {
    // A paint only draws: whatever uncovered the view (a menu, a dialog), the
    // selection stays. The picture is rebuilt from the document unless only the
    // frame moved, and never from a picture that is still being computed.
    if ((!m_overlayOnly || !m_pictureValid) && !m_session.isBusy()) rebuildPicture();
    m_overlayOnly = false;
    QPainter painter(this);
    if (m_controller != nullptr && m_controller->isViewRendering()) {
        drawPreview(painter);
    } else {
        drawPicture(painter);
    }
    drawOverlay(painter);
}

void FractalView::rebuildPicture() {
    FractalEngine* engine = m_session.engine();
    if (engine != nullptr) buildBitmapOrTell(*engine, m_doc.palette(), m_host);

    const int cw = width();
    const int ch = height();
    m_picture = QImage();
    const QImage smooth = smoothImage();
    if (!smooth.isNull() && cw > 0 && ch > 0) {
        m_picture = smooth.scaled(cw, ch, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    } else if (engine != nullptr && engine->hasBuffer() && cw > 0 && ch > 0) {
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
    m_pictureParams.reset();
    if (!m_showRenderHint) m_pictureParams = engine->params();
}

void FractalView::setSmooth(bool on) {
    m_smooth = on;
    m_session.setKeepSmooth(on);
    m_pictureValid = false;
    update();
}

QImage FractalView::smoothImage() const {
    const FractalEngine* engine = m_session.engine();
    if (!m_smooth || engine == nullptr || m_session.isBusy() || !engine->hasSmooth() || engine->width() <= 0 ||
        engine->height() <= 0)
        return {};
    QImage image(engine->width(), engine->height(), QImage::Format_RGB32);
    if (image.isNull() || !smoothPicture(*engine, m_doc.palette(), m_doc.colourSpread(), image.bits(),
                                         static_cast<std::size_t>(image.bytesPerLine())))
        return {};
    return image;
}

QImage FractalView::shownPicture() const {
    const FractalEngine* engine = m_session.engine();
    if (engine == nullptr || m_session.isBusy()) return {};
    if (QImage smooth = smoothImage(); !smooth.isNull()) return smooth;
    const BitmapInfoBlock* header = engine->bitmapInfo();
    return wholePicture(*engine, header != nullptr ? paletteOfHeader(*header) : m_doc.palette());
}

void FractalView::drawPreview(QPainter& painter) {
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    const RgbQuad q = m_doc.palette().entry(0);
    painter.fillRect(rect(), QColor(q.red, q.green, q.blue));
    painter.translate(m_panOffset);
    const std::optional<ClientPlacement> at =
        m_pictureParams && !m_picture.isNull() ? placeInClient(*m_pictureParams, m_doc.params(), width(), height())
                                               : std::nullopt;
    if (at) {
        // Only the part on screen is drawn: deep in, the old picture's pixels grow huge.
        const QRectF placed = QRectF(QPointF(at->left, at->top), QPointF(at->right, at->bottom)).normalized();
        const QRectF shown = placed.intersected(QRectF(rect()));
        if (!shown.isEmpty() && placed.width() > 0 && placed.height() > 0) {
            const double sx = m_picture.width() / placed.width();
            const double sy = m_picture.height() / placed.height();
            QRectF source((shown.left() - placed.left()) * sx, (shown.top() - placed.top()) * sy, shown.width() * sx,
                          shown.height() * sy);
            // A flipped axis shows the picture mirrored, as the region is.
            QImage image = m_picture;
            if (at->right < at->left || at->bottom < at->top) {
                image = m_picture.mirrored(at->right < at->left, at->bottom < at->top);
                source = QRectF(at->right < at->left ? image.width() - source.right() : source.left(),
                                at->bottom < at->top ? image.height() - source.bottom() : source.top(), source.width(),
                                source.height());
            }
            painter.drawImage(shown, image, source);
        }
    }
    if (m_partialRows > 0 && !m_partial.isNull()) {
        // The rows done lie at the bottom of the picture, which fills the view.
        const int rows = std::min(m_partialRows, m_partial.height());
        const double h = static_cast<double>(height()) * rows / m_partial.height();
        painter.drawImage(QRectF(0, height() - h, width(), h), m_partial,
                          QRectF(0, m_partial.height() - rows, m_partial.width(), rows));
    }
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
    if (event->button() == Qt::RightButton && m_panButton == Qt::NoButton && !m_dragging && !isHoldingZoom() &&
        m_controller != nullptr && !m_controller->isPictureBusyElsewhere()) {
        endSelection();
        m_heldButton = Qt::RightButton;
        m_heldAt = event->position().toPoint();
        m_heldOut = (event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier)) != 0;
        m_heldClock.start();
        m_controller->beginHeldZoom();
        m_heldTimer->start();
        return;
    }
    if (event->button() != Qt::LeftButton || m_panButton != Qt::NoButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    if (!m_session.isRendered()) {
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
    if (isHoldingZoom()) m_heldAt = event->position().toPoint();
    if (m_panButton != Qt::NoButton) {
        m_panOffset = event->position().toPoint() - m_panStart;
        updateOverlay();
    } else if (m_dragging) {
        m_current = dragPoint(event->position().toPoint());
        recomputeBox();
        m_shownBox = m_box;
        updateOverlay();
    }
    const QPoint at = event->position().toPoint();
    if (const auto point = pointUnder(m_doc.params(), ClientPoint{at.x(), at.y()}, width(), height()))
        emit pointUnderMouse(QStringLiteral("Re %1, Im %2")
                                 .arg(QString::fromStdString(point->re), QString::fromStdString(point->im)));
    QWidget::mouseMoveEvent(event);
}

void FractalView::leaveEvent(QEvent* event) {
    emit pointUnderMouse(QString());
    QWidget::leaveEvent(event);
}

void FractalView::mouseReleaseEvent(QMouseEvent* event) {
    if (isHoldingZoom() && event->button() == m_heldButton) {
        heldZoomTick();  // the time since the last tick counts too
        endHeldZoom();
        return;
    }
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
        request(*panned);
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
    const bool busyElsewhere = m_controller != nullptr ? m_controller->isPictureBusyElsewhere() : m_session.isBusy();
    if (busyElsewhere || m_panButton != Qt::NoButton || isHoldingZoom()) {
        takeWheelZoom();  // dropped: another job has the document, or a pan is under way
        return;
    }
    if (const std::optional<FractalParams> values = takeWheelZoom()) {
        endSelection();
        request(*values);
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
    if (event->key() == Qt::Key_Escape && m_controller != nullptr && m_controller->isViewRendering()) {
        m_controller->cancelViewRender();
        return;
    }
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

void FractalView::heldZoomTick() {
    if (!isHoldingZoom() || m_controller == nullptr) return;
    const double seconds = static_cast<double>(m_heldClock.restart()) / 1000.0;
    const double factor = heldZoomFactor(heldZoomRate(), seconds, m_heldOut);
    if (factor == 1.0) return;
    // About the middle of the pixel under the pointer.
    if (const auto values =
            scaleAboutLocation(m_doc.params(), m_heldAt.x() + 0.5, m_heldAt.y() + 0.5, factor, width(), height()))
        m_controller->heldZoomTo(*values);
}

void FractalView::endHeldZoom() {
    if (!isHoldingZoom()) return;
    m_heldButton = Qt::NoButton;
    m_heldTimer->stop();
    if (m_controller != nullptr) m_controller->endHeldZoom();
}

void FractalView::focusOutEvent(QFocusEvent* event) {
    // The release of a Space held while the focus left never arrives here.
    m_spaceHeld = false;
    endHeldZoom();
    QWidget::focusOutEvent(event);
}

// --- commands ----------------------------------------------------------------

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
    request(*zoomed);
}

void FractalView::onLockProportions() {
    m_lockProportions = !m_lockProportions;
    emit commandStateChanged();
}

void FractalView::onEditCopy() {
    FractalEngine* engine = m_session.engine();
    if (engine == nullptr) return;
    QImage image;
    if (hasSelection()) {
        recomputeBox();
        const PixelRect r = mapSelectionToPicture(m_box, width(), height(), m_doc.width(), m_doc.height());
        if (r.isEmpty()) return;  // nothing of the picture is selected: nothing to copy
        if (const QImage smooth = smoothImage(); !smooth.isNull()) {
            image = smooth.copy(r.left, r.top, r.width(), r.height());
        } else {
            CopiedImage copy;
            const CopyResult result = copyPictureRect(*engine, r, copy);
            if (result == CopyResult::NoMemory) {
                showViewWarning(m_host, "Not enough memory to copy.");
                return;
            }
            if (result != CopyResult::Ok) return;
            image = indexedImage(copy, m_doc.palette());
        }
    } else {
        // The picture as shown: its colours are the header block's, or smooth ones.
        image = shownPicture();
    }
    if (image.isNull()) {
        // Leave the clipboard as it was rather than offer an empty entry.
        showViewWarning(m_host, "Could not create image.");
        return;
    }
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr) return;
    WaitCursor wait;
    clipboard->setImage(image);
}

}  // namespace velmora::gui
