#include "render/FractalView.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <algorithm>
#include <optional>

#include "anim/AnimationFramesWindow.h"
#include "app/MainWindow.h"
#include "app/Application.h"
#include "app/CommandIds.h"
#include "app/CommandRouter.h"
#include "app/DesktopDialogs.h"
#include "app/DocumentCommands.h"
#include "app/SettingsDialog.h"
#include "model/Document.h"
#include "palette/PaletteEditorDialog.h"
#include "render/BackgroundRender.h"
#include "render/ProgressDialog.h"
#include "render/PictureImage.h"
#include "render/PrintFit.h"
#include "render/Stretch.h"
#include "render/ZoomGeometry.h"

namespace velmora::gui {

namespace {

// Restores the cursor however the scope is left.
class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

FractalView::FractalView(Document& doc, Host& host, DesktopDialogs& dialogs, QWidget* parent)
    : QWidget(parent), m_doc(doc), m_host(host), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("FractalView"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(m_cursor);
    setWhatsThis(tr("<b>The picture</b><p>The fractal, stretched over the whole window. Press F5 to render "
                    "it; drag a box over it and press F6 to zoom in or F7 to zoom out.</p>"));
    // Creation: a new view always starts with the default palette.
    LoadDefaultPalette();
}

// The frames window belongs to the main window for stacking, but lives and
// dies with the view.
FractalView::~FractalView() { delete m_wndAnimFrames.data(); }

void FractalView::ConnectCommands(CommandRouter& router) {
    router.Set(ID_FILE_NEW, [this] { OnFileNew(); });
    router.Set(ID_RENDER, [this] { OnRender(); });
    router.Set(ID_EDIT_COPY, [this] { OnEditCopy(); });
    router.Set(ID_FILE_PRINT, [this] { OnFilePrint(); });
    router.Set(ID_FILE_PRINT_DIRECT, [this] { OnFilePrintDirect(); });
    router.Set(ID_FILE_PRINT_PREVIEW, [this] { OnFilePrintPreview(); });
    const auto needsSelection = [this](CommandState& s) { s.enabled = HasSelection(); };
    router.Set(ID_ZOOM_IN, [this] { OnZoomIn(); }, needsSelection);
    router.Set(ID_ZOOM_OUT, [this] { OnZoomOut(); }, needsSelection);
    router.Set(ID_LOCK_PROPORTIONS, [this] { OnLockProportions(); },
               [this](CommandState& s) { s.checked = m_lockProportions; });
    router.Set(ID_CONFIGURE, [this] { OnConfigure(); });
    router.Set(ID_ANIM_WINDOW, [this] { OnAnimWindow(); });
    router.Set(ID_VIEW_ANIMWINDOW, [this] { OnToggleAnimWindow(); },
               [this](CommandState& s) { s.checked = IsAnimWindowShown(); });
    router.Set(ID_EDIT_PALETTE, [this] { OnEditPalette(); });
}

void FractalView::LoadDefaultPalette() { m_doc.LoadDefaultPalette(); }

void FractalView::Report(const char* text) {
    Message m;
    m.text = text;
    m.caption = kAppTitle;
    m.icon = MsgIcon::Warning;
    m.owner = MsgOwner::MainWindow;
    m.ownerName = "FractalView";
    m_host.ShowMessage(m);
}

// --- drawing -----------------------------------------------------------------

void FractalView::RedrawNow() {
    EndSelection();
    RefreshAnimWindow(true);
    m_overlayOnly = false;
    m_pictureValid = false;
    repaint();
    if (m_frame != nullptr) m_frame->UpdateCommandUI();
}

void FractalView::EndSelection() {
    const bool hadSelection = HasSelection();
    m_anchor = m_current = QPoint(0, 0);
    m_shownBox = PixelRect{};
    if (hadSelection) SelectionChanged();
}

void FractalView::UpdateOverlay() {
    if (m_pictureValid) m_overlayOnly = true;
    update();
}

void FractalView::resizeEvent(QResizeEvent* event) {
    // A new size ends the selection: its box no longer matches the picture.
    EndSelection();
    if (height() > 0) m_clientAspect = static_cast<double>(width()) / static_cast<double>(height());
    m_pictureValid = false;
    m_overlayOnly = false;
    QWidget::resizeEvent(event);
}

void FractalView::paintEvent(QPaintEvent*) {
    // A paint only draws: whatever uncovered the view (a menu, a dialog), the
    // selection stays. The picture is rebuilt from the document unless only the
    // frame moved, and never from a picture that is still being computed.
    if ((!m_overlayOnly || !m_pictureValid) && !m_doc.m_busy) RebuildPicture();
    m_overlayOnly = false;
    QPainter painter(this);
    DrawPicture(painter);
    DrawOverlay(painter);
}

void FractalView::RebuildPicture() {
    FractalEngine* engine = m_doc.m_engine.get();
    if (engine != nullptr) engine->BuildBitmap(m_doc.m_palette);

    const int cw = width();
    const int ch = height();
    m_picture = QImage();
    if (engine != nullptr && engine->HasBuffer() && cw > 0 && ch > 0) {
        QImage stretched(cw, ch, QImage::Format_Indexed8);
        if (!stretched.isNull()) {
            stretched.setColorTable(ColorTable(m_doc.m_palette));
            StretchBottomUp(engine->GetBits(), engine->GetStride(), engine->GetWidth(), engine->GetHeight(),
                            stretched.bits(), static_cast<std::size_t>(stretched.bytesPerLine()), cw, ch);
            m_picture = stretched;
        }
    }
    m_pictureValid = true;
    m_showRenderHint = engine == nullptr || !engine->IsValid();
}

void FractalView::DrawPicture(QPainter& painter) {
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    if (m_picture.isNull()) {
        const RgbQuad q = m_doc.m_palette.Entry(0);
        painter.fillRect(rect(), QColor(q.red, q.green, q.blue));
    } else {
        painter.drawImage(QPoint(0, 0), m_picture);
    }
    if (m_showRenderHint) {
        painter.setBackgroundMode(Qt::OpaqueMode);
        painter.setBackground(Qt::black);
        painter.setPen(Qt::white);
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, QStringLiteral("Render to see changes"));
        painter.setBackgroundMode(Qt::TransparentMode);
    }
}

void FractalView::DrawOverlay(QPainter& painter) {
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

void FractalView::RefreshAnimWindow(bool updateButtons) {
    if (!m_animWndCreated || m_wndAnimFrames.isNull()) return;
    m_wndAnimFrames->RefreshList(-1);
    if (updateButtons) m_wndAnimFrames->UpdateButtons();
}

AnimationFramesWindow* FractalView::GetAnimWindow() const { return m_wndAnimFrames.data(); }

bool FractalView::IsAnimWindowShown() const {
    return m_animWndCreated && !m_wndAnimFrames.isNull() && m_wndAnimFrames->isVisible();
}

void FractalView::OnAnimWindow() {
    if (!m_animWndCreated) {
        m_wndAnimFrames = new AnimationFramesWindow(m_doc, m_host, m_dialogs, window());
        m_wndAnimFrames->m_view = this;
        m_animWndCreated = true;
    }
    m_wndAnimFrames->show();
    m_wndAnimFrames->raise();
    if (m_frame != nullptr) m_frame->UpdateCommandUI();
}

void FractalView::OnToggleAnimWindow() {
    if (IsAnimWindowShown()) {
        m_wndAnimFrames->hide();
        if (m_frame != nullptr) m_frame->UpdateCommandUI();
        return;
    }
    OnAnimWindow();
}

bool FractalView::PrintDocument(QPrinter& printer) {
    FractalEngine* engine = m_doc.m_engine.get();
    if (engine == nullptr) return false;
    engine->BuildBitmap(m_doc.m_palette);
    QPainter painter;
    if (!painter.begin(&printer)) {
        Report("Failed to start print job.");
        return false;
    }
    PageMetrics page;
    page.horzRes = printer.width();
    page.vertRes = printer.height();
    page.logPixelsX = printer.logicalDpiX();
    page.logPixelsY = printer.logicalDpiY();
    const PrintTarget t = FitOnPage(engine->GetWidth(), engine->GetHeight(), page);
    const QImage picture = WholePicture(*engine, m_doc.m_palette);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    // Whatever the valid flag says: on paper only the picture appears.
    if (!picture.isNull() && t.width > 0 && t.height > 0) painter.drawImage(QRect(0, 0, t.width, t.height), picture);
    painter.end();
    return true;
}

// --- selection ---------------------------------------------------------------

bool FractalView::HasSelection() const {
    return velmora::HasSelection(m_dragging, ClientPoint{m_anchor.x(), m_anchor.y()},
                                 ClientPoint{m_current.x(), m_current.y()});
}

void FractalView::RecomputeBox() {
    m_box =
        NormalizedBox(ClientPoint{m_anchor.x(), m_anchor.y()}, ClientPoint{m_current.x(), m_current.y()});
}

void FractalView::SelectionChanged() {
    if (m_frame != nullptr) m_frame->UpdateCommandUI();
}

QPoint FractalView::DragPoint(const QPoint& raw) {
    ClientPoint p = ClampToView(ClientPoint{raw.x(), raw.y()}, width(), height());
    if (m_lockProportions) {
        p = LockProportionsPoint(ClientPoint{m_anchor.x(), m_anchor.y()}, p, m_clientAspect);
    }
    const QPoint point(p.x, p.y);
    // Keeps the pointer on the view and on the locked box's corner.
    if (point != raw) QCursor::setPos(mapToGlobal(point));
    return point;
}

void FractalView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    if (!m_doc.m_rendered) {
        // Nothing to select on before the first render.
        m_host.Beep();
        return;
    }
    const QPoint raw = event->position().toPoint();
    const ClientPoint p = ClampToView(ClientPoint{raw.x(), raw.y()}, width(), height());
    m_anchor = m_current = QPoint(p.x, p.y);
    m_dragging = true;
    SelectionChanged();
    QWidget::mousePressEvent(event);
}

void FractalView::mouseMoveEvent(QMouseEvent* event) {
    if (m_dragging) {
        m_current = DragPoint(event->position().toPoint());
        RecomputeBox();
        m_shownBox = m_box;
        UpdateOverlay();
    }
    QWidget::mouseMoveEvent(event);
}

void FractalView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && m_dragging) {
        m_dragging = false;
        // Not corrected again: a locked drag already put the pointer there.
        const QPoint raw = event->position().toPoint();
        const ClientPoint p = ClampToView(ClientPoint{raw.x(), raw.y()}, width(), height());
        m_current = QPoint(p.x, p.y);
        RecomputeBox();
        m_shownBox = m_box;
        UpdateOverlay();
        SelectionChanged();
    }
    QWidget::mouseReleaseEvent(event);
}

