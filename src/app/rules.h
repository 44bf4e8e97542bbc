// The rules of success: what a bullet does to a zombie, kills, score and levels.
#pragma once

class Bullet;

extern int hitSoundChoice;

// Tests the bullet against every zombie slot and resolves each hit; the bullet keeps being
// tested after it stops.
void ResolveBulletHits(Bullet& bullet);
// Run first in every render call.
void ApplyLevelRule();
