// Effects as mixer chunks (WAV and MP3 alike), the music as a looping mixer stream.
#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>

#include "sdl_engine.h"

namespace {

constexpr int kSampleRate = 44100;
constexpr int kMixBufferFrames = 1024;

// Volume 0..100 onto the mixer's 0..128 along a square-root curve. The game plays its shots at 5,
// hits at 10, kills at 15 and the music at 25: mapped linearly the shots would sit 14 dB under the
// music and drown in it; on this curve they sit 7 dB under it, and 100 is still full volume.
int MixerVolume(int volume) {
    const double share = std::clamp(volume, 0, 100) / 100.0;
    return static_cast<int>(std::lround(std::sqrt(share) * MIX_MAX_VOLUME));
}

}  // namespace

bool SdlEngine::TryOpenMixer() {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        return false;
    }
    // MP3 chunks decode only once the MP3 decoder is loaded.
    Mix_Init(MIX_INIT_MP3);
    if (Mix_OpenAudio(kSampleRate, MIX_DEFAULT_FORMAT, 2, kMixBufferFrames) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    Mix_AllocateChannels(kMixChannels);
    // The mixer keeps panning settings per channel and makes them on first use; make them all
    // now, so playing a sound later allocates nothing (centred sounds then need nothing more).
    for (int channel = 0; channel < kMixChannels; ++channel) {
        Mix_SetPanning(channel, 255, 255);
    }
    audioOpen_ = true;
    return true;
}

void SdlEngine::FreeSounds() {
    if (!audioOpen_) {
        return;
    }
    Mix_HaltChannel(-1);
    Mix_HaltMusic();
    effects_.FreeAll(Mix_FreeChunk);
    streams_.FreeAll(Mix_FreeMusic);
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    audioOpen_ = false;
}

HEFFECT SdlEngine::Effect_Load(const char* filename, std::uint32_t size) {
    if (!audioOpen_) {
        return 0;  // sound is off; nothing would play it
    }
    SDL_RWops* rw = OpenSource(filename, size);
    if (rw == nullptr) {
        return 0;
    }
    Mix_Chunk* chunk = Mix_LoadWAV_RW(rw, 1);
    return LoadFailed(chunk, filename, size, Mix_GetError()) ? 0 : effects_.Add(chunk);
}

HCHANNEL SdlEngine::Effect_PlayEx(HEFFECT eff, int volume, int pan, float, bool loop) {
    // The game plays every effect at pitch 1, so the pitch is not resampled.
    Mix_Chunk* chunk = effects_.Get(eff);
    if (!audioOpen_ || chunk == nullptr) {
        return 0;
    }
    int channel = Mix_GroupAvailable(-1);
    if (channel < 0) {
        // Every channel busy: the oldest sound gives way to the new one.
        channel = Mix_GroupOldest(-1);
        Mix_HaltChannel(channel);
    }
    // Volume and pan go on the channel before the sound starts, so no sample plays at the
    // previous sound's settings.
    Mix_Volume(channel, MixerVolume(volume));
    const int p = std::clamp(pan, -100, 100);
    const Uint8 left = static_cast<Uint8>(p <= 0 ? 255 : 255 * (100 - p) / 100);
    const Uint8 right = static_cast<Uint8>(p >= 0 ? 255 : 255 * (100 + p) / 100);
    Mix_SetPanning(channel, left, right);
    channel = Mix_PlayChannel(channel, chunk, loop ? -1 : 0);
    return channel < 0 ? 0 : static_cast<HCHANNEL>(channel + 1);
}

HSTREAM SdlEngine::Stream_Load(const char* filename, std::uint32_t size) {
    if (!audioOpen_) {
        return 0;
    }
    // From memory the caller keeps the bytes alive while the music plays.
    SDL_RWops* rw = OpenSource(filename, size);
    if (rw == nullptr) {
        return 0;
    }
    Mix_Music* music = Mix_LoadMUS_RW(rw, 1);
    return LoadFailed(music, filename, size, Mix_GetError()) ? 0 : streams_.Add(music);
}

HCHANNEL SdlEngine::Stream_Play(HSTREAM stream, bool loop, int volume) {
    Mix_Music* music = streams_.Get(stream);
    if (!audioOpen_ || music == nullptr) {
        return 0;
    }
    Mix_VolumeMusic(MixerVolume(volume));
    if (Mix_PlayMusic(music, loop ? -1 : 1) != 0) {
        System_Log("cannot play music: %s", Mix_GetError());
        return 0;
    }
    // The music has a channel of its own, after the effects' ones.
    return static_cast<HCHANNEL>(kMixChannels + 1);
}