// --- commands ----------------------------------------------------------------

void FractalView::OnRender() {
    ProgressDialog dlg(this);
    std::atomic<bool> cancel{false};
    dlg.SetCancelFlag(&cancel);
    dlg.ShowCentredOver(*this);
    {
        WaitCursor wait;
        ProgressBarSink sink(*dlg.ProgressBar());
        // Complete or cancelled, the picture shows which: a cancelled one is blank.
        RenderDocumentInBackground(m_doc, &sink, &cancel);
        dlg.hide();
        RedrawNow();
    }
}

void FractalView::OnZoomIn() { Zoom(false); }

void FractalView::OnZoomOut() { Zoom(true); }

void FractalView::Zoom(bool out) {
    if (!HasSelection()) return;
    RecomputeBox();
    const FractalParams& p = m_doc.m_params;
    const PlaneRegion region{p.left, p.top, p.right, p.bottom};
    const PixelRect& box = m_box;
    // Empty for a collapsed view or a result that is no number: nothing happens.
    const std::optional<PlaneRegion> zoomed =
        out ? ZoomOutRegion(region, box, width(), height()) : ZoomInRegion(region, box, width(), height());
    if (!zoomed) return;
    m_doc.SetRegion(zoomed->left, zoomed->top, zoomed->right, zoomed->bottom);
    OnRender();
    m_doc.SetModifiedFlag();
}

