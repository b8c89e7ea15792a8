// libFuzzer target: the level list reader. The input is written as a list file
// and read back. Besides crashes, sanitizer reports and leaks, a finding is a
// name the menu could not show or open safely:
//  - every name is non-empty and holds no line break, and its line number
//    counts up and stays within the file's lines;
//  - a name isValidName accepts opens a file directly inside levels/: it holds
//    no '/', and neither "." nor ".." (with ".lvl" added) leaves the directory;
//  - printable() gives one printable line of bounded length for any name.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "game/objects/level_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = (fuzz::enterWorkDir(), true);
    (void)ready;
    const std::string path = levellist::FILE_NAME;
    fuzz::writeFile(path, data, size);
    std::vector<std::string> names;
    std::vector<int> lines;
    std::string error;
    FUZZ_CHECK(levellist::read(path, names, error, &lines));
    FUZZ_CHECK(names.size() == lines.size());
    const int lineCount = static_cast<int>(std::count(data, data + size, '\n')) + 1;
    int previous = 0;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string& name = names[i];
        FUZZ_CHECK(!name.empty() && name.find('\n') == std::string::npos);
        FUZZ_CHECK(lines[i] > previous && lines[i] <= lineCount);
        previous = lines[i];
        const std::string shown = levellist::printable(name);
        FUZZ_CHECK(fuzz::printable(shown) && shown.size() <= 4 * 60 + 3);
        if (!levellist::isValidName(name)) continue;
        FUZZ_CHECK(name.size() <= levellist::MAX_NAME && name.find('/') == std::string::npos);
        // The path the game opens, as the system sees it (a NUL ends it).
        const std::filesystem::path file =
            std::filesystem::path("levels/" + std::string(name.c_str()) + ".lvl").lexically_normal();
        FUZZ_CHECK(file.parent_path() == "levels");
    }
    // The same list read again reads the same: read keeps no state.
    std::vector<std::string> again;
    FUZZ_CHECK(levellist::read(path, again, error) && again == names);
    return 0;
}
