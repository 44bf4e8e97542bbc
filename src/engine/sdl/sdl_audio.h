// Sound through SDL2_mixer: effects as chunks (WAV and MP3 alike), the music as a looping mixer
// stream. Sound never stops the game: the audio subsystem is started on its own, and when no
// device opens there is one log line and the silent `dummy` driver takes over. The mixer sums in
// float and the sum goes through the master bus (master_bus.h) before the device; the same effect
// started more than once in one frame is one voice.
#pragma once

#include <array>
#include <cstdint>

#include "engine/hge.h"
#include "engine/sdl/handle_table.h"
#include "engine/sdl/master_bus.h"

struct SDL_RWops;
struct Mix_Chunk;
struct _Mix_Music;

class SdlAudio {
  public:
    // Mixing channels: enough that rapid fire from both weapons never cuts a shot short.
    static constexpr int kMixChannels = 64;

    // The game's volume 0..100 on the mixer's 0..128, as a linear gain.
    static int MixerVolume(int volume);
    // The game's pan, -100 (left) to 100 (right), as the mixer's left and right levels (255 full).
    static void MixerPanning(int pan, std::uint8_t* left, std::uint8_t* right);

    // Opens the mixer, falling back to the silent driver.
    void Open();
    void Close();
    bool IsOpen() const { return open_; }

    // Each takes the source over; 0, with SDL_GetError saying why, when it does not decode.
    HEFFECT LoadEffect(SDL_RWops* source);
    HSTREAM LoadStream(SDL_RWops* source);
    // Starts the effect on a channel of its own; an effect already started in this frame is
    // not started again, its voice takes the louder volume and that call's pan.
    HCHANNEL PlayEffect(HEFFECT effect, int volume, int pan, bool loop);
    HCHANNEL PlayStream(HSTREAM stream, bool loop, int volume);
    // Holds every effect and the music where they are, or lets them go on from there. The game
    // never pauses its sound: the engine does while it holds the game.
    void SetPaused(bool paused);
    // Called as each engine frame begins: effects started from here on are this frame's.
    void StartFrame() { frameVoiceCount_ = 0; }

  private:
    struct FrameVoice {
        HEFFECT effect;
        int channel;
        int volume;
    };

    bool TryOpenMixer();
    void InstallMasterBus();
    FrameVoice* VoiceOfThisFrame(HEFFECT effect);
    static void SetChannelLevels(int channel, int volume, int pan);

    bool open_ = false;
    MasterBus bus_;
    // The effects started in this frame, at most one per channel.
    std::array<FrameVoice, kMixChannels> frameVoices_{};
    int frameVoiceCount_ = 0;
    HandleTable<Mix_Chunk> effects_;
    HandleTable<_Mix_Music> streams_;
};
