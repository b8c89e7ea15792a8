#pragma once
// A picture from ./media/, drawn as a textured quad centred on a point.
//
// Two implementations share this header and are chosen at link time:
//   boxquake_render_gl        loads through SDL_image and draws with OpenGL (the game);
//   boxquake_render_headless  reads only the image's size from its Targa header and
//                             draws nothing (tools and tests; no window, no OpenGL).
// Everything that draws (sprites, font quads, textured polygons) goes through this
// class, so the game's logic never touches OpenGL itself.
#include <string>
#include <vector>

class Sprite {
public:
    // Loads "./media/" + filename. On failure prints "Failed to load <path>\n" on
    // standard output and stays empty: texture 0, size 0 x 0, draws nothing.
    // Safe on any thread: the OpenGL sprite only decodes here and makes its
    // texture when first drawn, on the thread that draws (the one owning the
    // OpenGL context).
    explicit Sprite(const char* filename);
    // On the drawing thread once the sprite has been drawn (it gives its texture
    // back to OpenGL); a sprite never drawn may go on any thread.
    ~Sprite();
    Sprite(const Sprite&) = delete;
    Sprite& operator=(const Sprite&) = delete;

    bool loadImage(const char* path);

    // Centred on (x, y) in window pixels, scaled by (sx, sy), turned by `angle`
    // radians counter-clockwise, with opacity `alpha`. Returns 0.
    int draw(float x, float y, float sx, float sy, float angle, float alpha);

    // A filled polygon in this sprite's texture, opaque white: `count` vertices,
    // `texCoords` and `vertices` as x, y pairs. Texture coordinates run 0..1 with
    // row 0 at the top of the image; vertices are window pixels.
    void drawPolygon(const float* texCoords, const float* vertices, int count);

    // `quadCount` textured quads in colour (r, g, b, a), each 4 corners of
    // (tx, ty, x, y): 16 floats per quad. Used by the bitmap font.
    void drawQuads(const float* data, int quadCount, float r, float g, float b, float a);

    // No picture: loading failed. A loaded picture always has a size, and the
    // size never waits for a texture, so this holds on any thread.
    bool empty() const { return width <= 0 || height <= 0; }

    // OpenGL texture name; 0 when loading failed, and in the OpenGL sprite until
    // the picture is first drawn.
    unsigned int texture = 0;
    int width = 0;   // image width, pixels
    int height = 0;  // image height, pixels

private:
    // OpenGL sprite only: makes `texture` from `decoded` and lets the bytes go.
    void createTexture();

    // OpenGL sprite only: the picture decoded but not yet in a texture, rows of
    // `width` pixels from the top, no padding, bytes B, G, R (`opaque`) or
    // B, G, R, A. Empty once the texture holds it.
    std::vector<unsigned char> decoded;
    bool opaque = false;
};
