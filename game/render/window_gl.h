#pragma once
// The game's window: 800 x 600 (or full screen) with an OpenGL context and the
// fixed drawing state every sprite relies on: the field's 800 x 600 pixels,
// origin at the bottom left, y up; 2D textures and alpha blending on for the
// whole run. Full screen takes the desktop's size and draws the field in the
// largest centred rectangle of its shape (black bars on two sides).
#include <algorithm>

#include "game/render/screen.h"

union SDL_Event;

namespace window {

constexpr int WIDTH = screen::WIDTH;  // pixels; also the extent of the projection
constexpr int HEIGHT = screen::HEIGHT;

// Where the field shows on a w x h pixel screen: the largest rectangle of the
// field's 4:3 shape, centred; x and y from the screen's top left corner.
struct Frame {
    int x, y, w, h;
};

constexpr Frame letterbox(int w, int h) {
    // Compared as products: w / h <= 4 / 3 means the width decides the scale.
    if (w * HEIGHT <= h * WIDTH) {
        const int fh = (w * HEIGHT + WIDTH / 2) / WIDTH;
        return Frame{0, (h - fh) / 2, w, fh};
    }
    const int fw = (h * WIDTH + HEIGHT / 2) / HEIGHT;
    return Frame{(w - fw) / 2, 0, fw, h};
}

// The field pixel (x from the left, y down from the top row) under screen pixel
// (x, y) of a screen showing the field in `frame`: the one holding the screen
// pixel's centre. A point on a bar goes to the nearest edge of the field.
inline void screenToField(const Frame& frame, int& x, int& y) {
    // The centre, (2 s + 1) / 2 screen pixels into the frame, scaled by field /
    // frame; left of the frame the quotient is 0 or negative and clamps to 0.
    auto map = [](int s, int origin, int size, int field) {
        const long f = (2L * (s - origin) + 1) * field / (2L * size);
        return static_cast<int>(std::clamp<long>(f, 0, field - 1));
    };
    x = map(x, frame.x, frame.w, WIDTH);
    y = map(y, frame.y, frame.h, HEIGHT);
}

// The pointer as SDL reports it, in the window's pixels, to the field's pixels
// (both y down): unchanged in a window, through the letterbox in full screen.
void pointerToField(int& x, int& y);

// Starts SDL's video, opens the window captioned `caption` and sets the OpenGL
// state. On failure prints "Unable to initialize SDL: ..." or "Unable to set video
// mode: ..." on standard output and returns false. SDL_Quit runs at exit,
// unless the process ends because the display went away.
bool open(const char* caption, bool fullscreen);

// Marks a stretch of calls that may talk to the display: events, drawing,
// showing. When the connection to the display breaks, Xlib ends the process with
// exit() from inside such a call (drawing asks the display for the window's
// size). SDL's shutdown would then wait forever for replies from a display that
// is gone, so the exit handler leaves it out while a DisplayCall is open.
class DisplayCall {
public:
    DisplayCall();
    ~DisplayCall();
    DisplayCall(const DisplayCall&) = delete;
    DisplayCall& operator=(const DisplayCall&) = delete;
};

// SDL_PollEvent and SDL_GL_SwapBuffers inside a DisplayCall.
bool pollEvent(SDL_Event* event);
void swapBuffers();

// A new texture name, bound to GL_TEXTURE_2D, with the sampling every sprite
// uses: linear filtering, edges clamped. The caller uploads the pixels.
unsigned int newSpriteTexture();

// Frames. Sprites record what they are asked to draw; nothing reaches OpenGL
// until the frame ends or is flushed.
//
// Ends the frame: when what was recorded differs from the picture on the screen
// (or the screen may have lost it), clears, renders and swaps the buffers and
// returns true. Otherwise does nothing and returns false: the window keeps
// showing the same picture.
bool endFrame();
// Renders what was recorded onto the back buffer now, without clearing or
// showing it, and starts the recording afresh: for reading pixels back.
// In a window the back buffer's pixels are the field's; full screen puts the
// field at the letterbox (see letterbox), scaled.
void flushDrawing();
// The window's picture was damaged or lost (exposed, restored from an icon): the
// next frame is rendered whatever it holds.
void invalidate();

}  // namespace window
