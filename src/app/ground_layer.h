// The ground and the marks on it (blood, gore) kept as one picture in a render target. They
// never move once placed, so the picture changes only where a mark is placed, and is drawn again
// whole only when the engine loses the target (or many marks come at once); every other frame it
// is one opaque quad. A new mark on top of the others is drawn straight onto it; one under later
// marks, or one that took the slot of a mark still showing, has its part patched
// (app/ground_patch.h). An engine without render targets gets the ground and every mark drawn
// straight, every frame.
#pragma once

// Makes the target and the sprite that shows it; the picture is drawn at the first frame.
void OpenGroundLayer();
// Frees both.
void CloseGroundLayer();
// The engine's restore callback: the target's picture is gone, so it is drawn again before it
// is next shown. Always false.
bool GroundLayerLost();
// Brings the picture up to date with the marks placed since it was last drawn, when the engine
// begins its scene (not in a frame whose picture is not shown). Outside any scene.
void UpdateGroundLayer();
// Inside the screen's scene: the ground with its marks, from the picture when it is up to date.
void DrawGroundLayer();
