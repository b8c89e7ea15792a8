// assetgen: paints every picture of the game and writes it as a Targa file.
//
//   assetgen OUTDIR            writes every picture into OUTDIR
//   assetgen OUTDIR NAME...    writes only the named pictures
//   assetgen --list            prints the names and how each is drawn
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>

#include "assets.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: assetgen OUTDIR [NAME...] | assetgen --list\n");
        return 2;
    }
    if (std::strcmp(argv[1], "--list") == 0) {
        for (const art::Asset& a : art::assets()) std::printf("%-16s %s\n", a.name.c_str(), a.drawnAs.c_str());
        return 0;
    }
    std::filesystem::path dir = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    std::set<std::string> wanted(argv + 2, argv + argc);
    int written = 0;
    for (const art::Asset& a : art::assets()) {
        if (!wanted.empty() && !wanted.count(a.name)) continue;
        std::string path = (dir / a.name).string();
        if (!tga::write(path, a.make().toImage(), a.alpha)) {
            std::fprintf(stderr, "assetgen: cannot write %s\n", path.c_str());
            return 1;
        }
        ++written;
    }
    if (!wanted.empty() && written != static_cast<int>(wanted.size())) {
        std::fprintf(stderr, "assetgen: some names are unknown (try --list)\n");
        return 1;
    }
    return 0;
}
