#include "PlayerWindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

#include "FrameView.h"
#include "video/VideoEncoder.h"

namespace {

// How many entries are tried for the window's size when the first ones are missing.
constexpr int kSizeProbeLimit = 32;
constexpr int kNoFrameWidth = 320;
constexpr int kNoFrameHeight = 240;

}  // namespace

PlayerWindow::PlayerWindow(const velmora::PlayScript& script, const QString& scriptName, QWidget* parent)
    : QWidget(parent), m_scriptName(scriptName), m_playback(script.frames.size(), script.loopCount) {
    m_paths.reserve(static_cast<qsizetype>(script.frames.size()));
    for (const std::string& frame : script.frames)
        m_paths.push_back(QFile::decodeName(QByteArray::fromStdString(frame)));

    setFocusPolicy(Qt::StrongFocus);
    m_askOpenPath = [](QWidget* parent, bool folder) {
        return folder ? QFileDialog::getExistingDirectory(parent, tr("Open Folder"))
                      : QFileDialog::getOpenFileName(parent, tr("Open"), QString(),
                                                     tr("Playback scripts (*.aas);;All files (*)"));
    };
    m_askVideoPath = [](QWidget* parent) {
        return QFileDialog::getSaveFileName(parent, tr("Save Video"), QString(),
                                            tr("MP4 video (*.mp4);;WebM video (*.webm);;Matroska video (*.mkv)"));
    };

    m_view = new FrameView(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* menus = new QMenuBar(this);
    QMenu* file = menus->addMenu(tr("&File"));
    file->addAction(tr("&Open..."), QKeySequence::Open, this, &PlayerWindow::openScript)
        ->setObjectName(QStringLiteral("openScript"));
    file->addAction(tr("Open &Folder..."), this, &PlayerWindow::openFolder)->setObjectName(QStringLiteral("openFolder"));
    QAction* save = file->addAction(tr("Save &Video..."), this, &PlayerWindow::saveVideoAs);
    save->setObjectName(QStringLiteral("saveVideo"));
    file->addSeparator();
    file->addAction(tr("&Close"), this, &QWidget::close);
    layout->setMenuBar(menus);
    layout->addWidget(m_view, 1);
    m_controls = buildControls();
    layout->addWidget(m_controls);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &PlayerWindow::advanceFrame);

    // The keys, also offered on the right mouse button so they can be found.
    setContextMenuPolicy(Qt::ActionsContextMenu);
    addMenuAction(tr("&Pause / Play\tSpace"), &PlayerWindow::togglePause);
    addMenuAction(tr("&Next Frame\tRight"), &PlayerWindow::stepForward);
    addMenuAction(tr("P&revious Frame\tLeft"), &PlayerWindow::stepBack);
    addMenuAction(tr("&Faster\t+"), &PlayerWindow::faster);
    addMenuAction(tr("&Slower\t-"), &PlayerWindow::slower);
    addMenuAction(tr("Res&tart\tHome"), &PlayerWindow::restart);
    auto* separator = new QAction(this);
    separator->setSeparator(true);
    addAction(separator);
    auto* close = new QAction(tr("&Close\tEsc"), this);
    connect(close, &QAction::triggered, this, &QWidget::close);
    addAction(close);

    showCurrent();
    refresh();
}

QWidget* PlayerWindow::buildControls() {
    auto* bar = new QWidget(this);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(6, 4, 6, 4);
    // The keys stay with the window: no control takes the focus from it.
    auto button = [&](const char* name, QStyle::StandardPixmap icon, const QString& tip, void (PlayerWindow::*slot)()) {
        auto* b = new QToolButton(bar);
        b->setObjectName(QString::fromLatin1(name));
        b->setIcon(style()->standardIcon(icon));
        b->setToolTip(tip);
        b->setFocusPolicy(Qt::NoFocus);
        connect(b, &QToolButton::clicked, this, slot);
        row->addWidget(b);
        return b;
    };
    m_previous = button("previousFrame", QStyle::SP_MediaSkipBackward, tr("Previous frame (Left)"),
                        &PlayerWindow::stepBack);
    m_playPause = button("playPause", QStyle::SP_MediaPause, tr("Play / Pause (Space)"), &PlayerWindow::togglePause);
    m_next = button("nextFrame", QStyle::SP_MediaSkipForward, tr("Next frame (Right)"), &PlayerWindow::stepForward);

    m_position = new QSlider(Qt::Horizontal, bar);
    m_position->setObjectName(QStringLiteral("position"));
    m_position->setFocusPolicy(Qt::NoFocus);
    m_position->setRange(0, static_cast<int>(std::max<std::size_t>(m_playback.frameCount(), 1) - 1));
    m_position->setMinimumWidth(80);
    connect(m_position, &QSlider::valueChanged, this, &PlayerWindow::seek);
    row->addWidget(m_position, 1);

    m_frameLabel = new QLabel(bar);
    m_frameLabel->setObjectName(QStringLiteral("frameLabel"));
    row->addWidget(m_frameLabel);

    m_fps = new QSpinBox(bar);
    m_fps->setObjectName(QStringLiteral("fps"));
    m_fps->setRange(velmora::kMinFps, velmora::kMaxFps);
    m_fps->setSuffix(tr(" fps"));
    m_fps->setToolTip(tr("Speed in frames per second (+ / -)"));
    // A click lets a speed be typed; Enter hands the keys back to the player.
    m_fps->setFocusPolicy(Qt::ClickFocus);
    m_fps->setKeyboardTracking(false);
    m_fps->setValue(m_playback.fps());
    connect(m_fps, &QSpinBox::valueChanged, this, &PlayerWindow::setFps);
    connect(m_fps, &QSpinBox::editingFinished, this, [this] { setFocus(); });
    row->addWidget(m_fps);

    m_loop = new QCheckBox(tr("Loop"), bar);
    m_loop->setObjectName(QStringLiteral("loop"));
    m_loop->setToolTip(tr("Play from the start again without end"));
    m_loop->setFocusPolicy(Qt::NoFocus);
    connect(m_loop, &QCheckBox::toggled, this, &PlayerWindow::setLooping);
    row->addWidget(m_loop);
    return bar;
}

