#include "shell/BookmarksMenu.h"

#include <QAction>
#include <QMenu>
#include <QSettings>

#include "base/Host.h"
#include "commands/CommandIds.h"
#include "commands/CommandRouter.h"
#include "dialogs/BookmarkDialogs.h"
#include "model/Document.h"
#include "model/DocumentFile.h"
#include "session/RenderSession.h"
#include "host/DesktopDialogs.h"
#include "shell/Application.h"
#include "control/ExploreController.h"

namespace velmora::gui {

namespace {

const QString kBookmarksKey = QStringLiteral("Bookmarks/List");

// "Mandelbrot at -0.75, 0.1": where the picture's centre is.
QString proposedName(const FractalParams& p) {
    const QString type = p.type == FractalType::Julia ? QStringLiteral("Julia") : QStringLiteral("Mandelbrot");
    return QStringLiteral("%1 at %2, %3")
        .arg(type, QString::number((p.left + p.right) / 2.0, 'g', 8), QString::number((p.top + p.bottom) / 2.0, 'g', 8));
}

}  // namespace

BookmarksMenu::BookmarksMenu(QMenu& menu, Document& doc, ExploreController& controller, DesktopDialogs& dialogs,
                             QWidget* owner)
    : QObject(&menu), m_menu(menu), m_doc(doc), m_controller(controller), m_dialogs(dialogs), m_owner(owner) {
    m_separator = m_menu.addSeparator();
    m_unreadableNote = m_menu.addAction(QString());
    m_unreadableNote->setEnabled(false);
    m_unreadableNote->setStatusTip(QStringLiteral("Those lines stay in the settings as they are"));
    // Another copy of the program may have changed the list meanwhile.
    connect(&m_menu, &QMenu::aboutToShow, this, &BookmarksMenu::reload);
    reload();
}

void BookmarksMenu::connectCommands(CommandRouter& router) {
    router.set(ID_BOOKMARK_ADD, [this] { onAddBookmark(); });
    router.set(ID_BOOKMARK_MANAGE, [this] { onManageBookmarks(); },
               [this](CommandState& s) { s.enabled = !m_bookmarks.empty(); });
}

void BookmarksMenu::reload() {
    const QString text = Application::openSettings()->value(kBookmarksKey).toString();
    BookmarkLines lines = readBookmarkLines(text.toStdString());
    m_bookmarks = std::move(lines.bookmarks);
    m_unreadable = std::move(lines.unreadable);
    rebuildItems();
}

void BookmarksMenu::store(std::vector<Bookmark> bookmarks) {
    m_bookmarks = std::move(bookmarks);
    const std::string text = bookmarksToText(m_bookmarks, m_unreadable);
    Application::openSettings()->setValue(kBookmarksKey, QString::fromStdString(text));
    rebuildItems();
}

void BookmarksMenu::rebuildItems() {
    for (QAction* a : m_items) {
        m_menu.removeAction(a);
        a->deleteLater();
    }
    m_items.clear();
    const int unreadable = static_cast<int>(m_unreadable.size());
    m_separator->setVisible(!m_bookmarks.empty() || unreadable > 0);
    m_unreadableNote->setVisible(unreadable > 0);
    m_unreadableNote->setText(unreadable == 1 ? QStringLiteral("1 bookmark could not be read")
                                              : QStringLiteral("%1 bookmarks could not be read").arg(unreadable));
    for (int i = 0; i < static_cast<int>(m_bookmarks.size()); ++i) {
        QString label = QString::fromStdString(m_bookmarks[static_cast<std::size_t>(i)].name);
        auto* a = new QAction(label.replace(QLatin1Char('&'), QStringLiteral("&&")), &m_menu);
        a->setObjectName(QStringLiteral("bookmark%1").arg(i));
        a->setStatusTip(QStringLiteral("Goes to this bookmark"));
        connect(a, &QAction::triggered, this, [this, i] { goTo(i); });
        m_menu.insertAction(m_unreadableNote, a);
        m_items.append(a);
    }
}

void BookmarksMenu::onAddBookmark() {
    const Document& doc = m_doc;
    // Said now, not after a name is typed: the list would not read it back.
    if (!canBookmark(Bookmark{{}, bookmarkLocation(doc.params())})) {
        Message m;
        m.text = "A bookmark cannot keep this place's Detail Level. Choose one from 1 to " +
                 std::to_string(kMaxStorableIterations - 1) + " in Settings.";
        m.caption = "Add Bookmark";
        m.icon = MsgIcon::Warning;
        m_doc.host().showMessage(m);
        return;
    }
    BookmarkNameDialog dlg(proposedName(doc.params()), m_owner);
    if (m_dialogs.runModal(dlg) != QDialog::Accepted || dlg.name().isEmpty()) return;
    reload();
    std::vector<Bookmark> bookmarks = m_bookmarks;
    bookmarks.push_back(Bookmark{dlg.name().toStdString(), bookmarkLocation(doc.params())});
    store(std::move(bookmarks));
}

void BookmarksMenu::onManageBookmarks() {
    reload();
    ManageBookmarksDialog dlg(m_bookmarks, m_owner);
    if (m_dialogs.runModal(dlg) != QDialog::Accepted) return;
    store(dlg.bookmarks());
}

void BookmarksMenu::goTo(int index) {
    const Document& doc = m_doc;
    if (index < 0 || index >= static_cast<int>(m_bookmarks.size()) || m_controller.isPictureBusyElsewhere()) return;
    m_controller.changeAndRender(atBookmark(doc.params(), m_bookmarks[static_cast<std::size_t>(index)]));
}

}  // namespace velmora::gui
