#pragma once
// Work done on a thread of its own, one piece at a time, where only the latest
// request counts: a new request replaces one still waiting and cancels the one
// running (through the flag the work is handed), and a result is handed back
// on the GUI thread, by signal, only if no newer request came since. The main
// render, the animation render and the previews all run this way.
#include <QObject>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

namespace velmora::gui {

class LatestWorker : public QObject {
    Q_OBJECT
public:
    // What a piece of work hands back: run on the GUI thread when it is still
    // the latest, just before `finished`.
    using Delivery = std::function<void()>;
    // The work itself, run on the worker thread; `superseded` turns true when
    // a newer request makes its result useless.
    using Work = std::function<Delivery(const std::atomic<bool>& superseded)>;

    explicit LatestWorker(QObject* parent = nullptr);
    // Cancels whatever runs and waits for the worker to end.
    ~LatestWorker() override;

    // Queues work; returns the request's number (1, 2, ...).
    std::uint64_t request(Work work);
    std::uint64_t latestRequest() const { return m_latest; }
    // A request whose result has not been handed back yet (GUI thread only).
    bool isRunning() const { return m_delivered != m_latest; }

signals:
    // The latest request's result was delivered.
    void finished(std::uint64_t request);

private:
    void run();

    std::uint64_t m_latest = 0;     // GUI thread only
    std::uint64_t m_delivered = 0;  // GUI thread only
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::optional<std::pair<Work, std::uint64_t>> m_pending;
    bool m_stop = false;
    std::atomic<bool> m_superseded{false};
    std::thread m_worker;
};

}  // namespace velmora::gui
