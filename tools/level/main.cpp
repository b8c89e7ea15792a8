// boxquake-level: headless level tools for level designers.
//
//   boxquake-level verify [--dir D] [level...]
//   boxquake-level solve [--dir D] [--seed S] [--budget SECONDS] [--updates N]
//                        [--max-clicks N] [--max-updates N] [--jobs N] [--force] level
//   boxquake-level play [--dir D] [--minutes M] [--seed S] [level...]
//
// D holds levels.txt, levels/ and (optionally) media/; by default the shipped
// levels of the source tree. See README.md, "Making levels".
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "game/objects/level.h"
#include "game/objects/level_list.h"
#include "game/render/animation.h"
#include "game/render/spritemanager.h"
#include "tools/level/level_check.h"
#include "tools/level/level_source.h"
#include "tools/level/progress.h"
#include "tools/level/random_play.h"
#include "tools/level/replay.h"
#include "game/objects/solution.h"
#include "tools/level/solver.h"

#ifndef BOXQUAKE_DATA_DIR
#define BOXQUAKE_DATA_DIR "data"
#endif

using namespace leveltools;

namespace {

// Exit codes: 0 success; 1 a level failed (verify) or no solution was found
// (solve); 2 bad command line; 3 solve found only an unplayable solution;
// 4 verify found no levels.txt (ctest reports the shipped-levels test as
// skipped then, instead of passing it).
const int EXIT_NO_LIST = 4;
const size_t MENU_LEVELS = 24;  // level icons the menu shows

// Set by Ctrl-C during solve: the search stops and the best found is written.
volatile sig_atomic_t s_interrupted = 0;
void onInterrupt(int) { s_interrupted = 1; }

const char* const USAGE =
    "usage:\n"
    "  boxquake-level verify [--dir D] [level...]\n"
    "      Replays each level's solution (default: every level in D/levels.txt) as the game\n"
    "      would and checks the quality gates; exits non-zero when any level fails\n"
    "      (4 when D has no levels.txt).\n"
    "  boxquake-level solve [--dir D] [--seed S] [--budget SECONDS] [--updates N]\n"
    "                       [--max-clicks N] [--target-playable F] [--max-updates N]\n"
    "                       [--jobs N] [--force] level\n"
    "      Searches for a winning click sequence with as few explosions as possible and\n"
    "      writes D/levels/<level>.sol.\n"
    "  boxquake-level play [--dir D] [--minutes M] [--seed S] [level...]\n"
    "      Plays each level (default: every level in D/levels.txt) for M simulated minutes\n"
    "      with a click at a random place every 0.2 to 3 s; fails on a position or velocity\n"
    "      that is not finite or an update that does not end, and reports how far any body\n"
    "      went outside the 800 x 600 field.\n"
    "options:\n"
    "  --dir D          directory with levels.txt, levels/ and media/ (default: " BOXQUAKE_DATA_DIR ")\n"
    "  --seed S         search seed (default 1); the same seed gives the same search\n"
    "                   (play: the same clicks)\n"
    "  --minutes M      play: simulated minutes per level, 60 updates a second (default 10)\n"
    "  --budget SECONDS stop the search after this much time (default 60)\n"
    "  --updates N      stop the search after N simulated updates instead: the same\n"
    "                   result on every machine\n"
    "  --max-clicks N   longest click sequence tried (default 4)\n"
    "  --target-playable F  keep looking for a more forgiving solution with the fewest\n"
    "                   clicks until this fraction of variants wins (0.5 to 1, default 0.9)\n"
    "  --max-updates N  updates one replay may take (default 3600, 60 s of play); stored in\n"
    "                   the solution as its \"limit\", which verify then uses\n"
    "  --jobs N         replays run at once (default: one per core); the same result\n"
    "                   for any N with --updates\n"
    "  --force          write the new solution even when the stored one is better\n";

struct Arguments {
    std::string command;
    std::string dir = BOXQUAKE_DATA_DIR;
    std::vector<std::string> levels;
    std::uint64_t seed = 1;
    double budget = 60;
    double minutes = 10;
    long long updates = 0;
    int maxClicks = 4;
    double targetPlayable = 0.9;
    int maxUpdates = DEFAULT_MAX_UPDATES;
    int jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    bool force = false;
};

bool parseNumber(const char* text, long long lo, long long hi, long long& out) {
    char* end = nullptr;
    long long v = std::strtoll(text, &end, 10);
    if (end == text || *end != '\0' || v < lo || v > hi) return false;
    out = v;
    return true;
}

bool parseReal(const char* text, double& out) {
    char* end = nullptr;
    out = std::strtod(text, &end);
    return end != text && *end == '\0';
}

// Returns 0 when parsed, else the exit code to leave with.
int parseArguments(int argc, char** argv, Arguments& a) {
    if (argc < 2) {
        std::fputs(USAGE, stderr);
        return 2;
    }
    a.command = argv[1];
    if (a.command == "-h" || a.command == "--help" || a.command == "help") {
        std::fputs(USAGE, stdout);
        return -1;
    }
    if (a.command != "verify" && a.command != "solve" && a.command != "play") {
        std::fprintf(stderr, "boxquake-level: unknown command \"%s\"\n%s", a.command.c_str(), USAGE);
        return 2;
    }
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](const char* what) -> const char* {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "boxquake-level: %s needs %s\n", arg.c_str(), what);
                return nullptr;
            }
            return argv[++i];
        };
        // A whole number from lo to hi; `rule` completes "<option> needs ...".
        auto number = [&](const char* what, long long lo, long long hi, const char* rule, long long& out) {
            const char* v = value(what);
            if (v && parseNumber(v, lo, hi, out)) return true;
            std::fprintf(stderr, "boxquake-level: %s needs %s\n", arg.c_str(), rule);
            return false;
        };
        long long n = 0;
        if (arg == "--dir") {
            const char* v = value("a directory");
            if (!v) return 2;
            a.dir = v;
        } else if (arg == "--seed") {
            if (!number("a number", 0, LLONG_MAX, "a whole number >= 0", n)) return 2;
            a.seed = static_cast<std::uint64_t>(n);
        } else if (arg == "--budget") {
            const char* v = value("a number of seconds");
            if (!v) return 2;
            if (!parseReal(v, a.budget) || !(a.budget > 0)) {
                std::fprintf(stderr, "boxquake-level: --budget needs a positive number of seconds, not \"%s\"\n", v);
                return 2;
            }
        } else if (arg == "--minutes") {
            const char* v = value("a number of minutes");
            if (!v) return 2;
            if (!parseReal(v, a.minutes) || !(a.minutes > 0 && a.minutes <= 10000)) {
                std::fprintf(stderr, "boxquake-level: --minutes needs a number above 0, up to 10000, not \"%s\"\n",
                             v);
                return 2;
            }
        } else if (arg == "--updates") {
            if (!number("a number of updates", 1, LLONG_MAX, "a whole number >= 1", n)) return 2;
            a.updates = n;
        } else if (arg == "--max-clicks") {
            if (!number("a number", 1, 20, "a number from 1 to 20", n)) return 2;
            a.maxClicks = static_cast<int>(n);
        } else if (arg == "--target-playable") {
            const char* v = value("a fraction");
            if (!v) return 2;
            if (!parseReal(v, a.targetPlayable) || !(a.targetPlayable >= MIN_PLAYABLE && a.targetPlayable <= 1.0)) {
                std::fprintf(stderr, "boxquake-level: --target-playable needs a fraction from 0.5 to 1, not \"%s\"\n",
                             v);
                return 2;
            }
        } else if (arg == "--max-updates") {
            if (!number("a number", 1, 1000000, "a number from 1 to 1000000", n)) return 2;
            a.maxUpdates = static_cast<int>(n);
        } else if (arg == "--jobs") {
            if (!number("a number", 1, 256, "a number from 1 to 256", n)) return 2;
            a.jobs = static_cast<int>(n);
        } else if (arg == "--force") {
            a.force = true;
        } else if (!arg.empty() && arg[0] == '-') {
            std::fprintf(stderr, "boxquake-level: unknown option \"%s\"\n%s", arg.c_str(), USAGE);
            return 2;
        } else {
            a.levels.push_back(arg);
        }
    }
    if (a.command == "solve" && a.levels.size() != 1) {
        std::fprintf(stderr, "boxquake-level: solve takes exactly one level name\n%s", USAGE);
        return 2;
    }
    return 0;
}

