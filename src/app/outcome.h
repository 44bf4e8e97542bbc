// What a replay checks the game by, and how it speaks of it: the numbers a player reads on the HUD
// and a digest of the rest of the game's state, which any change in a rule changes.
#pragma once

#include "engine/replay/replay_engine.h"

// The game as the replay knows it: the keys it reads, the outcome's fields and their names, and
// what is said when only a digest differs. `name` and `version` are the program's.
replay::GameDescription ReplayedGame(const char* name, const char* version);

// The game's outcome now: score, kills, level, health, the reserve and the clip in hand, and a
// digest of every active object's place (the soldier, bullets, zombies with their health,
// pickups, marks), the weapon, the speed of the level, the state of the end screens and the
// game's timers and cursors.
void ProbeOutcome(replay::Outcome* outcome);
