// The entry of the game: obtains the engine, sets it up, creates the game and runs the loop.
#pragma once

// The exit status when the engine could not start (no display, say), besides the game's own 0.
constexpr int kExitCannotStart = 1;

// Runs the whole game on the engine hgeCreate hands out; returns the exit status: 0 once the game
// has been played and ended, kExitCannotStart when the engine could not start.
int RunGame();
