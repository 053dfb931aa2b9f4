#pragma once
// Between the document and the windows: every change that renders (with the
// history of places shown), the render itself, the dialogs that change the
// document, printing and the animation window's lifetime. The view paints and
// turns input into requests here; the preview, the bookmarks and the menus ask
// here too, never each other.
#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>

#include "location/FractalParams.h"
#include "render/SmoothColour.h"
#include "model/DocumentObserver.h"
#include "model/NavigationHistory.h"

class QEventLoop;
class QPrinter;
class QTimer;
class QWheelEvent;
class QWidget;

namespace velmora {
class Document;
class FractalEngine;
class Host;
class ProgressSink;
class RenderSession;
enum class RenderOutcome;
}  // namespace velmora

namespace velmora::gui {

class AnimationFramesWindow;
class CommandRouter;
class DesktopDialogs;
class GuiThreadHost;
class LatestWorker;
class QueuedProgress;
class RelayProgress;

// What the controller asks of the window around it - saving, the printer, the
// print preview's page count, the Deep label - without knowing that window.
class ExploreShell {
public:
    virtual ~ExploreShell() = default;
    virtual QPrinter& printer() = 0;
    virtual int previewPages() const = 0;
    virtual void setPreviewPages(int pages) = 0;
    // A render of the view begins (deep: it needs the deep engine), and ends
    // after `seconds`: the window says so while it runs and how long it took.
    virtual void renderStarted(bool /*deep*/) {}
    virtual void renderEnded(double /*seconds*/) {}
    // Where a render of the view shows its progress in the window; none when
    // the window shows none.
    virtual ProgressSink* viewProgress() { return nullptr; }
};

// What the controller asks of the view that shows the picture.
// The colours a render of the view shows its rows in.
struct RowColours {
    Palette palette;
    ColourSpread spread;
};

class ExploreView {
public:
    virtual ~ExploreView() = default;
    // Parent of the dialogs, place of the progress window, the surface whose
    // wheel zooms on during a render.
    virtual QWidget& surface() = 0;
    // Adds a wheel event's angle; true once it makes at least a whole notch.
    virtual bool addWheel(const QWheelEvent& event) = 0;
    // The place the whole notches gathered so far lead to; they are used up.
    virtual std::optional<FractalParams> takeWheelZoom() = 0;
    // Forgets the drag box.
    virtual void endSelection() = 0;
    // How many times a second a held right button zooms.
    virtual double heldZoomRate() const { return 2.0; }
    virtual void setHeldZoomRate(double /*perSecond*/) {}
};

// A warning in a box over the main window, as the picture's own commands give.
void showViewWarning(Host& host, const char* text);

class ExploreController : public QObject, public DocumentObserver {
    Q_OBJECT
public:
    ExploreController(RenderSession& session, Host& host, DesktopDialogs& dialogs, ExploreView& view);
    ~ExploreController() override;

    // The document's picture, which the windows show and leave alone while it is drawn.
    RenderSession& session() { return m_session; }
    // The window around; none while a test uses the view alone.
    void setShell(ExploreShell* shell) { m_shell = shell; }
    void connectCommands(CommandRouter& router);

    // Render Picture: with Fit Picture to Window on, the view's render below;
    // else the picture is drawn behind the progress window, again for every
    // wheel notch that came meanwhile.
    void render();
    // Every change that renders: the replaced values go on the history (unless
    // the place before was never shown: a burst of moves is one step), the new
    // ones are rendered in the view and the document counts as changed.
    void changeAndRender(const FractalParams& values);

    // The view's render: on a thread of its own while the window keeps taking
    // input; the view shows the old picture moved into the new place, then
    // the new rows as they are done. `interrupt`: a render under way stops
    // and starts again on the newest values; else it ends first (a held zoom,
    // so the view keeps getting whole pictures).
    void renderView(bool interrupt = true);
    bool isViewRendering() const { return m_viewRendering; }
    // Another job (the animation render, an export) draws in the picture: moves wait.
    bool isPictureBusyElsewhere() const;
    // Escape: the view's render stops (its picture is then blank).
    void cancelViewRender();
    // Before anything else uses the picture: a render of the view under way
    // ends first, behind the progress window (Escape stops it).
    void settle();

    // A held zoom: one history step at the start, the values moved on every
    // tick, the exact picture once released.
    void beginHeldZoom();
    void heldZoomTo(const FractalParams& values);
    void endHeldZoom();
    void back();
    void forward();
    const NavigationHistory& history() const { return m_history; }

    // Fit Picture to Window: while on, a render first gives the picture the
    // view's size and the region the view's proportions (centre and width
    // kept), and a resize renders again once the size has settled.
    void setFitToWindow(bool on);
    bool fitToWindow() const { return m_fitToWindow; }
    void viewResized();
    static constexpr int kFitSettleMs = 300;

    void editLocation();
    void configure();
    void editPalette();

    // Draws the picture on a printer page: top-left, as large as fits.
    // False when the printer could not be started (already reported).
    bool printDocument(QPrinter& printer);
    void print();
    void printDirect();
    void printPreview();

    // The animation frames window: the toolbar command only shows it (made on
    // first use), the View menu's toggle hides it while it is shown.
    void showAnimWindow();
    void toggleAnimWindow();
    bool isAnimWindowShown() const;
    AnimationFramesWindow* animWindow() const;

    // New and Open start the history afresh.
    void documentChanged(DocChanges what) override;

signals:
    // The history, the fit or the frames window's visibility changed: the
    // states of the commands that read them are due for an update.
    void commandStateChanged();
    // The view's render began on the document's values (a picture of
    // width x height); stored rows [first, end) of it are done, bottom row
    // first, a byte a pixel (palette indices) or, in true colour, four
    // (Qt's RGB32). Its end is announced as a new picture (kPicture).
    void viewRenderStarted(int width, int height);
    void viewRowsDone(int first, int end, const QByteArray& rows, bool trueColour);

private:
    void renderWithProgressWindow();
    void startViewRender();
    void viewRenderDone(RenderOutcome outcome, std::uint64_t serial);
    // Leaving the place shown for another: it goes on the history when it
    // was shown whole and no render of the view is under way.
    void leavePlace();
    // Stops the view's render and waits until it has.
    void stopViewRender();
    void waitForViewRender();
    void travel(const std::optional<FractalParams>& values);
    void fitSettled();
    bool fitDocumentToView();

    RenderSession& m_session;
    Document& m_doc;
    Host& m_host;
    DesktopDialogs& m_dialogs;
    ExploreView& m_view;
    ExploreShell* m_shell = nullptr;
    NavigationHistory m_history;
    QPointer<AnimationFramesWindow> m_animWindow;
    bool m_fitToWindow = false;
    QTimer* m_fitTimer = nullptr;

    std::unique_ptr<LatestWorker> m_worker;
    std::unique_ptr<GuiThreadHost> m_workerHost;
    std::unique_ptr<RelayProgress> m_relay;
    std::unique_ptr<QueuedProgress> m_queuedProgress;
    bool m_viewRendering = false;
    bool m_restartPending = false;  // newer values came while a render had to end first
    bool m_placeShown = true;       // the document's place was last shown whole
    bool m_holding = false;
    std::uint64_t m_renderSerial = 0;
    std::atomic<bool> m_stop{false};
    QElapsedTimer m_took;
    QEventLoop* m_waiting = nullptr;
};

}  // namespace velmora::gui
