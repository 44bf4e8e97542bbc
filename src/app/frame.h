// The per-frame update.
#pragma once

struct SpawnPoint {
    float x;
    float y;
};

// Corners numbered 1 top left, 2 bottom right, 3 bottom left, 4 top right; spawnPoints[0] is
// corner 1.
extern int spawnCorner;
extern SpawnPoint spawnPoints[4];
extern int pressedKey;

// The engine's frame callback; true ends the program.
bool FrameFunc();
