// What touch controls need to know of a game's picture, which only the game can say. The program
// hands it to the platform's engine with the rest of its launch (launch.h); an engine without
// touch ignores it. Plain data: the engine learns where to tap, never why.
#pragma once

// A zone of the logical picture (the weapon's icon, say) where each tap presses the next of
// `keys` in turn, starting after the first (the game starts on it). A key of the list pressed any
// other way (the keyboard, a pad) moves the turn there too.
struct TouchKeyCycle {
    float left = 0.0f;
    float top = 0.0f;
    float right = 0.0f;
    float bottom = 0.0f;
    static constexpr int kMaxKeys = 4;
    int keys[kMaxKeys] = {};
    int count = 0;  // 0: no such zone
};

struct TouchLayout {
    TouchKeyCycle cycle;
};
