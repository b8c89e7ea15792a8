#pragma once
// Runs a search's replays ahead of it on worker threads while the search takes
// the results back one at a time, in its own order: whatever the number of
// threads, the search sees the same results in the same order, and so makes the
// same choices.
//
// The search opens a Batch of replays it expects to want, in the order it will
// want them (replays that do not depend on one another's results), and takes
// their results in that order, as long as it still wants them. Workers run at
// most `ahead` replays of a batch beyond the next one to be taken, the newest
// open batch first (the one the search is waiting on). Closing a batch drops the
// replays not taken: at most `ahead` replays per batch run for nothing.
//
// Without threads, each replay runs when it is taken, on the caller's thread: the
// plain serial search.
//
// Standard output is left alone (replayUnsilenced): silence it around the pool.
#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "tools/level/replay.h"

namespace leveltools {

// One replay: the clicks, and the updates after which to record the bodies.
struct ReplayJob {
    std::vector<Click> clicks;
    std::vector<int> snapshotAt;
};

class ReplayPool {
    struct Work;  // one batch's replays and results

public:
    // Replays of `level` with `options` (but each job's snapshotAt) on `threads`
    // worker threads; 0 runs them on the caller's thread.
    ReplayPool(const LevelSource& level, const ReplayOptions& options, int threads);
    ~ReplayPool();  // every batch must be closed first
    ReplayPool(const ReplayPool&) = delete;
    ReplayPool& operator=(const ReplayPool&) = delete;

    class Batch {
    public:
        Batch(ReplayPool& pool, std::vector<ReplayJob> jobs);
        ~Batch();  // drops the replays not taken, after waiting for those running
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

        size_t size() const;
        // The result of the next replay, in the order given; rethrows what the
        // replay threw. At most size() times.
        ReplayResult take();

    private:
        ReplayPool& m_pool;
        std::unique_ptr<Work> m_work;
    };

private:
    void work();  // a worker thread's loop
    Work* nextWork();  // the batch with a replay due; null when none (m_mutex held)
    ReplayResult run(const ReplayJob& job) const;

    const LevelSource& m_level;
    ReplayOptions m_options;
    size_t m_ahead;  // replays a worker may run beyond the next one to be taken
    std::mutex m_mutex;
    std::condition_variable m_wake;      // workers: a replay may be due, or stop
    std::condition_variable m_finished;  // takers: a replay finished
    std::vector<Work*> m_open;           // open batches, oldest first (m_mutex)
    bool m_stopping = false;             // (m_mutex)
    std::vector<std::thread> m_threads;
};

}  // namespace leveltools
