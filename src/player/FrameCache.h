#pragma once
// Decoded frames by file name, bounded in memory: a looping animation that
// fits is decoded once, a longer one is decoded again as it comes round.
#include <QCache>
#include <QFile>
#include <QImage>
#include <QString>

#include <cstddef>

// One frame as the player shows it: the picture, or why there is none.
struct LoadedFrame {
    QImage image;     // null when the frame cannot be shown
    QString problem;  // the reason, for the text drawn in its place
};

class FrameCache {
public:
    explicit FrameCache(std::size_t maxBytes = std::size_t{256} * 1024 * 1024);

    // Decodes the file unless it is cached. Failures are not cached, so a
    // frame still being rendered shows as soon as it exists.
    LoadedFrame load(const QString& path);

    // Decodes without the cache, and says why a frame cannot be shown.
    static LoadedFrame decode(const QString& path);
    // The picture's size from the file's header; invalid when it cannot be read.
    static QSize frameSize(const QString& path);
    // Qt's decoding limit for a frame file of this size, in MB.
    static int allocationLimitMb(qint64 fileBytes);

private:
    // Opens regular files only; anything else sets the problem.
    static bool openFrame(const QString& path, QFile& file, QString& problem);

    QCache<QString, QImage> m_images;  // cost in KiB
};
