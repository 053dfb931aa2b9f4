#include "rendering/RenderInputGate.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWheelEvent>
#include <QWidget>
#include <QWindow>

namespace velmora::gui {

bool isUserInput(const QEvent& event) {
    switch (event.type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::Close:
        case QEvent::DragEnter:
        case QEvent::Drop:
            return true;
        default:
            return false;
    }
}

namespace {
int openGates = 0;  // the GUI thread's only
}  // namespace

RenderInputGate::RenderInputGate(QWidget& view, QWidget& progress, std::atomic<bool>& cancel,
                                 std::function<bool(const QWheelEvent&)> onWheel)
    : m_view(view), m_progress(progress), m_cancel(cancel), m_onWheel(std::move(onWheel)) {
    qApp->installEventFilter(this);
    ++openGates;
}

RenderInputGate::~RenderInputGate() {
    qApp->removeEventFilter(this);
    --openGates;
}

bool RenderInputGate::isOpen() { return openGates > 0; }

bool RenderInputGate::eventFilter(QObject* watched, QEvent* event) {
    if (!isUserInput(*event) || watched == &m_progress || watched == m_progress.windowHandle())
        return QObject::eventFilter(watched, event);
    // Escape from the keyboard, wherever the focus is (one typed before the
    // render began was delivered before it); the program's own posted events
    // are no one's keys.
    if (event->type() == QEvent::KeyPress && event->spontaneous() &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
        m_cancel = true;
    if (event->type() == QEvent::Wheel && watched == &m_view && m_onWheel(*static_cast<QWheelEvent*>(event)))
        m_cancel = true;
    // Claimed, so that no shortcut fires while the picture is computed.
    if (event->type() == QEvent::ShortcutOverride) event->accept();
    return true;
}

}  // namespace velmora::gui
