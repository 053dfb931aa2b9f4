#pragma once
// Command ids of the menu, accelerators and toolbar. The numbers are the
// program's own historical ids; they also name the actions (objectName "cmd<id>").
namespace velmora::gui {

enum CommandId : int {
    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_FILE_SAVE = 57603,
    ID_FILE_SAVE_AS = 57604,
    ID_FILE_EXPORTBMP = 32785,
    ID_FILE_EXPORTIMAGE = 32800,
    ID_FILE_PRINT = 57607,
    ID_FILE_PRINT_DIRECT = 57608,
    ID_FILE_PRINT_PREVIEW = 57609,
    ID_FILE_PRINT_SETUP = 57606,
    ID_FILE_MRU_FILE1 = 57616,  // File1..File4 are 57616..57619
    ID_APP_EXIT = 57665,
    ID_EDIT_COPY = 57634,
    ID_VIEW_TOOLBAR = 59392,
    ID_VIEW_STATUS_BAR = 59393,
    ID_VIEW_ANIMWINDOW = 32790,
    ID_RENDER = 32773,
    ID_ZOOM_IN = 32778,
    ID_ZOOM_OUT = 32780,
    ID_CONFIGURE = 32772,
    ID_EDIT_PALETTE = 32783,
    ID_LOCK_PROPORTIONS = 32782,
    ID_ANIM_WINDOW = 32789,
    ID_NAV_BACK = 32791,
    ID_NAV_FORWARD = 32792,
    ID_VIEW_JULIA_PREVIEW = 32901,
    ID_VIEW_FIT_TO_WINDOW = 32902,
    ID_BOOKMARK_ADD = 32903,
    ID_BOOKMARK_MANAGE = 32904,
    ID_ZOOM_IN_CENTRE = 32905,
    ID_ZOOM_OUT_CENTRE = 32906,
    ID_VIEW_RENDER_AUTOMATICALLY = 32907,
    ID_VIEW_SMOOTH_COLOURING = 32908,
    ID_VIEW_LOCATION = 32793,
    ID_HELP_INDEX = 57670,
    ID_HELP_FINDER = 57671,
    ID_HELP = 57667,
    ID_APP_ABOUT = 57664,
    ID_CONTEXT_HELP = 57669,
};

inline constexpr int kRecentFileCount = 4;

}  // namespace velmora::gui
