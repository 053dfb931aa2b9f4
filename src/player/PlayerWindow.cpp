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

void PlayerWindow::start() {
    resize(firstFrameSize());
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
    update();
}

void PlayerWindow::refresh() {
    setWindowTitle(QString::fromStdString(velmora::playbackTitle(m_scriptName.toStdString(), m_playback)));
    if (m_started && m_playback.running()) {
        if (m_timer.interval() != m_playback.intervalMs() || !m_timer.isActive())
            m_timer.start(m_playback.intervalMs());
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
