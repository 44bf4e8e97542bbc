// Recording and playing back a game, between the game and the engine it runs on. The game asks
// hgeCreate for its engine as always; when the player asked for a replay, what it gets is a
// ReplayEngine around the real one, which passes every call on but the ones that feed the
// game: the delta, the mouse, the keys, the key pressed and the random numbers. Recording, it
// stores what the real engine gave; playing back, it gives what was stored. The game's rules
// and callbacks never know. Every kCheckpointFrames frames and at the end the game's outcome is
// taken (through the probe the program gives) and stored or compared.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "engine/hge.h"
#include "engine/random_source.h"
#include "engine/replay/replay_file.h"

enum class ReplayMode {
    kOff,
    kRecord,  // play as always and write the game to the file when it ends
    kReplay,  // show the recorded game in a window at its own speed
    kVerify,  // play it headless as fast as it goes and say whether it played the same
};

// Takes the game's outcome now.
using OutcomeProbe = void (*)(replay::Outcome* outcome);

// Before the game: what the player asked for. Recording reserves its buffer; playing back reads
// and checks the whole file. False, with one line saying why, when the file cannot be used.
bool BeginReplay(ReplayMode mode, const char* path, const char* gameVersion, OutcomeProbe probe,
                 std::string* problem);
ReplayMode ActiveReplay();
// What hgeCreate hands the game: `real` itself without a replay, else the replay around it.
HGE* WrapForReplay(HGE* real);
// After the game: writes the recording, or says how the replay compared. The exit status: 0,
// or 1 when the replay played differently or the recording could not be written.
int EndReplay();

class ReplayEngine final : public HGE {
  public:
    ReplayEngine(ReplayMode mode, const char* path, OutcomeProbe probe);
    bool Begin(const char* gameVersion, std::string* problem);
    void Wrap(HGE* real) { real_ = real; }
    int End();

    // Runs the recorded frames through the game's callbacks, with nothing shown or heard.
    void RunHeadless();

    // ---- the engine interface: the inputs and random numbers are the replay's ----
    void Release() override { real_->Release(); }
    bool System_Initiate() override { return real_->System_Initiate(); }
    void System_Shutdown() override { real_->System_Shutdown(); }
    bool System_Start() override;
    void System_SetStateBool(hgeBoolState state, bool value) override {
        real_->System_SetStateBool(state, value);
    }
    void System_SetStateFunc(hgeFuncState state, hgeCallback value) override;
    void System_SetStateInt(hgeIntState state, int value) override {
        real_->System_SetStateInt(state, value);
    }
    void System_Log(const char* format, ...) override __attribute__((format(printf, 2, 3)));
    void* Resource_Load(const char* filename, std::uint32_t* size) override {
        return real_->Resource_Load(filename, size);
    }
    void Resource_Free(void* res) override { real_->Resource_Free(res); }
    HTEXTURE Texture_Load(const char* filename, std::uint32_t size, bool mipmap) override {
        return real_->Texture_Load(filename, size, mipmap);
    }
    void Texture_Free(HTEXTURE tex) override { real_->Texture_Free(tex); }
    int Texture_GetWidth(HTEXTURE tex, bool original) override {
        return real_->Texture_GetWidth(tex, original);
    }
    int Texture_GetHeight(HTEXTURE tex, bool original) override {
        return real_->Texture_GetHeight(tex, original);
    }
    HEFFECT Effect_Load(const char* filename, std::uint32_t size) override;
    HCHANNEL Effect_PlayEx(HEFFECT eff, int volume, int pan, float pitch, bool loop) override;
    HSTREAM Stream_Load(const char* filename, std::uint32_t size) override;
    HCHANNEL Stream_Play(HSTREAM stream, bool loop, int volume) override;
    void Random_Seed(int seed) override;
    int Random_Int(int min, int max) override { return random_.Int(min, max); }
    float Random_Float(float min, float max) override { return random_.Float(min, max); }
    float Timer_GetDelta() override { return frame_.Delta(); }
    void Input_GetMousePos(float* x, float* y) override {
        *x = frame_.MouseX();
        *y = frame_.MouseY();
    }
    bool Input_GetKeyState(int key) override { return frame_.Holds(key); }
    int Input_GetKey() override { return frame_.pressed; }
    bool Gfx_BeginScene(HTARGET target) override { return real_->Gfx_BeginScene(target); }
    void Gfx_EndScene() override { real_->Gfx_EndScene(); }
    void Gfx_Clear(std::uint32_t color) override { real_->Gfx_Clear(color); }
    void Gfx_RenderQuad(const hgeQuad* quad) override { real_->Gfx_RenderQuad(quad); }
    HTARGET Target_Create(int width, int height, bool zbuffer) override {
        return real_->Target_Create(width, height, zbuffer);
    }
    void Target_Free(HTARGET target) override { real_->Target_Free(target); }
    HTEXTURE Target_GetTexture(HTARGET target) override { return real_->Target_GetTexture(target); }

  private:
    static bool FrameThunk();
    static bool RenderThunk();
    bool OnFrame();
    // After a frame's callbacks: the outcome stored or compared when one is due.
    void AfterFrame();
    // Compares the outcome now with the recorded one; the first difference is kept.
    void Compare(std::uint32_t frame, const replay::Outcome& recorded);
    // Takes what the real engine gives this frame, as the file can carry it.
    replay::FrameInput Sample();
    // The game's outcome now, with the sounds it has played so far.
    void Probe(replay::Outcome* outcome) const;
    // A sound is known by the order the game loaded it in, not by the engine's handle, so the
    // digest is the same on every engine.
    void Loaded(bool stream, std::uint32_t handle);
    void Played(bool stream, std::uint32_t handle, int volume, int pan, float pitch, bool loop);
    const char* Name() const;

    ReplayMode mode_;
    std::string path_;
    OutcomeProbe probe_;
    HGE* real_ = nullptr;
    hgeCallback frameFunc_ = nullptr;
    hgeCallback renderFunc_ = nullptr;
    RandomSource random_;
    std::uint64_t seed_ = 0;
    std::uint32_t seedsTaken_ = 0;
    replay::FrameInput frame_;
    std::uint32_t framesRun_ = 0;

    struct LoadedSound {
        bool stream;
        std::uint32_t handle;
    };
    std::array<LoadedSound, 64> sounds_{};
    std::size_t soundCount_ = 0;
    replay::Digest soundDigest_;

    replay::Writer writer_;
    bool recording_ = false;  // false once the buffer is full
    replay::Outcome stoppedAt_;

    replay::Recording recorded_;
    std::size_t nextCheckpoint_ = 0;
    bool endedByGame_ = false;
    bool differs_ = false;
    std::string difference_;
};
