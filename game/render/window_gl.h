#pragma once
// The game's window: 800 x 600 (or full screen) with an OpenGL context and the
// fixed drawing state every sprite relies on: window pixels, origin at the bottom
// left, y up; 2D textures and alpha blending on for the whole run.
#include "game/render/screen.h"

union SDL_Event;

namespace window {

constexpr int WIDTH = screen::WIDTH;  // pixels; also the extent of the projection
constexpr int HEIGHT = screen::HEIGHT;

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
void flushDrawing();
// The window's picture was damaged or lost (exposed, restored from an icon): the
// next frame is rendered whatever it holds.
void invalidate();

}  // namespace window
