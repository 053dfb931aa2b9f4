#include "rendering/PreviewRenderer.h"

#include "engine/FractalEngine.h"
#include "rendering/PictureImage.h"

namespace velmora::gui {

PreviewRenderer::PreviewRenderer(QObject* parent) : QObject(parent) {}

void PreviewRenderer::request(const FractalParams& values, const Palette& palette) {
    m_worker.request([this, values, palette](const std::atomic<bool>& superseded) -> LatestWorker::Delivery {
        // A preview has no one to tell: it is shown, or it is not.
        FractalEngine engine(values.width, values.height);
        RenderContext context;
        context.cancel = &superseded;
        QImage picture;
        if (engine.render(values, context) == RenderOutcome::Done) picture = wholePicture(engine, palette);
        return [this, picture = std::move(picture)] { emit rendered(picture, m_worker.latestRequest()); };
    });
}

}  // namespace velmora::gui
