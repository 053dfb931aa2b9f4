#pragma once
// The Bookmarks menu: Add Bookmark and Manage Bookmarks from the command table,
// then one item a bookmark. The list lives in the settings, shared by every
// document and every running copy of the program: it is read afresh before
// each change and each time the menu opens, and written at once. Lines it
// cannot read are counted in a disabled item and written back as they were.
#include <QList>
#include <QObject>
#include <QString>
#include <vector>

#include "model/BookmarkList.h"

class QAction;
class QMenu;
class QWidget;

namespace velmora {
class Document;
}

namespace velmora::gui {

class CommandRouter;
class DesktopDialogs;
class ExploreController;

class BookmarksMenu : public QObject {
    Q_OBJECT
public:
    BookmarksMenu(QMenu& menu, Document& doc, ExploreController& controller, DesktopDialogs& dialogs, QWidget* owner);

    void connectCommands(CommandRouter& router);

    // Asks a name (through the dialogs) and keeps the place shown under it.
    void onAddBookmark();
    void onManageBookmarks();
    // Shows bookmark `index` as every change that renders does.
    void goTo(int index);

    // Reads the settings' list and rebuilds the items.
    void reload();
    const std::vector<Bookmark>& bookmarks() const { return m_bookmarks; }
    QAction* item(int index) const { return index >= 0 && index < m_items.size() ? m_items.at(index) : nullptr; }
    QAction* unreadableNote() const { return m_unreadableNote; }

private:
    void store(std::vector<Bookmark> bookmarks);
    void rebuildItems();

    QMenu& m_menu;
    Document& m_doc;
    ExploreController& m_controller;
    DesktopDialogs& m_dialogs;
    QWidget* m_owner;
    std::vector<Bookmark> m_bookmarks;
    std::vector<std::string> m_unreadable;
    QAction* m_separator = nullptr;
    QAction* m_unreadableNote = nullptr;
    QList<QAction*> m_items;
};

}  // namespace velmora::gui
