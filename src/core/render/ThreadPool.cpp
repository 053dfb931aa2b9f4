#include "render/ThreadPool.h"

#include <chrono>
#include <system_error>
#include <thread>

namespace velmora {
namespace {

// Spins on a condition for up to about 50 microseconds; true once it holds.
// The spin pauses rather than yields: a yield on a busy machine may give the
// core away for a whole time slice.
template <class F>
bool waitBriefly(F holds) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(50);
    for (int k = 0;; ++k) {
        if (holds()) return true;
        if ((k & 15) == 15 && std::chrono::steady_clock::now() > until) return false;
#if defined(__x86_64__) || defined(__i386__)
        __builtin_ia32_pause();
#else
        std::this_thread::yield();
#endif
    }
}

}  // namespace

ThreadPool::ThreadPool(unsigned participants) {
    const unsigned workers = participants > 1 ? participants - 1 : 0;
    m_workers.reserve(workers);
    for (unsigned i = 0; i < workers; ++i) {
        try {
            m_workers.emplace_back([this, i] { workerLoop(i); });
        } catch (const std::system_error&) {
            break;  // run with the threads we got; the caller always works
        }
    }
}

ThreadPool::~ThreadPool() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    for (auto& t : m_workers) t.join();
}

ThreadPool& ThreadPool::shared() {
    // Made on first use and destroyed (workers joined) when the program exits.
    static ThreadPool pool(std::thread::hardware_concurrency() > 0 ? std::thread::hardware_concurrency() : 1);
    return pool;
}

void ThreadPool::takeItems() {
    for (;;) {
        const std::size_t i = m_next.fetch_add(1, std::memory_order_relaxed);
        if (i >= m_count) return;
        m_task(m_context, i);
    }
}

void ThreadPool::workerLoop(unsigned index) {
    std::uint64_t seen = 0;
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        // Jobs often follow each other closely (a picture's blocks of rows):
        // watch for the next a little while before sleeping, as waking a
        // sleeping thread costs more than a small job.
        lock.unlock();
        waitBriefly([&] { return m_generation.load(std::memory_order_acquire) != seen; });
        lock.lock();
        m_wake.wait(lock, [&] { return m_stop || m_generation != seen; });
        if (m_stop) return;
        seen = m_generation;
        if (index >= m_helpers) continue;  // not needed for this job
        lock.unlock();
        takeItems();
        lock.lock();
        if (--m_pending == 0) m_done.notify_one();
    }
}

void ThreadPool::run(std::size_t count, unsigned maxThreads, Task task, void* context) {
    if (count == 0) return;
    std::lock_guard<std::mutex> turn(m_submit);
    unsigned helpers = static_cast<unsigned>(m_workers.size());
    if (maxThreads != 0 && maxThreads - 1 < helpers) helpers = maxThreads - 1;
    if (count - 1 < helpers) helpers = static_cast<unsigned>(count - 1);
    if (helpers == 0) {
        for (std::size_t i = 0; i < count; ++i) task(context, i);
        return;
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_task = task;
        m_context = context;
        m_count = count;
        m_next.store(0, std::memory_order_relaxed);
        m_helpers = helpers;
        m_pending = helpers;
        ++m_generation;
    }
    m_wake.notify_all();
    takeItems();
    waitBriefly([&] { return m_pending.load(std::memory_order_acquire) == 0; });
    std::unique_lock<std::mutex> lock(m_mutex);
    m_done.wait(lock, [&] { return m_pending == 0; });
}

}  // namespace velmora
