#pragma once
// The main window: menu bar, toolbar and status bar built from the command
// table, the view in the middle, and the bar layout kept in the settings.
//
// Commands are routed through Router(): the view, the document commands, the
// frame and the application register their handlers there; a command without
// a handler is shown disabled. Call UpdateCommandUI() after changing state
// that an enable or check rule reads.
#include <QMainWindow>
#include <map>
#include <memory>

#include "app/CommandRouter.h"
#include "app/DocumentCommands.h"

class QAction;
class QMenu;
class QSettings;
class QStatusBar;
class QToolBar;

namespace velmora::gui {

class Application;
class FractalView;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(Application& app);
    ~MainWindow() override;

    Application& App() { return m_app; }
    FractalView* GetView() const { return m_view; }
    CommandRouter& Router() { return m_router; }
    DocumentCommands& Documents() { return m_documents; }

    QAction* Action(int id) const;
    QMenu* Menu(int index) const;  // 0 File .. 4 Help
    QToolBar* ToolBar() const { return m_wndToolBar; }
    QStatusBar* StatusBar() const { return m_wndStatusBar; }

    // Runs a command as a menu, key or button would: only when enabled.
    bool Dispatch(int id);
    // Re-reads every command's enable and check rule into its action.
    void UpdateCommandUI();
    // "<title> - Velmora".
    void UpdateTitle();
    void RebuildRecentFileMenu();

    void LoadBarState(QSettings& settings);
    void SaveBarState(QSettings& settings) const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    void ConnectFrameCommands();
    void OnContextHelp();
    void OnHelpIndex();

    Application& m_app;
    CommandRouter m_router;
    DocumentCommands m_documents;
    FractalView* m_view = nullptr;
    QToolBar* m_wndToolBar = nullptr;
    QStatusBar* m_wndStatusBar = nullptr;
    std::map<int, QAction*> m_actions;
    QList<QMenu*> m_menus;
    QList<QAction*> m_recentActions;
    QAction* m_recentPlaceholder = nullptr;
    QAction* m_recentSeparator = nullptr;
};

}  // namespace velmora::gui
