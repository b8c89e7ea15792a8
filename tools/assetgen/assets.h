#pragma once
// Every picture the game loads, each made by one function. To add a picture,
// write its function (in images_ui.cpp or images_objects.cpp, or a new file) and
// list it in assets() in assets.cpp.
#include <string>
#include <vector>

#include "canvas.h"
#include "glyphs.h"

namespace art {

struct Asset {
    std::string name;        // file name in media/, e.g. "crate1.tga"
    bool alpha;              // 32-bit with alpha; otherwise 24-bit
    Canvas (*make)();        // paints the picture
    std::string drawnAs;     // how the game draws it (for the art sheet and for whoever resizes it)
};

const std::vector<Asset>& assets();

// The fonts: DejaVu Sans Bold for the game's letters and digits, DejaVu Sans for small print.
const Font& boldFont();
const Font& plainFont();

// Objects painted at any place and size, shared by their own pictures and the splash.
void paintBall(Canvas& c, float cx, float cy, float r);          // orange ball with its highlight
void paintBombBody(Canvas& c, float cx, float cy, float r, int frame);  // body, cap, fuse, spark
void paintCrate(Canvas& c, float x0, float y0, float size);

// --- pictures (images_ui.cpp) ---
Canvas makeSplash();
Canvas makeBackdropMenu();
Canvas makeBackdropField();
Canvas makeLevelIcon(int kind);  // 0 new, 1 done, 2 locked, 3 empty slot
Canvas makeDigit(int d);
Canvas makeFont();
Canvas makeTick();
Canvas makeClock(int quarters);
Canvas makeMarker();
Canvas makeDot();

// --- pictures (images_objects.cpp) ---
Canvas makeBomb(int frame);
Canvas makeExplosion(int frame);
Canvas makeWall();
Canvas makeTargetRect();
Canvas makeOrangeBall();
Canvas makeBallHighlight();
Canvas makeCrate();
Canvas makeBlackHole();

// --- pictures (images_levels.cpp) ---
Canvas makeBackgroundMeadow();
Canvas makeBackgroundDusk();
Canvas makeBackgroundNight();
Canvas makeBackgroundCave();
Canvas makeBackgroundSpace();
Canvas makeTextureStone();
Canvas makeTextureWood();
Canvas makeTextureMetal();
Canvas makeTextureIce();
Canvas makeBlueBall();
Canvas makeGreenBall();
Canvas makeMetalCrate();

}  // namespace art
