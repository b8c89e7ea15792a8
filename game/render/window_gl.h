#pragma once
// The game's window: 800 x 600 (or full screen) with an OpenGL context and the
// fixed drawing state every sprite relies on: window pixels, origin at the bottom
// left, y up; 2D textures and alpha blending on for the whole run.
namespace window {

constexpr int WIDTH = 800;   // pixels; also the extent of the projection
constexpr int HEIGHT = 600;

// Starts SDL's video, opens the window captioned `caption` and sets the OpenGL
// state. On failure prints "Unable to initialize SDL: ..." or "Unable to set video
// mode: ..." on standard output and returns false. SDL_Quit runs at exit.
bool open(const char* caption, bool fullscreen);

// A new texture name, bound to GL_TEXTURE_2D, with the sampling every sprite
// uses: linear filtering, edges clamped. The caller uploads the pixels.
unsigned int newSpriteTexture();

}  // namespace window
