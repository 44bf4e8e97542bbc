// An engine that passes every call on to another one, for engines that stand between the game and
// the real engine and change only a few calls (the replay, the tests' and benchmarks' hooks): they
// derive from it and override what they change. The log line is formatted here once and passed on
// as it is.
#pragma once

#include <cstdarg>

#include "engine/engine_log.h"
#include "engine/hge.h"

class ForwardingEngine : public HGE {
  public:
    HGE* Inner() const { return inner_; }

    void Release() override { inner_->Release(); }
    bool System_Initiate() override { return inner_->System_Initiate(); }
    void System_Shutdown() override { inner_->System_Shutdown(); }
    bool System_Start() override { return inner_->System_Start(); }
    void System_SetStateBool(hgeBoolState state, bool value) override {
        inner_->System_SetStateBool(state, value);
    }
    void System_SetStateFunc(hgeFuncState state, hgeCallback value) override {
        inner_->System_SetStateFunc(state, value);
    }
    void System_SetStateInt(hgeIntState state, int value) override {
        inner_->System_SetStateInt(state, value);
    }
    void System_Log(const char* format, ...) override __attribute__((format(printf, 2, 3))) {
        char line[kLogLineBytes];
        va_list args;
        va_start(args, format);
        FormatLogLine(line, format, args);
        va_end(args);
        inner_->System_Log("%s", line);
    }
    void* Resource_Load(const char* filename, std::uint32_t* size) override {
        return inner_->Resource_Load(filename, size);
    }
    void Resource_Free(void* res) override { inner_->Resource_Free(res); }
    HTEXTURE Texture_Load(const char* filename, std::uint32_t size, bool mipmap) override {
        return inner_->Texture_Load(filename, size, mipmap);
    }
    void Texture_Free(HTEXTURE tex) override { inner_->Texture_Free(tex); }
    int Texture_GetWidth(HTEXTURE tex, bool original) override {
        return inner_->Texture_GetWidth(tex, original);
    }
    int Texture_GetHeight(HTEXTURE tex, bool original) override {
        return inner_->Texture_GetHeight(tex, original);
    }
    HEFFECT Effect_Load(const char* filename, std::uint32_t size) override {
        return inner_->Effect_Load(filename, size);
    }
    HCHANNEL Effect_PlayEx(HEFFECT eff, int volume, int pan, float pitch, bool loop) override {
        return inner_->Effect_PlayEx(eff, volume, pan, pitch, loop);
    }
    HSTREAM Stream_Load(const char* filename, std::uint32_t size) override {
        return inner_->Stream_Load(filename, size);
    }
    HCHANNEL Stream_Play(HSTREAM stream, bool loop, int volume) override {
        return inner_->Stream_Play(stream, loop, volume);
    }
    void Random_Seed(int seed) override { inner_->Random_Seed(seed); }
    int Random_Int(int min, int max) override { return inner_->Random_Int(min, max); }
    float Random_Float(float min, float max) override { return inner_->Random_Float(min, max); }
    float Timer_GetDelta() override { return inner_->Timer_GetDelta(); }
    void Input_GetMousePos(float* x, float* y) override { inner_->Input_GetMousePos(x, y); }
    bool Input_GetKeyState(int key) override { return inner_->Input_GetKeyState(key); }
    int Input_GetKey() override { return inner_->Input_GetKey(); }
    bool Gfx_BeginScene(HTARGET target) override { return inner_->Gfx_BeginScene(target); }
    void Gfx_EndScene() override { inner_->Gfx_EndScene(); }
    void Gfx_Clear(std::uint32_t color) override { inner_->Gfx_Clear(color); }
    void Gfx_RenderQuad(const hgeQuad* quad) override { inner_->Gfx_RenderQuad(quad); }
    void Gfx_RenderQuads(const hgeQuad* quads, int count) override {
        inner_->Gfx_RenderQuads(quads, count);
    }
    HTARGET Target_Create(int width, int height, bool zbuffer) override {
        return inner_->Target_Create(width, height, zbuffer);
    }
    void Target_Free(HTARGET target) override { inner_->Target_Free(target); }
    HTEXTURE Target_GetTexture(HTARGET target) override {
        return inner_->Target_GetTexture(target);
    }

  protected:
    // The engine beneath; set before the first call is passed on.
    void SetInner(HGE* inner) { inner_ = inner; }
    ~ForwardingEngine() override = default;

  private:
    HGE* inner_ = nullptr;
};
