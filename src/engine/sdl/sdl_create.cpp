// The engine the game gets. Kept apart from the rest of the engine so that a program may define
// hgeCreate itself and still link this library. A replay checked with --verify runs on the
// headless engine; one recorded or watched, on this one; each inside the replay.
#include "engine/replay/headless_engine.h"
#include "engine/replay/replay_engine.h"
#include "engine/sdl/sdl_engine.h"

HGE* hgeCreate(int) {
    switch (ActiveReplay()) {
        case ReplayMode::kOff:
            return SdlEngine::Acquire();
        case ReplayMode::kVerify:
            return WrapForReplay(HeadlessEngine::Acquire());
        case ReplayMode::kRecord:
        case ReplayMode::kReplay:
            break;
    }
    return WrapForReplay(SdlEngine::Acquire());
}
