// libFuzzer target: the level file reader, without stepping. The input is a
// level file. Its lines are read and cut into tokens, every token goes through
// the number readers and the message quoting, and then the whole input is
// loaded as a level and destroyed. Besides crashes, sanitizer reports and leaks,
// a finding is any broken promise of levelfile.h:
//  - a line holds no line break and no NUL and at most MAX_LINE_LENGTH bytes,
//    and line numbers count up by one;
//  - a token list has TOKEN_SLOTS slots: at most MAX_TOKENS non-empty tokens,
//    then only empty ones;
//  - a number read is finite, a colour fits in 0xRRGGBB, a refusal says why;
//  - escape() and quote() give printable ASCII, quote() at most a bounded length;
//  - every message of the load names the file and is one printable line of
//    bounded length, whatever bytes the file holds.
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "game/objects/level.h"
#include "game/objects/levelfile.h"
#include "game/render/animation.h"
#include "game/render/spritemanager.h"

namespace {

const std::string kName = "fuzz";

// quote() keeps MAX_QUOTED bytes, each escaped to at most 4 ("\xNN"), between
// quotes, then "... (<size> bytes)".
const std::size_t kMaxQuoted = 4 * LevelFile::MAX_QUOTED + 40;
// A message escapes at most one line's bytes (4 each) plus its own words.
const std::size_t kMaxMessage = 4 * LevelFile::MAX_LINE_LENGTH + 400;

void checkToken(const std::string& token) {
    std::string why;
    int whole = 0;
    if (!LevelFile::readWhole(token, whole, why)) FUZZ_CHECK(!why.empty() && fuzz::printable(why));
    why.clear();
    float real = 0.0f;
    if (LevelFile::readReal(token, real, why)) {
        FUZZ_CHECK(std::isfinite(real));
    } else {
        FUZZ_CHECK(!why.empty() && fuzz::printable(why));
    }
    why.clear();
    int colour = -1;
    if (LevelFile::readColour(token, colour, why)) {
        FUZZ_CHECK(colour >= 0 && colour <= 0xffffff);
    } else {
        FUZZ_CHECK(!why.empty() && fuzz::printable(why));
    }
    FUZZ_CHECK(fuzz::printable(LevelFile::escape(token)));
    const std::string quoted = LevelFile::quote(token);
    FUZZ_CHECK(fuzz::printable(quoted) && quoted.size() <= kMaxQuoted);
}

void readLines(const std::string& bytes) {
    std::istringstream source(bytes);
    LevelFile file(source);
    std::string line;
    int previous = 0;
    while (file.nextLine(line)) {
        FUZZ_CHECK(file.lineNumber() == previous + 1);
        previous = file.lineNumber();
        FUZZ_CHECK(line.size() <= static_cast<std::size_t>(LevelFile::MAX_LINE_LENGTH));
        FUZZ_CHECK(line.find('\n') == std::string::npos && line.find('\0') == std::string::npos);
        const std::vector<std::string> tokens = LevelFile::tokenise(line);
        FUZZ_CHECK(tokens.size() == static_cast<std::size_t>(LevelFile::TOKEN_SLOTS));
        const int count = LevelFile::count(tokens.data());
        FUZZ_CHECK(count <= LevelFile::MAX_TOKENS);
        for (int i = count; i < LevelFile::TOKEN_SLOTS; ++i) FUZZ_CHECK(tokens[i].empty());
        FUZZ_CHECK(LevelFile::word(tokens.data(), count + 3).empty());
        for (int i = 0; i < count; ++i) checkToken(tokens[i]);
    }
    FUZZ_CHECK(file.cutShort() || source.eof());
}

void load(const std::string& bytes) {
    std::istringstream source(bytes);
    LevelFile::Collect messages;
    {
        Level level(kName, source);
        // The four boundary walls come first, whatever the file holds.
        FUZZ_CHECK(level.objects.size() >= 4);
        FUZZ_CHECK(level.length >= 0);
    }
    for (const std::string& message : messages.messages) {
        FUZZ_CHECK(message.compare(0, kName.size() + 2, kName + ", ") == 0 ||
                   message.compare(0, kName.size() + 2, kName + ": ") == 0);
        FUZZ_CHECK(fuzz::printable(message));
        FUZZ_CHECK(message.size() <= kMaxMessage);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = (fuzz::enterWorkDir(), fuzz::quietStdout(), true);
    (void)ready;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    readLines(bytes);
    load(bytes);
    // Nothing of this input survives it: the sprite cache would grow with
    // every picture name the inputs invent.
    Level::explodey.reset();
    SpriteManager::clear();
    return 0;
}
