// The asset table: every file the game loads, what it is and which handle it fills. Loading walks
// it in order; the tests and tools that need the list of files read it from here too.
#pragma once

#include <span>

#include "engine/hge.h"

class hgeSprite;
class hgeFont;

enum class AssetKind { kImage, kEffect, kMusic, kFont };

struct Asset {
    const char* path;
    AssetKind kind;
    // Images: the sprite is this rectangle from the top-left corner of its image.
    float width = 0.0f;
    float height = 0.0f;
    // The handle the load fills: one of these, by kind (an image fills both of the first two).
    HTEXTURE* texture = nullptr;
    hgeSprite** sprite = nullptr;
    HEFFECT* effect = nullptr;
    HSTREAM* stream = nullptr;
    hgeFont** font = nullptr;
};

// Images, then sound effects, then the music, then the font, in the order they load.
std::span<const Asset> AssetTable();

// Called once, after the engine is initiated: every texture, then a sprite on each, then every
// effect, the music and the font. A file that fails to load leaves a 0 handle (the engine logs
// it) and the game goes on without it.
void LoadResources();
