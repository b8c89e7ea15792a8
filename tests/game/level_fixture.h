#pragma once
// A fresh working directory per test, with levels/ and media/ as the game finds
// them, and small Targa pictures of known sizes for every image the objects use.
// The sprite cache is process-wide and keeps pictures by name, so every test
// writes the same sizes for the same names.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "game/render/tga.h"

class LevelDir : public ::testing::Test {
protected:
    void SetUp() override {
        m_previous = std::filesystem::current_path();
        char pattern[] = "/tmp/boxquake-game-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_dir = pattern;
        std::filesystem::current_path(m_dir);
        std::filesystem::create_directories("levels");
        std::filesystem::create_directories("media");
        for (const Picture& p : pictures()) writePicture(p.name, p.width, p.height);
    }

    void TearDown() override {
        std::filesystem::current_path(m_previous);
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }

    static void writeLevel(const std::string& name, const std::string& text) {
        std::ofstream out("levels/" + name + ".lvl", std::ios::binary);
        out << text;
    }

    static void writePicture(const std::string& name, int width, int height) {
        tga::Image image(width, height);
        ASSERT_TRUE(tga::write("media/" + name, image, true)) << name;
    }

    struct Picture {
        const char* name;
        int width;
        int height;
    };
    // Sizes chosen so that a scale error shows: none is the size its object is drawn at.
    static std::vector<Picture> pictures() {
        return {{"ball.tga", 64, 64},     {"balltrans.tga", 64, 64}, {"crate.tga", 128, 64},
                {"wall.tga", 32, 32},     {"rect.tga", 16, 16},      {"blackhole.tga", 160, 160},
                {"bombA.tga", 32, 32},    {"bombB.tga", 32, 32},     {"bombC.tga", 32, 32},
                {"bombD.tga", 32, 32},    {"e0.tga", 64, 64},        {"e1.tga", 64, 64},
                {"e2.tga", 64, 64},       {"e3.tga", 64, 64},        {"e4.tga", 64, 64},
                {"tick.tga", 20, 20},     {"clock1.tga", 32, 32},    {"clock2.tga", 32, 32},
                {"clock3.tga", 32, 32},   {"clock4.tga", 32, 32},    {"backdrop.tga", 400, 300},
                {"poly.tga", 64, 64},     {"text.tga", 256, 145}};
    }

private:
    std::filesystem::path m_previous;
    std::filesystem::path m_dir;
};
