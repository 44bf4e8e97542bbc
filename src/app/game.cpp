#include "game.h"

HGE* engine = nullptr;
float deltaTime = 0.0f;
float moveSpeed = 100.0f;
int score = 0;
int kills = 0;
int level = 1;
bool levelUpShown = false;
bool soldierDead = false;
Crosshair* crosshair = nullptr;
Soldier* soldier = nullptr;
WeaponBar* weaponBar = nullptr;
