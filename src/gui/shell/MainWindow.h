#pragma once
// The main window: menu bar, toolbar and status bar built from the command
// table, the view in the middle, and the bar layout kept in the settings.
//
// Commands are routed through router(): the view, the document commands, the
// frame and the application register their handlers there; a command without
// a handler is shown disabled. Call updateCommandUI() after changing state
// that an enable or check rule reads.
#include <QMainWindow>
#include <QProgressBar>
#include <map>
#include <memory>

#include "commands/CommandRouter.h"
#include "shell/DocumentCommands.h"
#include "model/DocumentObserver.h"
#include "view/FractalView.h"

class QAction;
class QLabel;
class QMenu;
class QSettings;
class QLabel;
class QStatusBar;
class QToolBar;

namespace velmora::gui {

class Application;
class BookmarksMenu;
class FractalView;
class JuliaPreview;

class MainWindow : public QMainWindow, public DocumentObserver, public ExploreShell {
    Q_OBJECT
public:
    explicit MainWindow(Application& app);
    ~MainWindow() override;

    void documentChanged(DocChanges what) override;

    // What the controller asks of the window around it.
    QPrinter& printer() override;
    int previewPages() const override;
    void setPreviewPages(int pages) override;
    void renderStarted(bool deep) override;
    void renderEnded(double seconds) override;
    ProgressSink* viewProgress() override { return m_renderProgress.get(); }
    // View > Smooth Colouring.
    void setSmoothColouring(bool on);

    Application& app() { return m_app; }
    FractalView* view() const { return m_view; }
    ExploreController& controller() { return *m_controller; }
    CommandRouter& router() { return m_router; }
    DocumentCommands& documents() { return m_documents; }

    QAction* action(int id) const;
    QMenu* menu(int index) const;  // 0 File .. 5 Help
    QToolBar* toolBar() const { return m_toolBar; }
    QStatusBar* statusBarWidget() const { return m_statusBar; }
    JuliaPreview* juliaPreview() const { return m_juliaPreview; }
    BookmarksMenu* bookmarks() const { return m_bookmarks; }

    // Runs a command as a menu, key or button would: only when enabled.
    bool dispatch(int id);
    // Re-reads every command's enable and check rule into its action.
    void updateCommandUI();
    // "<title> - Velmora".
    void updateTitle();
    // "Zoom 1.2e+47": how far the document's location is zoomed in.
    void updateZoomDepth();
    void rebuildRecentFileMenu();

    // View > Render Automatically: a document renders as soon as it is opened, and at start.
    bool renderAutomatically() const { return m_renderAutomatically; }
    void loadBarState(QSettings& settings);
    void saveBarState(QSettings& settings) const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createActions();
    void createMenus();
    void createToolBar();
    void createStatusBar();
    void createExploring();
    void connectFrameCommands();
    void onContextHelp();
    void onHelpIndex();

    Application& m_app;
    CommandRouter m_router;
    DocumentCommands m_documents;
    FractalView* m_view = nullptr;
    ExploreController* m_controller = nullptr;
    QToolBar* m_toolBar = nullptr;
    QStatusBar* m_statusBar = nullptr;
    JuliaPreview* m_juliaPreview = nullptr;
    BookmarksMenu* m_bookmarks = nullptr;
    QLabel* m_zoomDepth = nullptr;
    QLabel* m_deepLabel = nullptr;  // shown while the deep engine renders
    bool m_renderAutomatically = false;
    QLabel* m_renderTime = nullptr;  // how long the last render of the view took
    QProgressBar* m_renderBar = nullptr;  // the view's render under way
    std::unique_ptr<ProgressSink> m_renderProgress;
    std::map<int, QAction*> m_actions;
    QList<QMenu*> m_menus;
    QList<QAction*> m_recentActions;
    QAction* m_recentPlaceholder = nullptr;
    QAction* m_recentSeparator = nullptr;
};

}  // namespace velmora::gui
