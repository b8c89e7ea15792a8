// Process-wide teardown for test programs that load levels (game and level-tool
// tests): the sprite cache and the level's shared explosion live for the whole
// process; they are released once all tests have run, so that LeakSanitizer sees
// only what a test itself leaked.
#include <gtest/gtest.h>

#include "game/objects/level.h"
#include "game/render/animation.h"
#include "game/render/spritemanager.h"

namespace {

class SharedPictures : public ::testing::Environment {
public:
    void TearDown() override {
        Level::explodey.reset();  // holds cached sprites: goes first
        SpriteManager::clear();
    }
};

const ::testing::Environment* const s_sharedPictures = ::testing::AddGlobalTestEnvironment(new SharedPictures);

}  // namespace
