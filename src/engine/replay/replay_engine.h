// Recording and playing back a game, between the game and the engine it runs on. The program that
// reads the command line puts a ReplayEngine around the real engine when the player asks for a
// replay; it passes every call on but the ones that feed the game: the delta, the mouse, the keys,
// the key pressed and the random numbers. Recording, it stores what the real engine gave; playing
// back, it gives what was stored. The game's rules and callbacks never know. Every
// checkpoint period and at the end the game's outcome is taken (through the program's probe) and
// stored or compared. The replay knows no game: which keys to store, what the outcome is and how
// a difference is told come from the program (replay::GameDescription).
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "engine/forwarding_engine.h"
#include "engine/random_source.h"
#include "engine/replay/replay_file.h"
#include "engine/replay/replay_writer.h"

namespace replay {

// What a program tells the replay about its game.
struct GameDescription {
    const char* name;     // starts every line the replay prints ("name: ...")
    const char* version;  // stored in the file
    // The keys the game reads with Input_GetKeyState, at most kMostRecordedKeys.
    const int* keys;
    int keyCount;
    // Outcome::fields, named as a player would read them: "score 300 recorded, 200 played".
    const char* const* fieldNames;
    // How many of the fields, from the first, the line of a replay that played the same names.
    int summaryFields;
    // Said when the fields agree but the state's digest does not, and when the sounds' does not.
    const char* stateDiffers;
    const char* soundsDiffer;
    // Fills in the fields and the digest of the game's state now.
    void (*probe)(Outcome* outcome);
};

enum class Mode {
    kRecord,  // play as always and write the game to the file when it ends
    kReplay,  // show the recorded game in a window at its own speed
    kVerify,  // play it headless as fast as it goes and say whether it played the same
};

}  // namespace replay

class ReplayEngine final : public ForwardingEngine {
  public:
    ReplayEngine(replay::Mode mode, const char* path, const replay::GameDescription& game);
    ~ReplayEngine() override;
    // Before the game: recording reserves its buffer and creates the file it writes as the game
    // is played; playing back reads and checks the file. False, with one line saying why, when
    // the file cannot be created or holds nothing to play.
    bool Begin(std::string* problem);
    // What the game is handed: this engine, passing everything on to `real`.
    HGE* Around(HGE* real);
    // After the game: writes the recording, or says how the replay compared. The exit status: 0,
    // or 1 when the replay played differently or the recording could not be written.
    int End();

    // ---- what the replay takes over ----
    void System_SetStateFunc(hgeFuncState state, hgeCallback value) override;
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
    bool Input_GetKeyState(int key) override;
    int Input_GetKey() override { return frame_.pressed; }

  private:
    // The game's callbacks are plain functions: they reach the replay whose game is running.
    static ReplayEngine* running_;
    static bool FrameThunk();
    static bool RenderThunk();
    bool OnFrame();
    // After a frame's callbacks: the outcome stored or compared when one is due.
    void AfterFrame();
    // Compares the outcome now with the recorded one; the first difference is kept.
    void Compare(std::uint32_t frame, const replay::Outcome& recorded);
    // "score 300 recorded, 200 played; ..." for what differs.
    std::string Differences(const replay::Outcome& recorded, const replay::Outcome& played) const;
    // Takes what the real engine gives this frame, as the file can carry it.
    replay::FrameInput Sample();
    // The game's outcome now, with the sounds it has played so far.
    void Probe(replay::Outcome* outcome) const;
    // A sound is known by the order the game loaded it in, not by the engine's handle, so the
    // digest is the same on every engine.
    void Loaded(bool stream, std::uint32_t handle);
    void Played(bool stream, std::uint32_t handle, int volume, int pan, float pitch, bool loop);
    int EndRecording();
    int EndPlayback();

    replay::Mode mode_;
    std::string path_;
    replay::GameDescription game_;
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
