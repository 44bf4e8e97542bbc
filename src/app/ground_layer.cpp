#include "app/ground_layer.h"

#include "app/ground_patch.h"
#include "render2d/hgesprite.h"
#include "render2d/quad_run.h"
#include "world/assets.h"
#include "world/blood_gore.h"
#include "world/shared_state.h"

namespace {

HTARGET target = 0;
hgeSprite* picture = nullptr;
// The picture does not show what lies on the ground: never drawn yet, lost, or its scene failed.
bool stale = true;

// Whether drawing the mark over the picture gives what drawing everything in order gives: no
// mark that comes later in drawing order lies on it.
bool OnTop(int order) {
    const hgeRect box = MarkInOrder(order)->Bounds();
    for (int later = order + 1; later < kMarkCount; ++later) {
        if (MarkCrosses(later, box)) {
            return false;
        }
    }
    return true;
}

// A new mark that replaced nothing showing and lies under nothing later is drawn straight onto
// the picture; any other changes pixels that later marks were drawn over, so its part of the
// picture is drawn again.
bool NeedsPatch(const MarkNews& news, int i) {
    return !news.replaced[i].clean || !OnTop(news.orders[i]);
}

void DrawGroundAndMarks() {
    backgroundSprite->Render(0.0f, 0.0f);
    DrawGroundMarks();
}

// In the picture's scene: the ground and every mark again when `whole`, else the new marks
// that lie on top. Whatever was drawn over by a new mark under others is patched after.
void DrawNews(const MarkNews& news, bool whole) {
    if (whole) {
        DrawGroundAndMarks();
        return;
    }
    QuadRun batch(engine);
    for (int i = 0; i < news.count; ++i) {
        if (!NeedsPatch(news, i)) {
            DrawMarkInOrder(news.orders[i], batch);
        }
    }
}

// The parts of the picture the news changed under other marks: where each such new mark lies
// now and where the mark it replaced lay. False when a scene failed and the picture is
// incomplete.
bool PatchNews(const MarkNews& news) {
    GroundParts parts;
    for (int i = 0; i < news.count; ++i) {
        if (NeedsPatch(news, i)) {
            parts.Add(MarkInOrder(news.orders[i])->Bounds());
            parts.Add(news.replaced[i]);
        }
    }
    return PatchGroundLayer(target, parts);
}

}  // namespace

void OpenGroundLayer() {
    target = engine->Target_Create(kGroundLayerWidth, kGroundLayerHeight, false);
    const HTEXTURE texture = engine->Target_GetTexture(target);
    if (texture != 0) {
        picture = new hgeSprite(texture, 0.0f, 0.0f, kGroundLayerWidth, kGroundLayerHeight);
        OpenGroundPatch();
    } else if (target != 0) {
        engine->Target_Free(target);
        target = 0;
    }
    stale = true;
}

void CloseGroundLayer() {
    CloseGroundPatch();
    delete picture;
    picture = nullptr;
    if (target != 0) {
        engine->Target_Free(target);
        target = 0;
    }
    stale = true;
}

bool GroundLayerLost() {
    stale = true;
    return false;
}

void UpdateGroundLayer() {
    if (target == 0 || (!stale && !MarkNewsWaiting())) {
        return;
    }
    // The engine begins no scene in a frame whose picture it will not show: the news waits for
    // the next frame that shows one, so the picture is drawn at most once per shown picture.
    if (!engine->Gfx_BeginScene(target)) {
        return;
    }
    const MarkNews news = TakeMarkNews();
    // Without a scratch picture to patch from, a change under other marks is drawn whole.
    bool whole = stale || news.count > MarkNews::kNewest;
    for (int i = 0; i < news.count && !whole; ++i) {
        whole = !GroundPatchReady() && NeedsPatch(news, i);
    }
    DrawNews(news, whole);
    engine->Gfx_EndScene();
    stale = whole ? !DrawGroundPicture() : !PatchNews(news);
}

void DrawGroundLayer() {
    if (target != 0 && !stale && !MarkNewsWaiting()) {
        picture->Render(0.0f, 0.0f);
    } else {
        DrawGroundAndMarks();
    }
}
