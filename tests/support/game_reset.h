// Frees everything a start-up created and puts every program-wide variable back to its initial
// value, so the start-up can run again in the same process (tests, benchmarks).
#pragma once

namespace test {

// Deletes every pool object, game object, sprite and the font a start-up created, and puts every
// program-wide variable back to its initial value. Call it while the engine the game was started
// on still exists (sprites and the font give their engine reference back).
void FreeGame();

}  // namespace test