void PlayerWindow::addMenuAction(const QString& text, void (PlayerWindow::*slot)()) {
    auto* action = new QAction(text, this);
    connect(action, &QAction::triggered, this, slot);
    addAction(action);
}

QSize PlayerWindow::firstFrameSize() const {
    QSize frame(kNoFrameWidth, kNoFrameHeight);
    const qsizetype probes = std::min<qsizetype>(m_paths.size(), kSizeProbeLimit);
    for (qsizetype i = 0; i < probes; ++i) {
        // The header is enough for the size; nothing is decoded.
        const QSize size = FrameCache::frameSize(m_paths[i]);
        if (size.isValid() && !size.isEmpty()) {
            frame = size;
            break;
        }
    }
    QSize avail;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) avail = screen->availableGeometry().size() * 9 / 10;
    const velmora::WindowSize fit =
        velmora::fitWindowSize(frame.width(), frame.height(), avail.width(), avail.height());
    return {fit.width, fit.height};
}

QWidget* PlayerWindow::pictureView() const { return m_view; }

void PlayerWindow::start() {
    // The picture's area plus the menu and the controls, never narrower than
    // the controls need.
    const QSize picture = firstFrameSize();
    const QSize extra = sizeHint() - m_view->sizeHint();
    resize(std::max(picture.width(), minimumSizeHint().width()), picture.height() + std::max(extra.height(), 0));
    m_started = true;
    refresh();
}

void PlayerWindow::advanceFrame() {
    if (m_playback.tick()) showCurrent();
    refresh();
}

void PlayerWindow::togglePause() {
    const std::size_t before = m_playback.frame();
    m_playback.togglePause();
    if (m_playback.frame() != before) showCurrent();
    refresh();
}

void PlayerWindow::stepForward() {
    if (m_playback.stepForward()) showCurrent();
    refresh();
}

void PlayerWindow::stepBack() {
    if (m_playback.stepBack()) showCurrent();
    refresh();
}

void PlayerWindow::faster() {
    m_playback.faster();
    refresh();
}

void PlayerWindow::slower() {
    m_playback.slower();
    refresh();
}

void PlayerWindow::restart() {
    m_playback.restart();
    showCurrent();
    refresh();
}

void PlayerWindow::seek(int entry) {
    if (m_playback.seek(static_cast<std::size_t>(std::max(entry, 0)))) showCurrent();
    refresh();
}

void PlayerWindow::setFps(int fps) {
    m_playback.setFps(fps);
    refresh();
}

void PlayerWindow::setLooping(bool looping) {
    const std::size_t before = m_playback.frame();
    m_playback.setLooping(looping);
    if (m_playback.frame() != before) showCurrent();
    refresh();
}

