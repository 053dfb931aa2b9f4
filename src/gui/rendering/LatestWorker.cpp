#include "rendering/LatestWorker.h"

namespace velmora::gui {

LatestWorker::LatestWorker(QObject* parent) : QObject(parent), m_worker([this] { run(); }) {}

LatestWorker::~LatestWorker() {
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
        m_superseded = true;
    }
    m_wake.notify_one();
    m_worker.join();
}

std::uint64_t LatestWorker::request(Work work) {
    const std::uint64_t serial = ++m_latest;
    {
        const std::lock_guard lock(m_mutex);
        m_pending.emplace(std::move(work), serial);
        m_superseded = true;  // the running work, if any, is out of date
    }
    m_wake.notify_one();
    return serial;
}

void LatestWorker::run() {
    for (;;) {
        Work work;
        std::uint64_t serial = 0;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stop || m_pending.has_value(); });
            if (m_stop) return;
            std::tie(work, serial) = std::move(*m_pending);
            m_pending.reset();
            m_superseded = false;
        }
        Delivery delivery = work(m_superseded);
        if (m_superseded) continue;  // a newer request is waiting
        // Queued behind every call the work itself queued to this thread.
        QMetaObject::invokeMethod(
            this,
            [this, delivery = std::move(delivery), serial] {
                if (serial != m_latest) return;  // a newer request came meanwhile
                if (delivery) delivery();
                m_delivered = serial;
                emit finished(serial);
            },
            Qt::QueuedConnection);
    }
}

}  // namespace velmora::gui
