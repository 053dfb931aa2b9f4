#include "rendering/PreviewRenderer.h"

#include "engine/FractalEngine.h"
#include "rendering/PictureImage.h"

namespace velmora::gui {

PreviewRenderer::PreviewRenderer(QObject* parent) : QObject(parent), m_worker([this] { run(); }) {}

PreviewRenderer::~PreviewRenderer() {
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
        m_cancel = true;
    }
    m_wake.notify_one();
    m_worker.join();
}

void PreviewRenderer::request(const FractalParams& values, const Palette& palette) {
    const std::uint64_t serial = ++m_latest;
    {
        const std::lock_guard lock(m_mutex);
        m_pending = Job{values, palette, serial};
        m_cancel = true;  // the running render, if any, is out of date
    }
    m_wake.notify_one();
}

void PreviewRenderer::run() {
    for (;;) {
        Job job;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stop || m_pending.has_value(); });
            if (m_stop) return;
            job = std::move(*m_pending);
            m_pending.reset();
            m_cancel = false;
        }
        QImage picture = renderJob(job);
        if (m_cancel) continue;  // a newer request is waiting
        QMetaObject::invokeMethod(
            this,
            [this, picture = std::move(picture), serial = job.serial] {
                // Still the latest once it reaches the GUI thread?
                if (serial == m_latest) emit rendered(picture, serial);
            },
            Qt::QueuedConnection);
    }
}

QImage PreviewRenderer::renderJob(const Job& job) {
    // A preview has no one to tell: it is shown, or it is not.
    FractalEngine engine(job.values.width, job.values.height);
    RenderContext context;
    context.cancel = &m_cancel;
    if (engine.render(job.values, context) != RenderOutcome::Done) return {};
    return wholePicture(engine, job.palette);
}

}  // namespace velmora::gui
