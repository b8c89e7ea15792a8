#pragma once
// A scratch working directory with its own media/ folder, entered for the length
// of a test, so sprites load pictures the test wrote itself. The sprite cache and
// the draw log start and end empty.
#include <string>

#include "game/render/draw_log.h"
#include "game/render/spritemanager.h"
#include "game/render/tga.h"
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

    // Writes an opaque w x h picture of one colour as media/<name>.
    static void writeImage(const std::string& name, int w, int h, bool alpha = true) {
        tga::Image img(w, h);
        for (int i = 0; i < w * h; ++i) {
            img.rgba[4 * i] = 200;
            img.rgba[4 * i + 3] = 255;
        }
        ASSERT_TRUE(tga::write("media/" + name, img, alpha));
    }
    // The ten digit pictures, as SpriteManager::drawNumber needs them.
    static void writeDigits() {
        for (int d = 0; d < 10; ++d) writeImage(std::to_string(d) + ".tga", 24, 32);
    }
};
