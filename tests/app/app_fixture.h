#pragma once
// A fresh working directory per test, laid out as the game finds it: levels.txt,
// levels/ and media/ with small Targa pictures of every image the states and
// objects use. Input, the menu's level list and the state manager start empty.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "game/app/menu.h"
#include "game/app/statemanager.h"
#include "game/render/tga.h"
#include "test_input.h"

class AppDir : public ::testing::Test {
protected:
    void SetUp() override {
        m_previous = std::filesystem::current_path();
        char pattern[] = "/tmp/boxquake-app-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_dir = pattern;
        std::filesystem::current_path(m_dir);
        std::filesystem::create_directories("levels");
        std::filesystem::create_directories("media");
        for (const Picture& p : pictures()) writePicture(p.name, p.width, p.height);
        testinput::clear();
        StateMenu::levelList.clear();
        StateManager::reset();
    }

    void TearDown() override {
        StateManager::reset();
        StateMenu::levelList.clear();
        testinput::clear();
        std::filesystem::current_path(m_previous);
        std::error_code ignored;
        std::filesystem::permissions(m_dir, std::filesystem::perms::owner_all, ignored);
        std::filesystem::permissions(m_dir + "/levels", std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(m_dir, ignored);
    }

    static void writeFile(const std::string& path, const std::string& text) {
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

    // Holds the given keys (and nothing else) and the mouse at (x, y) with `buttons`.
    static void input(int x, int y, int buttons, std::initializer_list<int> keys = {}) {
        testinput::mouseX = x;
        testinput::mouseY = y;
        testinput::buttons = buttons;
        testinput::keys = std::set<int>(keys);
    }

    struct Picture {
        const char* name;
        int width;
        int height;
    };
    // The process-wide sprite cache keeps sizes by name: every test writes the same ones.
    static std::vector<Picture> pictures() {
        std::vector<Picture> p = {
            {"lvlnew.tga", 16, 16},     {"lvldone.tga", 16, 16},   {"lvllocked.tga", 16, 16},
            {"lvlnone.tga", 16, 16},    {"backdrop3.tga", 64, 48}, {"backdrop2.tga", 64, 48},
            {"wall.tga", 32, 32},       {"rect.tga", 16, 16},      {"orangeball.tga", 64, 64},
            {"balltrans.tga", 64, 64},  {"crate1.tga", 64, 64},    {"blackhole.tga", 160, 160},
            {"bombA.tga", 32, 32},      {"bombB.tga", 32, 32},     {"bombC.tga", 32, 32},
            {"bombD.tga", 32, 32},      {"e0.tga", 64, 64},        {"e1.tga", 64, 64},
            {"e2.tga", 64, 64},         {"e3.tga", 64, 64},        {"e4.tga", 64, 64},
            {"tick.tga", 20, 20},       {"clock1.tga", 32, 32},    {"clock2.tga", 32, 32},
            {"clock3.tga", 32, 32},     {"clock4.tga", 32, 32},    {"text.tga", 256, 145},
            {"poly.tga", 64, 64}};
        static const char* digits[10] = {"0.tga", "1.tga", "2.tga", "3.tga", "4.tga",
                                         "5.tga", "6.tga", "7.tga", "8.tga", "9.tga"};
        for (const char* d : digits) p.push_back({d, 24, 32});
        return p;
    }

    std::filesystem::path m_previous;
    std::string m_dir;
};
