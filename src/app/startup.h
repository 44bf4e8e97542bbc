// The entry of the program: obtains the engine, sets it up, creates the game and runs the loop.
#pragma once

// Runs the whole program; returns the exit status (always 0).
int RunGame();
