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

// Where the field shows in full screen (s_fullscreen); a window is the field.
bool s_fullscreen = false;
Frame s_frame = {0, 0, WIDTH, HEIGHT};

void quitVideo() {
    if (s_displayCalls == 0) SDL_Quit();
}

}  // namespace

DisplayCall::DisplayCall() { ++s_displayCalls; }
DisplayCall::~DisplayCall() { --s_displayCalls; }

void pointerToField(int& x, int& y) {
    // A window is left exactly as SDL reports it, even a drag past its edge.
    if (s_fullscreen) screenToField(s_frame, x, y);
}

bool pollEvent(SDL_Event* event) {
    DisplayCall call;
    return SDL_PollEvent(event) != 0;
}

void swapBuffers() {
    DisplayCall call;
    SDL_GL_SwapBuffers();
}

bool open(const char* caption, bool fullscreen) {
    // SDL 1.2 over SDL 2 (sdl12-compat) can draw OpenGL programs into an offscreen
    // buffer and copy it, scaled, to the window every frame. Its full screen
    // showed the field magnified and cropped, and the copy costs as much as
    // drawing the whole picture again. Neither mode needs it: a window is the
    // program's own size, and full screen takes the desktop's size and fits the
    // field into it with the viewport (letterbox). A value set by the user wins.
    setenv("SDL12COMPAT_OPENGL_SCALING", "0", 0);
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
    int w = WIDTH, h = HEIGHT;
    if (fullscreen) {
        flags |= SDL_FULLSCREEN;
        // Before the first SDL_SetVideoMode, the desktop's mode.
        const SDL_VideoInfo* desktop = SDL_GetVideoInfo();
        if (desktop && desktop->current_w > 0 && desktop->current_h > 0) {
            w = desktop->current_w;
            h = desktop->current_h;
        }
    }
    const SDL_Surface* surface = SDL_SetVideoMode(w, h, 32, flags);
    if (!surface) {
        std::printf("Unable to set video mode: %s\n", SDL_GetError());
        return false;
    }
    if (fullscreen) {
        // The projection stays the field's 800 x 600; the viewport (rows from the
        // bottom) scales it into the frame.
        s_frame = letterbox(surface->w, surface->h);
        s_fullscreen = true;
        glViewport(s_frame.x, surface->h - s_frame.y - s_frame.h, s_frame.w, s_frame.h);
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
