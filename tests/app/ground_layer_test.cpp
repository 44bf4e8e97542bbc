// The ground layer on an engine with render targets: what goes into the layer's picture when a
// mark is placed. A new mark on top is drawn straight onto it; one under later marks, or one in a
// slot whose mark still showed, has its part drawn again (the ground and only the marks that
// cross it) in a scratch picture, which is copied onto the layer over that part alone.
#include <algorithm>
#include <string>
#include <vector>

#include "support/game_fixture.h"
#include "world/blood_gore.h"

namespace test {
namespace {

// What one scene into a render target drew.
struct TargetScene {
    HTARGET target;
    std::vector<std::string> files;
    std::vector<hgeQuad> quads;
};

// A quad's corners' box.
struct Box {
    float x1, y1, x2, y2;
};

Box BoxOf(const hgeQuad& quad) {
    Box box{quad.v[0].x, quad.v[0].y, quad.v[0].x, quad.v[0].y};
    for (const hgeVertex& v : quad.v) {
        box = {std::min(box.x1, v.x), std::min(box.y1, v.y), std::max(box.x2, v.x),
               std::max(box.y2, v.y)};
    }
    return box;
}

bool Covers(const Box& outer, const Box& inner) {
    return outer.x1 <= inner.x1 && outer.y1 <= inner.y1 && outer.x2 >= inner.x2 &&
           outer.y2 >= inner.y2;
}

class GroundLayer : public QuietGameTest {
  protected:
    void SetUp() override {
        engine.targets = true;
        QuietGameTest::SetUp();
    }

    // The scenes drawn into targets in the last frames played, in order.
    std::vector<TargetScene> TargetScenes() const {
        std::vector<TargetScene> scenes;
        for (const Event& e : engine.events) {
            if (e.kind == Event::BeginScene && e.target != 0) {
                scenes.push_back({e.target, {}, {}});
            } else if (e.kind == Event::Quad && e.target != 0) {
                scenes.back().files.push_back(engine.TexturePath(e.quad.tex));
                scenes.back().quads.push_back(e.quad);
            }
        }
        return scenes;
    }

    // The files of the quads drawn on the screen in the last frames played, in order.
    std::vector<std::string> ScreenFiles() const {
        std::vector<std::string> files;
        for (const Event& e : engine.events) {
            if (e.kind == Event::Quad && e.target == 0) {
                files.push_back(engine.TexturePath(e.quad.tex));
            }
        }
        return files;
    }

    // Plays a frame that draws the layer whole, then `place`, then one more frame, whose target
    // scenes it gives.
    template <typename Place>
    std::vector<TargetScene> AfterPlacing(Place place) {
        Play(Calm());
        place();
        PlayFresh(Calm());
        return TargetScenes();
    }

    // The layer drawn whole: the ground and every mark, then the ground's own picture, which
    // patches copy the ground from.
    static void ExpectWhole(const std::vector<TargetScene>& scenes,
                            const std::vector<std::string>& marks) {
        ASSERT_EQ(scenes.size(), 2u);
        std::vector<std::string> drawn{kGround};
        drawn.insert(drawn.end(), marks.begin(), marks.end());
        EXPECT_EQ(scenes[0].files, drawn);
        EXPECT_EQ(scenes[1].files, std::vector<std::string>{kGround});
        EXPECT_NE(scenes[1].target, scenes[0].target);
    }

