#pragma once
// The menu, accelerator and toolbar table as data, so the frame builds its
// actions from it and tests can read it back.
#include <span>
#include <string_view>

#include "commands/CommandIds.h"

namespace velmora::gui {

enum class MenuName { None, File, Edit, View, Render, Bookmarks, Help };

struct CommandInfo {
    int id;
    MenuName menu;
    std::string_view menuText;   // with "&" mnemonic and "\t" key hint; empty: no menu item
    std::string_view keys;       // portable key sequences, ";"-separated; empty: none
    std::string_view prompt;     // status-bar prompt
    std::string_view tooltip;
    bool separatorBefore;        // a menu separator above this item
    bool checkable;
};

// Every command in menu order (commands without a menu item come last).
std::span<const CommandInfo> commands();
const CommandInfo* findCommand(int id);

// The toolbar, left to right; 0 is a separator.
std::span<const int> toolbarLayout();

// Menu titles in menu-bar order.
std::span<const std::string_view> menuTitles();

}  // namespace velmora::gui
