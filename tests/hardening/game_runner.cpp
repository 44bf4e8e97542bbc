// Plays the real game headless over a scripted session: the mouse moves around, the fire button
// is held, the soldier walks W, D, A and S in turn and switches weapons, and after the given
// number of frames (300 by default) Escape is pressed.
//
// Once the game has returned it prints on standard output
//   frames <n> rendered <m> textures <t> effects <e> music <0|1> letters <l>
// n frames were played before the one that saw Escape and m of them drew something; t of the 17
// textures (16 images and the font's), e of the 9 effects and the music loaded; the font has l
// letters. Returns the game's status.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>

#include "app/startup.h"
#include "engine/hge.h"
#include "engine/sdl/sdl_engine.h"
#include "render2d/hgefont.h"
#include "world/assets.h"

namespace {

int frameCount = 300;
int framesPlayed = 0;
int framesRendered = 0;
int lastQuads = 0;

void PushKey(SDL_Keycode sym, bool down) {
    SDL_Event e{};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.sym = sym;
    e.key.keysym.scancode = SDL_GetScancodeFromKey(sym);
    SDL_PushEvent(&e);
}

void PushFireButton(bool down) {
    SDL_Event e{};
    e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    e.button.button = SDL_BUTTON_LEFT;
    e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.button.clicks = 1;
    SDL_PushEvent(&e);
}

// One step of the session: which key goes down or up at which frame.
struct Step {
    int frame;
    SDL_Keycode key;
    bool down;
};

constexpr Step kSteps[] = {
    {1, SDLK_w, true},    {60, SDLK_w, false},  {60, SDLK_d, true},   {100, SDLK_2, true},
    {101, SDLK_2, false}, {120, SDLK_d, false}, {120, SDLK_a, true},  {180, SDLK_a, false},
    {180, SDLK_s, true},  {200, SDLK_1, true},  {201, SDLK_1, false}, {240, SDLK_s, false},
};

void MoveMouse(SdlEngine& engine, int frame) {
    // A slow circle around the middle of the window, so the soldier keeps turning.
    const int x = 400 + static_cast<int>(250.0 * SDL_cos(frame * 0.05));
    const int y = 300 + static_cast<int>(200.0 * SDL_sin(frame * 0.05));
    SDL_WarpMouseInWindow(engine.Window(), x, y);
}

void Script(int frame, SdlEngine& engine) {
    // The quads counted so far tell whether the previous frame drew anything.
    if (frame > 0 && engine.Batch().quadsDrawn > lastQuads) {
        ++framesRendered;
    }
    lastQuads = engine.Batch().quadsDrawn;
    framesPlayed = frame;
    if (frame == frameCount) {
        PushKey(SDLK_ESCAPE, true);
        PushKey(SDLK_ESCAPE, false);
        return;
    }
    if (frame % 5 == 0) {
        MoveMouse(engine, frame);
    }
    if (frame == 1 || frame == 250) {
        PushFireButton(true);
    } else if (frame == 230) {
        PushFireButton(false);
    }
    for (const Step& step : kSteps) {
        if (step.frame == frame) {
            PushKey(step.key, step.down);
        }
    }
}

void PrintOutcome() {
    const HTEXTURE textures[] = {backgroundTexture,
                                 soldierPistolTexture,
                                 soldierSmgTexture,
                                 bulletTexture,
                                 healthItemTexture,
                                 ammoItemTexture,
                                 crosshairTexture,
                                 zombieTexture,
                                 zombieWoundedTexture,
                                 zombieMaimedTexture,
                                 armTexture,
                                 headTexture,
                                 bloodTexture,
                                 weaponBarTexture,
                                 pistolIconTexture,
                                 smgIconTexture,
                                 hudFont != nullptr ? hudFont->texture : 0};
    const HEFFECT effects[] = {pistolShotSound, smgShotSound, hitSound1,  hitSound2,  hitSound3,
                               killSound,       zombieSound,  emptySound, reloadSound};
    int loadedTextures = 0;
    for (const HTEXTURE t : textures) {
        loadedTextures += t != 0 ? 1 : 0;
    }
    int loadedEffects = 0;
    for (const HEFFECT e : effects) {
        loadedEffects += e != 0 ? 1 : 0;
    }
    int letters = 0;
    for (int c = 0; hudFont != nullptr && c < 256; ++c) {
        letters += hudFont->GetSprite(static_cast<unsigned char>(c)) != nullptr ? 1 : 0;
    }
    std::printf("frames %d rendered %d textures %d effects %d music %d letters %d\n", framesPlayed,
                framesRendered, loadedTextures, loadedEffects, music != 0 ? 1 : 0, letters);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) {
        frameCount = std::atoi(argv[1]);
    }
    // Our own reference keeps the engine alive across RunGame, so the hook can be set first.
    HGE* hge = hgeCreate(HGE_VERSION);
    SdlEngine* engine = SdlEngine::Instance();
    engine->SetFrameHook(Script);
    engine->limitFrameRate = false;
    const int status = RunGame();
    engine->SetFrameHook(nullptr);
    hge->Release();
    PrintOutcome();
    return status;
}
