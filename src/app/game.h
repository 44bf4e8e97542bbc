// The program-wide game variables, created or set at start-up and never freed.
#pragma once

#include "hge.h"

class Soldier;
class Crosshair;
class WeaponBar;

extern HGE* engine;
extern float deltaTime;
extern float moveSpeed;
extern int score;
extern int kills;
extern int level;
// The game state: playing while both are false; the level-up screen while levelUpShown is set
// (it wins over death); the death screen while only soldierDead is set.
extern bool levelUpShown;
extern bool soldierDead;
extern Crosshair* crosshair;
extern Soldier* soldier;
extern WeaponBar* weaponBar;