void FractalView::OnLockProportions() {
    m_lockProportions = !m_lockProportions;
    if (m_frame != nullptr) m_frame->UpdateCommandUI();
}

void FractalView::OnEditPalette() {
    // Whatever closed the editor, the document counts as changed and the
    // picture shows the palette it now holds, without a new render.
    EditDocumentPalette(m_doc, m_host, m_dialogs, window());
    RedrawNow();
}

void FractalView::OnConfigure() {
    const auto editPalette = [this](QWidget& over) {
        PaletteEditorDialog editor(m_doc.m_palette, m_host, m_dialogs, &over);
        m_dialogs.RunModal(editor);
    };
    SettingsDialog dlg(m_doc, m_host, editPalette, window());
    m_dialogs.RunModal(dlg);
    if (dlg.m_accepted) m_doc.SetModifiedFlag();
    // A window system repaints what the dialog covered; here the whole view is
    // redrawn, so a new size shows its blank picture at once.
    if (dlg.m_paletteEdited || dlg.m_accepted) RedrawNow();
}

void FractalView::OnEditCopy() {
    FractalEngine* engine = m_doc.m_engine.get();
    if (engine == nullptr) return;
    QImage image;
    if (HasSelection()) {
        RecomputeBox();
        const PixelRect r = MapSelectionToPicture(m_box, width(), height(), m_doc.GetWidth(), m_doc.GetHeight());
        if (r.IsEmpty()) return;  // nothing of the picture is selected: nothing to copy
        CopiedImage copy;
        const CopyResult result = CopyPictureRect(*engine, r, copy);
        if (result == CopyResult::NoMemory) {
            Report("Not enough memory to copy.");
            return;
        }
        if (result != CopyResult::Ok) return;
        image = IndexedImage(copy, m_doc.m_palette);
    } else {
        // The picture as last drawn: its colours are the header block's.
        const BitmapInfoBlock* header = engine->GetBitmapInfo();
        image = WholePicture(*engine, header != nullptr ? PaletteOfHeader(*header) : m_doc.m_palette);
    }
    if (image.isNull()) {
        // Leave the clipboard as it was rather than offer an empty entry.
        Report("Could not create image.");
        return;
    }
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr) return;
    WaitCursor wait;
    clipboard->setImage(image);
}

