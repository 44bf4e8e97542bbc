// The playing scene as the real game draws it with its real assets on the SDL engine, headless:
// the picture read back shows the kill and score text at the top left and the bar, with the
// pistol's icon, along the bottom.
#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "app/startup.h"
#include "engine/hge.h"
#include "engine/sdl/sdl_engine.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kCaptureFrame = 10;

std::vector<std::uint32_t> picture;

std::uint32_t Luma(std::uint32_t argb) {
    const std::uint32_t r = (argb >> 16) & 0xFF;
    const std::uint32_t g = (argb >> 8) & 0xFF;
    const std::uint32_t b = argb & 0xFF;
    return (r * 3 + g * 6 + b) / 10;
}

void PushEscape() {
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.state = SDL_PRESSED;
    e.key.keysym.sym = SDLK_ESCAPE;
    e.key.keysym.scancode = SDL_SCANCODE_ESCAPE;
    SDL_PushEvent(&e);
}

// Runs before each frame: the previous frame's picture is still on the window, so it is read
// back here and the game is then ended with Escape.
void Capture(int frame, SdlEngine& engine) {
    if (frame != kCaptureFrame) {
        return;
    }
    picture.assign(static_cast<std::size_t>(kWidth) * kHeight, 0);
    SDL_RenderReadPixels(engine.Renderer(), nullptr, SDL_PIXELFORMAT_ARGB8888, picture.data(),
                         kWidth * 4);
    PushEscape();
}

std::uint32_t At(int x, int y) {
    return picture[static_cast<std::size_t>(y) * kWidth + x];
}

// How many pixels of a region are lighter (or darker) than a luma threshold.
int CountLuma(int x0, int y0, int w, int h, bool lighter, std::uint32_t threshold) {
    int count = 0;
    for (int y = y0; y < y0 + h; ++y) {
        for (int x = x0; x < x0 + w; ++x) {
            const std::uint32_t l = Luma(At(x, y));
            count += (lighter ? l > threshold : l < threshold) ? 1 : 0;
        }
    }
    return count;
}

// The largest per-channel difference between a screen region and an image placed at (left, top).
int LargestDifference(const char* file, int left, int top, int x0, int y0, int w, int h) {
    SDL_Surface* loaded = IMG_Load(file);
    EXPECT_NE(loaded, nullptr) << file;
    if (loaded == nullptr) {
        return 255;
    }
    SDL_Surface* image = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(loaded);
    int largest = 0;
    for (int y = y0; y < y0 + h; ++y) {
        for (int x = x0; x < x0 + w; ++x) {
            const auto* row = static_cast<const std::uint32_t*>(image->pixels) +
                              static_cast<std::size_t>(y - top) * (image->pitch / 4);
            const std::uint32_t want = row[x - left];
            const std::uint32_t got = At(x, y);
            for (int shift = 0; shift < 24; shift += 8) {
                const int d = static_cast<int>((want >> shift) & 0xFF) -
                              static_cast<int>((got >> shift) & 0xFF);
                largest = std::max(largest, std::abs(d));
            }
        }
    }
    SDL_FreeSurface(image);
    return largest;
}

TEST(SceneReadBack, HudTextAndBarShowWithTheRealAssets) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_RENDER_DRIVER", "software", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("ZS_WINDOWED", "1", 1);  // the picture is the window, pixel for pixel
    setenv("ZS_DATA_DIR", ZS_ASSETS_DIR, 1);

    // Our own reference keeps the engine alive across the game's, so the hook goes in first.
    HGE* hge = hgeCreate(HGE_VERSION);
    SdlEngine* engine = SdlEngine::Instance();
    engine->SetFrameHook(Capture);
    engine->limitFrameRate = false;
    EXPECT_EQ(RunGame(), 0);
    engine->SetFrameHook(nullptr);
    hge->Release();
    ASSERT_EQ(picture.size(), static_cast<std::size_t>(kWidth) * kHeight) << "no frame was read";

    // "Öldürülen = 0 / Puan = 0": light letters with a dark outline at the top left, where the
    // ground beside them has neither.
    const int light = CountLuma(10, 10, 110, 40, true, 200);
    const int dark = CountLuma(10, 10, 110, 40, false, 30);
    EXPECT_GT(light, 150) << "light glyph pixels in the text";
    EXPECT_GT(dark, 150) << "dark outline pixels around them";
    EXPECT_LT(CountLuma(300, 10, 110, 40, true, 200), light / 10) << "the ground is not text";

    // The bar along the bottom 31 rows, between the numbers, and the pistol's icon on it.
    EXPECT_LE(LargestDifference(ZS_ASSETS_DIR "/gfx/alt_menu.png", 0, 569, 250, 569, 340, 31), 2);
    EXPECT_LE(LargestDifference(ZS_ASSETS_DIR "/gfx/silah1.png", 600, 575, 603, 578, 19, 8), 40)
        << "the pistol's icon at (600, 575)";
}

}  // namespace
