#pragma once
// A fresh copy of the test levels (tests/tools/levels) in a temporary directory,
// entered for the test, so tests may write solutions and edit levels freely.
#include <sys/wait.h>

#include <cstdio>
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

    // Runs boxquake-level with `arguments`; returns its exit code and its
    // standard output and error, merged.
    static int runTool(const std::string& arguments, std::string& output) {
        const std::string command = std::string(BOXQUAKE_LEVEL_TOOL) + " " + arguments + " 2>&1";
        FILE* pipe = popen(command.c_str(), "r");
        if (pipe == nullptr) return -1;
        output.clear();
        char buffer[4096];
        for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
        const int status = pclose(pipe);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    leveltools::LevelSource source(const std::string& name) const {
        leveltools::LevelSource s;
        std::string error;
        EXPECT_TRUE(leveltools::loadLevelSource(m_dir, name, s, error)) << error;
        return s;
    }
};
