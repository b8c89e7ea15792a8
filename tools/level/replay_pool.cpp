#include "tools/level/replay_pool.h"

#include <algorithm>
#include <exception>
#include <utility>

namespace leveltools {

namespace {

// Replays a worker may run ahead of the search, per thread: enough that every
// worker stays busy while replays of very different lengths (a loss that settles
// within a hundred updates, a full 3600) finish out of order; few enough that
// little is thrown away when the search stops or turns elsewhere.
const size_t AHEAD_PER_THREAD = 4;

}  // namespace

struct ReplayPool::Work {
    std::vector<ReplayJob> jobs;
    std::vector<ReplayResult> results;       // results[i] written by the worker that ran job i
    std::vector<std::exception_ptr> errors;  // what job i threw
    std::vector<char> done;                  // job i has finished (m_mutex)
    size_t claimed = 0;                      // jobs handed to workers: the first `claimed` (m_mutex)
    size_t taken = 0;                        // results taken (m_mutex)
    int running = 0;                         // jobs of this batch running now (m_mutex)
};

ReplayPool::ReplayPool(const LevelSource& level, const ReplayOptions& options, int threads)
    : m_level(level), m_options(options), m_ahead(AHEAD_PER_THREAD * static_cast<size_t>(std::max(0, threads))) {
    for (int t = 0; t < threads; ++t) m_threads.emplace_back([this] { work(); });
}

ReplayPool::~ReplayPool() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    for (std::thread& t : m_threads) t.join();
}

ReplayResult ReplayPool::run(const ReplayJob& job) const {
    ReplayOptions o = m_options;
    o.snapshotAt = job.snapshotAt;
    return replayUnsilenced(m_level, job.clicks, o);
}

ReplayPool::Work* ReplayPool::nextWork() {
    for (auto w = m_open.rbegin(); w != m_open.rend(); ++w) {
        Work& work = **w;
        if (work.claimed < work.jobs.size() && work.claimed < work.taken + m_ahead) return &work;
    }
    return nullptr;
}

void ReplayPool::work() {
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        Work* w = nullptr;
        m_wake.wait(lock, [&] { return m_stopping || (w = nextWork()) != nullptr; });
        if (m_stopping) return;
        const size_t i = w->claimed++;
        ++w->running;
        lock.unlock();
        try {
            w->results[i] = run(w->jobs[i]);
        } catch (...) {
            w->errors[i] = std::current_exception();
        }
        lock.lock();
        w->done[i] = 1;
        --w->running;
        m_finished.notify_all();
    }
}

ReplayPool::Batch::Batch(ReplayPool& pool, std::vector<ReplayJob> jobs) : m_pool(pool), m_work(new Work()) {
    const size_t n = jobs.size();
    m_work->jobs = std::move(jobs);
    if (m_pool.m_threads.empty()) return;
    m_work->results.resize(n);
    m_work->errors.resize(n);
    m_work->done.assign(n, 0);
    {
        std::lock_guard<std::mutex> lock(m_pool.m_mutex);
        m_pool.m_open.push_back(m_work.get());
    }
    m_pool.m_wake.notify_all();
}

ReplayPool::Batch::~Batch() {
    if (m_pool.m_threads.empty()) return;
    std::unique_lock<std::mutex> lock(m_pool.m_mutex);
    m_pool.m_open.erase(std::find(m_pool.m_open.begin(), m_pool.m_open.end(), m_work.get()));
    m_pool.m_finished.wait(lock, [&] { return m_work->running == 0; });
}

size_t ReplayPool::Batch::size() const { return m_work->jobs.size(); }

ReplayResult ReplayPool::Batch::take() {
    Work& w = *m_work;
    const size_t i = w.taken;
    if (m_pool.m_threads.empty()) {
        ++w.taken;
        return m_pool.run(w.jobs[i]);
    }
    std::unique_lock<std::mutex> lock(m_pool.m_mutex);
    m_pool.m_finished.wait(lock, [&] { return w.done[i] != 0; });
    ++w.taken;
    m_pool.m_wake.notify_all();  // one more replay of this batch may run ahead
    if (w.errors[i]) std::rethrow_exception(w.errors[i]);
    return std::move(w.results[i]);
}

}  // namespace leveltools