bool isDirectory(const std::string& path) {
    struct stat s;
    return stat(path.c_str(), &s) == 0 && S_ISDIR(s.st_mode);
}

// Works inside D, where the game would: sprites load from ./media/. `dir`
// becomes absolute, so that messages name files a person can find.
bool enterDirectory(std::string& dir, bool& haveMedia) {
    if (chdir(dir.c_str()) != 0) {
        std::fprintf(stderr, "boxquake-level: cannot enter %s: %s\n", dir.c_str(), std::strerror(errno));
        return false;
    }
    char here[4096];
    if (getcwd(here, sizeof here) != nullptr) dir = here;
    haveMedia = isDirectory("media");
    if (!haveMedia) {
        std::fprintf(stderr, "boxquake-level: no media/ in %s: pictures are not checked\n", dir.c_str());
    }
    return true;
}

void printMessages(const std::string& level, const std::vector<std::string>& messages, bool haveMedia) {
    for (const std::string& m : messages) {
        if (!haveMedia && m.rfind("Failed to load ./media/", 0) == 0) continue;
        std::fprintf(stderr, "%s: %s\n", level.c_str(), m.c_str());
    }
}

std::string rate(long long updates, double seconds) {
    char text[64];
    std::snprintf(text, sizeof text, "%.0f", seconds > 0 ? static_cast<double>(updates) / seconds : 0.0);
    return text;
}

