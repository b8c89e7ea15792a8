#pragma once
// A fresh copy of the test levels (tests/tools/levels) in a temporary directory
// per test, so tests may write solutions and edit levels freely.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tools/level/level_source.h"

class ToolDir : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/boxquake-tools-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_dir = pattern;
        std::filesystem::copy(TOOLS_TEST_LEVELS, m_dir, std::filesystem::copy_options::recursive);
    }

    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }

    const std::string& dir() const { return m_dir; }

    void writeFile(const std::string& relative, const std::string& text) const {
        std::ofstream out(m_dir + "/" + relative, std::ios::binary | std::ios::trunc);
        out << text;
    }

    std::string readFile(const std::string& relative) const {
        std::ifstream in(m_dir + "/" + relative, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    leveltools::LevelSource source(const std::string& name) const {
        leveltools::LevelSource s;
        std::string error;
        EXPECT_TRUE(leveltools::loadLevelSource(m_dir, name, s, error)) << error;
        return s;
    }

    // A level given as text, written to levels/<name>.lvl and read back.
    leveltools::LevelSource sourceOf(const std::string& name, const std::string& text) const {
        writeFile("levels/" + name + ".lvl", text);
        return source(name);
    }

private:
    std::string m_dir;
};
