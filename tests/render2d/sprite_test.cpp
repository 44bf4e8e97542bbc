#include <gtest/gtest.h>

#include <numbers>
#include <vector>

#include "render2d/hgesprite.h"
#include "support/scripted_engine.h"

namespace {

struct Corner {
    float x, y;
};

void ExpectCorners(const hgeQuad& q, Corner c0, Corner c1, Corner c2, Corner c3) {
    const Corner want[4] = {c0, c1, c2, c3};
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(q.v[i].x, want[i].x, 1e-4) << "corner " << i;
        EXPECT_NEAR(q.v[i].y, want[i].y, 1e-4) << "corner " << i;
    }
}

void ExpectTexCoords(const hgeQuad& q, Corner c0, Corner c1, Corner c2, Corner c3) {
    const Corner want[4] = {c0, c1, c2, c3};
    for (int i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(q.v[i].tx, want[i].x) << "corner " << i;
        EXPECT_FLOAT_EQ(q.v[i].ty, want[i].y) << "corner " << i;
    }
}

class SpriteTest : public ::testing::Test {
  protected:
    HTEXTURE Texture(const char* path, int w, int h) {
        engine.textureSizes[path] = {w, h};
        return engine.Texture_Load(path, 0, false);
    }
    // The one quad the last draw handed to the engine.
    hgeQuad LastQuad() const {
        const auto quads = engine.Quads();
        EXPECT_FALSE(quads.empty());
        return quads.empty() ? hgeQuad{} : quads.back();
    }

    test::ScriptedEngine engine;
};

TEST_F(SpriteTest, NewSpriteCutsItsRectangleFromTheTexture) {
    const HTEXTURE tex = Texture("gfx/sheet.png", 128, 64);
    hgeSprite sprite(tex, 32.0f, 16.0f, 64.0f, 32.0f);
    sprite.Render(0.0f, 0.0f);
    const hgeQuad q = LastQuad();
    EXPECT_EQ(q.tex, tex);
    EXPECT_EQ(q.blend, BLEND_DEFAULT);
    ExpectTexCoords(q, {0.25f, 0.25f}, {0.75f, 0.25f}, {0.75f, 0.75f}, {0.25f, 0.75f});
    for (const hgeVertex& v : q.v) {
        EXPECT_EQ(v.col, 0xFFFFFFFFu);
        EXPECT_EQ(v.z, 0.5f);
    }
    ExpectCorners(q, {0, 0}, {64, 0}, {64, 32}, {0, 32});
}

TEST_F(SpriteTest, EachDrawIsOneQuad) {
    hgeSprite sprite(0, 0.0f, 0.0f, 8.0f, 8.0f);
    sprite.Render(1.0f, 1.0f);
    sprite.RenderEx(1.0f, 1.0f, 0.5f, 2.0f);
    sprite.RenderStretch(0.0f, 0.0f, 4.0f, 4.0f);
    sprite.Render4V(0, 0, 1, 0, 1, 1, 0, 1);
    EXPECT_EQ(engine.quadCount, 4);
}

TEST_F(SpriteTest, RenderPutsTheHotSpotOnThePoint) {
    hgeSprite sprite(0, 0.0f, 0.0f, 50.0f, 50.0f);
    sprite.SetHotSpot(25.0f, 25.0f);
    sprite.Render(100.0f, 100.0f);
    ExpectCorners(LastQuad(), {75, 75}, {125, 75}, {125, 125}, {75, 125});
    // Unturned and unscaled, RenderEx lands on the same corners.
    sprite.RenderEx(100.0f, 100.0f, 0.0f, 1.0f, 1.0f);
    ExpectCorners(LastQuad(), {75, 75}, {125, 75}, {125, 125}, {75, 125});
}