int verify(Arguments a) {
    bool haveMedia = false;
    if (!enterDirectory(a.dir, haveMedia)) return 1;
    std::vector<std::string> names = a.levels;
    if (names.empty()) {
        std::string error;
        if (!levellist::read(a.dir + "/" + levellist::FILE_NAME, names, error)) {
            std::fprintf(stderr, "boxquake-level: %s\n", error.c_str());
            return EXIT_NO_LIST;
        }
        if (names.empty()) {
            std::fprintf(stderr, "boxquake-level: %s/levels.txt lists no level\n", a.dir.c_str());
            return 1;
        }
        if (names.size() > MENU_LEVELS) {
            std::fprintf(stderr, "boxquake-level: %s/levels.txt lists %zu levels; the menu shows only the first %zu\n",
                         a.dir.c_str(), names.size(), MENU_LEVELS);
        }
    }
    CheckOptions options;
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t startCpu = std::clock();
    long long simulated = 0;
    int failed = 0;
    std::printf("%-24s %-4s %10s %4s %8s %9s %8s %5s %6s  %s\n", "level", "won", "explosions", "par", "updates",
                "playable", "restart", "late", "drift", "result");
    for (const std::string& name : names) {
        LevelCheck c = checkLevel(a.dir, name, options);
        simulated += c.simulated;
        printMessages(name, c.messages, haveMedia);
        char par[16] = "-", updates[16] = "-", playable[16] = "-";
        if (c.hasSolution) std::snprintf(par, sizeof par, "%d", c.solution.par);
        if (c.won) std::snprintf(updates, sizeof updates, "%d", c.wonAt);
        if (c.playable >= 0) std::snprintf(playable, sizeof playable, "%.2f", c.playable);
        char drift[16] = "-";
        if (c.drift >= 0) std::snprintf(drift, sizeof drift, "%.2f", static_cast<double>(c.drift));
        const char* late = c.lateWins < 0 ? "-" : c.lateWins ? "yes" : "no";
        std::printf("%-24s %-4s %10s %4s %8s %9s %8s %5s %6s  %s\n", name.c_str(),
                    c.hasSolution ? (c.won ? "yes" : "no") : "-",
                    c.hasSolution ? std::to_string(c.explosions).c_str() : "-", par, updates, playable,
                    !c.hasSolution ? "-" : c.restartWins ? "yes" : "no", late, drift, c.passed ? "ok" : "FAIL");
        for (const std::string& p : c.problems) std::printf("    %s\n", p.c_str());
        if (!c.passed) ++failed;
        std::fflush(stdout);
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double cpuSeconds = static_cast<double>(std::clock() - startCpu) / CLOCKS_PER_SEC;
    std::printf("%zu levels: %zu passed, %d failed\n", names.size(), names.size() - static_cast<size_t>(failed),
                failed);
    std::printf("%lld updates simulated in %.2f s: %s updates/s (%s per second of processor time)\n", simulated,
                seconds, rate(simulated, seconds).c_str(), rate(simulated, cpuSeconds).c_str());
    return failed == 0 ? 0 : 1;
}

// Random play of each named level (default: every listed level); see random_play.h.
int playLevels(Arguments a) {
    bool haveMedia = false;
    if (!enterDirectory(a.dir, haveMedia)) return 1;
    std::vector<std::string> names = a.levels;
    std::string error;
    if (names.empty() && !levellist::read(a.dir + "/" + levellist::FILE_NAME, names, error)) {
        std::fprintf(stderr, "boxquake-level: %s\n", error.c_str());
        return EXIT_NO_LIST;
    }
    RandomPlayOptions options;
    options.updates = std::max(1, static_cast<int>(std::lround(a.minutes * 60 * 60)));  // 60 updates a second
    options.seed = a.seed;
    return playAndReport(a.dir, names, options) ? 0 : 1;
}

// The stored solution, when it is for these bytes and still holds.
bool storedSolutionHolds(const LevelSource& source, const std::string& path, Solution& stored) {
    std::string error;
    if (!readSolution(path, stored, error) || stored.hash != levelHash(source.bytes)) return false;
    ReplayOptions o;
    o.maxUpdates = stored.limit;
    ReplayResult r = replay(source, stored.clicks, o);
    if (!r.won || r.explosions != stored.par) return false;
    PlayabilityOptions p;
    p.maxUpdates = o.maxUpdates;
    stored.playable = playableFraction(source, stored.clicks, p);
    return stored.playable >= MIN_PLAYABLE;
}

int solveLevel(Arguments a) {
    bool haveMedia = false;
    if (!enterDirectory(a.dir, haveMedia)) return 1;
    const std::string& name = a.levels[0];
    LevelSource source;
    std::string error;
    if (!levellist::isValidName(name)) {
        std::fprintf(stderr, "boxquake-level: \"%s\" is not a level name the game can open\n", name.c_str());
        return 1;
    }
    if (!loadLevelSource(a.dir, name, source, error)) {
        std::fprintf(stderr, "boxquake-level: %s\n", error.c_str());
        return 1;
    }
    printMessages(name, describeLevel(source).messages, haveMedia);

    ProgressBar bar;
    SolveOptions options;
    options.seed = a.seed;
    options.budgetSeconds = a.updates > 0 ? 0 : a.budget;
    options.budgetUpdates = a.updates;
    options.maxClicks = a.maxClicks;
    options.targetPlayable = a.targetPlayable;
    options.maxUpdates = a.maxUpdates;
    options.jobs = a.jobs;
    options.progress = [&](const SolveProgress& p) {
        const double done = a.updates > 0 ? static_cast<double>(p.updates) / static_cast<double>(a.updates)
                                           : p.seconds / a.budget;
        char text[160];
        std::string best = "none yet";
        if (p.bestClicks >= 0) {
            char b[64];
            std::snprintf(b, sizeof b, "%d click%s, playable %.2f", p.bestClicks, p.bestClicks == 1 ? "" : "s",
                          p.bestPlayable);
            best = b;
        }
        std::snprintf(text, sizeof text, "%.1fs round %d depth %d, %lld replays, %s upd/s | best: %s", p.seconds,
                      p.round, p.depth, p.simulations, rate(p.updates, p.seconds).c_str(), best.c_str());
        bar.show(done, text);
    };
    options.interrupted = [] { return s_interrupted != 0; };
    struct sigaction action = {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    SolveResult result = solve(source, options);
    action.sa_handler = SIG_DFL;
    sigaction(SIGINT, &action, nullptr);
    bar.finish();

    const SolveProgress& s = result.stats;
    std::printf("%s: %lld replays, %lld updates in %.2f s: %s updates/s (%s per second of processor time); "
                "stopped: %s\n",
                name.c_str(), s.simulations, s.updates, s.seconds, rate(s.updates, s.seconds).c_str(),
                rate(s.updates, s.cpuSeconds).c_str(), result.stopReason.c_str());
    if (!result.found) {
        std::printf("%s: no winning click sequence found (try a larger --budget, another --seed or --max-clicks)\n",
                    name.c_str());
        return 1;
    }
    const Solution& sol = result.solution;
    std::printf("%s: %d click%s, won at update %d, playable %.2f%s\n", name.c_str(), sol.par, sol.par == 1 ? "" : "s",
                sol.updates, sol.playable, result.optimal ? " (no fewer clicks can win)" : "");
    const SolveProgress& f = result.foundAt;
    std::printf("%s: found after %.2f s (%.2f s of processor time), %lld replays, %lld updates\n", name.c_str(),
                f.seconds, f.cpuSeconds, f.simulations, f.updates);
    for (const Click& c : sol.clicks) std::printf("    click %d %d %d\n", c.update, c.x, c.y);

    const std::string path = solutionPath(a.dir, name);
    Solution stored;
    if (!a.force && storedSolutionHolds(source, path, stored) && keepStoredSolution(stored, sol, result.playable)) {
        std::printf("%s: kept %s: it wins with %d click%s, playable %.2f (--force replaces it)\n",
                    name.c_str(), path.c_str(), stored.par, stored.par == 1 ? "" : "s",
                    stored.playable);
        return 0;
    }
    if (!writeSolution(path, sol, name, error)) {
        std::fprintf(stderr, "boxquake-level: %s\n", error.c_str());
        return 1;
    }
    std::printf("%s: wrote %s\n", name.c_str(), path.c_str());
    if (!result.playable) {
        std::printf("%s: warning: only %.2f of the jittered variants win; verify will reject it until a more "
                    "forgiving solution is found or the level is eased\n",
                    name.c_str(), sol.playable);
        return 3;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Arguments a;
    const int status = parseArguments(argc, argv, a);
    if (status != 0) return status < 0 ? 0 : status;
    const int result = a.command == "verify" ? verify(a) : a.command == "play" ? playLevels(a) : solveLevel(a);
    // The levels' shared explosion and the sprite cache live for the whole run.
    Level::explodey.reset();  // holds cached sprites: goes first
    SpriteManager::clear();
    return result;
}
