#pragma once
// The desktop side of the Host seam: message boxes with their owner, caption
// and icon; the Escape poll during a synchronous render; the sounds; the player.
#include <QObject>
#include <QPointer>
#include <QWidget>

#include "base/Host.h"

namespace velmora::gui {

// While installed on the application it swallows every user input event (so
// no command runs during a render) and only remembers that Escape was pressed;
// a wheel event goes on to an open RenderInputGate.
class EscapeWatch : public QObject {
    Q_OBJECT
public:
    bool takeEscape();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool m_escapePressed = false;
};

class QtHost : public Host {
public:
    QtHost();
    ~QtHost() override;

    MsgAnswer showMessage(const Message& message) override;
    // Lets pending input arrive through the EscapeWatch, then reports whether
    // Escape came since the last poll.
    bool pollCancelKey() override;
    void playQuestionSound() override;
    void beep() override;
    bool startPlayer(const std::string& scriptPath, const std::string& workingDir) override;

    // The window that owns MsgOwner::MainWindow boxes.
    void setMainWindow(QWidget* window) { m_mainWindow = window; }

    // Where the player program is looked for: the program's folder, then PATH.
    static QString findPlayer();

protected:
    QWidget* ownerFor(const Message& message) const;

private:
    QPointer<QWidget> m_mainWindow;
    EscapeWatch m_watch;
};

}  // namespace velmora::gui
