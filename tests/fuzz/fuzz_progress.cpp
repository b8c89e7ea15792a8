// libFuzzer target: the progress reader. The input is parsed as a progress
// file. Besides crashes, sanitizer reports and leaks, a finding is:
//  - a result accepted with a state other than new, won or unfinished, a
//    negative count, or an empty level name;
//  - progress that changes when it is saved and read again: the game rewrites
//    the whole file after every level, so any drift loses a player's results;
//  - a refusal that keeps results, or whose message does not name the file and
//    a line.
#include <string>

#include "fuzz_support.h"
#include "game/objects/progress.h"

namespace {

const std::string kPath = "player/progress.txt";

bool sameResults(const progress::Results& a, const progress::Results& b) {
    if (a.size() != b.size()) return false;
    for (auto i = a.begin(), j = b.begin(); i != a.end(); ++i, ++j) {
        if (i->first != j->first || i->second.state != j->second.state || i->second.clicks != j->second.clicks ||
            i->second.time != j->second.time)
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    progress::Results results;
    std::string error;
    if (!progress::parse(text, kPath, results, error)) {
        FUZZ_CHECK(results.empty());
        FUZZ_CHECK(error.compare(0, kPath.size() + 7, kPath + ", line ") == 0);
        return 0;
    }
    for (const auto& [name, r] : results) {
        FUZZ_CHECK(!name.empty());
        FUZZ_CHECK(r.state >= progress::NEW && r.state <= progress::UNFINISHED);
        FUZZ_CHECK(r.clicks >= 0 && r.time >= 0);
    }
    progress::Results back;
    FUZZ_CHECK(progress::parse(progress::format(results), kPath, back, error));
    FUZZ_CHECK(sameResults(results, back));
    return 0;
}
