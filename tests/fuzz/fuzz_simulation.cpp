// libFuzzer target: a level played for one second. The input is a level file,
// optionally followed by a NUL byte and the clicks: each click is 5 bytes, the
// update before which it goes off (modulo UPDATES) and its x and y as
// little-endian 16-bit numbers (modulo the 800 x 600 field). The bytes after the
// last NUL are the clicks, so a plain level file plays without any. The level
// is loaded and played through PlayRules (the same rules as the game and the
// level tools) for UPDATES updates, nothing drawn. A crash, a sanitizer report,
// a leak or a hang is a finding; so is a world whose body count changes, since
// nothing in one second of play adds or removes a body.
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "game/objects/level.h"
#include "game/objects/levelfile.h"
#include "game/objects/play_rules.h"
#include "game/render/animation.h"
#include "game/objects/solution.h"
#include "game/render/spritemanager.h"

namespace {

const int UPDATES = 60;
const int MAX_CLICKS = 16;
const std::size_t CLICK_BYTES = 5;

struct Click {
    int update;
    float x, y;
};

std::vector<Click> clicksIn(const std::uint8_t* data, std::size_t size) {
    std::vector<Click> clicks;
    for (std::size_t at = 0; at + CLICK_BYTES <= size && clicks.size() < MAX_CLICKS; at += CLICK_BYTES) {
        const unsigned x = data[at + 1] | (data[at + 2] << 8);
        const unsigned y = data[at + 3] | (data[at + 4] << 8);
        clicks.push_back({data[at] % UPDATES, static_cast<float>(x % leveltools::FIELD_WIDTH),
                          static_cast<float>(y % leveltools::FIELD_HEIGHT)});
    }
    return clicks;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = (fuzz::enterWorkDir(), fuzz::quietStdout(), true);
    (void)ready;
    std::size_t levelSize = size;
    while (levelSize > 0 && data[levelSize - 1] != 0) --levelSize;
    std::vector<Click> clicks;
    if (levelSize == 0) {
        levelSize = size;  // no NUL: all level
    } else {
        clicks = clicksIn(data + levelSize, size - levelSize);
        --levelSize;  // the NUL itself
    }
    std::istringstream source(std::string(reinterpret_cast<const char*>(data), levelSize));
    {
        LevelFile::Collect quiet;
        Level level("fuzz", source);
        PlayRules rules(level);
        const std::size_t bodies = level.world.bodies.size();
        for (int update = 0; update < UPDATES; ++update) {
            for (const Click& c : clicks) {
                if (c.update == update) rules.click(c.x, c.y);
            }
            rules.update();
            rules.won();
        }
        FUZZ_CHECK(level.world.bodies.size() == bodies);
    }
    Level::explodey.reset();
    SpriteManager::clear();
    return 0;
}
