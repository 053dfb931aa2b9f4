#include "dialogs/BookmarkDialogs.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace velmora::gui {

namespace {

QString text(const std::string& s) { return QString::fromStdString(s); }

QDialogButtonBox* okCancel(QDialog* dialog) {
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    QObject::connect(box, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return box;
}

}  // namespace

BookmarkNameDialog::BookmarkNameDialog(const QString& proposed, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("BookmarkNameDialog"));
    setWindowTitle(QStringLiteral("Add Bookmark"));
    setProperty("helpTopic", QStringLiteral("zoom"));
    auto* layout = new QVBoxLayout(this);
    m_edit = new QLineEdit(proposed, this);
    m_edit->setObjectName(QStringLiteral("BookmarkName"));
    // UTF-16 units: never more characters than the list reads back.
    m_edit->setMaxLength(static_cast<int>(kMaxBookmarkName));
    m_edit->selectAll();
    auto* label = new QLabel(QStringLiteral("&Name of the place shown:"), this);
    label->setBuddy(m_edit);
    layout->addWidget(label);
    layout->addWidget(m_edit);
    auto* buttons = okCancel(this);
    // A bookmark without a name could not be told apart in the menu.
    auto* ok = buttons->button(QDialogButtonBox::Ok);
    connect(m_edit, &QLineEdit::textChanged, ok, [this, ok] { ok->setEnabled(!name().isEmpty()); });
    ok->setEnabled(!name().isEmpty());
    layout->addWidget(buttons);
}

QString BookmarkNameDialog::name() const { return m_edit->text().trimmed(); }

ManageBookmarksDialog::ManageBookmarksDialog(std::vector<Bookmark> bookmarks, QWidget* parent)
    : QDialog(parent), m_bookmarks(std::move(bookmarks)) {
    setObjectName(QStringLiteral("ManageBookmarksDialog"));
    setWindowTitle(QStringLiteral("Manage Bookmarks"));
    setProperty("helpTopic", QStringLiteral("zoom"));
    auto* layout = new QHBoxLayout(this);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("BookmarkList"));
    m_list->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    layout->addWidget(m_list, 1);
    auto* side = new QVBoxLayout;
    const auto button = [this, side](const QString& label, const char* name, auto action) {
        auto* b = new QPushButton(label, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, action);
        side->addWidget(b);
    };
    button(QStringLiteral("&Rename"), "Rename", [this] { renameCurrent(); });
    button(QStringLiteral("&Delete"), "Delete", [this] { deleteCurrent(); });
    button(QStringLiteral("Move &Up"), "MoveUp", [this] { moveCurrent(-1); });
    button(QStringLiteral("Move D&own"), "MoveDown", [this] { moveCurrent(1); });
    side->addStretch(1);
    auto* buttons = okCancel(this);
    buttons->setOrientation(Qt::Vertical);
    side->addWidget(buttons);
    layout->addLayout(side);
    connect(m_list, &QListWidget::itemChanged, this,
            [this](QListWidgetItem* item) { renamed(m_list->row(item), item->text()); });
    fill(m_bookmarks.empty() ? -1 : 0);
}

void ManageBookmarksDialog::fill(int current) {
    const QSignalBlocker quiet(m_list);
    m_list->clear();
    for (const Bookmark& b : m_bookmarks) {
        auto* item = new QListWidgetItem(text(b.name), m_list);
        item->setFlags(item->flags() | Qt::ItemIsEditable);
    }
    m_list->setCurrentRow(current);
}

void ManageBookmarksDialog::renamed(int row, const QString& typed) {
    if (row < 0 || row >= static_cast<int>(m_bookmarks.size())) return;
    const QString name = typed.trimmed();
    // An empty or overlong name is not taken: the old one comes back.
    if (!name.isEmpty() && name.size() <= static_cast<qsizetype>(kMaxBookmarkName))
        m_bookmarks[static_cast<std::size_t>(row)].name = name.toStdString();
    const QSignalBlocker quiet(m_list);
    m_list->item(row)->setText(text(m_bookmarks[static_cast<std::size_t>(row)].name));
}

void ManageBookmarksDialog::renameCurrent() {
    if (QListWidgetItem* item = m_list->currentItem()) m_list->editItem(item);
}

void ManageBookmarksDialog::deleteCurrent() {
    const int row = m_list->currentRow();
    if (row < 0 || row >= static_cast<int>(m_bookmarks.size())) return;
    m_bookmarks.erase(m_bookmarks.begin() + row);
    fill(std::min(row, static_cast<int>(m_bookmarks.size()) - 1));
}

void ManageBookmarksDialog::moveCurrent(int step) {
    const int row = m_list->currentRow();
    const int to = row + step;
    if (row < 0 || to < 0 || to >= static_cast<int>(m_bookmarks.size())) return;
    std::swap(m_bookmarks[static_cast<std::size_t>(row)], m_bookmarks[static_cast<std::size_t>(to)]);
    fill(to);
}

}  // namespace velmora::gui
