#pragma once
// File names between Qt strings and the core's std::string paths, in the
// file system's own encoding.
#include <QFile>
#include <QString>
#include <string>

namespace velmora::gui {

inline std::string toStdPath(const QString& path) { return QFile::encodeName(path).toStdString(); }
inline QString fromStdPath(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

}  // namespace velmora::gui
