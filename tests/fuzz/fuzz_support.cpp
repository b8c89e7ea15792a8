#include "fuzz_support.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace fuzz {

namespace {

std::string s_workDir;  // removed at exit

void removeWorkDir() {
    std::error_code ignored;
    std::filesystem::remove_all(s_workDir, ignored);
}

}  // namespace

void enterWorkDir() {
    if (!s_workDir.empty()) return;
    // TMPDIR lets run.sh put the files on a memory file system: the targets
    // that read files write one per input.
    const char* base = std::getenv("TMPDIR");
    std::string dir = std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/boxquake-fuzz-XXXXXX";
    if (mkdtemp(dir.data()) == nullptr || chdir(dir.c_str()) != 0) std::abort();
    s_workDir = dir;
    std::atexit(removeWorkDir);
}

void quietStdout() {
    if (std::freopen("/dev/null", "w", stdout) == nullptr) std::abort();
}

void writeFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) std::abort();
    const bool whole = size == 0 || std::fwrite(data, 1, size, f) == size;
    if (std::fclose(f) != 0 || !whole) std::abort();
}

bool printable(const std::string& text) {
    for (char c : text) {
        if (c < 0x20 || c > 0x7e) return false;
    }
    return true;
}

void fail(const char* file, int line, const char* what) {
    std::fprintf(stderr, "%s:%d: fuzz property broken: %s\n", file, line, what);
    std::abort();
}

}  // namespace fuzz
