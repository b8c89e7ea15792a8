#pragma once
// Checks on the pictures the asset generator writes into the build's media/.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "game/render/tga.h"

inline std::string media(const std::string& name) { return std::string(BOXQUAKE_MEDIA_DIR) + "/" + name; }

struct PictureFormat {
    const char* name;
    int bits;  // 24 opaque, 32 with an 8-bit alpha channel
};

// Every listed picture exists with its bit depth (and alpha bits when it has alpha).
inline void expectPictureFormats(std::initializer_list<PictureFormat> pictures) {
    for (const PictureFormat& e : pictures) {
        tga::Header h;
        ASSERT_TRUE(tga::readHeader(media(e.name), h)) << e.name;
        EXPECT_EQ(h.bitsPerPixel, e.bits) << e.name;
        if (e.bits == 32) {
            EXPECT_EQ(h.alphaBits, 8) << e.name;
        }
    }
}
