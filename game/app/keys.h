#pragma once
// The keys and buttons the states read, numbered as the SDL 1.2 API reports
// them: a printable key is its lower-case ASCII code.
namespace keys {

constexpr int RETURN = 13;
constexpr int ESCAPE = 27;
constexpr int DELETE = 127;
constexpr int LEFT_SHIFT = 304;
constexpr int DIGIT_1 = '1';  // '2', '3'... follow
constexpr int EDITOR = 'e';   // menu: open the level editor
constexpr int RESTART = 'r';  // play: restart the level
constexpr int SAVE = 's';     // editor: save the level
constexpr int SHOW_ME = 'h';  // play: show the stored solution

}  // namespace keys

// Mouse button mask, as State::mouse returns it.
namespace buttons {

constexpr int LEFT = 1;
constexpr int MIDDLE = 2;
constexpr int RIGHT = 4;

}  // namespace buttons
