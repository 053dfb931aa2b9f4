#include "commands/CommandTable.h"

#include <algorithm>
#include <array>

namespace velmora::gui {
namespace {

using M = MenuName;

// The File menu's separators after Export BMP and after Print Setup are
// expressed as separatorBefore on the item that follows; the recent files and
// the separator after them are inserted by the frame.
constexpr auto kCommands = std::to_array<CommandInfo>({
    {ID_FILE_NEW, M::File, "&New\tCtrl+N", "Ctrl+N", "Creates a new file", "New", false, false},
    {ID_FILE_OPEN, M::File, "&Open...\tCtrl+O", "Ctrl+O", "Open an existing document", "Open", false, false},
    {ID_FILE_SAVE, M::File, "&Save\tCtrl+S", "Ctrl+S", "Save the active document", "Save", false, false},
    {ID_FILE_SAVE_AS, M::File, "Save &As...", "", "Save the active document with a new name", "Save As", false,
     false},
    {ID_FILE_EXPORTBMP, M::File, "&Export BMP", "", "Saves as a Windows .BMP file", "Export BMP", false, false},
    {ID_FILE_EXPORTIMAGE, M::File, "Export &Image...", "", "Saves the picture as a PNG file of any size",
     "Export Image", false, false},
    {ID_FILE_PRINT, M::File, "&Print...\tCtrl+P", "Ctrl+P", "Print the active document", "Print", true, false},
    {ID_FILE_PRINT_PREVIEW, M::File, "Print Pre&view", "", "Display full pages", "Print Preview", false, false},
    {ID_FILE_PRINT_SETUP, M::File, "P&rint Setup...", "", "Change the printer and printing options",
     "Print Setup", false, false},
    {ID_FILE_MRU_FILE1, M::File, "Recent File", "", "Open this document", "", true, false},
    {ID_APP_EXIT, M::File, "E&xit", "Ctrl+Q", "Quit the application; prompts to save documents", "Exit", true, false},
    {ID_EDIT_COPY, M::Edit, "&Copy\tCtrl+C", "Ctrl+C;Ctrl+Ins", "Copy the selection and put it on the Clipboard",
     "Copy", false, false},
    {ID_VIEW_TOOLBAR, M::View, "&Toolbar", "", "Show or hide the toolbar", "Toggle ToolBar", false, true},
    {ID_VIEW_STATUS_BAR, M::View, "&Status Bar", "", "Show or hide the status bar", "Toggle StatusBar", false,
     true},
    {ID_VIEW_ANIMWINDOW, M::View, "&Anim Window", "", "Show or hide the anim frames window",
     "Toggle Anim window", false, true},
    {ID_VIEW_JULIA_PREVIEW, M::View, "&Julia Preview", "", "Show or hide the Julia set of the point under the mouse",
     "Toggle Julia Preview", false, true},
    {ID_VIEW_FIT_TO_WINDOW, M::View, "&Fit Picture to Window", "", "Renders the picture at the size of the window",
     "Fit Picture to Window", false, true},
    {ID_VIEW_RENDER_AUTOMATICALLY, M::View, "Render &Automatically", "",
     "Renders a document as soon as it is opened, and at start", "Render Automatically", false, true},
    {ID_VIEW_SMOOTH_COLOURING, M::View, "S&mooth Colouring", "",
     "Shows the picture in true colour, blended between palette entries", "Smooth Colouring", false, true},
    {ID_VIEW_LOCATION, M::View, "&Location...", "", "Shows the centre and width of the picture, to copy or change",
     "Location", true, false},
    {ID_RENDER, M::Render, "&Render\tF5", "F5", "Renders the fractal image", "Render", false, false},
    {ID_ZOOM_IN, M::Render, "Zoom &In\tF6", "F6", "Zooms in to selected area", "Zoom In", false, false},
    {ID_ZOOM_OUT, M::Render, "Zoom &Out\tF7", "F7", "Zooms display out into selected area", "Zoom Out", false,
     false},
    {ID_CONFIGURE, M::Render, "&Configure\tF8", "F8", "Displays configuration window", "Configure", true, false},
    {ID_EDIT_PALETTE, M::Render, "Edit &Palette\tF9", "F9", "Shows the Palette Editor", "Palette Editor", false,
     false},
    {ID_LOCK_PROPORTIONS, M::Render, "&Lock Proportions\tF10", "F10", "Locks drag box proportions",
     "Lock Proportions", false, true},
    {ID_NAV_BACK, M::Render, "&Back\tAlt+Left", "Alt+Left", "Goes back to the previous picture", "Back", true,
     false},
    {ID_NAV_FORWARD, M::Render, "&Forward\tAlt+Right", "Alt+Right", "Goes forward to the picture left by Back",
     "Forward", false, false},
    {ID_BOOKMARK_ADD, M::Bookmarks, "&Add Bookmark...", "", "Keeps the place shown under a name", "Add Bookmark",
     false, false},
    {ID_BOOKMARK_MANAGE, M::Bookmarks, "&Manage Bookmarks...", "", "Renames, deletes or reorders the bookmarks",
     "Manage Bookmarks", false, false},
    {ID_HELP_INDEX, M::Help, "&Index", "", "Shows help", "Help", false, false},
    {ID_HELP_FINDER, M::Help, "&Contents", "", "Shows help file contents", "Help Contents", false, false},
    {ID_APP_ABOUT, M::Help, "&About", "", "Display program information, version number and copyright", "About",
     true, false},
    {ID_ANIM_WINDOW, M::None, "", "", "Displays the animation frames window", "Anim window", false, false},
    {ID_CONTEXT_HELP, M::None, "", "", "Displays context-sensitive help", "Help", false, false},
    {ID_HELP, M::None, "", "F1", "Shows help file contents", "Help", false, false},
    {ID_ZOOM_IN_CENTRE, M::None, "", "+;=", "Zooms in by 2 about the centre", "Zoom In", false, false},
    {ID_ZOOM_OUT_CENTRE, M::None, "", "-", "Zooms out by 2 about the centre", "Zoom Out", false, false},
});

constexpr std::array<int, 20> kToolbar{ID_FILE_NEW,     ID_FILE_OPEN,   ID_FILE_SAVE,    ID_EDIT_COPY,
                                       ID_FILE_PRINT,   0,              ID_RENDER,       ID_CONFIGURE,
                                       ID_ZOOM_IN,      ID_ZOOM_OUT,    ID_EDIT_PALETTE, ID_LOCK_PROPORTIONS,
                                       0,               ID_NAV_BACK,    ID_NAV_FORWARD,  0,
                                       ID_ANIM_WINDOW,  0,              ID_APP_ABOUT,    ID_CONTEXT_HELP};

constexpr std::array<std::string_view, 6> kMenus{"&File", "&Edit", "&View", "&Render", "&Bookmarks", "&Help"};

}  // namespace

std::span<const CommandInfo> commands() { return kCommands; }

const CommandInfo* findCommand(int id) {
    const auto it = std::find_if(kCommands.begin(), kCommands.end(), [id](const CommandInfo& c) { return c.id == id; });
    return it == kCommands.end() ? nullptr : &*it;
}

std::span<const int> toolbarLayout() { return kToolbar; }

std::span<const std::string_view> menuTitles() { return kMenus; }

}  // namespace velmora::gui
