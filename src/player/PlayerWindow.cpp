#include "PlayerWindow.h"

#include <QAction>
#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>

#include <algorithm>

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

    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &PlayerWindow::AdvanceFrame);

    // The keys, also offered on the right mouse button so they can be found.
    setContextMenuPolicy(Qt::ActionsContextMenu);
    AddMenuAction(tr("&Pause / Play\tSpace"), &PlayerWindow::TogglePause);
    AddMenuAction(tr("&Next Frame\tRight"), &PlayerWindow::StepForward);
    AddMenuAction(tr("P&revious Frame\tLeft"), &PlayerWindow::StepBack);
    AddMenuAction(tr("&Faster\t+"), &PlayerWindow::Faster);
    AddMenuAction(tr("&Slower\t-"), &PlayerWindow::Slower);
    AddMenuAction(tr("Res&tart\tHome"), &PlayerWindow::Restart);
    auto* separator = new QAction(this);
    separator->setSeparator(true);
    addAction(separator);
    auto* close = new QAction(tr("&Close\tEsc"), this);
    connect(close, &QAction::triggered, this, &QWidget::close);
    addAction(close);

    ShowCurrent();
}

void PlayerWindow::AddMenuAction(const QString& text, void (PlayerWindow::*slot)()) {
    auto* action = new QAction(text, this);
    connect(action, &QAction::triggered, this, slot);
    addAction(action);
}

QSize PlayerWindow::FirstFrameSize() const {
    QSize frame(kNoFrameWidth, kNoFrameHeight);
    const qsizetype probes = std::min<qsizetype>(m_paths.size(), kSizeProbeLimit);
    for (qsizetype i = 0; i < probes; ++i) {
        // The header is enough for the size; nothing is decoded.
        const QSize size = FrameCache::FrameSize(m_paths[i]);
        if (size.isValid() && !size.isEmpty()) {
            frame = size;
            break;
        }
    }
    QSize avail;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) avail = screen->availableGeometry().size() * 9 / 10;
    const velmora::WindowSize fit =
        velmora::FitWindowSize(frame.width(), frame.height(), avail.width(), avail.height());
    return {fit.width, fit.height};
}

void PlayerWindow::Start() {
    resize(FirstFrameSize());
    m_started = true;
    Refresh();
}

void PlayerWindow::AdvanceFrame() {
    if (m_playback.Tick()) ShowCurrent();
    Refresh();
}

void PlayerWindow::TogglePause() {
    const std::size_t before = m_playback.Frame();
    m_playback.TogglePause();
    if (m_playback.Frame() != before) ShowCurrent();
    Refresh();
}

void PlayerWindow::StepForward() {
    if (m_playback.StepForward()) ShowCurrent();
    Refresh();
}

void PlayerWindow::StepBack() {
    if (m_playback.StepBack()) ShowCurrent();
    Refresh();
}

void PlayerWindow::Faster() {
    m_playback.Faster();
    Refresh();
}

void PlayerWindow::Slower() {
    m_playback.Slower();
    Refresh();
}

void PlayerWindow::Restart() {
    m_playback.Restart();
    ShowCurrent();
    Refresh();
}

void PlayerWindow::ShowCurrent() {
    if (m_playback.Empty()) {
        m_shown = {};
        m_text = tr("The script lists no frames.");
    } else {
        const std::size_t entry = m_playback.Frame();
        const QString& path = m_paths[static_cast<qsizetype>(entry)];
        m_shown = m_cache.Load(path);
        m_text = m_shown.image.isNull()
                     ? QString::fromStdString(velmora::FrameProblemText(entry, QFile::encodeName(path).toStdString(),
                                                                         m_shown.problem.toStdString()))
                     : QString();
    }
    update();
}

void PlayerWindow::Refresh() {
    setWindowTitle(QString::fromStdString(velmora::PlaybackTitle(m_scriptName.toStdString(), m_playback)));
    if (m_started && m_playback.Running()) {
        if (m_timer.interval() != m_playback.IntervalMs() || !m_timer.isActive())
            m_timer.start(m_playback.IntervalMs());
    } else {
        m_timer.stop();
    }
}

void PlayerWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!m_shown.image.isNull()) {
        // Stretched over the window pixel by pixel, without smoothing.
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter.drawImage(rect(), m_shown.image);
        return;
    }
    painter.fillRect(rect(), Qt::black);
    painter.setPen(Qt::white);
    painter.drawText(rect().adjusted(8, 8, -8, -8), Qt::AlignCenter | Qt::TextWrapAnywhere, m_text);
}

void PlayerWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Space: TogglePause(); break;
        case Qt::Key_Right: StepForward(); break;
        case Qt::Key_Left: StepBack(); break;
        case Qt::Key_Plus:
        case Qt::Key_Equal: Faster(); break;
        case Qt::Key_Minus:
        case Qt::Key_Underscore: Slower(); break;
        case Qt::Key_Home: Restart(); break;
        case Qt::Key_Escape: close(); break;
        default: QWidget::keyPressEvent(event); return;
    }
    event->accept();
}
