#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <functional>
#include <numbers>
#include <tuple>
#include <vector>

#include "render2d/hgesprite.h"
#include "support/scripted_engine.h"

namespace {

using Floats = std::vector<float>;

// The quad's corners, clockwise from the top left, as x, y pairs, or with `tex` its texture
// coordinates.
Floats Corners(const hgeQuad& q, bool tex = false) {
    Floats out;
    for (const hgeVertex& v : q.v) {
        out.push_back(tex ? v.tx : v.x);
        out.push_back(tex ? v.ty : v.y);
    }
    return out;
}

class SpriteTest : public ::testing::Test {
  protected:
    HTEXTURE Texture(const char* path, int w, int h) {
        engine.textureSizes[path] = {w, h};
        return engine.Texture_Load(path, 0, false);
    }

    test::ScriptedEngine engine;
};

// A 20 x 10 rectangle cut from the middle of a 40 x 20 texture, held at its centre and drawn at
// (100, 100) in every way there is.
TEST_F(SpriteTest, EachDrawIsOneQuadAboutTheHotSpot) {
    const HTEXTURE tex = Texture("gfx/sheet.png", 40, 20);
    hgeSprite s(tex, 10.0f, 5.0f, 20.0f, 10.0f);
    s.SetHotSpot(10.0f, 5.0f);
    const float turn = std::numbers::pi_v<float> / 2;  // clockwise: the top edge points down
    struct Case {
        std::function<void()> draw;
        Floats want;
    };
    const Case cases[] = {
        {[&] { s.Render(100, 100); }, {90, 95, 110, 95, 110, 105, 90, 105}},
        {[&] { s.RenderEx(100, 100, 0, 3); }, {70, 85, 130, 85, 130, 115, 70, 115}},
        {[&] { s.RenderEx(100, 100, 0, 2, 4); }, {80, 80, 120, 80, 120, 120, 80, 120}},
        {[&] { s.RenderEx(100, 100, turn); }, {105, 90, 105, 110, 95, 110, 95, 90}},
        {[&] { s.RenderStretch(5, 6, 50, 70); }, {5, 6, 50, 6, 50, 70, 5, 70}},
        {[&] { s.Render4V(1, 2, 3, 4, 5, 6, 7, 8); }, {1, 2, 3, 4, 5, 6, 7, 8}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        engine.ClearRecords();
        c.draw();
        const auto quads = engine.Quads();
        ASSERT_EQ(quads.size(), 1u);
        EXPECT_EQ(Corners(quads[0]), c.want);
        EXPECT_EQ(Corners(quads[0], true), (Floats{.25, .25, .75, .25, .75, .75, .25, .75}));
        EXPECT_EQ(std::tie(quads[0].tex, quads[0].blend), std::make_tuple(tex, BLEND_DEFAULT));
    }
}

// A corner index past the four is ignored: nothing beside the quad, nor in it, changes.
TEST_F(SpriteTest, ColourAndDepthGoToOneCornerOrAllAndNoFurther) {
    const int base = engine.refCount;
    hgeSprite sprite(0, 0.0f, 0.0f, 8.0f, 8.0f);
    sprite.SetColor(0x80FF0000, 2);
    sprite.SetZ(0.25f, 1);
    sprite.SetBlendMode(BLEND_COLORADD);
    const hgeQuad& q = sprite.GetQuad();
    EXPECT_EQ((std::vector<std::uint32_t>{q.v[0].col, q.v[1].col, q.v[2].col, q.v[3].col}),
              (std::vector<std::uint32_t>{0xFFFFFFFF, 0xFFFFFFFF, 0x80FF0000, 0xFFFFFFFF}));
    EXPECT_EQ((Floats{q.v[0].z, q.v[1].z, q.v[2].z, q.v[3].z}), (Floats{0.5f, 0.25f, 0.5f, 0.5f}));
    EXPECT_EQ(q.blend, BLEND_COLORADD);

    const hgeSprite before(sprite);
    EXPECT_EQ(engine.refCount, base + 2) << "a copy holds an engine reference of its own";
    sprite.SetColor(0xDEADBEEF, 4);
    sprite.SetZ(0.75f, -2);
    sprite.SetZ(0.75f, 1000000);
    // Byte for byte: the quad and every field after it up to the flips, all four-byte values.
    EXPECT_EQ(std::memcmp(&sprite, &before, offsetof(hgeSprite, flipX)), 0);
}

// The library paths the game leaves alone, one case each: flips, texture changes, bounding boxes.
// Flips mirror the texels and survive texture changes; the hot spot mirrors only across the
// flips already held.
TEST_F(SpriteTest, FlipsMirrorTheTexelsAndSurviveTextureChanges) {
    hgeSprite sprite(Texture("gfx/small.png", 64, 64), 16.0f, 32.0f, 16.0f, 16.0f);
    sprite.SetHotSpot(10.0f, 5.0f);
    sprite.SetFlip(true, true, false);
    EXPECT_EQ(Corners(sprite.GetQuad(), true), (Floats{.5, .75, .25, .75, .25, .5, .5, .5}));
    sprite.SetFlip(true, true, true);
    EXPECT_EQ((Floats{sprite.hotX, sprite.hotY}), (Floats{6, 11}));
    sprite.SetFlip(true, false, false);
    EXPECT_EQ(Corners(sprite.GetQuad(), true), (Floats{.5, .5, .25, .5, .25, .75, .5, .75}));
    EXPECT_EQ((Floats{sprite.hotX, sprite.hotY}), (Floats{10, 5}));
    const HTEXTURE big = Texture("gfx/big.png", 128, 256);
    sprite.SetTexture(big);
    EXPECT_EQ(Corners(sprite.GetQuad(), true),
              (Floats{.25, .125, .125, .125, .125, .1875, .25, .1875}));
    sprite.SetTexture(0);  // no texture: coordinates in texels
    EXPECT_EQ(Corners(sprite.GetQuad(), true), (Floats{32, 32, 16, 32, 16, 48, 32, 48}));
    sprite.SetTextureRect(100.0f, 200.0f, 20.0f, 10.0f, false);
    EXPECT_EQ(Corners(sprite.GetQuad(), true), (Floats{120, 200, 100, 200, 100, 210, 120, 210}));
    EXPECT_EQ(sprite.GetWidth(), 16.0f);
}

// A box owns its left and top edges only, and boxes that share an edge do not overlap.
TEST_F(SpriteTest, BoundingBoxHoldsTheTurnedCorners) {
    hgeSprite sprite(0, 0.0f, 0.0f, 40.0f, 20.0f);
    sprite.SetHotSpot(20.0f, 10.0f);
    hgeRect box(-1000.0f, -1000.0f, 1000.0f, 1000.0f);
    sprite.GetBoundingBoxEx(100.0f, 50.0f, std::numbers::pi_v<float> / 2, 1.0f, 1.0f, &box);
    EXPECT_EQ((Floats{box.x1, box.y1, box.x2, box.y2}), (Floats{90, 30, 110, 70}));
    EXPECT_TRUE(box.TestPoint(90.0f, 30.0f));
    EXPECT_FALSE(box.TestPoint(110.0f, 50.0f));
    EXPECT_FALSE(box.TestPoint(100.0f, 70.0f));
    const hgeRect beside(110.0f, 30.0f, 120.0f, 70.0f);
    const hgeRect within(95.0f, 35.0f, 96.0f, 36.0f);
    EXPECT_FALSE(box.Intersect(&beside));
    EXPECT_TRUE(box.Intersect(&within));
}

}  // namespace
