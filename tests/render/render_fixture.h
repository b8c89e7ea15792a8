#pragma once
// A scratch working directory with its own media/ folder, entered for the length
// of a test, so sprites load pictures the test wrote itself. The sprite cache and
// the draw log start and end empty.
#include "game/render/draw_log.h"
#include "game/render/spritemanager.h"
#include "tests/common/temp_run_dir.h"

class ScratchDir : public TempRunDir {
protected:
    void SetUp() override {
        enterFreshDir("/tmp/boxquake-render-XXXXXX", {});
        SpriteManager::clear();
        DrawLog::clear();
    }
    void TearDown() override {
        SpriteManager::clear();
        DrawLog::disable();
        DrawLog::clear();
        TempRunDir::TearDown();
    }
};
