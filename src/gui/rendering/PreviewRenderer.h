#pragma once
// Small pictures for windows that follow the mouse, rendered on a worker of
// their own where only the latest request counts: a picture is handed back
// (on the GUI thread) only if no newer request came since.
#include <QImage>
#include <QObject>

#include <cstdint>

#include "location/FractalParams.h"
#include "palette/Palette.h"
#include "rendering/LatestWorker.h"

namespace velmora::gui {

class PreviewRenderer : public QObject {
    Q_OBJECT
public:
    explicit PreviewRenderer(QObject* parent = nullptr);

    // Renders values (region, type, constant, iterations, size) in palette.
    void request(const FractalParams& values, const Palette& palette);

    // Requests made so far; the one a picture answers comes with it.
    std::uint64_t latestRequest() const { return m_worker.latestRequest(); }

signals:
    // The picture of the latest request, top-down; null if it could not be made.
    void rendered(const QImage& picture, std::uint64_t request);

private:
    LatestWorker m_worker;
};

}  // namespace velmora::gui
