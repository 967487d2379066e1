#include "Parallel.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace ie {

namespace {

thread_local bool t_insideParallel = false;

class WorkerPool {
public:
    WorkerPool() {
        const int n = std::max(1u, std::thread::hardware_concurrency());
        m_hardware = n;
        m_active = n;
        for (int i = 1; i < n; ++i)
            m_threads.emplace_back([this] { workerLoop(); });
    }

    int hardware() const { return m_hardware; }
    int active() const { return m_active; }
    void setActive(int n) { m_active = n <= 0 ? m_hardware : std::min(n, m_hardware); }

    void run(int begin, int end, const std::function<void(int, int)>& body, int minChunk) {
        const int total = end - begin;
        const int workers = std::min(m_active.load(), std::max(1, total / std::max(1, minChunk)));
        if (workers <= 1 || t_insideParallel) {
            body(begin, end);
            return;
        }
        std::lock_guard runLock(m_runMutex); // one parallel job at a time
        Job job;
        job.body = &body;
        job.begin = begin;
        job.end = end;
        // Several chunks per worker keep both cores busy when rows differ in cost.
        job.chunk = std::max(minChunk, total / (workers * 4));
        job.next = begin;
        {
            std::lock_guard lock(m_mutex);
            m_job = &job;
            m_wanted = workers - 1;
            ++m_generation;
        }
        m_wake.notify_all();
        t_insideParallel = true;
        work(job);
        t_insideParallel = false;
        std::unique_lock lock(m_mutex);
        m_done.wait(
            lock, [&] { return job.finishedHelpers == job.joinedHelpers && m_wanted == 0; });
        m_job = nullptr;
        lock.unlock();
        if (job.error) std::rethrow_exception(job.error);
    }

private:
    struct Job {
        const std::function<void(int, int)>* body = nullptr;
        int begin = 0, end = 0, chunk = 1;
        std::atomic<int> next { 0 };
        int joinedHelpers = 0;
        int finishedHelpers = 0;
        std::exception_ptr error;
        std::mutex errorMutex;
    };

    static void work(Job& job) {
        for (;;) {
            const int b = job.next.fetch_add(job.chunk);
            if (b >= job.end) return;
            const int e = std::min(job.end, b + job.chunk);
            try {
                (*job.body)(b, e);
            } catch (...) {
                std::lock_guard lock(job.errorMutex);
                if (!job.error) job.error = std::current_exception();
                job.next = job.end;
            }
        }
    }

    void workerLoop() {
        t_insideParallel = true;
        unsigned seen = 0;
        for (;;) {
            Job* job = nullptr;
            {
                std::unique_lock lock(m_mutex);
                m_wake.wait(lock, [&] { return m_generation != seen && m_wanted > 0; });
                seen = m_generation;
                --m_wanted;
                job = m_job;
                ++job->joinedHelpers;
            }
            work(*job);
            {
                std::lock_guard lock(m_mutex);
                ++job->finishedHelpers;
            }
            m_done.notify_all();
        }
    }

    std::vector<std::thread> m_threads;
    int m_hardware = 1;
    std::atomic<int> m_active { 1 };
    std::mutex m_runMutex;
    std::mutex m_mutex;
    std::condition_variable m_wake, m_done;
    Job* m_job = nullptr;
    int m_wanted = 0;
    unsigned m_generation = 0;
};

WorkerPool& pool() {
    // Never destroyed: its threads live for the whole process.
    static WorkerPool* p = new WorkerPool;
    return *p;
}

} // namespace

void parallelFor(int begin, int end, const std::function<void(int, int)>& body, int minChunk) {
    if (end <= begin) return;
    pool().run(begin, end, body, minChunk);
}

int threadCount() {
    return pool().active();
}

void setThreadCount(int n) {
    pool().setActive(n);
}

} // namespace ie
