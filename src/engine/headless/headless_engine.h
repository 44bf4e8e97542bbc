// An engine with nothing behind it: no window, no picture, no sound. It runs the game's frames on
// the loop's own clock as fast as they go (engine/loop/frame_loop.h), counts the quads it is given
// and draws none. Checking a replay needs only the game's rules, which read nothing from what is
// loaded but the sizes of the sprites the game gives itself; so by default it reads no file,
// every image is 64x64 and every text file an empty font. A program that wants the game's own
// sizes (a benchmark cutting sprites exactly as the game does) gives it the files to read. It
// needs no platform library, and builds wherever the game does.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/hge.h"
#include "engine/loop/frame_loop.h"
#include "engine/random_source.h"

class HeadlessEngine final : public HGE, public FrameLoop::Frames {
  public:
    // Where the game's files come from, when they are wanted.
    class Files {
      public:
        // The whole file from malloc, or null.
        virtual void* Read(const char* filename, std::uint32_t* size) = 0;
        // The size of the image in the file; false when it cannot be read.
        virtual bool ImageSize(const char* filename, int* width, int* height) = 0;

      protected:
        ~Files() = default;
    };

    // One more reference to the one headless engine, made on the first call.
    static HGE* Acquire();
    static HeadlessEngine& Get();
    // Reads the game's files through `files` from now on; null reads none.
    void UseFiles(Files* files) { files_ = files; }

    // Quads received since start-up, for whoever counts them.
    int quads = 0;

    bool RunFrame(std::uint64_t start, bool shown) override;
    bool Suspended() const override { return false; }

    void Release() override { --refs_; }
    bool System_Initiate() override { return true; }
    void System_Shutdown() override {}
    bool System_Start() override;
    void System_SetStateBool(hgeBoolState, bool) override {}
    void System_SetStateFunc(hgeFuncState state, hgeCallback value) override;
    void System_SetStateInt(hgeIntState, int) override {}
    void System_Log(const char* format, ...) override __attribute__((format(printf, 2, 3)));
    void* Resource_Load(const char* filename, std::uint32_t* size) override;
    void Resource_Free(void* res) override;
    HTEXTURE Texture_Load(const char* filename, std::uint32_t size, bool mipmap) override;
    void Texture_Free(HTEXTURE) override {}
    int Texture_GetWidth(HTEXTURE tex, bool) override;
    int Texture_GetHeight(HTEXTURE tex, bool) override;
    HEFFECT Effect_Load(const char*, std::uint32_t) override { return ++sounds_; }
    HCHANNEL Effect_PlayEx(HEFFECT, int, int, float, bool) override { return 0; }
    HSTREAM Stream_Load(const char*, std::uint32_t) override { return ++sounds_; }
    HCHANNEL Stream_Play(HSTREAM, bool, int) override { return 0; }
    void Random_Seed(int seed) override;
    int Random_Int(int min, int max) override { return random_.Int(min, max); }
    float Random_Float(float min, float max) override { return random_.Float(min, max); }
    float Timer_GetDelta() override { return loop_.Clock().Delta(); }
    void Input_GetMousePos(float* x, float* y) override { *x = *y = 0.0f; }
    bool Input_GetKeyState(int) override { return false; }
    int Input_GetKey() override { return 0; }
    bool Gfx_BeginScene(HTARGET) override { return true; }
    void Gfx_EndScene() override {}
    void Gfx_Clear(std::uint32_t) override {}
    void Gfx_RenderQuad(const hgeQuad*) override { ++quads; }
    void Gfx_RenderQuads(const hgeQuad*, int count) override { quads += count; }
    // Without a picture there is nothing to keep one in: the game draws everything straight.
    HTARGET Target_Create(int, int, bool) override { return 0; }
    void Target_Free(HTARGET) override {}
    HTEXTURE Target_GetTexture(HTARGET) override { return 0; }

  private:
    HeadlessEngine();
    struct Size {
        int width;
        int height;
    };

    int refs_ = 0;
    Files* files_ = nullptr;
    hgeCallback frameFunc_ = nullptr;
    hgeCallback renderFunc_ = nullptr;
    FrameLoop loop_;
    RandomSource random_;
    std::uint32_t sounds_ = 0;
    std::vector<Size> textures_;
};
