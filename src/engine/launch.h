// What the program tells the platform's engine when it creates it: the name it goes by and what
// the player chose on the command line. The engine knows no game; this is how the game's name
// reaches its window, its log lines and its folders. With no arguments the choice is kAsAsked, so
// the game is the game as always.
#pragma once

#include "engine/touch_layout.h"

enum class WindowChoice {
    kAsAsked,     // what the game and ZS_WINDOWED ask for
    kWindowed,    // a window of the picture's size, whatever the game asks for
    kFullscreen,  // desktop fullscreen, even with ZS_WINDOWED=1
};

struct EngineLaunch {
    const char* name = "";   // the program's name: log lines, its shared data folder
    const char* title = "";  // the window's title, a message box's
    WindowChoice window = WindowChoice::kAsAsked;
    TouchLayout touch;  // where the touch controls' zones lie on the picture
};
