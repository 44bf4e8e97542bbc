// How many pictures a player waits to see what a hand did: the real game on the browser's loop
// (several 2 ms frames to a picture, as on the desktop), each picture read back just before it is
// presented. Every input must show in the first picture presented after it arrives.
#include <array>
#include <cstdint>
#include <vector>

#include "app/startup.h"
#include "engine_test.h"
#include "support/game_reset.h"
#include "support/push_input.h"
#include "world/zombie.h"

namespace test {
namespace {

// Parts of the picture, each a box: the crosshair's old and new places, the soldier (who stands
// in the middle), the clip count on the HUD.
enum Box { kOldAim, kNewAim, kSoldier, kClip, kBoxes };
constexpr SDL_Rect kBox[kBoxes] = {
    {385, 105, 30, 30}, {385, 465, 30, 30}, {368, 268, 64, 64}, {630, 562, 90, 36}};
constexpr SDL_Point kOldAimAt{400, 120};
constexpr SDL_Point kNewAimAt{400, 480};

// What a hand does after a number of pictures have been presented. The mouse moves in the frame
// whose picture is shown, the last moment it can still make it; a key goes down in a step's
// first frame, since the soldier walks a pixel only in a few frames and the first shot leaves on
// the second frame the button is held (a rule of the game, not a delay of the engine's).
constexpr int kMouseMoves = 10;
constexpr int kWGoesDown = 20;
constexpr int kFireGoesDown = 30;
struct Input {
    int afterPictures;
    Box shows;
    const char* what;
};
constexpr Input kInputs[] = {{kMouseMoves, kNewAim, "the crosshair at its new place"},
                             {kMouseMoves, kOldAim, "the crosshair gone from its old place"},
                             {kWGoesDown, kSoldier, "the soldier moved by W"},
                             {kFireGoesDown, kClip, "the clip count lower after a shot"}};
constexpr int kPictures = 36;

using Picture = std::array<std::uint64_t, kBoxes>;
std::vector<Picture> seen;
bool stepBegins = true;

void Hand(int frame, SdlEngine& engine) {
    const int pictures = static_cast<int>(seen.size());
    const bool first = stepBegins;
    stepBegins = false;
    // No zombie walks into a box: only the hand changes what they show.
    for (Zombie* zombie : zombies) {
        zombie->active = false;
    }
    if (frame == 0) {
        SDL_WarpMouseInWindow(engine.Window(), kOldAimAt.x, kOldAimAt.y);
    }
    if (pictures == kMouseMoves && SdlHooks::Get().FrameShown()) {
        SDL_WarpMouseInWindow(engine.Window(), kNewAimAt.x, kNewAimAt.y);
    }
    if (first && pictures == kWGoesDown) {
        PushInput(SDLK_w, true);
    }
    if (first && pictures == kFireGoesDown) {
        PushInput(0, true);
    }
    if (pictures == kPictures) {
        SDL_Event quit{SDL_QUIT};
        SDL_PushEvent(&quit);
    }
}

// A digest of each box of the picture about to be presented.
void ReadBack(SdlEngine& engine, bool presented) {
    if (presented) {
        stepBegins = true;
        return;
    }
    Picture picture{};
    std::vector<std::uint32_t> pixels;
    for (int b = 0; b < kBoxes; ++b) {
        pixels.assign(static_cast<std::size_t>(kBox[b].w) * kBox[b].h, 0);
        SDL_RenderReadPixels(engine.Renderer(), &kBox[b], SDL_PIXELFORMAT_ARGB8888, pixels.data(),
                             kBox[b].w * 4);
        std::uint64_t h = 1469598103934665603ull;
        for (const std::uint32_t p : pixels) {
            h = (h ^ (p & 0xFFFFFF)) * 1099511628211ull;
        }
        picture[b] = h;
    }
    seen.push_back(picture);
}

class InputToPictureTest : public EngineTest {};

TEST_F(InputToPictureTest, EveryInputShowsInTheFirstPicturePresentedAfterIt) {
    hge->System_Shutdown();
    setenv("ZS_WINDOWED", "1", 1);
    setenv("ZS_DATA_DIR", ZS_SOURCE_DIR "/assets", 1);
    hooks.clock = SdlHooks::Clock::kBrowserOnItsOwn;
    hooks.SetFrameHook(Hand);
    hooks.SetPictureHook(ReadBack);
    seen.clear();
    stepBegins = true;
    RunGame();
    FreeGame();
    unsetenv("ZS_DATA_DIR");
    ASSERT_GE(seen.size(), static_cast<std::size_t>(kPictures));

    for (const Input& input : kInputs) {
        const int n = input.afterPictures;
        const Box b = input.shows;
        // Still before it, so that a change after it is its doing.
        ASSERT_EQ(seen[n - 2][b], seen[n - 1][b]) << input.what << ": the box moved before";
        int waited = 0;
        while (n + waited < kPictures && seen[n + waited][b] == seen[n - 1][b]) {
            ++waited;
        }
        const int presented = waited + 1;
        EXPECT_EQ(presented, 1) << input.what << ": pictures presented until it shows";
    }
}

}  // namespace
}  // namespace test
