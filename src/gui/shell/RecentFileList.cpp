#include "shell/RecentFileList.h"

#include <QDir>
#include <QFileInfo>

namespace velmora::gui {

namespace {
const QString kSection = QStringLiteral("Recent File List");

QString canonical(const QString& path) {
    const QFileInfo info(path);
    return info.exists() ? info.absoluteFilePath() : QDir::cleanPath(info.absoluteFilePath());
}
}  // namespace

void RecentFileList::add(const QString& path) {
    if (path.isEmpty()) return;
    const QString p = canonical(path);
    m_files.removeAll(p);
    m_files.prepend(p);
    while (m_files.size() > m_size) m_files.removeLast();
}

void RecentFileList::remove(int index) {
    if (index >= 0 && index < m_files.size()) m_files.removeAt(index);
}

void RecentFileList::load(QSettings& settings) {
    m_files.clear();
    settings.beginGroup(kSection);
    for (int i = 1; i <= m_size; ++i) {
        const QString p = settings.value(QStringLiteral("File%1").arg(i)).toString();
        if (!p.isEmpty() && !m_files.contains(p)) m_files.append(p);
    }
    settings.endGroup();
}

void RecentFileList::save(QSettings& settings) const {
    settings.beginGroup(kSection);
    for (int i = 1; i <= m_size; ++i) {
        const QString key = QStringLiteral("File%1").arg(i);
        if (i <= m_files.size())
            settings.setValue(key, m_files.at(i - 1));
        else
            settings.remove(key);
    }
    settings.endGroup();
}

QString RecentFileList::menuText(int index) const {
    if (index < 0 || index >= m_files.size()) return {};
    QString shown = QDir::toNativeSeparators(m_files.at(index));
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(index + 1).arg(shown);
}

}  // namespace velmora::gui
