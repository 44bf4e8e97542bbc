// What every part of the game shares: the engine it runs on and the level being played. Both
// live here, below the application, so the world objects reach them without knowing the layer
// that starts the game; the application sets them.
#pragma once

#include "engine/hge.h"

extern HGE* engine;

// Starts at 1 and only ever grows: zombies chase and enter faster at each level.
constexpr int kStartLevel = 1;
extern int level;
