#include "FrameCache.h"

#include <QFile>
#include <QImageReader>

#include <algorithm>

#include "anim/ScriptPlayback.h"

namespace {

qsizetype CostOf(const QImage& image) { return std::max<qsizetype>(1, image.sizeInBytes() / 1024); }

}  // namespace

FrameCache::FrameCache(std::size_t maxBytes)
    : m_images(static_cast<qsizetype>(std::max<std::size_t>(maxBytes / 1024, 1))) {}

LoadedFrame FrameCache::Load(const QString& path) {
    if (const QImage* cached = m_images.object(path)) return {*cached, {}};
    LoadedFrame frame = Decode(path);
    // A frame larger than the whole bound is shown but not kept.
    if (!frame.image.isNull() && CostOf(frame.image) <= m_images.maxCost())
        m_images.insert(path, new QImage(frame.image), CostOf(frame.image));
    return frame;
}

LoadedFrame FrameCache::Decode(const QString& path) {
    const velmora::FrameFileState state = velmora::CheckFrameFile(QFile::encodeName(path).toStdString());
    if (state != velmora::FrameFileState::Present)
        return {{}, QString::fromUtf8(velmora::FrameFileStateReason(state))};

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {{}, file.errorString()};
    QImageReader reader(&file);
    QImage image = reader.read();
    if (image.isNull()) return {{}, reader.errorString()};
    // Painting from 32-bit pixels needs no conversion at every frame.
    return {image.convertToFormat(QImage::Format_RGB32), {}};
}
