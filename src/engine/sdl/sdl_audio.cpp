#include "engine/sdl/sdl_audio.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>

#include "engine/engine_log.h"

namespace {

constexpr int kSampleRate = 44100;
constexpr int kMixBufferFrames = 1024;

}  // namespace

// Linear, rounded: the volume is a share of the sound's own amplitude, so any two sounds keep the
// ratio the game gives them (a kill at 15 three times a shot at 5). The balance between the
// effects and the music lies in the sound files, which are levelled for the game's volumes.
int SdlAudio::MixerVolume(int volume) {
    return (std::clamp(volume, 0, 100) * MIX_MAX_VOLUME + 50) / 100;
}

// The far side fades out linearly; the near side stays at full level.
void SdlAudio::MixerPanning(int pan, std::uint8_t* left, std::uint8_t* right) {
    const int p = std::clamp(pan, -100, 100);
    *left = static_cast<std::uint8_t>(p <= 0 ? 255 : 255 * (100 - p) / 100);
    *right = static_cast<std::uint8_t>(p >= 0 ? 255 : 255 * (100 + p) / 100);
}

void SdlAudio::Open() {
    if (TryOpenMixer()) {
        return;
    }
    LogLine("no sound device could be opened (%s); playing without sound", SDL_GetError());
    SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
    TryOpenMixer();
}

bool SdlAudio::TryOpenMixer() {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        return false;
    }
    // MP3 chunks decode only once the MP3 decoder is loaded.
    Mix_Init(MIX_INIT_MP3);
    // Float: SDL adds float samples without clamping them, so a pile-up of sounds reaches the
    // master bus whole, however far over full scale, and the limiter brings it down.
    if (Mix_OpenAudio(kSampleRate, AUDIO_F32SYS, 2, kMixBufferFrames) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    InstallMasterBus();
    Mix_AllocateChannels(kMixChannels);
    // The mixer keeps panning settings per channel and makes them on first use; make them all
    // now, so playing a sound later allocates nothing (centred sounds then need nothing more).
    for (int channel = 0; channel < kMixChannels; ++channel) {
        Mix_SetPanning(channel, 255, 255);
    }
    open_ = true;
    return true;
}

// The device may differ in rate and channels from what was asked; the bus follows it.
void SdlAudio::InstallMasterBus() {
    int rate = 0;
    int channels = 0;
    Uint16 format = 0;
    if (Mix_QuerySpec(&rate, &format, &channels) == 0 || format != AUDIO_F32SYS ||
        !bus_.Configure(rate, channels)) {
        LogLine("the sound device mixes %d channels of format 0x%x: no master bus", channels,
                format);
        return;
    }
    Mix_SetPostMix(
        [](void* bus, Uint8* stream, int bytes) {
            const int frames =
                bytes / static_cast<int>(sizeof(float)) / static_cast<MasterBus*>(bus)->Channels();
            static_cast<MasterBus*>(bus)->Process(reinterpret_cast<float*>(stream), frames);
        },
        &bus_);
}

void SdlAudio::Close() {
    if (!open_) {
        return;
    }
    Mix_HaltChannel(-1);
    Mix_HaltMusic();
    Mix_SetPostMix(nullptr, nullptr);
    effects_.FreeAll(Mix_FreeChunk);
    streams_.FreeAll(Mix_FreeMusic);
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    open_ = false;
}

HEFFECT SdlAudio::LoadEffect(SDL_RWops* source) {
    Mix_Chunk* chunk = Mix_LoadWAV_RW(source, 1);
    return chunk != nullptr ? effects_.Add(chunk) : 0;
}

HSTREAM SdlAudio::LoadStream(SDL_RWops* source) {
    // From memory the caller keeps the bytes alive while the music plays.
    Mix_Music* music = Mix_LoadMUS_RW(source, 1);
    return music != nullptr ? streams_.Add(music) : 0;
}

SdlAudio::FrameVoice* SdlAudio::VoiceOfThisFrame(HEFFECT effect) {
    for (int i = 0; i < frameVoiceCount_; ++i) {
        if (frameVoices_[static_cast<std::size_t>(i)].effect == effect) {
            return &frameVoices_[static_cast<std::size_t>(i)];
        }
    }
    return nullptr;
}

void SdlAudio::SetChannelLevels(int channel, int volume, int pan) {
    Mix_Volume(channel, MixerVolume(volume));
    std::uint8_t left = 0;
    std::uint8_t right = 0;
    MixerPanning(pan, &left, &right);
    Mix_SetPanning(channel, left, right);
}

// Copies of one sound started together play in phase: n of them are one sound n times as loud,
// never a fuller one. So the frame's first start of an effect is its only voice.
HCHANNEL SdlAudio::PlayEffect(HEFFECT effect, int volume, int pan, bool loop) {
    Mix_Chunk* chunk = effects_.Get(effect);
    if (!open_ || chunk == nullptr) {
        return 0;
    }
    FrameVoice* voice = VoiceOfThisFrame(effect);
    // Unless a later start this frame took its channel over.
    if (voice != nullptr && Mix_Playing(voice->channel) != 0 &&
        Mix_GetChunk(voice->channel) == chunk) {
        if (volume > voice->volume) {
            voice->volume = volume;
            SetChannelLevels(voice->channel, volume, pan);
        }
        return static_cast<HCHANNEL>(voice->channel + 1);
    }
    int channel = Mix_GroupAvailable(-1);
    if (channel < 0) {
        // Every channel busy: the oldest sound gives way to the new one.
        channel = Mix_GroupOldest(-1);
        Mix_HaltChannel(channel);
    }
    // Volume and pan go on the channel before the sound starts, so no sample plays at the
    // previous sound's settings.
    SetChannelLevels(channel, volume, pan);
    channel = Mix_PlayChannel(channel, chunk, loop ? -1 : 0);
    if (channel < 0) {
        return 0;
    }
    if (voice != nullptr) {
        *voice = FrameVoice{effect, channel, volume};
    } else if (frameVoiceCount_ < kMixChannels) {
        frameVoices_[static_cast<std::size_t>(frameVoiceCount_++)] =
            FrameVoice{effect, channel, volume};
    }
    return static_cast<HCHANNEL>(channel + 1);
}

HCHANNEL SdlAudio::PlayStream(HSTREAM stream, bool loop, int volume) {
    Mix_Music* music = streams_.Get(stream);
    if (!open_ || music == nullptr) {
        return 0;
    }
    Mix_VolumeMusic(MixerVolume(volume));
    if (Mix_PlayMusic(music, loop ? -1 : 1) != 0) {
        LogLine("cannot play music: %s", Mix_GetError());
        return 0;
    }
    // The music has a channel of its own, after the effects' ones.
    return static_cast<HCHANNEL>(kMixChannels + 1);
}

void SdlAudio::SetPaused(bool paused) {
    if (!open_) {
        return;
    }
    if (paused) {
        Mix_Pause(-1);
        Mix_PauseMusic();
    } else {
        Mix_Resume(-1);
        Mix_ResumeMusic();
    }
}
