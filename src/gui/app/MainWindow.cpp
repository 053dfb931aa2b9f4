#include "app/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QStatusBar>
#include <QToolBar>
#include <QWhatsThis>

#include "app/Application.h"
#include "app/CommandTable.h"
#include "app/HelpWindow.h"
#include "app/RecentFileList.h"
#include "app/ToolbarIcons.h"
#include "model/Document.h"
#include "render/FractalView.h"

namespace velmora::gui {

namespace {

QString Text(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

QList<QKeySequence> Keys(std::string_view keys) {
    QList<QKeySequence> out;
    for (const QString& k : Text(keys).split(QLatin1Char(';'), Qt::SkipEmptyParts))
        out.append(QKeySequence(k, QKeySequence::PortableText));
    return out;
}

const QString kBarSection = QStringLiteral("Settings-Summary");

}  // namespace

MainWindow::MainWindow(Application& app) : m_app(app), m_documents(*this) {
    setObjectName(QStringLiteral("MainWindow"));
    setWindowIcon(ApplicationIcon());
    resize(450, 425);

    // The view first: its creation installs the default palette.
    m_view = new FractalView(app.GetDocument(), app.GetHost(), app.GetDialogs(), this);
    m_view->SetFrame(this);
    setCentralWidget(m_view);

    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();
    ConnectFrameCommands();
    m_view->ConnectCommands(m_router);
    RebuildRecentFileMenu();
    UpdateTitle();
    UpdateCommandUI();
}

MainWindow::~MainWindow() = default;

QAction* MainWindow::Action(int id) const {
    const auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

QMenu* MainWindow::Menu(int index) const { return index >= 0 && index < m_menus.size() ? m_menus.at(index) : nullptr; }

void MainWindow::CreateActions() {
    for (const CommandInfo& c : Commands()) {
        auto* a = new QAction(this);
        a->setObjectName(QStringLiteral("cmd%1").arg(c.id));
        a->setText(c.menuText.empty() ? Text(c.tooltip) : Text(c.menuText));
        a->setStatusTip(Text(c.prompt));
        a->setToolTip(Text(c.tooltip));
        a->setWhatsThis(Text(c.prompt));
        a->setShortcuts(Keys(c.keys));
        a->setCheckable(c.checkable);
        a->setIcon(ToolbarIcon(c.id));
        a->setIconVisibleInMenu(false);
        addAction(a);  // keys work whichever bar is hidden
        const int id = c.id;
        connect(a, &QAction::triggered, this, [this, id] { Dispatch(id); });
        m_actions[c.id] = a;
    }
    // Entries 2..4 of the recent-file list; entry 1 is the table's own.
    for (int i = 1; i < kRecentFileCount; ++i) {
        auto* a = new QAction(this);
        const int id = ID_FILE_MRU_FILE1 + i;
        a->setObjectName(QStringLiteral("cmd%1").arg(id));
        a->setStatusTip(QStringLiteral("Open this document"));
        connect(a, &QAction::triggered, this, [this, id] { Dispatch(id); });
        m_actions[id] = a;
    }
}

void MainWindow::CreateMenus() {
    const auto titles = MenuTitles();
    for (const std::string_view title : titles) {
        QMenu* menu = menuBar()->addMenu(Text(title));
        menu->setToolTipsVisible(false);
        connect(menu, &QMenu::aboutToShow, this, &MainWindow::UpdateCommandUI);
        m_menus.append(menu);
    }
    for (const CommandInfo& c : Commands()) {
        if (c.menu == MenuName::None) continue;
        QMenu* menu = m_menus.at(static_cast<int>(c.menu) - 1);
        if (c.separatorBefore) menu->addSeparator();
        if (c.id == ID_FILE_MRU_FILE1) {
            m_recentPlaceholder = Action(c.id);
            menu->addAction(m_recentPlaceholder);
            for (int i = 1; i < kRecentFileCount; ++i) menu->addAction(Action(ID_FILE_MRU_FILE1 + i));
            continue;
        }
        menu->addAction(Action(c.id));
    }
}

void MainWindow::CreateToolBar() {
    m_wndToolBar = new QToolBar(QStringLiteral("Toolbar"), this);
    m_wndToolBar->setObjectName(QStringLiteral("ToolBar"));  // names the bar in the saved layout
    m_wndToolBar->setIconSize(QSize(kToolbarIconWidth, kToolbarIconHeight));
    m_wndToolBar->setAllowedAreas(Qt::AllToolBarAreas);
    m_wndToolBar->setMovable(true);
    m_wndToolBar->setFloatable(true);
    m_wndToolBar->setWhatsThis(tr("<b>Toolbar</b><p>Shortcuts to the most used commands. Drag it by its handle "
                                  "to any edge of the window, or hide it from the View menu.</p>"));
    for (const int id : ToolbarLayout()) {
        if (id == 0)
            m_wndToolBar->addSeparator();
        else
            m_wndToolBar->addAction(Action(id));
    }
    addToolBar(Qt::TopToolBarArea, m_wndToolBar);
}

void MainWindow::CreateStatusBar() {
    m_wndStatusBar = new QStatusBar(this);
    m_wndStatusBar->setObjectName(QStringLiteral("StatusBar"));
    m_wndStatusBar->setWhatsThis(tr("<b>Status bar</b><p>Says what the command under the mouse does.</p>"));
    setStatusBar(m_wndStatusBar);
    // The idle text returns whenever a prompt is taken away.
    connect(m_wndStatusBar, &QStatusBar::messageChanged, this, [this](const QString& text) {
        if (text.isEmpty()) m_wndStatusBar->showMessage(QStringLiteral("Ready"));
    });
    m_wndStatusBar->showMessage(QStringLiteral("Ready"));
}

void MainWindow::ConnectFrameCommands() {
    CommandRouter& r = m_router;
    r.Set(ID_FILE_OPEN, [this] { m_documents.OnFileOpen(); });
    r.Set(ID_FILE_SAVE, [this] { m_documents.OnFileSave(); });
    r.Set(ID_FILE_SAVE_AS, [this] { m_documents.OnFileSaveAs(); });
    r.Set(ID_FILE_EXPORTBMP, [this] { m_documents.OnExportBmp(); },
          [this](CommandState& s) { s.enabled = m_documents.CanExportBmp(); });
    r.Set(ID_FILE_PRINT_SETUP, [this] { m_app.OnFilePrintSetup(); });
    for (int i = 0; i < kRecentFileCount; ++i) {
        r.Set(ID_FILE_MRU_FILE1 + i, [this, i] { m_documents.OnOpenRecentFile(i); },
              [this, i](CommandState& s) { s.enabled = i < m_app.GetRecentFiles().Files().size(); });
    }
    r.Set(ID_APP_EXIT, [this] { close(); });
    r.Set(ID_VIEW_TOOLBAR, [this] { m_wndToolBar->setVisible(m_wndToolBar->isHidden()); },
          [this](CommandState& s) { s.checked = !m_wndToolBar->isHidden(); });
    r.Set(ID_VIEW_STATUS_BAR, [this] { m_wndStatusBar->setVisible(m_wndStatusBar->isHidden()); },
          [this](CommandState& s) { s.checked = !m_wndStatusBar->isHidden(); });
    r.Set(ID_HELP_INDEX, [this] { OnHelpIndex(); });
    r.Set(ID_HELP_FINDER, [this] { ShowHelpTopic(this, QStringLiteral("index")); });
    r.Set(ID_HELP, [this] { ShowHelpTopic(this, QStringLiteral("index")); });
    r.Set(ID_CONTEXT_HELP, [this] { OnContextHelp(); });
    r.Set(ID_APP_ABOUT, [this] { m_app.OnAppAbout(); });
}

bool MainWindow::Dispatch(int id) {
    const bool ran = m_router.Run(id);
    UpdateCommandUI();
    return ran;
}

void MainWindow::UpdateCommandUI() {
    for (const auto& [id, action] : m_actions) {
        if (action == m_recentPlaceholder && m_app.GetRecentFiles().Files().isEmpty()) {
            action->setEnabled(false);  // the greyed "Recent File" line
            continue;
        }
        const CommandState s = m_router.State(id);
        action->setEnabled(s.enabled);
        if (action->isCheckable()) action->setChecked(s.checked);
    }
}

void MainWindow::UpdateTitle() {
    setWindowTitle(QString::fromStdString(m_app.GetDocument().GetTitle()) + QStringLiteral(" - Velmora"));
}

void MainWindow::RebuildRecentFileMenu() {
    const RecentFileList& recent = m_app.GetRecentFiles();
    for (int i = 0; i < kRecentFileCount; ++i) {
        QAction* a = Action(ID_FILE_MRU_FILE1 + i);
        if (i < recent.Files().size()) {
            a->setText(recent.MenuText(i));
            a->setVisible(true);
        } else if (i == 0) {
            a->setText(QStringLiteral("Recent File"));
            a->setVisible(true);
        } else {
            a->setVisible(false);
        }
    }
    UpdateCommandUI();
}

void MainWindow::LoadBarState(QSettings& settings) {
    settings.beginGroup(kBarSection);
    const QByteArray state = settings.value(QStringLiteral("State")).toByteArray();
    if (!state.isEmpty()) restoreState(state);
    m_wndStatusBar->setVisible(settings.value(QStringLiteral("StatusBar"), true).toBool());
    settings.endGroup();
}

void MainWindow::SaveBarState(QSettings& settings) const {
    settings.beginGroup(kBarSection);
    settings.setValue(QStringLiteral("State"), saveState());
    settings.setValue(QStringLiteral("StatusBar"), !m_wndStatusBar->isHidden());
    settings.endGroup();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    {
        // Saved first: the layout is kept even when the close is then cancelled.
        auto settings = Application::OpenSettings();
        SaveBarState(*settings);
    }
    if (!m_documents.SaveModified()) {
        event->ignore();
        return;
    }
    m_app.SaveRecentFiles();
    event->accept();
}

void MainWindow::OnContextHelp() { QWhatsThis::enterWhatsThisMode(); }

void MainWindow::OnHelpIndex() {
    // The topic of the window in front; dialogs name theirs in "helpTopic".
    QWidget* active = QApplication::activeModalWidget();
    if (active == nullptr) active = QApplication::activeWindow();
    QString topic = active != nullptr ? active->property("helpTopic").toString() : QString();
    if (topic.isEmpty()) topic = QStringLiteral("main");
    ShowHelpTopic(this, topic);
}

}  // namespace velmora::gui
