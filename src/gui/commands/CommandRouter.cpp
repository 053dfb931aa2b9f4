#include "commands/CommandRouter.h"

namespace velmora::gui {

void CommandRouter::set(int id, Handler run, Update update) {
    m_entries[id] = Entry{std::move(run), std::move(update)};
}

void CommandRouter::remove(int id) { m_entries.erase(id); }

bool CommandRouter::hasHandler(int id) const {
    const auto it = m_entries.find(id);
    return it != m_entries.end() && it->second.run;
}

CommandState CommandRouter::state(int id) const {
    CommandState s;
    const auto it = m_entries.find(id);
    if (it == m_entries.end() || !it->second.run) {
        s.enabled = false;
        return s;
    }
    if (it->second.update) it->second.update(s);
    return s;
}

bool CommandRouter::run(int id) const {
    if (!state(id).enabled) return false;
    if (m_beforeRun) m_beforeRun(id);
    if (!state(id).enabled) return false;  // what ran first may have changed it
    // Copy: the handler may replace its own registration.
    const Handler run = m_entries.at(id).run;
    run();
    return true;
}

}  // namespace velmora::gui
