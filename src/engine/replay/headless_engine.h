// An engine with nothing behind it: no window, no picture, no sound, no files. Checking a
// replay needs only the game's rules, which read nothing from what is loaded but the sizes of
// the sprites the game gives itself; so this engine loads nothing, hands out handles, and draws
// and plays nothing. It needs no platform library, and builds wherever the game does.
#pragma once

#include <cstdint>

#include "engine/hge.h"

class HeadlessEngine final : public HGE {
  public:
    static HGE* Acquire();

    void Release() override;
    bool System_Initiate() override { return true; }
    void System_Shutdown() override {}
    bool System_Start() override { return true; }
    void System_SetStateBool(hgeBoolState, bool) override {}
    void System_SetStateFunc(hgeFuncState, hgeCallback) override {}
    void System_SetStateInt(hgeIntState, int) override {}
    void System_Log(const char* format, ...) override __attribute__((format(printf, 2, 3)));
    // Every file is an empty font description: a font with no letters, which no rule reads.
    void* Resource_Load(const char* filename, std::uint32_t* size) override;
    void Resource_Free(void* res) override;
    HTEXTURE Texture_Load(const char*, std::uint32_t, bool) override { return ++handles_; }
    void Texture_Free(HTEXTURE) override {}
    int Texture_GetWidth(HTEXTURE, bool) override { return 64; }
    int Texture_GetHeight(HTEXTURE, bool) override { return 64; }
    HEFFECT Effect_Load(const char*, std::uint32_t) override { return ++handles_; }
    HCHANNEL Effect_PlayEx(HEFFECT, int, int, float, bool) override { return 0; }
    HSTREAM Stream_Load(const char*, std::uint32_t) override { return ++handles_; }
    HCHANNEL Stream_Play(HSTREAM, bool, int) override { return 0; }
    void Random_Seed(int) override {}
    int Random_Int(int min, int) override { return min; }
    float Random_Float(float min, float) override { return min; }
    float Timer_GetDelta() override { return 0.0f; }
    void Input_GetMousePos(float* x, float* y) override { *x = *y = 0.0f; }
    bool Input_GetKeyState(int) override { return false; }
    int Input_GetKey() override { return 0; }
    bool Gfx_BeginScene(HTARGET) override { return true; }
    void Gfx_EndScene() override {}
    void Gfx_Clear(std::uint32_t) override {}
    void Gfx_RenderQuad(const hgeQuad*) override {}
    HTARGET Target_Create(int, int, bool) override { return 0; }
    void Target_Free(HTARGET) override {}
    HTEXTURE Target_GetTexture(HTARGET) override { return 0; }

  private:
    int refs_ = 0;
    std::uint32_t handles_ = 0;
};