bool PlayerWindow::saveVideo(const QString& path, QString& error) {
    if (m_paths.isEmpty()) {
        error = tr("The script lists no frames.");
        return false;
    }
    velmora::VideoEncoder encoder;
    velmora::VideoOptions options;
    options.path = QFile::encodeName(path).toStdString();
    options.fps = m_playback.fps();
    std::string message;
    QSize size;
    for (qsizetype i = 0; i < m_paths.size(); ++i) {
        const LoadedFrame frame = FrameCache::decode(m_paths[i]);
        if (frame.image.isNull()) {
            error = tr("Cannot read frame %1 (%2): %3").arg(i + 1).arg(m_paths[i], frame.problem);
            return false;
        }
        if (i == 0) {
            size = frame.image.size();
            if (!encoder.open(options, size.width(), size.height(), message)) break;
        } else if (frame.image.size() != size) {
            error = tr("Frame %1 (%2) is not the size of the first frame.").arg(i + 1).arg(m_paths[i]);
            return false;
        }
        // Format_RGB32 holds blue, green, red, unused bytes: what the encoder takes.
        if (!encoder.addFrame(frame.image.constBits(), static_cast<std::size_t>(frame.image.bytesPerLine()), message))
            break;
    }
    if (message.empty() && encoder.finish(message)) return true;
    error = QString::fromStdString(message);
    return false;
}

void PlayerWindow::saveVideoAs() {
    if (m_playback.running()) togglePause();
    QString path = m_askVideoPath ? m_askVideoPath(this) : QString();
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".mp4");
    QString error;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool saved = saveVideo(path, error);
    QApplication::restoreOverrideCursor();
    if (!saved) QMessageBox::warning(this, tr("ZEDoz"), error);
}

void PlayerWindow::showCurrent() {
    if (m_playback.empty()) {
        m_shown = {};
        m_text = tr("The script lists no frames.");
    } else {
        const std::size_t entry = m_playback.frame();
        const QString& path = m_paths[static_cast<qsizetype>(entry)];
        m_shown = m_cache.load(path);
        m_text = m_shown.image.isNull()
                     ? QString::fromStdString(velmora::frameProblemText(entry, QFile::encodeName(path).toStdString(),
                                                                         m_shown.problem.toStdString()))
                     : QString();
    }
    m_view->show(m_shown.image, m_text);
}

void PlayerWindow::refresh() {
    setWindowTitle(QString::fromStdString(velmora::playbackTitle(m_scriptName.toStdString(), m_playback)));
    {
        const QSignalBlocker quietSlider(m_position), quietFps(m_fps), quietLoop(m_loop);
        m_position->setValue(static_cast<int>(m_playback.frame()));
        m_fps->setValue(m_playback.fps());
        m_loop->setChecked(m_playback.looping());
    }
    m_position->setEnabled(m_playback.frameCount() > 1);
    m_frameLabel->setText(tr("Frame %1 / %2")
                              .arg(m_playback.empty() ? 0 : static_cast<qulonglong>(m_playback.frame()) + 1)
                              .arg(static_cast<qulonglong>(m_playback.frameCount())));
    const bool playing = m_playback.running();
    m_playPause->setIcon(style()->standardIcon(playing ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
    m_playPause->setText(playing ? tr("Pause") : tr("Play"));
    if (m_started && m_playback.running()) {
        if (m_timer.interval() != m_playback.intervalMs() || !m_timer.isActive())
            m_timer.start(m_playback.intervalMs());
    } else {
        m_timer.stop();
    }
}

void PlayerWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Space: togglePause(); break;
        case Qt::Key_Right: stepForward(); break;
        case Qt::Key_Left: stepBack(); break;
        case Qt::Key_Plus:
        case Qt::Key_Equal: faster(); break;
        case Qt::Key_Minus:
        case Qt::Key_Underscore: slower(); break;
        case Qt::Key_Home: restart(); break;
        case Qt::Key_Escape: close(); break;
        default: QWidget::keyPressEvent(event); return;
    }
    event->accept();
}

bool PlayerWindow::openPath(const QString& path, bool folder, QString& error) {
    velmora::PlayScript script;
    std::error_code cause;
    const std::string name = QFile::encodeName(path).toStdString();
    if (!(folder ? velmora::scriptOfFolder(name, script, cause) : velmora::readScriptFile(name, script, cause))) {
        error = tr("Cannot read %1:\n%2").arg(path, QString::fromStdString(cause.message()));
        return false;
    }
    // A window of its own, sized to its first frame; this one goes.
    auto* next = new PlayerWindow(script, QFileInfo(path).fileName());
    next->setAttribute(Qt::WA_DeleteOnClose);
    next->setVideoPathAsker(m_askVideoPath);
    next->setOpenPathAsker(m_askOpenPath);
    next->start();
    next->show();
    close();
    return true;
}

void PlayerWindow::openScript() {
    const QString path = m_askOpenPath(this, false);
    QString error;
    if (!path.isEmpty() && !openPath(path, false, error)) QMessageBox::warning(this, tr("ZEDoz"), error);
}

void PlayerWindow::openFolder() {
    const QString path = m_askOpenPath(this, true);
    QString error;
    if (!path.isEmpty() && !openPath(path, true, error)) QMessageBox::warning(this, tr("ZEDoz"), error);
}
