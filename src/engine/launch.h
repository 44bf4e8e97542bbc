// What the player chose when starting the program that the engine, not the game, acts on. The
// program's entry fills it in from the command line before the game creates its engine; the game
// itself never reads it, so with no arguments it is the game as always.
#pragma once

enum class WindowChoice {
    kAsAsked,     // what the game and ZS_WINDOWED ask for
    kWindowed,    // a window of the picture's size, whatever the game asks for
    kFullscreen,  // desktop fullscreen, even with ZS_WINDOWED=1
};

struct EngineLaunch {
    WindowChoice window = WindowChoice::kAsAsked;
};

// The one set of launch choices of the process.
inline EngineLaunch engineLaunch;