TEST_F(SpriteTest, PositiveAngleTurnsClockwiseOnScreen) {
    hgeSprite sprite(0, 0.0f, 0.0f, 20.0f, 10.0f);
    sprite.RenderEx(100.0f, 100.0f, std::numbers::pi_v<float> / 2);
    // The top edge, which pointed right, now points down; the left edge points left.
    ExpectCorners(LastQuad(), {100, 100}, {100, 120}, {90, 120}, {90, 100});
}

TEST_F(SpriteTest, RenderExScalesAboutTheHotSpot) {
    hgeSprite sprite(0, 0.0f, 0.0f, 20.0f, 20.0f);
    sprite.SetHotSpot(10.0f, 10.0f);
    sprite.RenderEx(100.0f, 100.0f, 0.0f, 3.0f);  // vscale 0: both axes take 3
    ExpectCorners(LastQuad(), {70, 70}, {130, 70}, {130, 130}, {70, 130});
    sprite.RenderEx(100.0f, 100.0f, 0.0f, 2.0f, 0.5f);
    ExpectCorners(LastQuad(), {80, 95}, {120, 95}, {120, 105}, {80, 105});
}

TEST_F(SpriteTest, StretchAndFreeCornersIgnoreTheHotSpot) {
    hgeSprite sprite(0, 0.0f, 0.0f, 20.0f, 20.0f);
    sprite.SetHotSpot(10.0f, 10.0f);
    sprite.RenderStretch(5.0f, 6.0f, 50.0f, 70.0f);
    ExpectCorners(LastQuad(), {5, 6}, {50, 6}, {50, 70}, {5, 70});
    sprite.Render4V(1, 2, 3, 4, 5, 6, 7, 8);
    ExpectCorners(LastQuad(), {1, 2}, {3, 4}, {5, 6}, {7, 8});
}

TEST_F(SpriteTest, BoundingBoxTakesVScaleAsGivenAndDrawsNothing) {
    hgeSprite sprite(0, 0.0f, 0.0f, 40.0f, 40.0f);
    sprite.SetHotSpot(20.0f, 20.0f);
    hgeRect box;
    EXPECT_EQ(sprite.GetBoundingBoxEx(100.0f, 50.0f, 0.0f, 1.0f, 0.0f, &box), &box);
    EXPECT_FLOAT_EQ(box.x1, 80.0f);
    EXPECT_FLOAT_EQ(box.x2, 120.0f);
    EXPECT_FLOAT_EQ(box.y1, 50.0f) << "vscale 0 is a flat box, not hscale";
    EXPECT_FLOAT_EQ(box.y2, 50.0f);

    sprite.GetBoundingBoxEx(100.0f, 50.0f, std::numbers::pi_v<float> / 2, 1.0f, 1.0f, &box);
    EXPECT_NEAR(box.x1, 80.0f, 1e-4);
    EXPECT_NEAR(box.x2, 120.0f, 1e-4);
    EXPECT_NEAR(box.y1, 30.0f, 1e-4);
    EXPECT_NEAR(box.y2, 70.0f, 1e-4);

    sprite.GetBoundingBoxEx(0.0f, 0.0f, std::numbers::pi_v<float> / 4, 1.0f, 1.0f, &box);
    EXPECT_NEAR(box.x2, 20.0f * std::numbers::sqrt2_v<float>, 1e-4) << "a turned square is wider";
    EXPECT_EQ(engine.quadCount, 0);
}

