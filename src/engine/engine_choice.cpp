#include "engine/engine_choice.h"

#include <cstdio>
#include <cstdlib>

namespace {

EngineSource chosen = nullptr;

}  // namespace

void ChooseEngine(EngineSource source) {
    chosen = source;
}

HGE* hgeCreate(int) {
    if (chosen == nullptr) {
        // A program that forgot to choose would otherwise crash somewhere far from here.
        std::fputs("hgeCreate: no engine was chosen before the game started\n", stderr);
        std::abort();
    }
    return chosen();
}
