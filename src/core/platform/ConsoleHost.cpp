#include "platform/ConsoleHost.h"

#include <ostream>

namespace velmora {

ConsoleHost::ConsoleHost(std::ostream& err) : m_err(err) {}

MsgAnswer ConsoleHost::showMessage(const Message& message) {
    m_shown.push_back(message);
    m_err << message.text << '\n';
    switch (message.buttons) {
        case MsgButtons::Ok:
        case MsgButtons::OkCancel:
            return MsgAnswer::Ok;
        case MsgButtons::YesNo:
        case MsgButtons::YesNoCancel:
            return MsgAnswer::No;
    }
    return MsgAnswer::Ok;
}

bool ConsoleHost::startPlayer(const std::string&, const std::string&) { return false; }

}  // namespace velmora
