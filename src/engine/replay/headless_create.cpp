// The engine of zombie-shooter-verify, which has no other: a replay checked headless.
#include "engine/replay/headless_engine.h"
#include "engine/replay/replay_engine.h"

HGE* hgeCreate(int) {
    return WrapForReplay(HeadlessEngine::Acquire());
}
