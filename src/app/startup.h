// The entry of the program: obtains the engine, sets it up, creates the game and runs the loop.
#pragma once

// Runs the whole game; returns the exit status: 0 once the game has been played and ended,
// kExitCannotStart (command_line.h) when the engine could not start.
int RunGame();
