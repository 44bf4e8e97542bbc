// Which engine hgeCreate hands out. The game, its sprites and its fonts each ask hgeCreate for
// their engine, so there is one answer per process: the program composes its engine where it reads
// its command line (the platform's own, a replay around it, a replay around the headless engine;
// the tests and benchmarks their own) and names the source of it here before the game starts.
#pragma once

#include "engine/hge.h"

// Gives one more reference to the program's engine each call.
using EngineSource = HGE* (*)();

void ChooseEngine(EngineSource source);
