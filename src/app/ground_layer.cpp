#include "app/ground_layer.h"

#include "render2d/hgerect.h"
#include "render2d/hgesprite.h"
#include "world/assets.h"
#include "world/blood_gore.h"
#include "world/shared_state.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;

HTARGET target = 0;
hgeSprite* picture = nullptr;
// The picture does not show what lies on the ground: never drawn yet, lost, or its scene failed.
bool stale = true;

// The mark's quad's bounds with a unit to spare on each side, so that rounding never lets a
// pixel the quad touches fall outside.
hgeRect BoundsOf(const GroundPlacement& mark) {
    hgeRect box;
    for (const auto& corner : mark.corners) {
        box.Encapsulate(corner[0], corner[1]);
    }
    return {box.x1 - 1.0f, box.y1 - 1.0f, box.x2 + 1.0f, box.y2 + 1.0f};
}

// Whether drawing the new marks over the picture gives what drawing everything in order gives:
// no mark that comes later in drawing order, new or old, lies on any of them.
bool NewMarksOnTop(const MarkNews& news) {
    for (int i = 0; i < news.count; ++i) {
        const hgeRect box = BoundsOf(*MarkInOrder(news.orders[i]));
        for (int later = news.orders[i] + 1; later < kMarkCount; ++later) {
            const GroundPlacement& mark = *MarkInOrder(later);
            if (!mark.IsActive()) {
                continue;
            }
            const hgeRect bounds = BoundsOf(mark);
            if (box.Intersect(&bounds)) {
                return false;
            }
        }
    }
    return true;
}

void DrawGroundAndMarks() {
    backgroundSprite->Render(0.0f, 0.0f);
    DrawGroundMarks();
}

}  // namespace

void OpenGroundLayer() {
    target = engine->Target_Create(kWidth, kHeight, false);
    const HTEXTURE texture = engine->Target_GetTexture(target);
    if (texture != 0) {
        picture = new hgeSprite(texture, 0.0f, 0.0f, kWidth, kHeight);
    } else if (target != 0) {
        engine->Target_Free(target);
        target = 0;
    }
    stale = true;
}

void CloseGroundLayer() {
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
    // A mark that covered another, or one that lies under a later mark, changes pixels that
    // later marks were drawn over: only drawing everything again in order gives them back.
    const bool whole =
        stale || news.reused || news.count > MarkNews::kNewest || !NewMarksOnTop(news);
    if (whole) {
        DrawGroundAndMarks();
    } else {
        for (int i = 0; i < news.count; ++i) {
            DrawMarkInOrder(news.orders[i]);
        }
    }
    engine->Gfx_EndScene();
    stale = false;
}

void DrawGroundLayer() {
    if (target != 0 && !stale && !MarkNewsWaiting()) {
        picture->Render(0.0f, 0.0f);
    } else {
        DrawGroundAndMarks();
    }
}
