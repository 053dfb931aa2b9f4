#include "control/ExploreController.h"

#include <QApplication>
#include <QColor>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPainter>
#include <QPrinter>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>
#include <atomic>
#include <vector>

#include "animwindows/AnimationFramesWindow.h"
#include "commands/CommandIds.h"
#include "commands/CommandRouter.h"
#include "deep/DeepSwitch.h"
#include "dialogs/LocationDialog.h"
#include "dialogs/SettingsDialog.h"
#include "geometry/FitToWindow.h"
#include "geometry/PrintFit.h"
#include "host/DesktopDialogs.h"
#include "engine/RenderReport.h"
#include "engine/SmoothPicture.h"
#include "model/Document.h"
#include "session/RenderSession.h"
#include "paletteeditor/PaletteEditorDialog.h"
#include "rendering/BackgroundRender.h"
#include "rendering/LatestWorker.h"
#include "rendering/PictureImage.h"
#include "rendering/RenderInputGate.h"
#include "widgets/DialogParts.h"
#include "widgets/ProgressDialog.h"

namespace velmora::gui {

namespace {

// The document's host, except that a render stopped by something other than
// the user (a wheel notch, newer values) ends without the question sound: the
// user did not cancel, they moved on. `pollKeys` false leaves Escape to the view.
template <typename Flag>
class QuietHost : public Host {
public:
    QuietHost(Host& target, const Flag& stoppedByMove, bool pollKeys)
        : m_target(target), m_stoppedByMove(stoppedByMove), m_pollKeys(pollKeys) {}
    MsgAnswer showMessage(const Message& message) override { return m_target.showMessage(message); }
    bool pollCancelKey() override { return m_pollKeys && m_target.pollCancelKey(); }
    void playQuestionSound() override {
        if (!m_stoppedByMove) m_target.playQuestionSound();
    }
    void beep() override { m_target.beep(); }
    bool startPlayer(const std::string& script, const std::string& dir) override {
        return m_target.startPlayer(script, dir);
    }

private:
    Host& m_target;
    const Flag& m_stoppedByMove;
    bool m_pollKeys;
};

}  // namespace

ExploreController::ExploreController(RenderSession& session, Host& host, DesktopDialogs& dialogs, ExploreView& view)
    : m_session(session), m_doc(session.document()), m_host(host), m_dialogs(dialogs), m_view(view) {
    m_worker = std::make_unique<LatestWorker>();
    m_workerHost = std::make_unique<GuiThreadHost>(m_doc.host());
    m_relay = std::make_unique<RelayProgress>();
    m_queuedProgress = std::make_unique<QueuedProgress>(*m_relay, *this);
    m_session.setSettle([this](bool keep) { keep ? settle() : stopViewRender(); });
    m_fitTimer = new QTimer(this);
    m_fitTimer->setSingleShot(true);
    m_fitTimer->setInterval(kFitSettleMs);
    connect(m_fitTimer, &QTimer::timeout, this, &ExploreController::fitSettled);
    m_doc.addObserver(*this);
}

// The frames window belongs to the main window for stacking, but lives and
// dies with the controller.
ExploreController::~ExploreController() {
    m_session.setSettle({});
    m_worker.reset();  // the render under way stops before what it uses goes
    m_doc.removeObserver(*this);
    delete m_animWindow.data();
}

void ExploreController::connectCommands(CommandRouter& router) {
    router.set(ID_RENDER, [this] { render(); });
    router.set(ID_FILE_PRINT, [this] { print(); });
    router.set(ID_FILE_PRINT_DIRECT, [this] { printDirect(); });
    router.set(ID_FILE_PRINT_PREVIEW, [this] { printPreview(); });
    router.set(ID_CONFIGURE, [this] { configure(); });
    router.set(ID_ANIM_WINDOW, [this] { showAnimWindow(); });
    router.set(ID_VIEW_ANIMWINDOW, [this] { toggleAnimWindow(); },
               [this](CommandState& s) { s.checked = isAnimWindowShown(); });
    router.set(ID_EDIT_PALETTE, [this] { editPalette(); });
    router.set(ID_NAV_BACK, [this] { back(); }, [this](CommandState& s) { s.enabled = m_history.canGoBack(); });
    router.set(ID_NAV_FORWARD, [this] { forward(); },
               [this](CommandState& s) { s.enabled = m_history.canGoForward(); });
    router.set(ID_VIEW_LOCATION, [this] { editLocation(); });
}

void ExploreController::documentChanged(DocChanges what) {
    if ((what & doc_change::kAll) == doc_change::kAll) {
        m_history.clear();
        emit commandStateChanged();
    }
}

void showViewWarning(Host& host, const char* text) {
    Message m;
    m.text = text;
    m.caption = kAppTitle;
    m.icon = MsgIcon::Warning;
    m.owner = MsgOwner::MainWindow;
    m.ownerName = "FractalView";
    host.showMessage(m);
}

// --- rendering ---------------------------------------------------------------

// The view's render reports progress here, on the GUI thread; it goes to the
// window's bar and, while a command waits for the render, the progress window's.
class RelayProgress : public ProgressSink {
public:
    ProgressSink* window = nullptr;
    ProgressSink* waiting = nullptr;
    void setRange(int low, int high) override {
        each([&](ProgressSink& s) { s.setRange(low, high); });
    }
    void setPos(int pos) override {
        each([&](ProgressSink& s) { s.setPos(pos); });
    }
    void setStep(int step) override {
        each([&](ProgressSink& s) { s.setStep(step); });
    }
    void stepIt() override {
        each([](ProgressSink& s) { s.stepIt(); });
    }

private:
    template <typename F>
    void each(F f) {
        for (ProgressSink* s : {window, waiting})
            if (s != nullptr) f(*s);
    }
};

void ExploreController::render() {
    if (m_fitToWindow) {
        renderView(true);
        return;
    }
    stopViewRender();
    renderWithProgressWindow();
}

void ExploreController::renderWithProgressWindow() {
    fitDocumentToView();
    QWidget& surface = m_view.surface();
    const QPointer<QWidget> active = QApplication::activeWindow();
    bool wheelStopped = false;
    QuietHost<bool> quiet(m_doc.host(), wheelStopped, true);
    for (;;) {
        std::atomic<bool> cancel{false};
        {
            ProgressDialog dlg(&surface);
            // Not modal: the gate holds every input but Escape and the wheel.
            dlg.setModal(false);
            dlg.setCancelFlag(&cancel);
            RenderInputGate gate(surface, dlg, cancel,
                                 [&](const QWheelEvent& e) { return wheelStopped = m_view.addWheel(e); });
            dlg.showCentredOver(surface);
            WaitCursor wait;
            ProgressBarSink sink(*dlg.progressBar());
            if (m_shell != nullptr) m_shell->renderStarted(chooseEngine(m_doc.params()) == EngineChoice::Deep);
            QElapsedTimer took;
            took.start();
            // Complete or cancelled, the picture shows which: a cancelled one is blank.
            renderDocumentInBackground(m_session, &sink, &cancel, &quiet);
            if (m_shell != nullptr) m_shell->renderEnded(static_cast<double>(took.elapsed()) / 1000.0);
        }
        m_doc.notifyChanged(doc_change::kPicture);
        m_placeShown = true;
        // Notches that came during the render zoom on from what was shown.
        const std::optional<FractalParams> next = m_view.takeWheelZoom();
        wheelStopped = false;
        if (!next) break;
        m_history.push(m_doc.params());
        m_doc.setParams(*next);
        m_doc.setModifiedFlag();
        emit commandStateChanged();
    }
    // Keys such as Alt+Left go on working without a click: not every window
    // system hands the focus back when the progress window goes.
    if (active != nullptr) {
        active->activateWindow();
    } else if (surface.isVisible()) {
        surface.window()->activateWindow();
    }
}

void ExploreController::renderView(bool interrupt) {
    if (m_viewRendering && !interrupt) {
        m_restartPending = true;  // started again once the one under way ends
        return;
    }
    // A new size means a new picture: never while the old one is drawn in.
    if (m_fitToWindow && m_viewRendering) {
        const QWidget& surface = m_view.surface();
        if (surface.width() != m_doc.width() || surface.height() != m_doc.height()) stopViewRender();
    }
    if (!m_viewRendering) fitDocumentToView();
    startViewRender();
}


namespace {

// The rows of a render just done, for the view to show: palette indices, or
// true colour when the render keeps smooth samples.
QByteArray doneRows(const FractalEngine& engine, std::int32_t first, std::int32_t end, const RowColours& colours,
                    bool& trueColour) {
    const std::size_t width = engine.width() > 0 ? static_cast<std::size_t>(engine.width()) : 0;
    const auto count = static_cast<std::size_t>(end - first);
    trueColour = engine.keepsSmooth();
    if (!trueColour) {
        QByteArray rows(static_cast<qsizetype>(width * count), Qt::Uninitialized);
        for (std::int32_t y = first; y < end; ++y)
            std::copy_n(engine.bits() + engine.stride() * static_cast<std::size_t>(y), width,
                        rows.data() + width * static_cast<std::size_t>(y - first));
        return rows;
    }
    QByteArray rows(static_cast<qsizetype>(4 * width * count), Qt::Uninitialized);
    std::vector<std::uint8_t> rgb(3 * width);
    for (std::int32_t y = first; y < end; ++y) {
        const SmoothSample* samples = engine.storedSmoothRow(y);
        if (samples != nullptr) smoothRowRgb(samples, engine.width(), colours.palette, colours.spread, rgb.data());
        auto* out = reinterpret_cast<std::uint32_t*>(rows.data() + 4 * width * static_cast<std::size_t>(y - first));
        for (std::size_t x = 0; x < width; ++x)
            out[x] = samples == nullptr ? 0xff000000u : qRgb(rgb[3 * x], rgb[3 * x + 1], rgb[3 * x + 2]);
    }
    return rows;
}

}  // namespace

void ExploreController::startViewRender() {
    m_restartPending = false;
    m_stop = false;
    FractalEngine* engine = m_session.beginRender(m_doc.host());
    const std::uint64_t serial = ++m_renderSerial;
    const FractalParams values = m_doc.params();
    if (!m_viewRendering) {
        m_viewRendering = true;
        m_session.setBusy(true);
        m_relay->window = m_shell != nullptr ? m_shell->viewProgress() : nullptr;
        if (m_shell != nullptr) m_shell->renderStarted(chooseEngine(values) == EngineChoice::Deep);
    }
    m_took.start();
    emit viewRenderStarted(values.width, values.height);
    // The colours go with the work: the rows are coloured on the worker.
    const RowColours colours{m_doc.palette(), m_doc.colourSpread()};
    m_worker->request([this, engine, values, serial, colours](const std::atomic<bool>& superseded) -> LatestWorker::Delivery {
        if (engine == nullptr) return [this, serial] { viewRenderDone(RenderOutcome::NoMemory, serial); };
        QuietHost<std::atomic<bool>> host(*m_workerHost, superseded, false);
        RenderContext context;
        context.progress = m_queuedProgress.get();
        context.cancel = &superseded;
        context.pollCancel = [this] { return m_stop.load(); };
        context.rowsDone = [this, engine, serial, colours](std::int32_t first, std::int32_t end) {
            bool trueColour = false;
            const QByteArray rows = doneRows(*engine, first, end, colours, trueColour);
            QMetaObject::invokeMethod(
                this,
                [this, serial, first, end, rows, trueColour] {
                    if (serial == m_renderSerial) emit viewRowsDone(first, end, rows, trueColour);
                },
                Qt::QueuedConnection);
        };
        const RenderOutcome outcome = engine->render(values, context);
        tellRenderOutcome(host, outcome);
        return [this, outcome, serial] { viewRenderDone(outcome, serial); };
    });
}

void ExploreController::viewRenderDone(RenderOutcome outcome, std::uint64_t serial) {
    if (serial != m_renderSerial) return;
    if (m_restartPending && !m_stop) {
        // The picture is whole and no thread draws in it: shown, then drawn
        // again at the newest values.
        m_session.setBusy(false);
        m_doc.notifyChanged(doc_change::kPicture);
        m_session.setBusy(true);
        startViewRender();
        return;
    }
    m_viewRendering = false;
    m_session.setBusy(false);
    m_placeShown = outcome == RenderOutcome::Done;
    if (m_shell != nullptr) m_shell->renderEnded(static_cast<double>(m_took.elapsed()) / 1000.0);
    m_doc.notifyChanged(doc_change::kPicture);
    if (m_waiting != nullptr) m_waiting->quit();
    emit commandStateChanged();
}

bool ExploreController::isPictureBusyElsewhere() const { return m_session.isBusy() && !m_viewRendering; }

void ExploreController::cancelViewRender() {
    if (!m_viewRendering) return;
    m_restartPending = false;
    m_stop = true;
}

void ExploreController::waitForViewRender() {
    if (!m_viewRendering || m_waiting != nullptr) return;
    QEventLoop loop;
    m_waiting = &loop;
    loop.exec();
    m_waiting = nullptr;
}

void ExploreController::stopViewRender() {
    cancelViewRender();
    WaitCursor wait;
    waitForViewRender();
}

void ExploreController::settle() {
    if (!m_viewRendering || m_waiting != nullptr) return;
    QWidget& surface = m_view.surface();
    ProgressDialog dlg(&surface);
    dlg.setModal(false);
    dlg.setCancelFlag(&m_stop);
    // The wheel waits too: the command that asked comes first.
    RenderInputGate gate(surface, dlg, m_stop, [](const QWheelEvent&) { return false; });
    dlg.showCentredOver(surface);
    WaitCursor wait;
    ProgressBarSink sink(*dlg.progressBar());
    m_relay->waiting = &sink;
    waitForViewRender();
    m_relay->waiting = nullptr;
}

void ExploreController::leavePlace() {
    // Places passed through on the way, never shown whole, are no step back.
    if (m_placeShown && !m_viewRendering) m_history.push(m_doc.params());
    m_placeShown = false;
}

void ExploreController::changeAndRender(const FractalParams& values) {
    leavePlace();
    m_doc.setParams(values);
    m_doc.setModifiedFlag();
    renderView(true);
    emit commandStateChanged();
}

void ExploreController::travel(const std::optional<FractalParams>& values) {
    if (!values) return;
    m_placeShown = false;
    m_doc.setParams(*values);
    m_doc.setModifiedFlag();
    renderView(true);
    emit commandStateChanged();
}

void ExploreController::back() { travel(m_history.back(m_doc.params())); }

void ExploreController::forward() { travel(m_history.forward(m_doc.params())); }

void ExploreController::beginHeldZoom() {
    leavePlace();
    m_holding = true;
    emit commandStateChanged();
}

void ExploreController::heldZoomTo(const FractalParams& values) {
    m_doc.setParams(values);
    m_doc.setModifiedFlag();
    renderView(!m_holding);
}

void ExploreController::endHeldZoom() {
    if (!m_holding) return;
    m_holding = false;
    // The last values are drawn at once, not after a picture of older ones.
    if (m_restartPending) renderView(true);
}

// --- fit picture to window ---------------------------------------------------

void ExploreController::setFitToWindow(bool on) {
    m_fitToWindow = on;
    m_fitTimer->stop();
    fitSettled();
    emit commandStateChanged();
}

void ExploreController::viewResized() {
    // Restarted by every step of a drag, so only the settled size renders.
    if (m_fitToWindow) m_fitTimer->start();
}

void ExploreController::fitSettled() {
    if (!m_fitToWindow) return;
    if (m_session.isBusy()) {
        m_fitTimer->start();  // once the render under way is done
        return;
    }
    // Before the first render there is no picture to follow the window yet.
    if (m_session.isRendered() && fitDocumentToView()) render();
}

bool ExploreController::fitDocumentToView() {
    const QWidget& surface = m_view.surface();
    if (!m_fitToWindow || surface.width() <= 0 || surface.height() <= 0) return false;
    FractalParams values = m_doc.params();
    values.width = surface.width();
    values.height = surface.height();
    if (values.exact.empty()) {
        if (const auto fitted = fitRegionToClient({values.left, values.top, values.right, values.bottom},
                                                  surface.width(), surface.height())) {
            values.top = fitted->top;
            values.bottom = fitted->bottom;
        }
    } else if (values.width != m_doc.params().width || values.height != m_doc.params().height) {
        // Refitted in full precision when the size changes; at the same size
        // the digits would only wander by rounding.
        if (const auto fitted = fitExactLocation(values)) values = *fitted;
    }
    if (values == m_doc.params()) return false;
    // Following the window is no edit: an untouched document asks nothing on New.
    m_doc.setParams(values);
    return true;
}

// --- dialogs -----------------------------------------------------------------

void ExploreController::editLocation() {
    LocationDialog dlg(m_doc.params(), m_host, m_view.surface().window());
    m_dialogs.runModal(dlg);
    if (!dlg.m_location) return;  // cancelled, or closed without an edit
    m_view.endSelection();
    changeAndRender(*dlg.m_location);
}

void ExploreController::editPalette() {
    // Whatever closed the editor, the document counts as changed and the
    // picture shows the palette it now holds, without a new render.
    editDocumentPalette(m_doc, m_host, m_dialogs, m_view.surface().window());
}

void ExploreController::configure() {
    const auto editPalette = [this](QWidget& over) {
        Palette palette = m_doc.palette();
        runPaletteEditor(palette, m_host, m_dialogs, &over);
        m_doc.setPalette(palette);
    };
    const FractalParams before = m_doc.params();
    SettingsDialog dlg(m_doc, m_host, editPalette, m_view.surface().window());
    dlg.setHeldZoomRate(m_view.heldZoomRate());
    m_dialogs.runModal(dlg);
    if (dlg.m_accepted) m_view.setHeldZoomRate(dlg.heldZoomRate());
    if (dlg.m_accepted && !(m_doc.params() == before)) {
        m_history.push(before);
        emit commandStateChanged();
    }
    if (dlg.m_accepted) m_doc.setModifiedFlag();
    // A window system repaints what the dialog covered; here the whole view is
    // redrawn, so a new size shows its blank picture at once.
    if (dlg.m_paletteEdited || dlg.m_accepted)
        m_doc.notifyChanged(doc_change::kValues | doc_change::kPalette | doc_change::kPicture);
}

// --- printing ----------------------------------------------------------------

bool ExploreController::printDocument(QPrinter& printer) {
    FractalEngine* engine = m_session.engine();
    if (engine == nullptr) return false;
    buildBitmapOrTell(*engine, m_doc.palette(), m_host);
    QPainter painter;
    if (!painter.begin(&printer)) {
        showViewWarning(m_host, "Failed to start print job.");
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

void ExploreController::print() {
    if (m_shell == nullptr) return;
    QPrinter& printer = m_shell->printer();
    if (!m_dialogs.setUpPrint(&m_view.surface(), printer)) return;
    printDocument(printer);
}

void ExploreController::printDirect() {
    if (m_shell == nullptr) return;
    printDocument(m_shell->printer());
}

void ExploreController::printPreview() {
    if (m_shell == nullptr) return;
    int pages = m_shell->previewPages();
    m_dialogs.showPrintPreview(&m_view.surface(), m_shell->printer(), [this](QPrinter& p) { printDocument(p); },
                               pages);
    m_shell->setPreviewPages(pages);
}

// --- the animation frames window ---------------------------------------------

AnimationFramesWindow* ExploreController::animWindow() const { return m_animWindow.data(); }

bool ExploreController::isAnimWindowShown() const { return !m_animWindow.isNull() && m_animWindow->isVisible(); }

void ExploreController::showAnimWindow() {
    if (m_animWindow.isNull())
        m_animWindow = new AnimationFramesWindow(m_session, m_host, m_dialogs, m_view.surface().window());
    m_animWindow->show();
    m_animWindow->raise();
    emit commandStateChanged();
}

void ExploreController::toggleAnimWindow() {
    if (isAnimWindowShown()) {
        m_animWindow->hide();
        emit commandStateChanged();
        return;
    }
    showAnimWindow();
}

}  // namespace velmora::gui
