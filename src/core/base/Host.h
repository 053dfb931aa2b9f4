#pragma once
// The one seam between the core and the desktop: everything that would block on
// a window or touch the outside world goes through here, so tests can script it.
#include <string>

namespace velmora {

enum class MsgIcon { None, Information, Warning, Error, Question };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgAnswer { Ok, Cancel, Yes, No };

// Who owns a message box. Document and engine messages have no owner and no
// caption of their own; window-owned ones carry the application title.
enum class MsgOwner { None, MainWindow, Dialog };

struct Message {
    std::string text;
    std::string caption;  // empty: the platform's default title
    MsgIcon icon = MsgIcon::None;
    MsgButtons buttons = MsgButtons::Ok;
    MsgOwner owner = MsgOwner::None;
    std::string ownerName;  // which window or dialog, when owner != None
};

class Host {
public:
    virtual ~Host() = default;

    virtual MsgAnswer showMessage(const Message& message) = 0;
    // True when the cancel key is down now or was pressed since the last poll.
    virtual bool pollCancelKey() = 0;
    virtual void playQuestionSound() = 0;
    virtual void beep() = 0;
    // Starts the player on a script, detached, in workingDir. False when it
    // could not be started.
    virtual bool startPlayer(const std::string& scriptPath, const std::string& workingDir) = 0;
};

// Convenience for the common case: an ownerless OK box.
MsgAnswer showPlainMessage(Host& host, const std::string& text, MsgIcon icon = MsgIcon::None);

// The application's title, used as caption of window-owned message boxes.
inline constexpr const char* kAppTitle = "Velmora";

}  // namespace velmora
