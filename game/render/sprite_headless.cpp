// Sprite without a window: the size comes from the Targa header, the texture name
// is a made-up non-zero number, and drawing only goes to the DrawLog.
#include <atomic>
#include <cmath>
#include <cstdio>

#include "game/render/draw_log.h"
#include "game/render/sprite.h"
#include "game/render/sprite_path.h"
#include "game/render/tga.h"

namespace {

std::atomic<unsigned int> s_nextTexture{1};  // fake texture names, never 0; sprites load on several threads

bool finite(float a, float b, float c, float d, float e, float f) {
    return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d) && std::isfinite(e) &&
           std::isfinite(f);
}

}  // namespace

Sprite::Sprite(const char* filename) {
    std::string path = spriteMediaPath(filename);
    DrawLog::nameSprite(this, filename ? filename : "");
    if (!loadImage(path.c_str())) {
        std::printf("Failed to load %s\n", path.c_str());
        std::fflush(stdout);
    }
}

Sprite::~Sprite() { DrawLog::forgetSprite(this); }

bool Sprite::loadImage(const char* path) {
    tga::Header h;
    if (!path || !tga::readHeader(path, h)) return false;
    width = h.width;
    height = h.height;
    do {
        texture = s_nextTexture++;
    } while (texture == 0);  // wrapped around
    return true;
}

int Sprite::draw(float x, float y, float sx, float sy, float angle, float alpha) {
    DrawCall c;
    c.kind = DrawCall::SPRITE;
    c.sprite = this;
    c.image = DrawLog::imageOf(this);
    c.visible = !empty() && finite(x, y, sx, sy, angle, alpha);
    c.x = x;
    c.y = y;
    c.sx = sx;
    c.sy = sy;
    c.angle = angle;
    c.alpha = alpha;
    DrawLog::record(std::move(c));
    return 0;
}

void Sprite::drawPolygon(const float* texCoords, const float* vertices, int count) {
    DrawCall c;
    c.kind = DrawCall::POLYGON;
    c.sprite = this;
    c.image = DrawLog::imageOf(this);
    c.visible = !empty() && count >= 3 && texCoords && vertices;
    c.count = count;
    if (texCoords && vertices) {
        for (int i = 0; i < count; ++i) {
            c.data.insert(c.data.end(), {texCoords[2 * i], texCoords[2 * i + 1], vertices[2 * i], vertices[2 * i + 1]});
        }
    }
    DrawLog::record(std::move(c));
}

void Sprite::drawQuads(const float* data, int quadCount, float r, float g, float b, float a) {
    DrawCall c;
    c.kind = DrawCall::QUADS;
    c.sprite = this;
    c.image = DrawLog::imageOf(this);
    c.visible = !empty() && quadCount > 0 && data;
    c.count = quadCount;
    c.r = r;
    c.g = g;
    c.b = b;
    c.a = a;
    if (data && quadCount > 0) c.data.assign(data, data + 16 * quadCount);
    DrawLog::record(std::move(c));
}
