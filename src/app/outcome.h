// What a replay checks the game by: the numbers a player reads on the HUD and a digest of the
// rest of the game's state, which any change in a rule changes.
#pragma once

#include "engine/replay/replay_file.h"

// The game's outcome now: score, kills, level, health, the reserve and the clip in hand, and a
// digest of every active object's place (the soldier, bullets, zombies with their health,
// pickups, marks), the weapon, the speed of the level, the state of the end screens and the
// game's timers and cursors.
void ProbeOutcome(replay::Outcome* outcome);
