#pragma once
// One handler and one update rule per command id. Whoever owns a command (the
// view, the document commands, the frame, the application) registers it here;
// a command with no handler stays disabled. A disabled command never runs,
// whether it comes from a menu, a toolbar button or a key.
#include <functional>
#include <map>

namespace velmora::gui {

struct CommandState {
    bool enabled = true;
    bool checked = false;
};

class CommandRouter {
public:
    using Handler = std::function<void()>;
    using Update = std::function<void(CommandState&)>;

    // Registers (or replaces) the handler of a command. Without an update rule
    // the command is enabled and unchecked whenever it has a handler.
    void set(int id, Handler run, Update update = {});
    void remove(int id);

    bool hasHandler(int id) const;
    CommandState state(int id) const;

    // Runs the command if its current state allows it; true when it ran.
    bool run(int id) const;
    // Asked before any command runs (a render under way may have to end first).
    void setBeforeRun(std::function<void(int id)> before) { m_beforeRun = std::move(before); }

private:
    struct Entry {
        Handler run;
        Update update;
    };
    std::map<int, Entry> m_entries;
    std::function<void(int)> m_beforeRun;
};

}  // namespace velmora::gui
