#include "app/ground_patch.h"

#include <algorithm>
#include <cmath>

#include "render2d/hgesprite.h"
#include "render2d/quad_run.h"
#include "world/assets.h"
#include "world/blood_gore.h"
#include "world/shared_state.h"

namespace {

// Two pictures of the layer's size: the ground alone, drawn whole as the layer draws it, and
// the scratch the parts are drawn in; each with a sprite that shows a part of it.
struct Picture {
    HTARGET target = 0;
    hgeSprite* part = nullptr;
};
Picture ground;
Picture scratch;

// The rectangle grown out to whole units, so that its edges fall between pixels at the
// picture's own size, and cut to the layer; clean when nothing of it is on the layer.
hgeRect OnLayer(const hgeRect& r) {
    const float x1 = std::max(0.0f, std::floor(r.x1));
    const float y1 = std::max(0.0f, std::floor(r.y1));
    const float x2 = std::min(static_cast<float>(kGroundLayerWidth), std::ceil(r.x2));
    const float y2 = std::min(static_cast<float>(kGroundLayerHeight), std::ceil(r.y2));
    if (r.clean || x1 >= x2 || y1 >= y2) {
        return {};
    }
    return {x1, y1, x2, y2};
}

bool CrossesAny(int order, const GroundParts& parts) {
    for (int i = 0; i < parts.count; ++i) {
        if (MarkCrosses(order, parts.parts[i])) {
            return true;
        }
    }
    return false;
}

void DrawMarksCrossing(const GroundParts& parts) {
    QuadRun batch(engine);
    for (int order = 0; order < kMarkCount; ++order) {
        if (CrossesAny(order, parts)) {
            DrawMarkInOrder(order, batch);
        }
    }
}

// The picture's texels under `part`, drawn there: each pixel takes its own.
void CopyPart(const Picture& from, const hgeRect& part) {
    from.part->SetTextureRect(part.x1, part.y1, part.x2 - part.x1, part.y2 - part.y1);
    from.part->Render(part.x1, part.y1);
}

bool Open(Picture* picture) {
    picture->target = engine->Target_Create(kGroundLayerWidth, kGroundLayerHeight, false);
    const HTEXTURE texture = engine->Target_GetTexture(picture->target);
    if (texture != 0) {
        picture->part = new hgeSprite(texture, 0.0f, 0.0f, kGroundLayerWidth, kGroundLayerHeight);
    }
    return texture != 0;
}

void Close(Picture* picture) {
    delete picture->part;
    picture->part = nullptr;
    if (picture->target != 0) {
        engine->Target_Free(picture->target);
        picture->target = 0;
    }
}

// In the scratch: the ground under each part, then every mark that crosses one.
bool DrawParts(const GroundParts& parts) {
    if (!engine->Gfx_BeginScene(scratch.target)) {
        return false;
    }
    for (int i = 0; i < parts.count; ++i) {
        CopyPart(ground, parts.parts[i]);
    }
    DrawMarksCrossing(parts);
    engine->Gfx_EndScene();
    return true;
}

}  // namespace

bool MarkCrosses(int order, const hgeRect& box) {
    const GroundPlacement& mark = *MarkInOrder(order);
    if (!mark.IsActive()) {
        return false;
    }
    const hgeRect bounds = mark.Bounds();
    return box.Intersect(&bounds);
}

void OpenGroundPatch() {
    if (!Open(&ground) || !Open(&scratch)) {
        CloseGroundPatch();
    }
}

void CloseGroundPatch() {
    Close(&ground);
    Close(&scratch);
}

bool GroundPatchReady() {
    return scratch.part != nullptr;
}

bool DrawGroundPicture() {
    if (!GroundPatchReady()) {
        return true;
    }
    if (!engine->Gfx_BeginScene(ground.target)) {
        return false;
    }
    backgroundSprite->Render(0.0f, 0.0f);
    engine->Gfx_EndScene();
    return true;
}

void GroundParts::Add(const hgeRect& changed) {
    const hgeRect part = OnLayer(changed);
    if (!part.clean && count < kMost) {
        parts[count++] = part;
    }
}

bool PatchGroundLayer(HTARGET layer, const GroundParts& parts) {
    if (parts.count == 0) {
        return true;
    }
    if (!DrawParts(parts) || !engine->Gfx_BeginScene(layer)) {
        return false;
    }
    for (int i = 0; i < parts.count; ++i) {
        CopyPart(scratch, parts.parts[i]);
    }
    engine->Gfx_EndScene();
    return true;
}
