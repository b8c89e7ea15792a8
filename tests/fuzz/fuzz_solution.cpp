// libFuzzer target: the solution reader. The input is parsed as a solution
// file. Besides crashes, sanitizer reports and leaks, a finding is:
//  - a solution accepted that breaks the file's rules: a hash of 16 lower-case
//    hex digits, par equal to the clicks counted, clicks that can be played, a
//    playable fraction from 0 to 1 when given, a limit of at least 1;
//  - a solution that does not survive being written and read again (the level
//    tools rewrite solutions they keep);
//  - a refusal whose message does not name the file and a line.
#include <cmath>
#include <sstream>
#include <string>

#include "fuzz_support.h"
#include "game/objects/solution.h"

namespace {

const std::string kPath = "levels/fuzz.sol";

bool sameSolution(const leveltools::Solution& a, const leveltools::Solution& b) {
    // playable is written with 3 decimals.
    const bool playable = a.playable < 0.0 ? b.playable < 0.0 : std::fabs(a.playable - b.playable) <= 0.0005;
    return a.hash == b.hash && a.par == b.par && a.updates == b.updates && a.limit == b.limit &&
           a.clicks == b.clicks && playable;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    leveltools::Solution solution;
    std::string error;
    if (!leveltools::parseSolution(in, kPath, solution, error)) {
        FUZZ_CHECK(error.compare(0, kPath.size() + 7, kPath + ", line ") == 0);
        return 0;
    }
    FUZZ_CHECK(solution.hash.size() == 16 && solution.hash.find_first_not_of("0123456789abcdef") == std::string::npos);
    FUZZ_CHECK(solution.par >= 0 && static_cast<std::size_t>(solution.par) == solution.clicks.size());
    FUZZ_CHECK(leveltools::clicksArePlayable(solution.clicks));
    FUZZ_CHECK(solution.playable <= 1.0);
    FUZZ_CHECK(solution.limit >= 1 && solution.updates >= 0);

    std::istringstream written(leveltools::formatSolution(solution, "fuzz"));
    leveltools::Solution back;
    FUZZ_CHECK(leveltools::parseSolution(written, kPath, back, error));
    FUZZ_CHECK(sameSolution(solution, back));
    return 0;
}
