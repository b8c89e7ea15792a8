// Sprite for the game: decoded by SDL_image, uploaded once as an OpenGL texture of
// the image's own size. Drawing is recorded into the frame's DrawList and
// rendered in immediate mode when the frame ends (or is flushed). Needs the
// context of the window.
//
// OpenGL may only be called on the thread that owns the context, but sprites are
// made wherever levels are built, the level solver's thread included. So the
// constructor only decodes (file and CPU work, safe anywhere) and keeps the
// bytes; the first draw, always on the drawing thread, makes the texture and
// drops them. Everything here that calls OpenGL or touches the texture
// bookkeeping below runs on the drawing thread only.
#include <GL/gl.h>
#include <SDL.h>
#include <SDL_image.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <unordered_set>

#include "game/render/draw_list.h"
#include "game/render/sprite.h"
#include "game/render/window_gl.h"
#include "game/render/sprite_path.h"
#include "game/render/tga.h"

namespace {

// Channel masks of pixels stored as bytes B, G, R(, A) in memory, which is what
// GL_BGR / GL_BGRA with GL_UNSIGNED_BYTE read.
#if SDL_BYTEORDER == SDL_LIL_ENDIAN
constexpr Uint32 R_MASK = 0x00ff0000, G_MASK = 0x0000ff00, B_MASK = 0x000000ff, A_MASK = 0xff000000;
constexpr Uint32 R24 = 0xff0000, G24 = 0x00ff00, B24 = 0x0000ff;
#else
constexpr Uint32 R_MASK = 0x0000ff00, G_MASK = 0x00ff0000, B_MASK = 0xff000000, A_MASK = 0x000000ff;
constexpr Uint32 R24 = 0x0000ff, G24 = 0x00ff00, B24 = 0xff0000;
#endif

bool isBgr24(const SDL_PixelFormat* f) {
    return f->BytesPerPixel == 3 && f->Rmask == R24 && f->Gmask == G24 && f->Bmask == B24;
}
bool isBgra32(const SDL_PixelFormat* f) {
    return f->BytesPerPixel == 4 && f->Rmask == R_MASK && f->Gmask == G_MASK && f->Bmask == B_MASK &&
           f->Amask == A_MASK;
}

// Any other layout (8-bit palettes, 16-bit, other channel orders) becomes
// 32-bit BGRA so the upload never swaps colours.
SDL_Surface* toBgra32(SDL_Surface* src) {
    SDL_PixelFormat fmt = {};
    fmt.BitsPerPixel = 32;
    fmt.BytesPerPixel = 4;
    fmt.Rmask = R_MASK;
    fmt.Gmask = G_MASK;
    fmt.Bmask = B_MASK;
    fmt.Amask = A_MASK;
    for (Uint32 m = R_MASK; !(m & 1); m >>= 1) ++fmt.Rshift;
    for (Uint32 m = G_MASK; !(m & 1); m >>= 1) ++fmt.Gshift;
    for (Uint32 m = B_MASK; !(m & 1); m >>= 1) ++fmt.Bshift;
    for (Uint32 m = A_MASK; !(m & 1); m >>= 1) ++fmt.Ashift;
    fmt.alpha = 255;
    return SDL_ConvertSurface(src, &fmt, SDL_SWSURFACE);
}

// Textures uploaded without an alpha channel. Drawn fully opaque, they need no
// blending, which saves software renderers a read of every covered pixel.
std::unordered_set<GLuint>& opaqueTextures() {
    static std::unordered_set<GLuint> set;
    return set;
}

// Whether a quad of w x h pixels centred on (x, y) starts on a pixel corner: then
// every pixel centre falls on a texel centre at scale 1, and nearest sampling
// gives exactly what linear filtering would, for less work.
bool pixelAligned(float x, float y, int w, int h) {
    float left = x - w / 2.0f, bottom = y - h / 2.0f;
    return left == std::floor(left) && bottom == std::floor(bottom);
}

// What the sprites asked for since the frame began, not yet rendered.
DrawList& pending() {
    static DrawList list;
    return list;
}

FrameGate& gate() {
    static FrameGate g;
    return g;
}

// Counts texture uploads and deletions (see FrameGate::mustRender). A picture's
// first draw uploads it, so that frame is rendered even when its draw list
// matches the last one.
unsigned long& textureEpoch() {
    static unsigned long epoch = 0;
    return epoch;
}

// Gives `texture` (non-zero) back to OpenGL, which may hand its name out again
// for another picture.
void deleteTexture(GLuint texture) {
    opaqueTextures().erase(texture);
    glDeleteTextures(1, &texture);
    ++textureEpoch();
}

void renderSprite(const DrawList::Command& c) {
    const float x = c.p[0], y = c.p[1], sx = c.p[2], sy = c.p[3], alpha = c.p[5];
    float angle = c.p[4];
    float w = c.width / 2.0f;
    float h = c.height / 2.0f;
    if (angle != 0.0f) angle *= 57.29579f;  // radians to degrees
    // Same pixels, less work: no blending for opaque pictures, nearest sampling
    // for pictures shown 1:1 on the pixel grid (full-window backgrounds).
    const bool opaque = alpha >= 1.0f && opaqueTextures().count(c.texture) != 0;
    const bool exact = angle == 0.0f && sx == 1.0f && sy == 1.0f && pixelAligned(x, y, c.width, c.height);
    glPushMatrix();
    glTranslatef(x, y, 0.0f);
    glRotatef(angle, 0.0f, 0.0f, 1.0f);
    glScalef(sx, sy, 1.0f);
    glBindTexture(GL_TEXTURE_2D, c.texture);
    if (opaque) glDisable(GL_BLEND);
    if (exact) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    }
    glBegin(GL_QUADS);
    glColor4f(1.0f, 1.0f, 1.0f, alpha);
    // Texture row 0 is the top of the image: it goes on the upper edge.
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(-w, h);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2f(w, h);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2f(w, -h);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2f(-w, -h);
    glEnd();
    if (exact) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    }
    if (opaque) glEnable(GL_BLEND);
    glPopMatrix();
}

