// Replays committed fuzz inputs without libFuzzer: every file named on the
// command line, or found directly in a directory named there, is given once to
// the target's LLVMFuzzerTestOneInput, in sorted order. A target's broken
// property aborts, so a finding that comes back fails the test. Giving no input
// at all is a failure too: an emptied corpus must not pass unnoticed.
#include <sys/resource.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

#if defined(__SANITIZE_ADDRESS__)
#define REPLAY_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define REPLAY_UNDER_ASAN 1
#endif
#endif

namespace {

// A reader that trusts a header's size again (a 65535 x 65535 picture asks for
// 16 GiB) must fail here, not take the machine's memory: allocations past
// 2 GiB of address space throw. AddressSanitizer reserves terabytes of address
// space for itself; under it the test sets max_allocation_size_mb instead.
void limitMemory() {
#ifndef REPLAY_UNDER_ASAN
    const rlim_t limit = rlim_t{2} << 30;
    rlimit current{};
    if (getrlimit(RLIMIT_AS, &current) == 0 && (current.rlim_cur == RLIM_INFINITY || current.rlim_cur > limit)) {
        current.rlim_cur = limit;
        setrlimit(RLIMIT_AS, &current);
    }
#endif
}

}  // namespace

int main(int argc, char** argv) {
    limitMemory();
    std::vector<std::filesystem::path> inputs;
    for (int i = 1; i < argc; ++i) {
        // Absolute: a target may change the working directory on its first input.
        const std::filesystem::path arg = std::filesystem::absolute(argv[i]);
        if (std::filesystem::is_directory(arg)) {
            std::vector<std::filesystem::path> found;
            for (const auto& entry : std::filesystem::directory_iterator(arg)) {
                if (entry.is_regular_file()) found.push_back(entry.path());
            }
            std::sort(found.begin(), found.end());
            inputs.insert(inputs.end(), found.begin(), found.end());
        } else {
            inputs.push_back(arg);
        }
    }
    if (inputs.empty()) {
        std::fprintf(stderr, "no inputs to replay\n");
        return 1;
    }
    for (const auto& path : inputs) {
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "cannot read %s\n", path.c_str());
            return 1;
        }
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::fprintf(stderr, "replaying %s (%zu bytes)\n", path.c_str(), bytes.size());
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
    std::fprintf(stderr, "%zu inputs replayed\n", inputs.size());
    return 0;
}