void FractalView::OnFileNew() {
    if (m_doc.IsModified()) {
        Message m;
        m.text = "Save changes to " +
                 (m_doc.GetPathName().empty() ? std::string("this document") : m_doc.GetPathName()) + "?";
        m.caption = kAppTitle;
        m.icon = MsgIcon::Warning;
        m.buttons = MsgButtons::YesNoCancel;
        m.owner = MsgOwner::MainWindow;
        m.ownerName = "FractalView";
        const MsgAnswer answer = m_host.ShowMessage(m);
        if (answer == MsgAnswer::Cancel) return;
        if (answer == MsgAnswer::Yes) {
            // A save that failed or was cancelled keeps the document: the user
            // asked for the changes to be kept.
            if (m_frame == nullptr || !m_frame->Documents().OnFileSave()) return;
        }
    }
    m_doc.OnNewDocument();
    RefreshAnimWindow(false);
    LoadDefaultPalette();
    m_doc.SetTitle("Untitled");
    if (m_frame != nullptr) m_frame->UpdateTitle();
    RedrawNow();
}

void FractalView::OnFilePrint() {
    if (m_frame == nullptr) return;
    QPrinter& printer = m_frame->App().GetPrinter();
    if (!m_dialogs.SetUpPrint(this, printer)) return;
    PrintDocument(printer);
}

void FractalView::OnFilePrintDirect() {
    if (m_frame == nullptr) return;
    PrintDocument(m_frame->App().GetPrinter());
}

void FractalView::OnFilePrintPreview() {
    if (m_frame == nullptr) return;
    Application& app = m_frame->App();
    int pages = app.GetPreviewPages();
    m_dialogs.ShowPrintPreview(this, app.GetPrinter(), [this](QPrinter& p) { PrintDocument(p); }, pages);
    app.SetPreviewPages(pages);
}

}  // namespace velmora::gui
