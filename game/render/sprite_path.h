#pragma once
// Where a sprite's file lives, shared by both sprite implementations.
#include <string>

// "./media/" + name, for a name of any length (a null name is taken as empty).
inline std::string spriteMediaPath(const char* filename) {
    return std::string("./media/") + (filename ? filename : "");
}
