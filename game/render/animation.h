#pragma once
// A sequence of cached sprites, advanced by draw calls (not by time): it runs at
// the rate its owner draws it, and slows down when drawing is skipped.
#include <vector>

class Sprite;

class Animation {
public:
    Animation() = default;

    // Appends the cached sprite of `image`.
    void addFrame(const char* image);
    // Shows frame `f` from the next draw on and restarts its count; setFrame(0)
    // replays a play-once animation.
    void setFrame(int f);
    // Shows nothing until the next setFrame(0). Only for play-once animations:
    // a looping one would wrap back into its frames.
    void hide() { frame = HIDDEN; }
    // Counts this call, advances when the frame has been shown long enough and
    // draws the current frame (nothing once a play-once animation has ended).
    void draw();

    float x = 0.0f;               // centre, window pixels
    float y = 0.0f;
    float scale = 1.0f;           // both axes
    std::vector<Sprite*> frames;  // owned by the sprite cache
    int step = 0;                 // a frame lasts step + 2 draws (the first after setFrame: step + 1)
    int istep = 0;                // draws counted in the current frame
    unsigned int frame = 0;       // index of the frame shown; past the end shows nothing
    bool once = false;            // true: play once then vanish; false: loop

    static constexpr unsigned int HIDDEN = 10;  // past the last frame of every animation the game makes
};
