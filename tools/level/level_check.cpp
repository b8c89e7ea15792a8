#include "tools/level/level_check.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "game/objects/level_list.h"

namespace leveltools {

namespace {

std::string fraction(double f) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", f);
    return text;
}

}  // namespace

LevelCheck checkLevel(const std::string& dir, const std::string& name, const CheckOptions& options) {
    LevelCheck check;
    check.name = name;
    if (!levellist::isValidName(name)) {
        check.problems.push_back("\"" + levellist::printable(name) + "\" is not a level name the game can open (" +
                                 levellist::NAME_RULE + ")");
        return check;
    }
    LevelSource source;
    std::string error;
    if (!loadLevelSource(dir, name, source, error)) {
        check.problems.push_back(error);
        return check;
    }
    const LevelInfo info = describeLevel(source);
    check.messages = info.messages;
    if (info.targets == 0) {
        check.problems.push_back("no object names an enter or leave victory condition (\"--victory <name>\" on an "
                                 "object and a line \"Victory <name> enter|leave ...\"): the level is won by waiting");
    }

    const std::string solPath = solutionPath(dir, name);
    if (!readSolution(solPath, check.solution, error)) {
        check.problems.push_back(error);
        return check;
    }
    check.hasSolution = true;
    const Solution& sol = check.solution;
    const std::string hash = levelHash(source.bytes);
    if (sol.hash != hash) {
        check.stale = true;
        check.problems.push_back(solPath + " was made for another version of " + source.path + " (hash " + sol.hash +
                                 ", the file now has " + hash + "): solve the level again");
    }

    ReplayOptions replayOptions;
    replayOptions.maxUpdates = sol.limit;  // the cap the solution was measured under
    PlayabilityOptions playability = options.playability;
    playability.maxUpdates = replayOptions.maxUpdates;

    ReplayResult r = replay(source, sol.clicks, replayOptions);
    check.simulated += r.updates;
    check.won = r.won;
    check.explosions = r.explosions;
    check.wonAt = r.wonAt;
    if (!r.won) {
        check.problems.push_back("the solution does not win within " + std::to_string(replayOptions.maxUpdates) +
                                 " updates");
    } else if (r.explosions != sol.par) {
        check.problems.push_back("the solution wins with " + std::to_string(r.explosions) + " explosions, not par " +
                                 std::to_string(sol.par));
    }

    check.playable = playableFraction(source, sol.clicks, playability, &check.simulated);
    if (check.playable < MIN_PLAYABLE) {
        check.problems.push_back("the solution is not playable: " + fraction(check.playable) +
                                 " of its variants win (clicks moved up to " + std::to_string(playability.shift) +
                                 " px, " + std::to_string(playability.early) + " updates earlier and " +
                                 std::to_string(playability.late) + " later), at least " + fraction(MIN_PLAYABLE) +
                                 " must");
    }

    // Halfway through the winning run is as far as a player gets before
    // wondering whether to start again.
    ReplayOptions again = replayOptions;
    again.restartAfter = std::max(1, (r.won ? r.wonAt : replayOptions.maxUpdates) / 2);
    ReplayResult restarted = replay(source, sol.clicks, again);
    check.simulated += restarted.updates + again.restartAfter;
    check.restartWins = restarted.won && restarted.explosions == sol.par;
    if (!check.restartWins) check.problems.push_back("the solution does not win after the level is restarted");

    if (info.bombFuses.empty()) {
        ReplayResult late = replay(source, delayed(sol.clicks, LATE_START), replayOptions);
        check.simulated += late.updates;
        check.lateWins = late.won ? 1 : 0;
        if (!late.won) {
            check.problems.push_back("the solution does not win with every click " + std::to_string(LATE_START) +
                                     " updates later (a player reading the level first)");
        }
        if (!info.blackHoles) {
            check.drift = idleDrift(source);
            check.simulated += SETTLED_TO;
            if (check.drift > SETTLED_DRIFT) {
                char text[200];
                std::snprintf(text, sizeof text,
                              "left alone, a body moves %.1f units between updates %d and %d; at most %.0f may",
                              static_cast<double>(check.drift), SETTLED_FROM, SETTLED_TO,
                              static_cast<double>(SETTLED_DRIFT));
                check.problems.push_back(text);
            }
        }
    }

    if (sol.par != 0) {
        ReplayResult idle = replay(source, {}, replayOptions);
        check.simulated += idle.updates;
        if (idle.won) {
            check.problems.push_back("the level is won without a click (update " + std::to_string(idle.wonAt) +
                                     "), but par is " + std::to_string(sol.par) +
                                     "; a lesson meant to be won so has par 0");
        }
    }
    if (sol.par >= 2) {
        Click centre;
        centre.update = 1;
        centre.x = CENTRE_X;
        centre.y = CENTRE_Y;
        ReplayResult lucky = replay(source, {centre}, replayOptions);
        check.simulated += lucky.updates;
        if (lucky.won) {
            check.problems.push_back("one click at the centre (400, 300) in update 1 wins the level, but par is " +
                                     std::to_string(sol.par));
        }
    }
    check.passed = check.problems.empty();
    return check;
}

}  // namespace leveltools
