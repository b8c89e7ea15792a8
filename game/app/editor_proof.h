#pragma once
// The level solver on a thread of its own, so that the editor goes on while it
// searches. The editor starts it with the level's text and polls once per
// update; destroying it (leaving the editor) stops the search and waits for it.
#include <atomic>
#include <string>
#include <thread>

#include "game/objects/solution.h"

class EditorProof {
public:
    struct Result {
        bool found = false;           // a winning click sequence was found
        bool playable = false;        // and enough of its jittered variants win too
        leveltools::Solution solution;  // hash (of `text`), par, clicks, playable fraction
        std::string text;             // the level text that was searched
    };

    EditorProof() = default;
    ~EditorProof();
    EditorProof(const EditorProof&) = delete;
    EditorProof& operator=(const EditorProof&) = delete;

    // Searches the level `text` (named `name` in messages) for at most `seconds`
    // of wall-clock time. Stops a search still running first.
    void start(const std::string& name, const std::string& text, double seconds);
    // Stops a running search (its result is dropped) and waits for its thread.
    void cancel();
    bool running() const { return m_thread.joinable() && !m_done; }
    // True, once, when a search has ended: `out` is its result.
    bool poll(Result& out);
    // Replays run by the current or last search.
    long long simulations() const { return m_simulations; }

private:
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_done{false};
    std::atomic<long long> m_simulations{0};
    Result m_result;  // written by the thread before m_done, read after it
};
