#pragma once
// The Bookmarks menu's two dialogs: naming a new bookmark, and managing the
// list (rename, delete, reorder). Both only edit what they were given; the
// caller keeps the result when the dialog is accepted.
#include <QDialog>
#include <vector>

#include "model/BookmarkList.h"

class QLineEdit;
class QListWidget;

namespace velmora::gui {

class BookmarkNameDialog : public QDialog {
    Q_OBJECT
public:
    BookmarkNameDialog(const QString& proposed, QWidget* parent = nullptr);
    // The name typed, without surrounding spaces.
    QString name() const;
    QLineEdit* edit() const { return m_edit; }

private:
    QLineEdit* m_edit;
};

class ManageBookmarksDialog : public QDialog {
    Q_OBJECT
public:
    ManageBookmarksDialog(std::vector<Bookmark> bookmarks, QWidget* parent = nullptr);
    const std::vector<Bookmark>& bookmarks() const { return m_bookmarks; }
    QListWidget* list() const { return m_list; }

    void renameCurrent();
    void deleteCurrent();
    // Moves the selected bookmark one place up (-1) or down (+1).
    void moveCurrent(int step);

private:
    void fill(int current);
    void renamed(int row, const QString& text);

    std::vector<Bookmark> m_bookmarks;
    QListWidget* m_list;
};

}  // namespace velmora::gui
