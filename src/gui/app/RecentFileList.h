#pragma once
// The most recently opened or saved documents, newest first, kept under
// "Recent File List"/File1..FileN.
#include <QSettings>
#include <QStringList>

namespace velmora::gui {

class RecentFileList {
public:
    explicit RecentFileList(int size) : m_size(size) {}

    void Add(const QString& path);  // moves it to the front, drops the oldest
    void Remove(int index);
    const QStringList& Files() const { return m_files; }
    int Size() const { return m_size; }

    void Load(QSettings& settings);
    void Save(QSettings& settings) const;

    // The menu text of entry index: "&1 path".
    QString MenuText(int index) const;

private:
    int m_size;
    QStringList m_files;
};

}  // namespace velmora::gui
