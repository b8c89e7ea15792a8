#pragma once
// The one palette every picture of the game is painted from.
#include "canvas.h"

namespace art::pal {

// Blues of the night sky: backgrounds and panels, darkest first.
inline const Color INK = hex(0x0d1018);
inline const Color NIGHT = hex(0x141b2d);
inline const Color NAVY = hex(0x22314f);
inline const Color SLATE = hex(0x3d5a80);
inline const Color STEEL = hex(0x6d8fb3);
inline const Color MIST = hex(0xc5d5e6);
inline const Color CREAM = hex(0xf6eedb);
inline const Color WHITE = hex(0xffffff);

// Warm accents: fire, the ball, highlights.
inline const Color AMBER = hex(0xffc145);
inline const Color ORANGE = hex(0xf08a24);
inline const Color EMBER = hex(0xd9481c);
inline const Color RUST = hex(0x8c2f14);

// Signals.
inline const Color GREEN = hex(0x7bc950);
inline const Color GREEN_DARK = hex(0x3f8a2a);
inline const Color RED = hex(0xd94a4a);
inline const Color RED_DARK = hex(0x8e2a30);

// Materials.
inline const Color WOOD_LIGHT = hex(0xd9a566);
inline const Color WOOD = hex(0xb07a3e);
inline const Color WOOD_DARK = hex(0x6e4520);
inline const Color STONE_LIGHT = hex(0xa9a7a6);
inline const Color STONE = hex(0x7f7e82);
inline const Color STONE_DARK = hex(0x4e4f57);
inline const Color VIOLET = hex(0x6a4fb3);

}  // namespace art::pal
