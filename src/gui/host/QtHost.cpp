#include "host/QtHost.h"

#include "platform/PlayerLaunch.h"
#include "rendering/RenderInputGate.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMessageBox>
#include <QProcess>

namespace velmora::gui {

bool EscapeWatch::takeEscape() {
    const bool was = m_escapePressed;
    m_escapePressed = false;
    return was;
}

bool EscapeWatch::eventFilter(QObject* watched, QEvent* event) {
    // A notch polled in mid-render belongs to the gate, which zooms on with it.
    if (!isUserInput(*event) || (event->type() == QEvent::Wheel && RenderInputGate::isOpen()))
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
        m_escapePressed = true;
    return true;
}

QtHost::QtHost() = default;
QtHost::~QtHost() = default;

namespace {

QMessageBox::Icon toQt(MsgIcon icon) {
    switch (icon) {
        case MsgIcon::Information: return QMessageBox::Information;
        case MsgIcon::Warning: return QMessageBox::Warning;
        case MsgIcon::Error: return QMessageBox::Critical;
        case MsgIcon::Question: return QMessageBox::Question;
        case MsgIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons toQt(MsgButtons buttons) {
    switch (buttons) {
        case MsgButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
        case MsgButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
        case MsgButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case MsgButtons::Ok: break;
    }
    return QMessageBox::Ok;
}

}  // namespace

QWidget* QtHost::ownerFor(const Message& message) const {
    // A box of the document or the engine belongs to no window, but still
    // appears over the main window rather than in the middle of the screen.
    if (message.owner != MsgOwner::None && !message.ownerName.empty()) {
        const QString name = QString::fromStdString(message.ownerName);
        for (QWidget* w : QApplication::allWidgets()) {
            if (w->objectName() == name && w->isVisible()) return w;
        }
    }
    if (message.owner == MsgOwner::Dialog && QApplication::activeModalWidget() != nullptr)
        return QApplication::activeModalWidget();
    if (!m_mainWindow.isNull()) return m_mainWindow.data();
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<QMainWindow*>(w) != nullptr && w->isVisible()) return w;
    return QApplication::activeWindow();
}

MsgAnswer QtHost::showMessage(const Message& message) {
    QMessageBox box(toQt(message.icon), QString::fromStdString(message.caption), QString::fromStdString(message.text),
                    toQt(message.buttons), ownerFor(message));
    if (message.caption.empty()) box.setWindowTitle(QString());
    switch (box.exec()) {
        case QMessageBox::Yes: return MsgAnswer::Yes;
        case QMessageBox::No: return MsgAnswer::No;
        case QMessageBox::Cancel: return MsgAnswer::Cancel;
        default: break;
    }
    // Closing a box with the window frame means its cancelling button.
    return message.buttons == MsgButtons::OkCancel || message.buttons == MsgButtons::YesNoCancel
               ? (box.clickedButton() == nullptr ? MsgAnswer::Cancel : MsgAnswer::Ok)
               : MsgAnswer::Ok;
}

bool QtHost::pollCancelKey() {
    // The render runs on this thread; letting queued events through here, under
    // the watch, is how an Escape typed meanwhile reaches us.
    qApp->installEventFilter(&m_watch);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    qApp->removeEventFilter(&m_watch);
    return m_watch.takeEscape();
}

void QtHost::playQuestionSound() { QApplication::beep(); }

void QtHost::beep() { QApplication::beep(); }

QString QtHost::findPlayer() {
    // One search for the whole program: our own folder first, then PATH.
    const auto found = findPlayerProgram(QCoreApplication::applicationDirPath().toStdString(),
                                         qEnvironmentVariable("PATH").toStdString());
    return found ? QString::fromStdString(*found) : QString();
}

bool QtHost::startPlayer(const std::string& scriptPath, const std::string& workingDir) {
    const QString player = findPlayer();
    if (player.isEmpty()) return false;
    return QProcess::startDetached(player, {QString::fromStdString(scriptPath)}, QString::fromStdString(workingDir));
}

}  // namespace velmora::gui
