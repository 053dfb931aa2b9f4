#include "base/Host.h"

namespace velmora {

MsgAnswer showPlainMessage(Host& host, const std::string& text, MsgIcon icon) {
    Message m;
    m.text = text;
    m.icon = icon;
    return host.showMessage(m);
}

}  // namespace velmora
