#pragma once
// What the fuzz targets share. Every target is one LLVMFuzzerTestOneInput that
// either libFuzzer (the fuzz build, see README.md) or replay_main.cpp (the
// regression replay in the ordinary test run) calls once per input.
#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

// Moves the process into a fresh temporary directory of its own (below $TMPDIR,
// else /tmp), removed at exit, on the first call; later calls do nothing. Targets that read files or
// look for pictures below "." call it before their first input, so no two runs
// share a file. Corpus and artifact paths must be absolute for that reason.
void enterWorkDir();
// Standard output to /dev/null: a picture that fails to load is said there,
// once per invented name, and would bury libFuzzer's own report.
void quietStdout();
// Writes `size` bytes to `path` (below the work directory), replacing it.
void writeFile(const std::string& path, const std::uint8_t* data, std::size_t size);
// True when every byte is printable ASCII: what a one-line message may hold.
bool printable(const std::string& text);
// Reports a broken property with the input's size and aborts: libFuzzer saves
// the input as a crash, the replay fails its test.
[[noreturn]] void fail(const char* file, int line, const char* what);

}  // namespace fuzz

#define FUZZ_CHECK(condition) \
    do {                      \
        if (!(condition)) ::fuzz::fail(__FILE__, __LINE__, #condition); \
    } while (0)
