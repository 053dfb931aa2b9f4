#pragma once
// A fixed set of worker threads that share out numbered work items. The program
// has one, sized to the hardware, made on first use and joined at exit; renders
// hand their blocks to it instead of starting threads of their own.
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace velmora {

class ThreadPool {
public:
    using Task = void (*)(void* context, std::size_t item);

    // participants counts the calling thread: participants - 1 workers are
    // started (fewer if the system refuses threads; at least the caller works).
    explicit ThreadPool(unsigned participants);
    ~ThreadPool();
    ThreadPool(const ThreadPool&) = delete;
    ThreadPool& operator=(const ThreadPool&) = delete;

    // The program's pool: one participant per hardware thread.
    static ThreadPool& shared();

    // Threads that can work on one call of Run, the caller included.
    unsigned size() const { return static_cast<unsigned>(m_workers.size()) + 1; }

    // Calls task(context, i) once for every i in [0, count), on at most
    // maxThreads threads (0: all), the calling thread being one of them, and
    // returns when all are done. Calls from several threads take turns.
    void run(std::size_t count, unsigned maxThreads, Task task, void* context);

    template <class F>
    void forEach(std::size_t count, unsigned maxThreads, F& f) {
        run(count, maxThreads, [](void* c, std::size_t i) { (*static_cast<F*>(c))(i); }, &f);
    }

private:
    void workerLoop(unsigned index);
    void takeItems();

    std::vector<std::thread> m_workers;
    std::mutex m_submit;  // one job at a time
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_done;
    bool m_stop = false;
    // Atomic as well as guarded by m_mutex, so that threads may watch them
    // briefly without the lock before they sleep.
    std::atomic<std::uint64_t> m_generation{0};
    unsigned m_helpers = 0;                // workers 0..m_helpers-1 take part in the current job
    std::atomic<unsigned> m_pending{0};    // helpers that have not finished it yet
    Task m_task = nullptr;
    void* m_context = nullptr;
    std::size_t m_count = 0;
    std::atomic<std::size_t> m_next{0};
};

}  // namespace velmora
