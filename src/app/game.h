// The program-wide game variables, created or set at start-up and never freed. The engine and
// the level, which the world objects read too, live in world/shared_state.h.
#pragma once

#include "world/shared_state.h"

class Soldier;
class Crosshair;
class WeaponBar;

constexpr float kStartMoveSpeed = 100.0f;

extern float deltaTime;
extern float moveSpeed;
extern int score;
extern int kills;
// The game state: playing while both are false; the level-up screen while levelUpShown is set
// (it wins over death); the death screen while only soldierDead is set.
extern bool levelUpShown;
extern bool soldierDead;
extern Crosshair* crosshair;
extern Soldier* soldier;
extern WeaponBar* weaponBar;