TEST_F(SpriteTest, HotSpotFlipFollowsTheFlipsAlreadyHeld) {
    hgeSprite sprite(0, 0.0f, 0.0f, 50.0f, 30.0f);
    sprite.SetHotSpot(10.0f, 0.0f);
    sprite.SetFlip(true, false, true);
    sprite.Render(0.0f, 0.0f);
    ExpectTexCoords(LastQuad(), {50, 0}, {0, 0}, {0, 30}, {50, 30});
    EXPECT_EQ(sprite.hotX, 10.0f) << "the left-right flip was new: the hot spot stays";
    sprite.SetFlip(true, false, true);
    EXPECT_EQ(sprite.hotX, 10.0f);
    EXPECT_TRUE(sprite.flipX);

    sprite.SetFlip(true, false, false);
    EXPECT_EQ(sprite.hotX, 40.0f);
    sprite.Render(0.0f, 0.0f);
    ExpectTexCoords(LastQuad(), {50, 0}, {0, 0}, {0, 30}, {50, 30});
    ExpectCorners(LastQuad(), {-40, 0}, {10, 0}, {10, 30}, {-40, 30});

    hgeSprite held(0, 0.0f, 0.0f, 50.0f, 30.0f);
    held.SetHotSpot(10.0f, 5.0f);
    held.SetFlip(true, true, false);
    held.SetFlip(true, true, true);  // both flips already held: the hot spot mirrors now
    EXPECT_EQ(held.hotX, 40.0f);
    EXPECT_EQ(held.hotY, 25.0f);
}

TEST_F(SpriteTest, FlipsUndoAndRepeatCleanly) {
    const HTEXTURE tex = Texture("gfx/sheet.png", 100, 100);
    hgeSprite sprite(tex, 10.0f, 20.0f, 30.0f, 40.0f);
    const hgeQuad start = sprite.GetQuad();
    sprite.SetFlip(true, true, false);
    ExpectTexCoords(sprite.GetQuad(), {0.4f, 0.6f}, {0.1f, 0.6f}, {0.1f, 0.2f}, {0.4f, 0.2f});
    sprite.SetFlip(true, true, false);
    ExpectTexCoords(sprite.GetQuad(), {0.4f, 0.6f}, {0.1f, 0.6f}, {0.1f, 0.2f}, {0.4f, 0.2f});
    sprite.SetFlip(false, false, false);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(sprite.GetQuad().v[i].tx, start.v[i].tx);
        EXPECT_EQ(sprite.GetQuad().v[i].ty, start.v[i].ty);
    }
}

TEST_F(SpriteTest, NewTextureRectKeepsFlipsHotSpotAndOptionallySize) {
    hgeSprite sprite(0, 0.0f, 0.0f, 50.0f, 30.0f);
    sprite.SetHotSpot(10.0f, 0.0f);
    sprite.SetFlip(true, false, true);
    sprite.SetTextureRect(100.0f, 200.0f, 20.0f, 10.0f, false);
    EXPECT_EQ(sprite.GetWidth(), 50.0f);
    EXPECT_EQ(sprite.GetHeight(), 30.0f);
    EXPECT_EQ(sprite.hotX, 10.0f);
    EXPECT_TRUE(sprite.flipX);
    sprite.Render(0.0f, 0.0f);
    const hgeQuad q = LastQuad();
    ExpectTexCoords(q, {120, 200}, {100, 200}, {100, 210}, {120, 210});
    ExpectCorners(q, {-10, 0}, {40, 0}, {40, 30}, {-10, 30});  // new texels, old size

    sprite.SetTextureRect(0.0f, 0.0f, 20.0f, 10.0f, true);
    EXPECT_EQ(sprite.GetWidth(), 20.0f);
    EXPECT_EQ(sprite.GetHeight(), 10.0f);
    EXPECT_EQ(sprite.texX, 0.0f);
}

