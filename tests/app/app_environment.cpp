// The sprite cache lives for the whole test program, as it does in the game;
// it is emptied once at the end, as the game's shutdown does, so that the
// leak checker of the sanitizer build sees every picture released.
#include <gtest/gtest.h>

#include "game/render/spritemanager.h"

namespace {

class SpriteCacheEnvironment : public ::testing::Environment {
public:
    void TearDown() override { SpriteManager::clear(); }
};

::testing::Environment* const s_environment = ::testing::AddGlobalTestEnvironment(new SpriteCacheEnvironment);

}  // namespace
