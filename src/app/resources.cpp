#include "app/resources.h"

#include "render2d/hgefont.h"
#include "render2d/hgesprite.h"
#include "world/shared_state.h"

void LoadResources() {
    // Every texture first, then the sprites cut from them.
    for (const Asset& asset : AssetTable()) {
        if (asset.kind == AssetKind::kImage) {
            *asset.texture = engine->Texture_Load(asset.path, 0, false);
        }
    }
    for (const Asset& asset : AssetTable()) {
        switch (asset.kind) {
            case AssetKind::kImage:
                *asset.sprite =
                    new hgeSprite(*asset.texture, 0.0f, 0.0f, asset.width, asset.height);
                break;
            case AssetKind::kEffect:
                *asset.effect = engine->Effect_Load(asset.path, 0);
                break;
            case AssetKind::kMusic:
                *asset.stream = engine->Stream_Load(asset.path, 0);
                break;
            case AssetKind::kFont:
                *asset.font = new hgeFont(asset.path, false);
                break;
        }
    }
}
