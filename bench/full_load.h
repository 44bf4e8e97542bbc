// The full-load scene: every pool of the game full and active, set up through the game's own
// objects after its real start-up, and placed so that one frame changes nothing that matters:
// no bullet reaches a zombie, no zombie reaches the soldier, no pickup lies under him.
#pragma once

// Fills every pool and puts the soldier in the middle with full health. Cheap enough to run
// before every measured frame (outside the timing), which keeps each frame a full-load frame.
void FillFullLoad();
// A blood splat in the ring's next slot, somewhere new for each n: with the pools full it takes
// the place of the oldest.
void PlaceNewMark(int n);
// True while every pool is still full and active and the game still plays.
bool IsFullLoad();
