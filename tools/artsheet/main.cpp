// artsheet: shows the game's pictures at the sizes the game draws them, in the
// game's own window and renderer, to judge the art (and to take the screenshots in
// docs/screenshots/). Run it in the game's working directory.
//
//   artsheet PAGE                 shows PAGE until the window is closed
//   artsheet PAGE --shot OUT.tga  draws PAGE once, writes the window to OUT.tga, exits
//
// Pages: objects, text, splash, menu, and a level in play over each campaign
// background: meadow, dusk, night, cave, space.
#include <GL/gl.h>
#include <SDL.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "game/render/animation.h"
#include "game/render/sprite.h"
#include "game/render/spritemanager.h"
#include "game/render/text.h"
#include "game/render/tga.h"
#include "game/render/window_gl.h"

namespace {

Sprite* get(const char* name) { return SpriteManager::get(name); }

// Draws a picture scaled to w x h window pixels, as stretched objects are.
void drawSized(const char* name, float x, float y, float w, float h, float angle = 0) {
    Sprite* s = get(name);
    if (s->empty()) return;
    s->draw(x, y, w / s->width, h / s->height, angle, 1);
}

void label(const char* text, int x, int y) { Text::draw(text, x, y, 18, 0xc5d5e6); }

void drawBall(float x, float y, float r, float angle) {
    drawSized("orangeball.tga", x, y, 2 * r, 2 * r, angle);
    drawSized("balltrans.tga", x, y, 2 * r, 2 * r);
}

void pageObjects() {
    drawSized("backdrop2.tga", 400, 300, 800, 600);
    // Walls: boundary-like strips and a ledge, and a textured triangle.
    drawSized("wall.tga", 400, 10, 800, 20);
    drawSized("wall.tga", 130, 150, 200, 20);
    Sprite* wall = get("wall.tga");
    const float tex[] = {0, 0, 1, 0, 0.5f, 1};
    const float tri[] = {40, 180, 104, 180, 72, 244};
    wall->drawPolygon(tex, tri, 3);
    label("walls", 40, 120);

    // Balls of radius 12, 16, 24 and 32, turned, with the unturned highlight.
    drawBall(160, 190, 16, 0.0f);
    drawBall(210, 200, 24, 0.8f);
    drawBall(280, 212, 32, 2.0f);
    drawBall(330, 192, 12, 1.2f);
    label("balls", 240, 150);
    // Crates 32 x 32, 64 x 32, 48 x 48 (turned).
    drawSized("crate1.tga", 400, 196, 32, 32);
    drawSized("crate1.tga", 460, 196, 64, 32);
    drawSized("crate1.tga", 540, 204, 48, 48, 0.3f);
    label("crates", 430, 150);
    // Bomb fuse frames at the bomb's scale, and the play state's counter icon.
    for (int i = 0; i < 4; ++i) {
        const char* names[] = {"bombA.tga", "bombB.tga", "bombC.tga", "bombD.tga"};
        get(names[i])->draw(620 + 42 * i, 200, 0.703125f, 0.703125f, 0, 1);
    }
    get("bombA.tga")->draw(770, 250, 0.4f, 0.4f, 0, 1);
    label("bombs", 660, 150);

    // Explosion frames at scale 1.
    const char* boom[] = {"e0.tga", "e1.tga", "e2.tga", "e3.tga", "e4.tga"};
    for (int i = 0; i < 5; ++i) get(boom[i])->draw(80 + 130 * i, 340, 1, 1, 0, 1);
    label("explosion", 40, 275);

    // Black hole, 80 across, with a ball passing through it.
    drawSized("blackhole.tga", 100, 490, 80, 80);
    drawBall(128, 470, 16 * 0.4f, 0);
    label("black hole", 40, 430);
    // A victory area outline around a resting crate.
    drawSized("rect.tga", 300, 480, 140, 90);
    drawSized("crate1.tga", 300, 472, 40, 40);
    label("target area", 240, 415);
    // Victory clock frames at scale 0.625 and the tick at 40 x 40.
    const char* clocks[] = {"clock1.tga", "clock2.tga", "clock3.tga", "clock4.tga"};
    for (int i = 0; i < 4; ++i) get(clocks[i])->draw(450 + 48 * i, 490, 0.625f, 0.625f, 0, 1);
    drawSized("tick.tga", 750, 490, 40, 40);
    label("clock and tick", 470, 440);
    // Digits at scale 1 (play state) and 0.5 (menu).
    SpriteManager::drawNumber(50, 575, 123, 1);
    SpriteManager::drawNumber(250, 575, 4567, 1);
    SpriteManager::drawNumber(400, 575, 89, 0.5f);
    SpriteManager::drawNumber(460, 575, 0, 0.5f);
    // Level icons at scale 1, 25 pixels apart as in the menu.
    const char* icons[] = {"lvlnew.tga", "lvldone.tga", "lvllocked.tga", "lvlnone.tga"};
    for (int i = 0; i < 4; ++i) get(icons[i])->draw(620 + 25 * i, 575, 1, 1, 0, 1);
}

void pageText() {
    drawSized("backdrop2.tga", 400, 300, 800, 600);
    const char* pangram = "Pack my box with five dozen liquor jugs!";
    const char* small[] = {pangram, "Saved /home/me/.local/share/boxquake/levels/mylevel1.lvl",
                           "winnable in 3 explosions, playable 0.91 (par 2); \"Esc\" menu"};
    const int colours[] = {0xffff00, 0xffffff, 0xff6040};
    for (int i = 0; i < 3; ++i) {
        Text::draw(pangram, 20, 540 - 45 * i, 29, colours[i]);
        Text::draw(small[i], 20, 400 - 30 * i, 18, colours[i]);
    }
    Text::draw("ABCDEFGHIJKLM NOPQRSTUVWXYZ\nabcdefghijklm nopqrstuvwxyz\n0123456789 . , ! : - / ' \" ( ) ? % + = _ ;\n"
               "# $ & * < > @ [ \\ ] ^ ` { | } ~   no glyph: \xc3\xa9",
               20, 290, 29, 0x7bc950);
    Text::draw("Level Editor - Test Mode", 20, 150, 29, 0xffffff);
    Text::draw("Two lines at size 18,\nas the editor writes them.", 20, 100, 18, 0xf6eedb);
    Text::draw("Black on light:", 420, 120, 18, 0xf6eedb);
    drawSized("rect.tga", 600, 70, 360, 50);
    Text::draw("Level one done in 12 seconds", 440, 60, 18, 0x000000);
}

void pageSplash() { get("qor.tga")->draw(400, 300, 0.5f, 0.5f, 0, 1); }

void pageMenu() {
    drawSized("backdrop3.tga", 400, 300, 800, 600);
    const char* icons[] = {"lvlnew.tga", "lvldone.tga", "lvllocked.tga", "lvlnone.tga"};
    for (int i = 0; i < 24; ++i) {
        int c = i % 4, r = i / 4;
        int kind = i < 5 ? 1 : (i == 5 ? 2 : (i < 12 ? 0 : 3));
        get(icons[kind])->draw(100 + 25 * c + r * r, 300 - 25 * r, 1, 1, 0, 1);
    }
    SpriteManager::drawNumber(220, 300, 34, 0.5f);
    SpriteManager::drawNumber(280, 300, 3, 0.5f);
}

// A Polygon object's picture: its points (texture coordinates, 0..1) scaled by
// `scale`, centred on (x, y) and turned by `angle` radians.
void drawTextured(const char* image, const std::vector<float>& pts, float x, float y, float scale, float angle = 0) {
    const std::size_t n = pts.size() / 2;
    float mx = 0, my = 0;
    for (std::size_t i = 0; i < n; ++i) {
        mx += pts[2 * i] / n;
        my += pts[2 * i + 1] / n;
    }
    std::vector<float> v;
    for (std::size_t i = 0; i < n; ++i) {
        float px = (pts[2 * i] - mx) * scale, py = (pts[2 * i + 1] - my) * scale;
        v.push_back(x + px * std::cos(angle) - py * std::sin(angle));
        v.push_back(y + px * std::sin(angle) + py * std::cos(angle));
    }
    get(image)->drawPolygon(pts.data(), v.data(), static_cast<int>(n));
}

// The background of the level page being drawn, e.g. "bg_meadow.tga".
std::string levelBackground;

// A level in play: everything the play state draws, over one background.
void pageLevel() {
    drawSized(levelBackground.c_str(), 400, 300, 800, 600);
    // Boundary walls, 5 px into the field.
    drawSized("wall.tga", 400, 2.5f, 800, 5);
    drawSized("wall.tga", 400, 597.5f, 800, 5);
    drawSized("wall.tga", 2.5f, 300, 5, 600);
    drawSized("wall.tga", 797.5f, 300, 5, 600);
    // Textured polygons: a stone ramp, a wooden plank on a metal pivot, an ice block.
    drawTextured("tex_stone.tga", {0, 0, 1, 0, 1, 0.45f}, 120, 30, 220);
    drawTextured("tex_metal.tga", {0, 0, 1, 0, 0.5f, 1}, 420, 27, 48);
    drawTextured("tex_wood.tga", {0, 0, 1, 0, 1, 0.09f, 0, 0.09f}, 420, 60, 240, 0.08f);
    drawTextured("tex_ice.tga", {0, 0, 1, 0, 1, 1, 0, 1}, 590, 250, 70, 0.3f);
    drawTextured("tex_stone.tga", {0, 0, 1, 0, 1, 1, 0, 1}, 700, 200, 90, 0);
    // Balls of each colour, crates of both kinds.
    drawBall(190, 92, 16, 0.5f);
    drawSized("blueball.tga", 345, 92, 32, 32, 1.5f);
    drawSized("balltrans.tga", 345, 92, 32, 32);
    drawSized("greenball.tga", 480, 95, 48, 48, 0.2f);
    drawSized("balltrans.tga", 480, 95, 48, 48);
    drawSized("crate1.tga", 620, 29, 48, 48);
    drawSized("crate2.tga", 680, 29, 48, 48);
    drawSized("crate2.tga", 700, 261, 64, 32, 0.1f);
    get("bombB.tga")->draw(280, 300, 0.703125f, 0.703125f, 0, 1);
    drawSized("blackhole.tga", 130, 330, 80, 80);
    // The target area, labels in light, dark and yellow.
    drawSized("rect.tga", 560, 420, 170, 110);
    drawSized("crate2.tga", 560, 400, 40, 40);
    Text::draw("Click beside the crate", 40, 480, 29, 0xffffff);
    Text::draw("to blast it into the box", 40, 450, 18, 0x000000);
    Text::draw("Objects must come to rest", 40, 200, 18, 0xffff00);
    // What the play state draws on top: time, explosions, the victory clock.
    SpriteManager::drawNumber(50, 540, 12, 1);
    SpriteManager::drawNumber(250, 540, 3, 1);
    get("bombA.tga")->draw(230, 540, 0.4f, 0.4f, 0, 1);
    get("clock3.tga")->draw(750, 560, 0.625f, 0.625f, 0, 1);
}

bool writeShot(const std::string& path) {
    std::vector<unsigned char> rgba(window::WIDTH * window::HEIGHT * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, window::WIDTH, window::HEIGHT, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    tga::Image img(window::WIDTH, window::HEIGHT);
    for (int y = 0; y < window::HEIGHT; ++y) {
        // OpenGL rows start at the bottom; Targa rows here start at the top.
        const unsigned char* src = &rgba[static_cast<std::size_t>(window::HEIGHT - 1 - y) * window::WIDTH * 4];
        for (int x = 0; x < window::WIDTH; ++x) {
            std::uint8_t* d = img.pixel(x, y);
            d[0] = src[4 * x];
            d[1] = src[4 * x + 1];
            d[2] = src[4 * x + 2];
            d[3] = 255;
        }
    }
    return tga::write(path, img, false);
}

}  // namespace

int main(int argc, char* argv[]) {
    std::string page = argc > 1 ? argv[1] : "objects";
    std::string shot;
    for (int i = 2; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--shot") == 0) shot = argv[i + 1];
    void (*draw)() = page == "text" ? pageText : page == "splash" ? pageSplash : page == "menu" ? pageMenu : pageObjects;
    for (const char* level : {"meadow", "dusk", "night", "cave", "space"}) {
        if (page == level) {
            levelBackground = "bg_" + page + ".tga";
            draw = pageLevel;
        }
    }
    if (!window::open("artsheet", false)) return 1;

    bool running = true;
    while (running) {
        SDL_Event event;
        while (window::pollEvent(&event))
            if (event.type == SDL_QUIT) running = false;
        draw();
        if (!shot.empty()) {
            glClear(GL_COLOR_BUFFER_BIT);
            window::flushDrawing();
            glFinish();
            bool ok = writeShot(shot);
            if (!ok) std::printf("artsheet: cannot write %s\n", shot.c_str());
            SpriteManager::clear();
            return ok ? 0 : 1;
        }
        window::endFrame();
        SDL_Delay(50);
    }
    SpriteManager::clear();
    return 0;
}
