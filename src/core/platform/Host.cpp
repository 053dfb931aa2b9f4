#include "platform/Host.h"

namespace velmora {

MsgAnswer ShowPlainMessage(Host& host, const std::string& text, MsgIcon icon) {
    Message m;
    m.text = text;
    m.icon = icon;
    return host.ShowMessage(m);
}

}  // namespace velmora
