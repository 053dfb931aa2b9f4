#include "widgets/ToolbarIcons.h"

#include <QString>

#include "commands/CommandIds.h"

namespace velmora::gui {

QIcon toolbarIcon(int id) {
    // The pictures are files under res/icons, built into the program.
    static const std::pair<int, const char*> kFiles[] = {
        {ID_FILE_NEW, "new"},         {ID_FILE_OPEN, "open"},
        {ID_FILE_SAVE, "save"},       {ID_EDIT_COPY, "copy"},
        {ID_FILE_PRINT, "print"},     {ID_RENDER, "render"},
        {ID_CONFIGURE, "configure"},  {ID_ZOOM_IN, "zoom-in"},
        {ID_ZOOM_OUT, "zoom-out"},    {ID_EDIT_PALETTE, "palette"},
        {ID_LOCK_PROPORTIONS, "lock-proportions"}, {ID_NAV_BACK, "back"},
        {ID_NAV_FORWARD, "forward"},  {ID_ANIM_WINDOW, "animation"},
        {ID_APP_ABOUT, "about"},      {ID_CONTEXT_HELP, "context-help"}};
    for (const auto& [command, name] : kFiles) {
        if (command == id) return QIcon(QStringLiteral(":/icons/toolbar/%1.png").arg(QLatin1String(name)));
    }
    return {};
}

QIcon applicationIcon() {
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/hicolor/%1x%1/velmora.png").arg(size));
    return icon;
}

}  // namespace velmora::gui