    // A patch: the layer's own scene (the new marks on top), the scratch scene (the ground
    // under each part, copied from the ground's picture, then every mark that crosses a part)
    // and the copy of each part onto the layer, which covers the change cut to the layer and
    // little more.
    static void ExpectPatch(const std::vector<TargetScene>& scenes,
                            const std::vector<std::string>& marks,
                            const std::vector<Box>& changed) {
        ASSERT_EQ(scenes.size(), 3u) << "the layer's own, the scratch, the copies";
        const TargetScene& scratch = scenes[1];
        const TargetScene& copy = scenes[2];
        std::vector<std::string> drawn(changed.size(), "target");
        drawn.insert(drawn.end(), marks.begin(), marks.end());
        ASSERT_EQ(scratch.files, drawn);
        EXPECT_EQ(copy.target, scenes[0].target);
        ASSERT_EQ(copy.files, std::vector<std::string>(changed.size(), "target"));
        for (std::size_t i = 0; i < changed.size(); ++i) {
            const HTEXTURE ground = scratch.quads[i].tex;
            EXPECT_NE(ground, scratch.target);
            EXPECT_NE(ground, copy.target);
            ExpectCopy(scratch.quads[i], ground, changed[i]);
            ExpectCopy(copy.quads[i], scratch.target, changed[i]);
        }
    }
    static void ExpectCopy(const hgeQuad& copy, HTARGET scratch, const Box& changed) {
        EXPECT_EQ(copy.tex, scratch) << "the scratch picture, copied";
        const Box part = BoxOf(copy);
        for (const hgeVertex& v : copy.v) {
            EXPECT_FLOAT_EQ(v.tx * 800.0f, v.x) << "pixel for pixel";
            EXPECT_FLOAT_EQ(v.ty * 600.0f, v.y);
        }
        const Box onLayer{std::max(changed.x1, 0.0f), std::max(changed.y1, 0.0f),
                          std::min(changed.x2, 800.0f), std::min(changed.y2, 600.0f)};
        EXPECT_TRUE(Covers(part, onLayer))
            << part.x1 << "," << part.y1 << " " << part.x2 << "," << part.y2;
        EXPECT_TRUE(Covers({0.0f, 0.0f, 800.0f, 600.0f}, part)) << "cut to the layer";
        EXPECT_LE(part.x2 - part.x1, onLayer.x2 - onLayer.x1 + 4.0f) << "no more than the change";
        EXPECT_LE(part.y2 - part.y1, onLayer.y2 - onLayer.y1 + 4.0f);
    }
};

TEST_F(GroundLayer, IsDrawnWholeFirstAndShownAsOneQuad) {
    bloodSplats[0]->Activate(100.0f, 100.0f, 0.0f);
    gorePieces[0]->Activate(kArm, 300.0f, 100.0f, 0.0f);
    PlayFresh(Calm());
    ExpectWhole(TargetScenes(), {kBloodImage, kArmImage});
    const std::vector<std::string> screen = ScreenFiles();
    ASSERT_FALSE(screen.empty());
    EXPECT_EQ(screen.front(), "target") << "the screen shows the layer";
    EXPECT_EQ(std::count(screen.begin(), screen.end(), kGround), 0);
    EXPECT_EQ(std::count(screen.begin(), screen.end(), kBloodImage), 0);
}

TEST_F(GroundLayer, ANewMarkOnTopIsDrawnStraightOntoIt) {
    bloodSplats[0]->Activate(100.0f, 100.0f, 0.0f);
    const std::vector<TargetScene> scenes =
        AfterPlacing([] { bloodSplats[1]->Activate(120.0f, 100.0f, 0.3f); });
    ASSERT_EQ(scenes.size(), 1u);
    EXPECT_EQ(scenes[0].files, std::vector<std::string>{kBloodImage});
    const auto shown = std::find_if(engine.events.begin(), engine.events.end(), [](const Event& e) {
        return e.kind == Event::Quad && e.target == 0;
    });
    ASSERT_NE(shown, engine.events.end());
    EXPECT_EQ(scenes[0].target, shown->quad.tex) << "into the picture the screen shows";
}

TEST_F(GroundLayer, ATurnedMarkUnderALaterOneRedrawsItsPartWithTheMarksCrossingIt) {
    bloodSplats[0]->Activate(100.0f, 100.0f, 0.0f);
    bloodSplats[1]->Activate(400.0f, 300.0f, 0.0f);  // far away: left alone
    gorePieces[0]->Activate(kArm, 140.0f, 120.0f, 0.0f);
    const std::vector<TargetScene> scenes =
        AfterPlacing([] { bloodSplats[2]->Activate(120.0f, 110.0f, 0.785f); });
    ASSERT_EQ(scenes.size(), 3u);
    EXPECT_TRUE(scenes[0].quads.empty()) << "nothing on top";
    ExpectPatch(scenes, {kBloodImage, kBloodImage, kArmImage}, {BoxOf(scenes[1].quads[2])});
    // Turned by 45 degrees, the 50 x 50 splat reaches 35 units from its middle.
    const Box turned = BoxOf(scenes[1].quads[2]);
    EXPECT_LT(turned.x1, 120.0f - 25.0f - 9.0f);
    EXPECT_GT(turned.y2, 110.0f + 25.0f + 9.0f);
}

TEST_F(GroundLayer, AReusedSlotRedrawsWhereItsMarkLayAndWhereItLiesNow) {
    bloodSplats[0]->Activate(100.0f, 100.0f, 0.0f);
    bloodSplats[1]->Activate(400.0f, 300.0f, 0.0f);
    bloodSplats[2]->Activate(600.0f, 450.0f, 0.0f);
    const std::vector<TargetScene> scenes =
        AfterPlacing([] { bloodSplats[0]->Activate(410.0f, 290.0f, 0.0f); });
    // Where it lies now, with the splat it lies on; where it lay, with nothing left there.
    ExpectPatch(scenes, {kBloodImage, kBloodImage},
                {{384.0f, 264.0f, 436.0f, 316.0f}, {74.0f, 74.0f, 126.0f, 126.0f}});
}

TEST_F(GroundLayer, AReusedSlotThatOverlapsItsOldPlaceDrawsItOnce) {
    bloodSplats[0]->Activate(100.0f, 100.0f, 0.0f);
    bloodSplats[1]->Activate(600.0f, 450.0f, 0.0f);
    const std::vector<TargetScene> scenes =
        AfterPlacing([] { bloodSplats[0]->Activate(130.0f, 100.0f, 0.0f); });
    ExpectPatch(scenes, {kBloodImage},
                {{104.0f, 74.0f, 156.0f, 126.0f}, {74.0f, 74.0f, 126.0f, 126.0f}});
}

TEST_F(GroundLayer, APartAtTheEdgeIsCutToTheLayer) {
    bloodSplats[0]->Activate(790.0f, 5.0f, 0.0f);
    const std::vector<TargetScene> scenes =
        AfterPlacing([] { bloodSplats[0]->Activate(3.0f, 598.0f, 1.0f); });
    ASSERT_EQ(scenes.size(), 3u);
    ASSERT_EQ(scenes[1].quads.size(), 3u);
    ExpectPatch(scenes, {kBloodImage},
                {BoxOf(scenes[1].quads[2]), {764.0f, -21.0f, 816.0f, 31.0f}});
}

TEST_F(GroundLayer, IsDrawnWholeAgainWhenLostOrWhenManyMarksComeAtOnce) {
    bloodSplats[0]->Activate(100.0f, 100.0f, 0.0f);
    bloodSplats[1]->Activate(400.0f, 300.0f, 0.0f);
    ExpectWhole(AfterPlacing([this] { engine.restoreFunc(); }), {kBloodImage, kBloodImage});
    ExpectWhole(AfterPlacing([] {
                    for (int slot = 0; slot <= MarkNews::kNewest; ++slot) {
                        bloodSplats[slot]->Activate(50.0f * slot, 500.0f, 0.0f);
                    }
                }),
                std::vector<std::string>(MarkNews::kNewest + 1, kBloodImage));
}

}  // namespace
}  // namespace test
