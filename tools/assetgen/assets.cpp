#include "assets.h"

namespace art {

const Font& boldFont() {
    static Font f(ASSETGEN_FONT_BOLD);
    return f;
}

const Font& plainFont() {
    static Font f(ASSETGEN_FONT_PLAIN);
    return f;
}

const std::vector<Asset>& assets() {
    static const std::vector<Asset> list = {
        {"qor.tga", true, makeSplash, "splash: centred at half size"},
        {"backdrop3.tga", false, makeBackdropMenu, "menu: stretched over 800 x 600"},
        {"backdrop2.tga", false, makeBackdropField, "editor and level background: stretched over 800 x 600"},
        {"lvlnew.tga", true, [] { return makeLevelIcon(0); }, "menu icon on a 16 x 16 body, scale 1"},
        {"lvldone.tga", true, [] { return makeLevelIcon(1); }, "menu icon, scale 1"},
        {"lvllocked.tga", true, [] { return makeLevelIcon(2); }, "menu icon, scale 1"},
        {"lvlnone.tga", true, [] { return makeLevelIcon(3); }, "menu icon slot without a level, scale 1"},
        {"0.tga", true, [] { return makeDigit(0); }, "digit, 24 px apart at scale 1"},
        {"1.tga", true, [] { return makeDigit(1); }, "digit"},
        {"2.tga", true, [] { return makeDigit(2); }, "digit"},
        {"3.tga", true, [] { return makeDigit(3); }, "digit"},
        {"4.tga", true, [] { return makeDigit(4); }, "digit"},
        {"5.tga", true, [] { return makeDigit(5); }, "digit"},
        {"6.tga", true, [] { return makeDigit(6); }, "digit"},
        {"7.tga", true, [] { return makeDigit(7); }, "digit"},
        {"8.tga", true, [] { return makeDigit(8); }, "digit"},
        {"9.tga", true, [] { return makeDigit(9); }, "digit"},
        {"text.tga", true, makeFont, "font: glyph cells 29 px high, drawn at sizes 18 and 29"},
        {"tick.tga", true, makeTick, "level won: 40 x 40 at (750, 560)"},
        {"clock1.tga", true, [] { return makeClock(1); }, "victory clock: scale 0.625 at (750, 560)"},
        {"clock2.tga", true, [] { return makeClock(2); }, "victory clock"},
        {"clock3.tga", true, [] { return makeClock(3); }, "victory clock"},
        {"clock4.tga", true, [] { return makeClock(4); }, "victory clock"},
        {"marker.tga", true, makeMarker, "show me: the next click's place, scale 0.5 to 1"},
        {"dot.tga", true, makeDot, "editor: dotted outline of the selection and links, 8 px across"},
        {"bombA.tga", true, [] { return makeBomb(0); }, "bomb: scale 0.703125 around a 15 px radius body"},
        {"bombB.tga", true, [] { return makeBomb(1); }, "bomb, fuse frame 2"},
        {"bombC.tga", true, [] { return makeBomb(2); }, "bomb, fuse frame 3"},
        {"bombD.tga", true, [] { return makeBomb(3); }, "bomb, fuse frame 4"},
        {"e0.tga", true, [] { return makeExplosion(0); }, "explosion: scale 1"},
        {"e1.tga", true, [] { return makeExplosion(1); }, "explosion"},
        {"e2.tga", true, [] { return makeExplosion(2); }, "explosion"},
        {"e3.tga", true, [] { return makeExplosion(3); }, "explosion"},
        {"e4.tga", true, [] { return makeExplosion(4); }, "explosion"},
        {"wall.tga", false, makeWall, "static boxes and polygons: stretched to the object"},
        {"rect.tga", true, makeTargetRect, "victory area outline: stretched to the area"},
        {"orangeball.tga", true, makeOrangeBall, "ball: scaled to its diameter, turned with it"},
        {"balltrans.tga", true, makeBallHighlight, "over every ball: same scale, never turned"},
        {"crate1.tga", true, makeCrate, "box: stretched to the box"},
        {"blackhole.tga", true, makeBlackHole, "black hole: 80 px across"},
        {"bg_meadow.tga", false, makeBackgroundMeadow, "level background: stretched over 800 x 600"},
        {"bg_dusk.tga", false, makeBackgroundDusk, "level background: stretched over 800 x 600"},
        {"bg_night.tga", false, makeBackgroundNight, "level background: stretched over 800 x 600"},
        {"bg_cave.tga", false, makeBackgroundCave, "level background: stretched over 800 x 600"},
        {"bg_space.tga", false, makeBackgroundSpace, "level background: stretched over 800 x 600"},
        {"tex_stone.tga", false, makeTextureStone, "polygon texture: texture coordinates 0..1"},
        {"tex_wood.tga", false, makeTextureWood, "polygon texture: texture coordinates 0..1"},
        {"tex_metal.tga", false, makeTextureMetal, "polygon texture: texture coordinates 0..1"},
        {"tex_ice.tga", false, makeTextureIce, "polygon texture: texture coordinates 0..1"},
        {"blueball.tga", true, makeBlueBall, "ball: as orangeball.tga"},
        {"greenball.tga", true, makeGreenBall, "ball: as orangeball.tga"},
        {"crate2.tga", true, makeMetalCrate, "box: stretched to the box, as crate1.tga"},
    };
    return list;
}

}  // namespace art
