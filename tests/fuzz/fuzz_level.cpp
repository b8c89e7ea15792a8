// libFuzzer target: the input is a level file. It is loaded, stepped for 120
// updates (drawn every 30 through the headless sprite), blown up, queried, has
// objects removed and is reset, then destroyed. Any crash, sanitizer report or
// leak is a finding. How to build and run it: tests/fuzz/README.md.
#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string>

#include "fuzz_support.h"
#include "game/objects/bomb.h"
#include "game/objects/level.h"
#include "game/objects/levelfile.h"
#include "game/render/animation.h"
#include "game/render/spritemanager.h"
#include "game/render/tga.h"
#include "physics/physics.h"

namespace {

// A few real pictures, so that drawing runs its scaling paths (the font and the
// ball among them); every other name the input invents fails to load.
void writeMedia() {
    const struct {
        const char* name;
        int width, height;
    } pictures[] = {{"ball.tga", 64, 64}, {"balltrans.tga", 64, 64}, {"crate1.tga", 128, 64},
                    {"wall.tga", 32, 32}, {"rect.tga", 16, 16},      {"blackhole.tga", 64, 64},
                    {"bombA.tga", 32, 32}, {"e0.tga", 64, 64},       {"clock1.tga", 32, 32},
                    {"tick.tga", 20, 20}, {"text.tga", 256, 145},    {"backdrop2.tga", 80, 60}};
    std::filesystem::create_directories("media");
    for (const auto& p : pictures) tga::write(std::string("media/") + p.name, tga::Image(p.width, p.height), true);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The sprites look below the working directory, so the pictures go into a
    // directory of the run's own.
    static const bool ready = (fuzz::enterWorkDir(), writeMedia(), fuzz::quietStdout(), true);
    (void)ready;
    std::istringstream source(std::string(reinterpret_cast<const char*>(data), size));
    {
        LevelFile::Collect quiet;
        Level level("fuzz", source);
        for (int tick = 1; tick <= 120; ++tick) {
            level.update(tick);
            if (tick % 30 == 0) level.draw();
            if (tick == 60) level.explode(400.0f, 300.0f, 10000.0f);
        }
        level.victory();
        physics::Vector2D probe(400.0f, 100.0f);
        level.getObject(probe);
        level.getBomb(400.0f, 100.0f);
        // Remove the first object after the walls, then reset and step once more.
        if (level.objects.size() > 4) level.removeObject(*std::next(level.objects.begin(), 4));
        level.reset();
        level.update(121);
        level.draw();
    }
    // Nothing of this input survives it: the shared explosion and the sprite cache
    // would otherwise grow with every image name the inputs invent.
    Level::explodey.reset();
    SpriteManager::clear();
    return 0;
}
