#include "game/app/editor_proof.h"

#include "tools/level/solver.h"

EditorProof::~EditorProof() { cancel(); }

void EditorProof::start(const std::string& name, const std::string& text, double seconds) {
    cancel();
    m_stop = false;
    m_done = false;
    m_simulations = 0;
    m_result = Result();
    m_thread = std::thread([this, name, text, seconds] {
        leveltools::LevelSource source;
        source.name = name;
        source.path = name;
        source.bytes = text;
        leveltools::SolveOptions options;
        options.budgetSeconds = seconds;
        options.jobs = 1;  // the other core draws the editor
        options.silenceOutput = false;  // the game's own messages go on meanwhile
        options.progress = [this](const leveltools::SolveProgress& p) { m_simulations = p.simulations; };
        options.interrupted = [this] { return m_stop.load(); };
        const leveltools::SolveResult r = leveltools::solve(source, options);
        m_result.found = r.found;
        m_result.playable = r.playable;
        m_result.solution = r.solution;
        m_result.text = text;
        m_done = true;
    });
}

void EditorProof::cancel() {
    m_stop = true;
    if (m_thread.joinable()) m_thread.join();
    m_done = false;
}

bool EditorProof::poll(Result& out) {
    if (!m_thread.joinable() || !m_done) return false;
    m_thread.join();
    m_done = false;
    out = m_result;
    return true;
}
