#include "app/game.h"

float deltaTime = 0.0f;
float moveSpeed = kStartMoveSpeed;
int score = 0;
int kills = 0;
bool levelUpShown = false;
bool soldierDead = false;
Crosshair* crosshair = nullptr;
Soldier* soldier = nullptr;
WeaponBar* weaponBar = nullptr;
