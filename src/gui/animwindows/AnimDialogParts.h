#pragma once
// Small pieces the animation windows share: buttons named by their control
// id, a wait cursor that is always restored, and the start of the player.
#include <QString>
#include <string>

class QPushButton;
class QWidget;

namespace velmora {
class Host;
}  // namespace velmora

namespace velmora::gui {

// The help command's id, carried by every dialog's Help button.
inline constexpr int kIdHelpButton = 57670;

// A push button whose object name is its control id.
QPushButton* makeIdButton(QWidget* parent, const QString& text, int id);

// Shows the wait cursor for the life of the object.
class AnimWaitCursor {
public:
    AnimWaitCursor();
    ~AnimWaitCursor();
    AnimWaitCursor(const AnimWaitCursor&) = delete;
    AnimWaitCursor& operator=(const AnimWaitCursor&) = delete;
};

// Starts the player on a script, detached, with the script's folder as its
// working directory. When it cannot be started the error is shown in a box
// owned by the named window, which stays open. True when it started.
bool launchPlayer(Host& host, const std::string& scriptPath, const char* ownerName);

}  // namespace velmora::gui
