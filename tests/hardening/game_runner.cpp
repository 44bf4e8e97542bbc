// Plays the real game headless over a scripted session:  game_runner FRAMES [CAPTURE]
// The mouse circles the soldier, the fire button is held, he walks W, D, A and S in turn and
// switches to the submachine gun and back, and at frame FRAMES Escape is pressed. Before frame
// CAPTURE runs, the picture the frame before drew is saved as picture.bmp. Once the game has
// returned it prints
//   frames <n> rendered <m> textures <t> effects <e> music <0|1> letters <l>
// n frames were played before the one that saw Escape and m of them drew something; t textures
// (the images' and the font's), e effects and the music loaded, and the font has l letters.
// Returns the game's status.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>

#include "app/command_line.h"
#include "app/resources.h"
#include "app/startup.h"
#include "engine/engine_log.h"
#include "engine/sdl/sdl_engine.h"
#include "render2d/hgefont.h"
#include "support/push_input.h"
#include "support/sdl_hooks.h"
#include "world/assets.h"

namespace {

int frameCount = 0;
int captureFrame = -1;
int framesPlayed = 0;
int framesRendered = 0;
int lastQuads = 0;

struct Step {
    int frame;
    SDL_Keycode key;  // 0: the fire button
    bool down;
};
constexpr Step kSteps[] = {{1, 0, true},        {1, SDLK_w, true},  {8, SDLK_w, false},
                           {8, SDLK_d, true},   {14, SDLK_2, true}, {15, SDLK_2, false},
                           {16, SDLK_d, false}, {16, SDLK_a, true}, {24, SDLK_a, false},
                           {24, SDLK_s, true},  {28, SDLK_1, true}, {29, SDLK_1, false},
                           {30, 0, false},      {32, SDLK_s, false}};

void Script(int frame, SdlEngine& engine) {
    // The quads counted so far tell whether the frame before drew anything.
    framesRendered += frame > 0 && engine.Batch().quadsDrawn > lastQuads ? 1 : 0;
    lastQuads = engine.Batch().quadsDrawn;
    framesPlayed = frame;
    if (frame == captureFrame) {
        SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, 800, 600, 32, SDL_PIXELFORMAT_ARGB8888);
        SDL_RenderReadPixels(engine.Renderer(), nullptr, s->format->format, s->pixels, s->pitch);
        SDL_SaveBMP(s, "picture.bmp");
        SDL_FreeSurface(s);
    }
    if (frame == frameCount) {
        test::PushInput(SDLK_ESCAPE, true);
        return;
    }
    SDL_WarpMouseInWindow(engine.Window(), 400 + static_cast<int>(250.0 * SDL_cos(frame * 0.25)),
                          300 + static_cast<int>(200.0 * SDL_sin(frame * 0.25)));
    for (const Step& step : kSteps) {
        if (step.frame == frame) {
            test::PushInput(step.key, step.down);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    frameCount = argc > 1 ? std::atoi(argv[1]) : 40;
    captureFrame = argc > 2 ? std::atoi(argv[2]) : -1;
    // Our own reference keeps the engine alive across RunGame, so the hook can go in first.
    SetLogName(kGameName);
    HGE* hge = hgeCreate(HGE_VERSION);
    SdlEngine::Instance()->SetLaunch(
        EngineLaunch{kGameName, kGameTitle, WindowChoice::kAsAsked, {}});
    SdlHooks& hooks = SdlHooks::Get();
    hooks.SetFrameHook(Script);
    hooks.clock = SdlHooks::Clock::kAsFastAsFrames;
    const int status = RunGame();
    hooks.SetFrameHook(nullptr);
    hge->Release();

    int textures = hudFont != nullptr && hudFont->texture != 0;
    int effects = 0;
    int streams = 0;
    for (const Asset& asset : AssetTable()) {
        textures += asset.texture != nullptr && *asset.texture != 0;
        effects += asset.effect != nullptr && *asset.effect != 0;
        streams += asset.stream != nullptr && *asset.stream != 0;
    }
    int letters = 0;
    for (int c = 0; hudFont != nullptr && c < 256; ++c) {
        letters += hudFont->GetSprite(static_cast<unsigned char>(c)) != nullptr;
    }
    std::printf("frames %d rendered %d textures %d effects %d music %d letters %d\n", framesPlayed,
                framesRendered, textures, effects, streams, letters);
    return status;
}
