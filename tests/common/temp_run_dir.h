#pragma once
// A fresh working directory per test, laid out as the game finds it (levels/ and
// media/), with small Targa pictures of known sizes. The sprite cache is
// process-wide and keeps pictures by name, so a test program must write the same
// sizes for the same names in every test.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "game/render/tga.h"

class TempRunDir : public ::testing::Test {
public:
    struct Picture {
        const char* name;
        int width;   // pixels
        int height;  // pixels
    };

protected:
    // Makes a directory from `pattern` (ending in XXXXXX), enters it and fills it.
    void enterFreshDir(std::string pattern, const std::vector<Picture>& pictures) {
        m_previous = std::filesystem::current_path();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
        std::filesystem::current_path(m_dir);
        std::filesystem::create_directories("levels");
        std::filesystem::create_directories("media");
        for (const Picture& p : pictures) writePicture(p.name, p.width, p.height);
    }

    void TearDown() override {
        std::filesystem::current_path(m_previous);
        std::error_code ignored;
        // A test may have made the directory read-only to see a save fail.
        std::filesystem::permissions(m_dir, std::filesystem::perms::owner_all, ignored);
        std::filesystem::permissions(m_dir + "/levels", std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(m_dir, ignored);
    }

    static void writeFile(const std::string& path, const std::string& text) {
        const std::filesystem::path parent = std::filesystem::path(path).parent_path();
        std::error_code ec;
        if (!parent.empty()) std::filesystem::create_directories(parent, ec);
        std::ofstream out(path, std::ios::binary);
        out << text;
    }
    static std::string readFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    static void writeLevel(const std::string& name, const std::string& text) { writeFile("levels/" + name + ".lvl", text); }
    static void writePicture(const std::string& name, int width, int height) {
        tga::Image image(width, height);
        ASSERT_TRUE(tga::write("media/" + name, image, true)) << name;
    }

    std::filesystem::path m_previous;
    std::string m_dir;
};
