#include "game/render/window_gl.h"

#include <GL/gl.h>
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace window {
namespace {

// SDL falls back to a video driver that shows nothing ("offscreen", "dummy") when
// no display can be reached; a game nobody can see or close is a failure unless
// that driver was asked for by name. Returns the reason, or empty when video is usable.
std::string missingDisplay() {
    char name[32] = "";
    if (!SDL_VideoDriverName(name, sizeof name)) return "no video driver";
    std::string driver = name;
    if (driver != "offscreen" && driver != "dummy") return std::string();
    const char* requested = std::getenv("SDL_VIDEODRIVER");
    if (requested && driver == requested) return std::string();
    return "no display found (SDL fell back to its \"" + driver + "\" video driver; is DISPLAY set?)";
}

// Depth of DisplayCall scopes: non-zero while SDL or OpenGL may be talking to the
// display.
int s_displayCalls = 0;

void quitVideo() {
    if (s_displayCalls == 0) SDL_Quit();
}

}  // namespace

DisplayCall::DisplayCall() { ++s_displayCalls; }
DisplayCall::~DisplayCall() { --s_displayCalls; }

bool pollEvent(SDL_Event* event) {
    DisplayCall call;
    return SDL_PollEvent(event) != 0;
}

void swapBuffers() {
    DisplayCall call;
    SDL_GL_SwapBuffers();
}

bool open(const char* caption, bool fullscreen) {
    // SDL 1.2 over SDL 2 (sdl12-compat) draws OpenGL programs into an offscreen
    // buffer and copies it to the window every frame, so that it can scale them to
    // the desktop. A window of the program's own size needs no scaling, and the
    // copy would cost as much as drawing the whole picture again. Full screen keeps
    // it: there the picture must be scaled to the screen. A value set by the user wins.
    if (!fullscreen) setenv("SDL12COMPAT_OPENGL_SCALING", "0", 0);
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::printf("Unable to initialize SDL: %s\n", SDL_GetError());
        return false;
    }
    std::atexit(quitVideo);
    std::string reason = missingDisplay();
    if (!reason.empty()) {
        std::printf("Unable to initialize SDL: %s\n", reason.c_str());
        return false;
    }

    Uint32 flags = SDL_HWSURFACE | SDL_OPENGL | SDL_DOUBLEBUF;
    if (fullscreen) flags |= SDL_FULLSCREEN;
    if (!SDL_SetVideoMode(WIDTH, HEIGHT, 32, flags)) {
        std::printf("Unable to set video mode: %s\n", SDL_GetError());
        return false;
    }
    SDL_WM_SetCaption(caption, nullptr);

    // Orthographic window pixels; the -32 keeps z = 0 between the near and far planes.
    glClear(GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glOrtho(0, WIDTH, 0, HEIGHT, 1, 128);
    glTranslatef(0, 0, -32);
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    return true;
}

}  // namespace window
