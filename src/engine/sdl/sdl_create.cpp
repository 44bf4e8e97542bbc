// The engine the game gets. Kept apart from the rest of the engine so that a program may define
// hgeCreate itself and still link this library.
#include "engine/sdl/sdl_engine.h"

HGE* hgeCreate(int) {
    return SdlEngine::Acquire();
}
