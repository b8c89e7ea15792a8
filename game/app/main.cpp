// Program entry and main loop: one 800 x 600 OpenGL window, at most one update
// per 17 ms, drawing thinned by adaptive frame skipping. All game behaviour lives
// in the states.
#include <GL/gl.h>
#include <SDL.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "game/app/input_sdl.h"
#include "game/app/pacing.h"
#include "game/app/places.h"
#include "game/app/splash.h"
#include "game/app/statemanager.h"
#include "game/render/spritemanager.h"
#include "game/render/window_gl.h"

namespace {

// Pause between timer polls in the last milliseconds before an update.
constexpr auto POLL_NAP = std::chrono::microseconds(200);

// When BOXQUAKE_PACING_LOG names a file, the timer value of every update is
// written there at exit, one per line (for the pacing measurement in bench/).
struct PacingLog {
    const char* path = std::getenv("BOXQUAKE_PACING_LOG");
    std::vector<Uint32> ticks;

    void add(Uint32 t) {
        if (path) ticks.push_back(t);
    }
    void write() const {
        if (!path) return;
        if (FILE* f = std::fopen(path, "w")) {
            for (Uint32 t : ticks) std::fprintf(f, "%u\n", static_cast<unsigned>(t));
            std::fclose(f);
        }
    }
};

// Draws and shows one invisible textured, blended quad. The first draw and the
// first buffer swap are slow (software OpenGL compiles its pipeline, the window
// system sets up presenting): up to most of a second under a virtual display.
// Paying that before the clock starts keeps the stall out of the splash's
// one-second fade-in, which would otherwise be mostly skipped.
void warmUpDrawing() {
    window::DisplayCall call;
    // Set up as sprites are (Sprite::createTexture): the pipeline is compiled per state.
    const unsigned char texels[3 * 3 * 4] = {};
    GLuint tex = window::newSpriteTexture();
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 3, 3, 0, GL_BGRA, GL_UNSIGNED_BYTE, texels);
    glBegin(GL_QUADS);
    glColor4f(1, 1, 1, 0);
    glTexCoord2f(0, 0);
    glVertex2f(0, 1);
    glTexCoord2f(1, 0);
    glVertex2f(1, 1);
    glTexCoord2f(1, 1);
    glVertex2f(1, 0);
    glTexCoord2f(0, 1);
    glVertex2f(0, 0);
    glEnd();
    window::swapBuffers();
    glDeleteTextures(1, &tex);
    glClear(GL_COLOR_BUFFER_BIT);
}

// Waits until an update is due after `lastTicks` and returns the timer then.
Uint32 waitForUpdate(Uint32 lastTicks) {
    Uint32 ticks = SDL_GetTicks();
    while (!pacing::updateDue(ticks, lastTicks)) {
        Uint32 ms = pacing::coarseSleep(ticks, lastTicks);
        if (ms > 0) {
            SDL_Delay(ms);
        } else {
            std::this_thread::sleep_for(POLL_NAP);
        }
        ticks = SDL_GetTicks();
    }
    return ticks;
}

}  // namespace

// SDL's header renames this to SDL_main on the platforms whose entry point is
// SDL's own shim.
int main(int argc, char* argv[]) {
    (void)argv;
    // Messages are read by people and by test harnesses while the game runs.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);

    // Before the window: without its data the game has nothing to show.
    if (!places::settle()) return 1;

    const bool fullscreen = argc > 1;  // any argument at all
    // Without a window nothing could ever end the loop.
    if (!window::open("boxquake", fullscreen)) return 1;

    StateManager::change(new StateSplash);
    warmUpDrawing();

    const Uint32 startTicks = SDL_GetTicks();
    Uint32 lastTicks = startTicks;
    Uint32 ticks = startTicks;
    int numframes = 0;
    pacing::FrameSkip skip;
    PacingLog pacingLog;
    bool running = true;

    while (running) {
        SDL_Event event;
        while (window::pollEvent(&event)) {
            if (event.type == SDL_QUIT) running = false;  // this iteration still runs
            // Uncovered or restored: what the window showed may be gone.
            if (event.type == SDL_VIDEOEXPOSE || event.type == SDL_ACTIVEEVENT) window::invalidate();
            input::sdl::noteEvent(event);  // a click or tap over before the update still counts
        }
        ++numframes;
        ticks = waitForUpdate(lastTicks);
        lastTicks = ticks;
        pacingLog.add(ticks);

        // Absolute seconds since the clock started, never reset between states.
        float time = static_cast<float>(ticks - startTicks) / 1000.0f;
        StateManager::update(time);
        input::sdl::endUpdate();

        if (skip.skips(numframes)) continue;
        StateManager::draw();
        // A frame equal to the one on the screen is not rendered again: an idle
        // menu would otherwise repaint every pixel 59 times a second.
        window::endFrame();
        skip.drawn(numframes, ticks);
    }

    // Counts updates, drawn or not.
    std::printf("Average fps: %1.2f\n", numframes * 1000.0 / static_cast<double>(ticks - startTicks));
    pacingLog.write();
    if (StateManager::currentState != nullptr) StateManager::currentState->quitting();
    // Release the states and textures while the OpenGL context still exists.
    StateManager::reset();
    SpriteManager::clear();
    return 0;
}
