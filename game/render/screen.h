#pragma once
// The window and the playing field share one size: drawing coordinates are the
// pixels of an 800 x 600 window, origin at the bottom left, y up.
namespace screen {

constexpr int WIDTH = 800;
constexpr int HEIGHT = 600;

}  // namespace screen
