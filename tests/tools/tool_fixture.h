#pragma once
// A fresh copy of the test levels (tests/tools/levels) in a temporary directory,
// entered for the test, so tests may write solutions and edit levels freely.
#include <filesystem>
#include <string>

#include "common/temp_run_dir.h"
#include "tools/level/level_source.h"

class ToolDir : public TempRunDir {
protected:
    void SetUp() override {
        enterFreshDir("/tmp/boxquake-tools-XXXXXX", {});
        std::filesystem::copy(TOOLS_TEST_LEVELS, m_dir, std::filesystem::copy_options::recursive);
    }

    const std::string& dir() const { return m_dir; }

    leveltools::LevelSource source(const std::string& name) const {
        leveltools::LevelSource s;
        std::string error;
        EXPECT_TRUE(leveltools::loadLevelSource(m_dir, name, s, error)) << error;
        return s;
    }
};
