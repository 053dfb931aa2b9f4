#include "FrameCache.h"

#include <QFile>
#include <QImageReader>

#include <algorithm>
#include <limits>
#include <string>
#include <system_error>

#include <unistd.h>

#include "anim/ScriptPlayback.h"
#include "base/FileIO.h"

namespace {

qsizetype costOf(const QImage& image) { return std::max<qsizetype>(1, image.sizeInBytes() / 1024); }

}  // namespace

FrameCache::FrameCache(std::size_t maxBytes)
    : m_images(static_cast<qsizetype>(std::max<std::size_t>(maxBytes / 1024, 1))) {}

LoadedFrame FrameCache::load(const QString& path) {
    if (const QImage* cached = m_images.object(path)) return {*cached, {}};
    LoadedFrame frame = decode(path);
    // A frame larger than the whole bound is shown but not kept.
    if (!frame.image.isNull() && costOf(frame.image) <= m_images.maxCost())
        m_images.insert(path, new QImage(frame.image), costOf(frame.image));
    return frame;
}

bool FrameCache::openFrame(const QString& path, QFile& file, QString& problem) {
    const std::string local = QFile::encodeName(path).toStdString();
    const velmora::FrameFileState state = velmora::checkFrameFile(local);
    if (state != velmora::FrameFileState::Present) {
        problem = QString::fromUtf8(velmora::frameFileStateReason(state));
        return false;
    }
    // Opened by the core's check, so a FIFO or device put in a frame's place
    // is refused instead of waited on.
    std::error_code cause;
    const int fd = velmora::openRegularFile(local, cause);
    if (fd < 0) {
        problem = cause == std::errc::not_supported ? QString::fromUtf8(velmora::frameFileStateReason(
                                                          velmora::FrameFileState::NotAFile))
                                                    : QString::fromStdString(cause.message());
        return false;
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        problem = file.errorString();
        return false;
    }
    return true;
}

QSize FrameCache::frameSize(const QString& path) {
    QFile file;
    QString problem;
    if (!openFrame(path, file, problem)) return {};
    return QImageReader(&file).size();
}

int FrameCache::allocationLimitMb(qint64 fileBytes) {
    // Qt counts at least 4 bytes a pixel, and an uncompressed frame of 8 bits
    // a pixel holds every pixel in its file: four times the file's size allows
    // every frame Velmora writes, while a small file claiming a huge picture
    // stays within Qt's usual 128 MB.
    const qint64 mb = std::max<qint64>(fileBytes, 0) / (1024 * 1024) * 4 + 4;
    return static_cast<int>(std::clamp<qint64>(mb, 128, std::numeric_limits<int>::max()));
}

LoadedFrame FrameCache::decode(const QString& path) {
    QFile file;
    QString problem;
    if (!openFrame(path, file, problem)) return {{}, problem};
    // The limit is global in Qt; the player reads its frames on one thread.
    QImageReader::setAllocationLimit(allocationLimitMb(file.size()));
    QImageReader reader(&file);
    QImage image = reader.read();
    if (image.isNull()) return {{}, reader.errorString()};
    // Painting from 32-bit pixels needs no conversion at every frame.
    QImage shown = image.convertToFormat(QImage::Format_RGB32);
    if (shown.isNull()) return {{}, QStringLiteral("Not enough memory to show this frame.")};
    return {shown, {}};
}
