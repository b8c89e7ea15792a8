#pragma once
// The engine's constants are in its own units, sized for bodies a unit or so
// across; the game measures in pixels. Every program that builds a Level (the
// game, the level tools, the fuzz target, the tests) or the menu's icon world
// goes through useGameScale(), so all of them simulate the same game.
//
// Not read from any file: a level cannot change how the game's physics behaves.

// Slowest approach, pixels per second, that bounces. Under the levels' gravity
// of 300 px/s^2 every resting contact gathers 300 / 60 = 5 px/s of approach per
// update; with the engine's 0.2 that approach counted as an impact, so every
// resting crate was thrown back at restitution x 5 px/s each update, piles crept
// apart and nothing fell asleep. Twice the per-update gain (10 px/s) keeps every
// resting contact inelastic; an impact that slow is a drop of under 0.2 px, so
// no visible bounce is lost. The menu's icons fall at 100 px/s^2 (1.7 px/s per
// update) and need no more than this.
const float GAME_RESTITUTION_THRESHOLD = 10.0f;

// Sets the engine's switches for the game's scale. Idempotent; cheap.
void useGameScale();
