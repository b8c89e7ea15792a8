#include "game/objects/safe_write.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

bool replaceFile(const std::string& path, const std::string& bytes, std::string& why) {
    const std::string temporary = path + ".tmp";
    FILE* f = std::fopen(temporary.c_str(), "wb");
    if (f == nullptr) {
        why = std::strerror(errno);
        return false;
    }
    int error = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) error = errno;
    // A full disk often shows only here, when the buffered bytes are written.
    if (std::fflush(f) != 0 && error == 0) error = errno;
    // The data must be on the disk before the name points at it: after a crash
    // the rename could otherwise survive with an empty file behind it.
    if (fsync(fileno(f)) != 0 && error == 0) error = errno;
    if (std::fclose(f) != 0 && error == 0) error = errno;
    if (error == 0 && std::rename(temporary.c_str(), path.c_str()) != 0) error = errno;
    if (error != 0) {
        std::remove(temporary.c_str());
        why = std::strerror(error);
        return false;
    }
    return true;
}
