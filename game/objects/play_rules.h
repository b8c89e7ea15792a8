#pragma once
// The rules of play of one level, the same for the play state, the editor's test
// mode and the level tools' replays, so that a replay plays exactly as a player:
//
//   update():   the level steps once, told the updates counted before this one,
//               then the count goes up;
//   won():      after an update, the level's conditions have held for more than
//               its length;
//   click():    one explosion of BLAST_POWER at the pointer, counted. The caller
//               turns a press of the button into one click;
//   restart():  the level as loaded, the count and the explosions back to 0.
//
// Units: world units are pixels of the 800 x 600 field; time counts updates.
class Level;

class PlayRules {
public:
    static constexpr float BLAST_POWER = 10000.0f;  // a click's explosion
    static constexpr int TICK_REACH_SQUARED = 399;  // a click closer than 20 pixels to the tick mark hits it

    explicit PlayRules(Level& level) : m_level(&level) {}

    void update();
    bool won() const;
    void click(float x, float y);
    void restart();
    // Whether a click at (x, y) would hit the tick mark of a won level.
    bool onTickMark(float x, float y) const;

    int time = 0;        // updates since the level was loaded or restarted
    int explosions = 0;  // clicks since the level was loaded or restarted

private:
    Level* m_level;  // never null; a pointer so that rules for a reloaded level can be assigned
};
