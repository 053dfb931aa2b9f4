#include "shell/MainWindow.h"

#include <set>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QStatusBar>
#include <QToolBar>
#include <QWhatsThis>

#include "shell/Application.h"
#include "shell/BookmarksMenu.h"
#include "widgets/ProgressDialog.h"
#include "view/JuliaPreview.h"
#include "commands/CommandTable.h"
#include "widgets/HelpWindow.h"
#include "shell/RecentFileList.h"
#include "widgets/ToolbarIcons.h"
#include "location/ZoomDepth.h"
#include "model/Document.h"
#include "session/RenderSession.h"
#include "view/FractalView.h"

namespace velmora::gui {

namespace {

QString text(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

QList<QKeySequence> keys(std::string_view keys) {
    QList<QKeySequence> out;
    for (const QString& k : text(keys).split(QLatin1Char(';'), Qt::SkipEmptyParts))
        out.append(QKeySequence(k, QKeySequence::PortableText));
    return out;
}

const QString kBarSection = QStringLiteral("Settings-Summary");
const QString kFitToWindow = QStringLiteral("FitPictureToWindow");
const QString kRenderAutomatically = QStringLiteral("RenderAutomatically");
const QString kHeldZoomRate = QStringLiteral("HeldZoomRate");
const QString kSmoothColouring = QStringLiteral("SmoothColouring");

}  // namespace

MainWindow::MainWindow(Application& app) : m_app(app), m_documents(*this) {
    setObjectName(QStringLiteral("MainWindow"));
    setWindowIcon(applicationIcon());
    resize(450, 425);

    // The view first: its creation installs the default palette.
    m_view = new FractalView(app.session(), app.host(), this);
    setCentralWidget(m_view);
    m_controller = new ExploreController(app.session(), app.host(), app.dialogs(), *m_view);
    m_controller->setParent(this);
    m_controller->setShell(this);
    m_view->setController(m_controller);

    createActions();
    createMenus();
    createToolBar();
    createStatusBar();
    createExploring();
    connectFrameCommands();
    m_view->connectCommands(m_router);
    m_controller->connectCommands(m_router);
    // A command finds the picture whole: the view's render ends first, except
    // for the commands that move the view, which draw the newest place instead.
    m_router.setBeforeRun([this](int id) {
        static const std::set<int> moves{ID_RENDER,   ID_ZOOM_IN,         ID_ZOOM_OUT,        ID_NAV_BACK,
                                         ID_NAV_FORWARD, ID_ZOOM_IN_CENTRE, ID_ZOOM_OUT_CENTRE};
        if (moves.count(id) == 0) m_controller->settle();
    });
    rebuildRecentFileMenu();
    updateTitle();
    updateCommandUI();
    // The states of the commands follow the document and the view's own state.
    app.document().addObserver(*this);
    connect(m_view, &FractalView::commandStateChanged, this, &MainWindow::updateCommandUI);
    connect(m_controller, &ExploreController::commandStateChanged, this, &MainWindow::updateCommandUI);
}

MainWindow::~MainWindow() {
    m_app.document().removeObserver(*this);
    // The dock hides as the window goes, after this class's members are gone.
    disconnect(m_juliaPreview, nullptr, this, nullptr);
}

QPrinter& MainWindow::printer() { return m_app.printer(); }
int MainWindow::previewPages() const { return m_app.previewPages(); }
void MainWindow::setPreviewPages(int pages) { m_app.setPreviewPages(pages); }

void MainWindow::documentChanged(DocChanges what) {
    if ((what & (doc_change::kPath | doc_change::kModified)) != 0) updateTitle();
    if ((what & doc_change::kValues) != 0) updateZoomDepth();
    updateCommandUI();
}

QAction* MainWindow::action(int id) const {
    const auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

QMenu* MainWindow::menu(int index) const { return index >= 0 && index < m_menus.size() ? m_menus.at(index) : nullptr; }

void MainWindow::createActions() {
    for (const CommandInfo& c : commands()) {
        auto* a = new QAction(this);
        a->setObjectName(QStringLiteral("cmd%1").arg(c.id));
        a->setText(c.menuText.empty() ? text(c.tooltip) : text(c.menuText));
        a->setStatusTip(text(c.prompt));
        a->setToolTip(text(c.tooltip));
        a->setWhatsThis(text(c.prompt));
        a->setShortcuts(keys(c.keys));
        a->setCheckable(c.checkable);
        a->setIcon(toolbarIcon(c.id));
        a->setIconVisibleInMenu(false);
        addAction(a);  // keys work whichever bar is hidden
        const int id = c.id;
        connect(a, &QAction::triggered, this, [this, id] { dispatch(id); });
        m_actions[c.id] = a;
    }
    // Entries 2..4 of the recent-file list; entry 1 is the table's own.
    for (int i = 1; i < kRecentFileCount; ++i) {
        auto* a = new QAction(this);
        const int id = ID_FILE_MRU_FILE1 + i;
        a->setObjectName(QStringLiteral("cmd%1").arg(id));
        a->setStatusTip(QStringLiteral("Open this document"));
        connect(a, &QAction::triggered, this, [this, id] { dispatch(id); });
        m_actions[id] = a;
    }
}

void MainWindow::createMenus() {
    const auto titles = menuTitles();
    for (const std::string_view title : titles) {
        QMenu* menu = menuBar()->addMenu(text(title));
        menu->setToolTipsVisible(false);
        connect(menu, &QMenu::aboutToShow, this, &MainWindow::updateCommandUI);
        m_menus.append(menu);
    }
    for (const CommandInfo& c : commands()) {
        if (c.menu == MenuName::None) continue;
        QMenu* menu = m_menus.at(static_cast<int>(c.menu) - 1);
        if (c.separatorBefore) menu->addSeparator();
        if (c.id == ID_FILE_MRU_FILE1) {
            m_recentPlaceholder = action(c.id);
            menu->addAction(m_recentPlaceholder);
            for (int i = 1; i < kRecentFileCount; ++i) menu->addAction(action(ID_FILE_MRU_FILE1 + i));
            continue;
        }
        menu->addAction(action(c.id));
    }
}

void MainWindow::createToolBar() {
    m_toolBar = new QToolBar(QStringLiteral("Toolbar"), this);
    m_toolBar->setObjectName(QStringLiteral("ToolBar"));  // names the bar in the saved layout
    m_toolBar->setIconSize(QSize(kToolbarIconWidth, kToolbarIconHeight));
    m_toolBar->setAllowedAreas(Qt::AllToolBarAreas);
    m_toolBar->setMovable(true);
    m_toolBar->setFloatable(true);
    m_toolBar->setWhatsThis(tr("<b>Toolbar</b><p>Shortcuts to the most used commands. Drag it by its handle "
                                  "to any edge of the window, or hide it from the View menu.</p>"));
    for (const int id : toolbarLayout()) {
        if (id == 0)
            m_toolBar->addSeparator();
        else
            m_toolBar->addAction(action(id));
    }
    addToolBar(Qt::TopToolBarArea, m_toolBar);
}

void MainWindow::createStatusBar() {
    m_statusBar = new QStatusBar(this);
    m_statusBar->setObjectName(QStringLiteral("StatusBar"));
    m_statusBar->setWhatsThis(tr("<b>Status bar</b><p>Says what the command under the mouse does.</p>"));
    setStatusBar(m_statusBar);
    // The idle text returns whenever a prompt is taken away.
    connect(m_statusBar, &QStatusBar::messageChanged, this, [this](const QString& text) {
        if (text.isEmpty()) m_statusBar->showMessage(QStringLiteral("Ready"));
    });
    m_statusBar->showMessage(QStringLiteral("Ready"));
    m_zoomDepth = new QLabel(m_statusBar);
    m_zoomDepth->setObjectName(QStringLiteral("ZoomDepth"));
    m_statusBar->addPermanentWidget(m_zoomDepth);
    updateZoomDepth();
    m_deepLabel = new QLabel(QStringLiteral("Deep"), m_statusBar);
    m_deepLabel->setObjectName(QStringLiteral("DeepLabel"));
    m_deepLabel->hide();
    m_statusBar->addPermanentWidget(m_deepLabel);
    m_renderTime = new QLabel(m_statusBar);
    m_renderTime->setObjectName(QStringLiteral("RenderTime"));
    m_statusBar->addPermanentWidget(m_renderTime);
    m_renderBar = new QProgressBar(m_statusBar);
    m_renderBar->setObjectName(QStringLiteral("RenderProgress"));
    m_renderBar->setMaximumWidth(160);
    m_renderBar->setTextVisible(false);
    m_renderBar->hide();
    m_statusBar->addPermanentWidget(m_renderBar);
    m_renderProgress = std::make_unique<ProgressBarSink>(*m_renderBar);
    auto* point = new QLabel(m_statusBar);
    point->setObjectName(QStringLiteral("PointUnderMouse"));
    point->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_statusBar->insertPermanentWidget(0, point);
    connect(m_view, &FractalView::pointUnderMouse, point, &QLabel::setText);
}

void MainWindow::renderStarted(bool deep) {
    m_deepLabel->setVisible(deep);
    m_statusBar->showMessage(QStringLiteral("Rendering..."));
    m_renderBar->reset();
    m_renderBar->show();
    // Painted now: the render keeps the window from its next paint for a while.
    m_statusBar->repaint();
}

void MainWindow::renderEnded(double seconds) {
    m_deepLabel->hide();
    m_renderBar->hide();
    m_statusBar->clearMessage();  // back to "Ready"
    m_renderTime->setText(QStringLiteral("Rendered in %1 s").arg(seconds, 0, 'f', seconds < 10 ? 2 : 1));
}

void MainWindow::setSmoothColouring(bool on) {
    m_view->setSmooth(on);
    // A picture drawn without the samples is drawn again to show them.
    const FractalEngine* engine = m_app.session().engine();
    if (on && engine != nullptr && engine->isValid() && !engine->hasSmooth()) m_controller->renderView(true);
    updateCommandUI();
}

void MainWindow::updateZoomDepth() {
    m_zoomDepth->setText(QString::fromStdString(zoomDepthText(m_app.document().params())));
}

void MainWindow::createExploring() {
    m_juliaPreview = new JuliaPreview(m_app.document(), *m_view, *m_controller, this);
    addDockWidget(Qt::RightDockWidgetArea, m_juliaPreview);
    m_juliaPreview->hide();  // until asked for, or the saved layout shows it
    connect(m_juliaPreview, &QDockWidget::visibilityChanged, this, &MainWindow::updateCommandUI);
    m_bookmarks = new BookmarksMenu(*menu(static_cast<int>(MenuName::Bookmarks) - 1), m_app.document(), *m_controller,
                                   m_app.dialogs(), this);
    m_bookmarks->connectCommands(m_router);
}

void MainWindow::connectFrameCommands() {
    CommandRouter& r = m_router;
    r.set(ID_FILE_NEW, [this] { m_documents.onFileNew(); });
    r.set(ID_FILE_OPEN, [this] { m_documents.onFileOpen(); });
    r.set(ID_FILE_SAVE, [this] { m_documents.onFileSave(); });
    r.set(ID_FILE_SAVE_AS, [this] { m_documents.onFileSaveAs(); });
    r.set(ID_FILE_EXPORTBMP, [this] { m_documents.onExportBmp(); },
          [this](CommandState& s) { s.enabled = m_documents.canExportBmp(); });
    r.set(ID_FILE_EXPORTIMAGE, [this] { m_documents.onExportImage(); });
    r.set(ID_FILE_PRINT_SETUP, [this] { m_app.onFilePrintSetup(); });
    for (int i = 0; i < kRecentFileCount; ++i) {
        r.set(ID_FILE_MRU_FILE1 + i, [this, i] { m_documents.onOpenRecentFile(i); },
              [this, i](CommandState& s) { s.enabled = i < m_app.recentFiles().files().size(); });
    }
    r.set(ID_APP_EXIT, [this] { close(); });
    r.set(ID_VIEW_TOOLBAR, [this] { m_toolBar->setVisible(m_toolBar->isHidden()); },
          [this](CommandState& s) { s.checked = !m_toolBar->isHidden(); });
    r.set(ID_VIEW_STATUS_BAR, [this] { m_statusBar->setVisible(m_statusBar->isHidden()); },
          [this](CommandState& s) { s.checked = !m_statusBar->isHidden(); });
    r.set(ID_VIEW_JULIA_PREVIEW, [this] { m_juliaPreview->setVisible(m_juliaPreview->isHidden()); },
          [this](CommandState& s) { s.checked = !m_juliaPreview->isHidden(); });
    r.set(ID_VIEW_FIT_TO_WINDOW, [this] { m_controller->setFitToWindow(!m_controller->fitToWindow()); },
          [this](CommandState& s) { s.checked = m_controller->fitToWindow(); });
    r.set(ID_VIEW_SMOOTH_COLOURING, [this] { setSmoothColouring(!m_view->isSmooth()); },
          [this](CommandState& s) { s.checked = m_view->isSmooth(); });
    r.set(ID_VIEW_RENDER_AUTOMATICALLY, [this] { m_renderAutomatically = !m_renderAutomatically; },
          [this](CommandState& s) { s.checked = m_renderAutomatically; });
    r.set(ID_HELP_INDEX, [this] { onHelpIndex(); });
    r.set(ID_HELP_FINDER, [this] { showHelpTopic(this, QStringLiteral("index")); });
    r.set(ID_HELP, [this] { showHelpTopic(this, QStringLiteral("index")); });
    r.set(ID_CONTEXT_HELP, [this] { onContextHelp(); });
    r.set(ID_APP_ABOUT, [this] { m_app.onAppAbout(); });
}

bool MainWindow::dispatch(int id) {
    const bool ran = m_router.run(id);
    updateCommandUI();
    return ran;
}

void MainWindow::updateCommandUI() {
    for (const auto& [id, action] : m_actions) {
        if (action == m_recentPlaceholder && m_app.recentFiles().files().isEmpty()) {
            action->setEnabled(false);  // the greyed "Recent File" line
            continue;
        }
        const CommandState s = m_router.state(id);
        action->setEnabled(s.enabled);
        if (action->isCheckable()) action->setChecked(s.checked);
    }
}

void MainWindow::updateTitle() {
    setWindowTitle(QString::fromStdString(m_app.document().title()) + QStringLiteral(" - Velmora"));
}

void MainWindow::rebuildRecentFileMenu() {
    const RecentFileList& recent = m_app.recentFiles();
    for (int i = 0; i < kRecentFileCount; ++i) {
        QAction* a = action(ID_FILE_MRU_FILE1 + i);
        if (i < recent.files().size()) {
            a->setText(recent.menuText(i));
            a->setVisible(true);
        } else if (i == 0) {
            a->setText(QStringLiteral("Recent File"));
            a->setVisible(true);
        } else {
            a->setVisible(false);
        }
    }
    updateCommandUI();
}

void MainWindow::loadBarState(QSettings& settings) {
    settings.beginGroup(kBarSection);
    // The window's size and place first, then the bars and docks within it.
    const QByteArray geometry = settings.value(QStringLiteral("Geometry")).toByteArray();
    if (!geometry.isEmpty()) restoreGeometry(geometry);
    const QByteArray state = settings.value(QStringLiteral("State")).toByteArray();
    if (!state.isEmpty()) restoreState(state);
    m_statusBar->setVisible(settings.value(QStringLiteral("StatusBar"), true).toBool());
    m_controller->setFitToWindow(settings.value(kFitToWindow, false).toBool());
    m_renderAutomatically = settings.value(kRenderAutomatically, false).toBool();
    m_view->setHeldZoomRate(settings.value(kHeldZoomRate, 2.0).toDouble());
    m_view->setSmooth(settings.value(kSmoothColouring, false).toBool());
    settings.endGroup();
}

void MainWindow::saveBarState(QSettings& settings) const {
    settings.beginGroup(kBarSection);
    settings.setValue(QStringLiteral("Geometry"), saveGeometry());
    settings.setValue(QStringLiteral("State"), saveState());
    settings.setValue(QStringLiteral("StatusBar"), !m_statusBar->isHidden());
    settings.setValue(kFitToWindow, m_controller->fitToWindow());
    settings.setValue(kRenderAutomatically, m_renderAutomatically);
    settings.setValue(kSmoothColouring, m_view->isSmooth());
    settings.setValue(kHeldZoomRate, m_view->heldZoomRate());
    settings.endGroup();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    {
        // Saved first: the layout is kept even when the close is then cancelled.
        auto settings = Application::openSettings();
        saveBarState(*settings);
    }
    if (!m_documents.saveModified()) {
        event->ignore();
        return;
    }
    m_app.saveRecentFiles();
    event->accept();
}

void MainWindow::onContextHelp() { QWhatsThis::enterWhatsThisMode(); }

void MainWindow::onHelpIndex() {
    // The topic of the window in front; dialogs name theirs in "helpTopic".
    QWidget* active = QApplication::activeModalWidget();
    if (active == nullptr) active = QApplication::activeWindow();
    QString topic = active != nullptr ? active->property("helpTopic").toString() : QString();
    if (topic.isEmpty()) topic = QStringLiteral("main");
    showHelpTopic(this, topic);
}

}  // namespace velmora::gui
