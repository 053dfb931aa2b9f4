#pragma once
// Small pictures rendered on a worker thread of their own, for windows that
// follow the mouse: only the latest request counts. A new request replaces one
// still waiting and cancels the one being computed, and a picture is handed
// back (on the GUI thread) only if no newer request came since.
#include <QImage>
#include <QObject>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>

#include "location/FractalParams.h"
#include "palette/Palette.h"

namespace velmora::gui {

class PreviewRenderer : public QObject {
    Q_OBJECT
public:
    explicit PreviewRenderer(QObject* parent = nullptr);
    // Cancels whatever runs and waits for the worker to end.
    ~PreviewRenderer() override;

    // Renders values (region, type, constant, iterations, size) in palette.
    void request(const FractalParams& values, const Palette& palette);

    // Requests made so far; the one a picture answers comes with it.
    std::uint64_t latestRequest() const { return m_latest; }

signals:
    // The picture of the latest request, top-down; null if it could not be made.
    void rendered(const QImage& picture, std::uint64_t request);

private:
    struct Job {
        FractalParams values;
        Palette palette;
        std::uint64_t serial = 0;
    };
    void run();
    QImage renderJob(const Job& job);

    std::uint64_t m_latest = 0;  // GUI thread only
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::optional<Job> m_pending;
    bool m_stop = false;
    std::atomic<bool> m_cancel{false};
    std::thread m_worker;
};

}  // namespace velmora::gui
