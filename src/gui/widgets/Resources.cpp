#include "widgets/Resources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be used outside any namespace.
static void initVelmoraQrc() { Q_INIT_RESOURCE(velmora); }

namespace velmora::gui {

void initResources() {
    static const bool done = [] {
        initVelmoraQrc();
        return true;
    }();
    (void)done;
}

}  // namespace velmora::gui
