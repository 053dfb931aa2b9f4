#include "rendering/PreviewRenderer.h"

#include "base/Host.h"
#include "engine/FractalEngine.h"
#include "rendering/PictureImage.h"

namespace velmora::gui {

namespace {

// A preview has no one to tell: no message boxes, sounds or cancel key.
class SilentHost : public Host {
public:
    MsgAnswer showMessage(const Message&) override { return MsgAnswer::Cancel; }
    bool pollCancelKey() override { return false; }
    void playQuestionSound() override {}
    void beep() override {}
    bool startPlayer(const std::string&, const std::string&) override { return false; }
};

}  // namespace

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
    SilentHost host;
    const FractalParams& v = job.values;
    FractalEngine engine(v.width, v.height, host);
    engine.setRegion(v.left, v.top, v.right, v.bottom);
    engine.setType(static_cast<std::int32_t>(v.type));
    engine.setIterations(v.iterations);
    engine.setJuliaConstant(v.cReal, v.cImag);
    if (engine.render(nullptr, &m_cancel) != 1) return {};
    return wholePicture(engine, job.palette);
}

}  // namespace velmora::gui
