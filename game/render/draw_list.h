#pragma once
// One frame's drawing as data: what the sprites were asked to draw, in order.
//
// The game records a frame, then renders it only when it differs from the
// picture already on the screen. An idle menu asks for the same picture 59
// times a second, and a software renderer pays for every pixel of it each time.
#include <cstddef>
#include <vector>

class DrawList {
public:
    enum Kind { SPRITE, POLYGON, QUADS };

    struct Command {
        Kind kind = SPRITE;
        unsigned int texture = 0;
        int width = 0, height = 0;  // the sprite's picture, pixels
        // SPRITE: x, y, sx, sy, angle (radians), alpha. QUADS: r, g, b, a.
        float p[6] = {};
        // POLYGON: `count` vertices of (tx, ty, x, y); QUADS: `count` quads of 4
        // such corners. They start at data()[first].
        std::size_t first = 0;
        int count = 0;
    };

    void sprite(unsigned int texture, int width, int height, float x, float y, float sx, float sy, float angle,
                float alpha);
    void polygon(unsigned int texture, int width, int height, const float* texCoords, const float* vertices,
                 int count);
    void quads(unsigned int texture, int width, int height, const float* data, int quadCount, float r, float g,
               float b, float a);

    // Keeps the storage, so a steady frame rate allocates nothing.
    void clear();
    bool empty() const { return commands_.empty(); }

    const std::vector<Command>& commands() const { return commands_; }
    const float* data(const Command& c) const { return floats_.data() + c.first; }

    // Same commands with the same numbers in the same order: the same picture.
    // A NaN anywhere makes two lists differ, which only costs a redraw.
    bool operator==(const DrawList& other) const;
    bool operator!=(const DrawList& other) const { return !(*this == other); }

private:
    std::vector<Command> commands_;
    std::vector<float> floats_;
};

// Decides, frame by frame, whether a recorded frame has to be rendered and shown
// or whether the screen already shows it.
class FrameGate {
public:
    // A picture left standing this many frames is rendered again anyway, in case
    // the window lost it without saying so (about five seconds at 59 frames a second).
    static constexpr int REFRESH_FRAMES = 300;

    // `textureEpoch` counts texture uploads and deletions: a texture name can be
    // reused for a different picture, so any change of it forces a render.
    bool mustRender(const DrawList& next, unsigned long textureEpoch) const;

    // `next` is now on the screen; it becomes the shown list and `next` is left
    // empty for the following frame.
    void rendered(DrawList& next, unsigned long textureEpoch);
    // `next` was not rendered: the screen still shows the previous frame.
    void skipped(DrawList& next);

    // The window's picture was damaged or lost (exposed, restored): the next
    // frame is rendered whatever it holds.
    void invalidate() { valid_ = false; }

private:
    DrawList shown_;
    unsigned long epoch_ = 0;
    bool valid_ = false;
    int standing_ = 0;  // frames skipped since the last render
};
