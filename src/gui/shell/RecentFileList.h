#pragma once
// The most recently opened or saved documents, newest first, kept under
// "Recent File List"/File1..FileN.
#include <QSettings>
#include <QStringList>

namespace velmora::gui {

class RecentFileList {
public:
    explicit RecentFileList(int size) : m_size(size) {}

    void add(const QString& path);  // moves it to the front, drops the oldest
    void remove(int index);
    const QStringList& files() const { return m_files; }
    int size() const { return m_size; }

    void load(QSettings& settings);
    void save(QSettings& settings) const;

    // The menu text of entry index: "&1 path".
    QString menuText(int index) const;

private:
    int m_size;
    QStringList m_files;
};

}  // namespace velmora::gui