void renderPolygon(const DrawList::Command& c, const float* v) {
    glBindTexture(GL_TEXTURE_2D, c.texture);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glBegin(GL_POLYGON);
    for (int i = 0; i < c.count; ++i, v += 4) {
        glTexCoord2f(v[0], v[1]);
        glVertex2f(v[2], v[3]);
    }
    glEnd();
}

void renderQuads(const DrawList::Command& c, const float* v) {
    glColor4f(c.p[0], c.p[1], c.p[2], c.p[3]);
    glBindTexture(GL_TEXTURE_2D, c.texture);
    glBegin(GL_QUADS);
    for (int i = 0; i < 4 * c.count; ++i, v += 4) {
        glTexCoord2f(v[0], v[1]);
        glVertex2f(v[2], v[3]);
    }
    glEnd();
}

void render(const DrawList& list) {
    for (const DrawList::Command& c : list.commands()) {
        switch (c.kind) {
            case DrawList::SPRITE: renderSprite(c); break;
            case DrawList::POLYGON: renderPolygon(c, list.data(c)); break;
            case DrawList::QUADS: renderQuads(c, list.data(c)); break;
        }
    }
}

}  // namespace

Sprite::Sprite(const char* filename) {
    std::string path = spriteMediaPath(filename);
    if (!loadImage(path.c_str())) {
        std::printf("Failed to load %s\n", path.c_str());
        std::fflush(stdout);
    }
}

Sprite::~Sprite() {
    // A sprite never drawn has no texture and makes no OpenGL call here.
    if (texture != 0) deleteTexture(texture);
}

bool Sprite::loadImage(const char* path) {
    if (!path) return false;
    // The decoder would take the memory a damaged or hostile header claims.
    tga::Header header;
    if (!tga::readHeader(path, header)) return false;
    SDL_Surface* surface = IMG_Load(path);
    if (!surface) return false;

    SDL_Surface* pixels = surface;
    bool bgr = isBgr24(surface->format);
    if (!bgr && !isBgra32(surface->format)) {
        pixels = toBgra32(surface);
        if (!pixels) {
            SDL_FreeSurface(surface);
            return false;
        }
    }

    // Rows packed end to end: the surface's pitch may pad them.
    const std::size_t row = static_cast<std::size_t>(pixels->w) * pixels->format->BytesPerPixel;
    decoded.resize(row * pixels->h);
    if (SDL_MUSTLOCK(pixels)) SDL_LockSurface(pixels);
    for (int y = 0; y < pixels->h; ++y) {
        std::memcpy(decoded.data() + row * y, static_cast<const unsigned char*>(pixels->pixels) + pixels->pitch * y,
                    row);
    }
    if (SDL_MUSTLOCK(pixels)) SDL_UnlockSurface(pixels);
    width = pixels->w;
    height = pixels->h;
    opaque = bgr;

    if (pixels != surface) SDL_FreeSurface(pixels);
    SDL_FreeSurface(surface);
    return true;
}

void Sprite::createTexture() {
    // A picture loaded again replaces the texture of the one before.
    if (texture != 0) deleteTexture(texture);
    texture = window::newSpriteTexture();
    ++textureEpoch();
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, opaque ? GL_RGB : GL_RGBA, width, height, 0, opaque ? GL_BGR : GL_BGRA,
                 GL_UNSIGNED_BYTE, decoded.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    if (opaque) opaqueTextures().insert(texture);
    std::vector<unsigned char>().swap(decoded);  // the texture holds the picture now
}

int Sprite::draw(float x, float y, float sx, float sy, float angle, float alpha) {
    // An empty sprite has no picture, and callers that scale by 1 / width hand it
    // infinite scales: neither may reach the matrix stack.
    if (empty() || !std::isfinite(x) || !std::isfinite(y) || !std::isfinite(sx) || !std::isfinite(sy) ||
        !std::isfinite(angle) || !std::isfinite(alpha))
        return 0;
    if (!decoded.empty()) createTexture();
    pending().sprite(texture, width, height, x, y, sx, sy, angle, alpha);
    return 0;
}

void Sprite::drawPolygon(const float* texCoords, const float* vertices, int count) {
    if (empty() || !texCoords || !vertices || count < 3) return;
    if (!decoded.empty()) createTexture();
    pending().polygon(texture, width, height, texCoords, vertices, count);
}

void Sprite::drawQuads(const float* data, int quadCount, float r, float g, float b, float a) {
    if (empty() || !data || quadCount <= 0) return;
    if (!decoded.empty()) createTexture();
    pending().quads(texture, width, height, data, quadCount, r, g, b, a);
}

namespace window {

unsigned int newSpriteTexture() {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    return name;
}

void flushDrawing() {
    DisplayCall call;
    render(pending());
    pending().clear();
}

bool endFrame() {
    if (!gate().mustRender(pending(), textureEpoch())) {
        gate().skipped(pending());
        return false;
    }
    DisplayCall call;
    glClear(GL_COLOR_BUFFER_BIT);
    render(pending());
    swapBuffers();
    gate().rendered(pending(), textureEpoch());
    return true;
}

void invalidate() {
    gate().invalidate();
}

}  // namespace window
