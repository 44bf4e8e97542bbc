// One rectangle of the ground layer drawn again, as if the ground and every mark were drawn
// again whole, without touching a pixel outside it. The engine has no clip rectangle, so the
// rectangle is drawn in a scratch picture (the ground under it, copied from a picture of the
// ground alone, then every mark that crosses it, in drawing order) and copied onto the layer
// pixel for pixel (the engine shows a target's picture so). Marks
// that do not cross the rectangle touch none of its pixels, so leaving them out changes nothing
// there.
#pragma once

#include "engine/hge.h"
#include "render2d/hgerect.h"
#include "world/blood_gore.h"

constexpr int kGroundLayerWidth = 800;
constexpr int kGroundLayerHeight = 600;

// Whether the mark of that drawing order shows and its bounds overlap `box`.
bool MarkCrosses(int order, const hgeRect& box);
// Makes the pictures of the ground and the scratch, and the sprites that copy parts of them.
void OpenGroundPatch();
// Frees them.
void CloseGroundPatch();
// Draws the ground's picture whole, as the layer's ground is drawn whenever the layer is drawn
// whole: a part of the image, scaled by the software renderer, takes other texels than the
// whole (its steps start from the part's corner), but a part of a picture is copied pixel for
// pixel. Outside any scene; false when its scene could not begin.
bool DrawGroundPicture();
// Whether there is a scratch picture to patch from.
bool GroundPatchReady();
// The parts of the layer to draw again in one patch: at most two for each piece of news (where
// a new mark lies, where the mark it replaced lay).
struct GroundParts {
    static constexpr int kMost = 2 * MarkNews::kNewest;
    hgeRect parts[kMost] = {};
    int count = 0;
    // Keeps `changed` grown out to whole units and cut to the layer, unless none of it is on it.
    void Add(const hgeRect& changed);
};
// Draws the parts again on `layer`. Every mark that crosses any part is drawn into the scratch
// picture once, over one ground: a mark that crosses only one part touches no pixel of another,
// so each part comes out right. Outside any scene; false when a scene could not begin, and then
// the layer may be left half done.
bool PatchGroundLayer(HTARGET layer, const GroundParts& parts);