TEST_F(SpriteTest, NewTextureKeepsTheSameTexels) {
    const HTEXTURE small = Texture("gfx/small.png", 64, 64);
    const HTEXTURE twin = Texture("gfx/twin.png", 64, 64);
    const HTEXTURE big = Texture("gfx/big.png", 128, 256);
    hgeSprite sprite(small, 16.0f, 32.0f, 16.0f, 16.0f);
    const hgeQuad before = sprite.GetQuad();
    sprite.SetTexture(twin);
    EXPECT_EQ(sprite.GetQuad().tex, twin);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(sprite.GetQuad().v[i].tx, before.v[i].tx);
        EXPECT_EQ(sprite.GetQuad().v[i].ty, before.v[i].ty);
    }
    sprite.SetFlip(true, false, false);
    sprite.SetTexture(big);
    ExpectTexCoords(sprite.GetQuad(), {0.25f, 0.125f}, {0.125f, 0.125f}, {0.125f, 0.1875f},
                    {0.25f, 0.1875f});
    sprite.SetTexture(0);
    EXPECT_EQ(sprite.GetQuad().tex, 0u);
    ExpectTexCoords(sprite.GetQuad(), {32, 32}, {16, 32}, {16, 48}, {32, 48});
}

TEST_F(SpriteTest, ColourDepthAndBlendReachTheQuad) {
    hgeSprite sprite(0, 0.0f, 0.0f, 8.0f, 8.0f);
    sprite.SetColor(0x80FF0000, 2);
    sprite.SetZ(0.25f, 1);
    sprite.SetBlendMode(BLEND_COLORADD);
    sprite.Render(0.0f, 0.0f);
    const hgeQuad q = LastQuad();
    EXPECT_EQ(q.v[0].col, 0xFFFFFFFFu);
    EXPECT_EQ(q.v[1].col, 0xFFFFFFFFu);
    EXPECT_EQ(q.v[2].col, 0x80FF0000u) << "bottom-right only";
    EXPECT_EQ(q.v[3].col, 0xFFFFFFFFu);
    EXPECT_EQ(q.v[1].z, 0.25f);
    EXPECT_EQ(q.v[0].z, 0.5f);
    EXPECT_EQ(q.blend, BLEND_COLORADD);
    sprite.SetColor(0x11223344);
    sprite.Render(0.0f, 0.0f);
    for (const hgeVertex& v : LastQuad().v) {
        EXPECT_EQ(v.col, 0x11223344u);
    }
    // A corner index past the four is ignored, not written beside the quad.
    const hgeSprite before(sprite);
    sprite.SetColor(0xDEADBEEF, 4);
    sprite.SetZ(0.75f, -2);
    sprite.SetZ(0.75f, 1000000);
    sprite.Render(0.0f, 0.0f);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(LastQuad().v[i].col, 0x11223344u);
        EXPECT_EQ(LastQuad().v[i].z, before.quad.v[i].z);
    }
    // Nothing beside the quad changed either.
    EXPECT_EQ(sprite.quad.tex, before.quad.tex);
    EXPECT_EQ(sprite.quad.blend, before.quad.blend);
    EXPECT_EQ((std::vector<float>{sprite.texX, sprite.texY, sprite.width, sprite.height,
                                  sprite.texWidth, sprite.texHeight, sprite.hotX, sprite.hotY}),
              (std::vector<float>{before.texX, before.texY, before.width, before.height,
                                  before.texWidth, before.texHeight, before.hotX, before.hotY}));
}

TEST_F(SpriteTest, EverySpriteHoldsOneEngineReference) {
    const int base = engine.refCount;
    {
        hgeSprite sprite(0, 0.0f, 0.0f, 10.0f, 10.0f);
        sprite.SetHotSpot(5.0f, 5.0f);
        sprite.SetColor(0xFF00FF00);
        hgeSprite copy(sprite);
        EXPECT_EQ(engine.refCount, base + 2);
        copy.SetHotSpot(0.0f, 0.0f);
        copy.Render(0.0f, 0.0f);
        sprite.Render(0.0f, 0.0f);
        const auto quads = engine.Quads();
        EXPECT_EQ(quads[0].v[0].x, 0.0f);
        EXPECT_EQ(quads[0].v[0].col, 0xFF00FF00u) << "the copy keeps the colour";
        EXPECT_EQ(quads[1].v[0].x, -5.0f) << "changing the copy leaves the original alone";
    }
    EXPECT_EQ(engine.refCount, base);
}

}  // namespace
