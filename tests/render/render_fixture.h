#pragma once
// A scratch working directory with its own media/ folder, entered for the length
// of a test, so sprites load pictures the test wrote itself.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "game/render/draw_log.h"
#include "game/render/spritemanager.h"
#include "game/render/tga.h"

class ScratchDir : public ::testing::Test {
protected:
    void SetUp() override {
        previous = std::filesystem::current_path();
        dir = std::filesystem::temp_directory_path() /
              ("boxquake-render-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir / "media");
        std::filesystem::current_path(dir);
        SpriteManager::clear();
        DrawLog::clear();
    }
    void TearDown() override {
        SpriteManager::clear();
        DrawLog::disable();
        DrawLog::clear();
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(dir);
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

    std::filesystem::path previous;
    std::filesystem::path dir;
};
