// zombie-shooter-loudness: what a player hears, measured. The real game (RunGame) runs on the
// engine built with its hooks, its sound going to SDL's disk audio driver, and the capture is
// measured with libebur128 (integrated loudness, true peak), counted for samples at or over full
// scale, and cut into 50 ms windows (mean power over both channels): each shot's loudest 50 ms
// against the median of the background around it (music and groans, where no other effect
// sounds), and each kill's loudest 50 ms against the shots' median (the shots with no kill
// sounding over them).
//
//   zombie-shooter-loudness [SECONDS]              plays the script for SECONDS (60), measures
//   zombie-shooter-loudness play CAPTURE [SECONDS]  plays the script into CAPTURE only
//   zombie-shooter-loudness record CAPTURE          the game in a window, played by hand (or by
//                                                   xdotool) until Escape, into CAPTURE
//   zombie-shooter-loudness measure CAPTURE         measures a capture
//
// Beside CAPTURE goes CAPTURE.events: the device's rate, channels and sample format, then every
// effect the mixer started, with the frame of the capture it starts on, its length and its kind.
// Those are seen by standing in front of SDL_OpenAudioDevice (the mixer's callback, wrapped,
// counts the frames mixed), Mix_LoadWAV_RW (the effects load in the asset table's order) and
// Mix_PlayChannel, so the program measures any version of the engine. A capture without events
// (the shipped game's) gets the loudness, peak and full-scale figures only.
//
// The script, on the capture's clock: the soldier walks a square (W, D, S, A, two seconds each),
// the crosshair sits on the nearest zombie, the trigger is held in bursts (1.5 s on, 1 s off),
// the pistol for the first and third quarter, the submachine gun for the others. At 31.5 s ten
// zombies are put on one spot, wounded to one hit from death, and from 32 s one pistol bullet kills
// all ten in one frame. Enter is pressed on every level-up screen. The soldier's health and
// reserve are kept full, so the minute is all play (no death screen, no empty clicks).
#include <SDL.h>
#include <SDL_mixer.h>
#include <dlfcn.h>
#include <ebur128.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "app/game.h"
#include "app/resources.h"
#include "app/startup.h"
#include "engine/hge.h"
#include "engine/sdl/sdl_engine.h"
#include "support/push_input.h"
#include "support/sdl_hooks.h"
#include "world/assets.h"
#include "world/soldier.h"
#include "world/zombie.h"

namespace {

enum class Kind { kShot, kKill, kHit, kGroan, kOther };
const char* const kKindNames[] = {"shot", "kill", "hit", "groan", "other"};

struct Voice {
    std::int64_t start;   // frame of the capture
    std::int64_t frames;  // its length
    Kind kind;
};

// ---- what the mixer does, seen from in front of it ----

SDL_AudioCallback mixerCallback = nullptr;
SDL_AudioSpec device{};
int frameBytes = 1;
std::atomic<std::int64_t> framesMixed{0};
std::vector<const Mix_Chunk*> loaded;  // in the order the game loads its effects
std::vector<Voice> voices;

void SDLCALL CountingCallback(void* mixer, Uint8* stream, int len) {
    mixerCallback(mixer, stream, len);
    framesMixed += len / frameBytes;
}

Kind KindOf(const Mix_Chunk* chunk) {
    std::size_t n = 0;
    for (const Asset& asset : AssetTable()) {
        if (asset.kind != AssetKind::kEffect) {
            continue;
        }
        if (n < loaded.size() && loaded[n] == chunk) {
            const HEFFECT* e = asset.effect;
            if (e == &pistolShotSound || e == &smgShotSound) {
                return Kind::kShot;
            }
            if (e == &killSound) {
                return Kind::kKill;
            }
            if (e == &hitSound1 || e == &hitSound2 || e == &hitSound3) {
                return Kind::kHit;
            }
            return e == &zombieSound ? Kind::kGroan : Kind::kOther;
        }
        ++n;
    }
    return Kind::kOther;
}

}  // namespace

extern "C" SDL_AudioDeviceID SDL_OpenAudioDevice(const char* name, int iscapture,
                                                 const SDL_AudioSpec* desired,
                                                 SDL_AudioSpec* obtained, int allowed) {
    using Open = SDL_AudioDeviceID (*)(const char*, int, const SDL_AudioSpec*, SDL_AudioSpec*, int);
    static const auto real = reinterpret_cast<Open>(dlsym(RTLD_NEXT, "SDL_OpenAudioDevice"));
    SDL_AudioSpec wrapped = *desired;
    mixerCallback = desired->callback;
    wrapped.callback = CountingCallback;
    SDL_AudioSpec got{};
    const SDL_AudioDeviceID id = real(name, iscapture, &wrapped, &got, allowed);
    if (obtained != nullptr) {
        *obtained = got;
        obtained->callback = desired->callback;
    }
    device = got;
    frameBytes = std::max(1, SDL_AUDIO_BITSIZE(got.format) / 8 * got.channels);
    framesMixed = 0;
    return id;
}

extern "C" Mix_Chunk* Mix_LoadWAV_RW(SDL_RWops* src, int freesrc) {
    using Load = Mix_Chunk* (*)(SDL_RWops*, int);
    static const auto real = reinterpret_cast<Load>(dlsym(RTLD_NEXT, "Mix_LoadWAV_RW"));
    Mix_Chunk* chunk = real(src, freesrc);
    loaded.push_back(chunk);
    return chunk;
}

// Called with the audio unlocked: the sound's first frame is the first of the next callback.
extern "C" int Mix_PlayChannel(int channel, Mix_Chunk* chunk, int loops) {
    using Play = int (*)(int, Mix_Chunk*, int);
    static const auto real = reinterpret_cast<Play>(dlsym(RTLD_NEXT, "Mix_PlayChannel"));
    const int got = real(channel, chunk, loops);
    if (got >= 0 && chunk != nullptr) {
        voices.push_back(Voice{framesMixed.load(),
                               static_cast<std::int64_t>(chunk->alen) / frameBytes, KindOf(chunk)});
    }
    return got;
}

namespace {

// ---- the script ----

double seconds = 60.0;
bool quitSent = false;
double lastEnter = -1.0;
const Zombie* pileUp = nullptr;
int held[4] = {};  // the walking key held, the trigger, the weapon selected

// Holds `key` (0: none) in the place of whatever was held in `slot` before.
void Hold(int slot, SDL_Keycode key) {
    if (held[slot] == key) {
        return;
    }
    if (held[slot] != 0) {
        test::PushInput(held[slot], false);
    }
    if (key != 0) {
        test::PushInput(key, true);
    }
    held[slot] = key;
}

void Trigger(bool down) {
    if ((held[1] != 0) != down) {
        test::PushInput(0, down);
        held[1] = down ? 1 : 0;
    }
}

const Zombie* Nearest() {
    const Zombie* best = nullptr;
    float bestDistance = 1e9f;
    for (const Zombie* z : zombies) {
        if (z != nullptr && z->IsActive()) {
            const float d = std::fabs(z->x - soldier->x) + std::fabs(z->y - soldier->y);
            if (d < bestDistance) {
                bestDistance = d;
                best = z;
            }
        }
    }
    return best;
}

// Ten free zombies on one spot to the soldier's right, each one hit from death.
void PlacePileUp() {
    int placed = 0;
    for (Zombie* z : zombies) {
        if (placed < 10 && !z->IsActive()) {
            z->Activate(zombieSprite);
            z->SetPosition(soldier->x < 400.0f ? soldier->x + 200.0f : soldier->x - 200.0f,
                           soldier->y);
            z->health = 20;
            pileUp = z;
            ++placed;
        }
    }
}

void Script(int, SdlEngine& engine) {
    if (soldier == nullptr || device.freq == 0) {
        return;
    }
    const double t = static_cast<double>(framesMixed.load()) / device.freq;
    if (t >= seconds) {
        if (!quitSent) {
            test::PushInput(SDLK_ESCAPE, true);
            quitSent = true;
        }
        return;
    }
    soldier->health = 100;
    soldier->ammo = std::max(soldier->ammo, 200);
    if (levelUpShown && t - lastEnter > 0.3) {
        test::PushInput(SDLK_RETURN, true);
        test::PushInput(SDLK_RETURN, false);
        lastEnter = t;
    }
    constexpr SDL_Keycode kWalk[] = {SDLK_w, SDLK_d, SDLK_s, SDLK_a};
    Hold(0, kWalk[static_cast<int>(t / 2.0) % 4]);
    const int quarter = static_cast<int>(t * 4.0 / seconds);
    Hold(2, quarter % 2 == 0 ? SDLK_1 : SDLK_2);

    const bool pileUpTime = t >= 31.0 && t < 33.0 && seconds >= 33.0;
    if (pileUpTime && t >= 31.5 && pileUp == nullptr) {
        PlacePileUp();
    }
    const Zombie* target =
        pileUpTime && pileUp != nullptr && pileUp->IsActive() ? pileUp : Nearest();
    if (target != nullptr) {
        SDL_WarpMouseInWindow(engine.Window(), static_cast<int>(target->x),
                              static_cast<int>(target->y));
    }
    if (pileUpTime) {
        Trigger(t >= 32.0 && t < 32.26);  // long enough for the pistol to be ready
    } else {
        Trigger(std::fmod(t, 2.5) < 1.5);
    }
}

bool WriteEvents(const std::string& capture) {
    std::FILE* f = std::fopen((capture + ".events").c_str(), "w");
    if (f == nullptr) {
        return false;
    }
    std::fprintf(f, "rate %d channels %d format %s\n", device.freq, device.channels,
                 device.format == AUDIO_F32SYS ? "f32" : "s16");
    for (const Voice& v : voices) {
        std::fprintf(f, "%lld %lld %s\n", static_cast<long long>(v.start),
                     static_cast<long long>(v.frames), kKindNames[static_cast<int>(v.kind)]);
    }
    return std::fclose(f) == 0;
}

int Play(const std::string& capture, bool scripted) {
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", capture.c_str(), 1);
    if (scripted) {
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        setenv("SDL_RENDER_DRIVER", "software", 0);
        setenv("ZS_WINDOWED", "1", 0);
    }
    voices.reserve(100000);
    HGE* hge = hgeCreate(HGE_VERSION);
    if (scripted) {
        SdlHooks::Get().SetFrameHook(Script);
    }
    const int status = RunGame();
    hge->Release();
    if (device.format != AUDIO_F32SYS && device.format != AUDIO_S16SYS) {
        std::fprintf(stderr, "the device played format 0x%x, which cannot be measured\n",
                     device.format);
        return 1;
    }
    if (!WriteEvents(capture)) {
        std::fprintf(stderr, "cannot write %s.events\n", capture.c_str());
        return 1;
    }
    return status;
}

// ---- the measure ----

struct Capture {
    int rate = 44100;
    int channels = 2;
    bool f32 = true;
    std::vector<float> samples;  // interleaved, 1.0 = full scale
    std::int64_t atFullScale = 0;
    std::vector<Voice> voices;
    bool hasEvents = false;
};

bool ReadCapture(const std::string& path, Capture& c) {
    std::ifstream events(path + ".events");
    std::string word, format;
    if (events >> word >> c.rate >> word >> c.channels >> word >> format) {
        c.hasEvents = true;
        c.f32 = format == "f32";
        long long start = 0, frames = 0;
        while (events >> start >> frames >> word) {
            const auto* name = std::find_if(std::begin(kKindNames), std::end(kKindNames),
                                            [&](const char* n) { return word == n; });
            c.voices.push_back(Voice{start, frames, static_cast<Kind>(name - kKindNames)});
        }
    }
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.empty()) {
        return false;
    }
    if (c.f32) {
        c.samples.resize(bytes.size() / sizeof(float));
        std::memcpy(c.samples.data(), bytes.data(), c.samples.size() * sizeof(float));
        for (const float v : c.samples) {
            c.atFullScale += std::fabs(v) >= 1.0f;
        }
    } else {
        c.samples.resize(bytes.size() / 2);
        for (std::size_t i = 0; i < c.samples.size(); ++i) {
            std::int16_t v = 0;
            std::memcpy(&v, &bytes[i * 2], 2);
            c.samples[i] = v / 32768.0f;
            c.atFullScale += v >= 32767 || v <= -32768;
        }
    }
    return true;
}

// Mean power over both channels of `frames` frames from `start`, in dBFS (a full-scale square
// wave is 0).
double WindowDb(const Capture& c, std::int64_t start, std::int64_t frames) {
    const std::int64_t total = static_cast<std::int64_t>(c.samples.size()) / c.channels;
    start = std::clamp<std::int64_t>(start, 0, total);
    const std::int64_t end = std::min(total, start + frames);
    double sum = 0.0;
    for (std::int64_t i = start * c.channels; i < end * c.channels; ++i) {
        sum += static_cast<double>(c.samples[static_cast<std::size_t>(i)]) * c.samples[i];
    }
    const double n = static_cast<double>((end - start) * c.channels);
    return 10.0 * std::log10(std::max(sum / std::max(n, 1.0), 1e-12));
}

double Median(std::vector<double> v) {
    if (v.empty()) {
        return NAN;
    }
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The loudest 50 ms among windows starting in the sound's first 100 ms, 5 ms apart.
double Loudest(const Capture& c, const Voice& v) {
    const std::int64_t window = c.rate / 20;
    double best = -120.0;
    for (std::int64_t at = v.start; at <= v.start + std::min<std::int64_t>(v.frames, c.rate / 10);
         at += c.rate / 200) {
        best = std::max(best, WindowDb(c, at, window));
    }
    return best;
}

// The median 50 ms of the background within `radius` seconds of `at`: windows, 25 ms apart, in
// which no effect but the groans sounds. Widened until there are at least eight.
double BackgroundAround(const Capture& c, std::int64_t at, std::vector<bool>& busy) {
    const std::int64_t window = c.rate / 20;
    const std::int64_t total = static_cast<std::int64_t>(busy.size());
    for (double radius = 2.0;; radius *= 2.0) {
        std::vector<double> quiet;
        const std::int64_t from =
            std::max<std::int64_t>(0, at - static_cast<std::int64_t>(radius * c.rate));
        const std::int64_t to =
            std::min(total - window, at + static_cast<std::int64_t>(radius * c.rate));
        for (std::int64_t w = from; w < to; w += window / 2) {
            if (!busy[static_cast<std::size_t>(w)] &&
                !busy[static_cast<std::size_t>(w + window - 1)]) {
                quiet.push_back(WindowDb(c, w, window));
            }
        }
        if (quiet.size() >= 8 || radius * c.rate > total) {
            return Median(quiet);
        }
    }
}

void Summary(const char* what, std::vector<double> v, double atLeast) {
    if (v.empty()) {
        std::printf("%-34s none\n", what);
        return;
    }
    const long below = std::count_if(v.begin(), v.end(), [&](double d) { return d < atLeast; });
    std::printf("%-34s min %+6.1f dB  median %+6.1f dB  (%zu, %ld under %+.0f dB)\n", what,
                *std::min_element(v.begin(), v.end()), Median(v), v.size(), below, atLeast);
}

int Measure(const std::string& path) {
    Capture c;
    if (!ReadCapture(path, c)) {
        std::fprintf(stderr, "cannot read %s\n", path.c_str());
        return 1;
    }
    const std::size_t frames = c.samples.size() / static_cast<std::size_t>(c.channels);
    ebur128_state* meter =
        ebur128_init(static_cast<unsigned>(c.channels), static_cast<unsigned long>(c.rate),
                     EBUR128_MODE_I | EBUR128_MODE_TRUE_PEAK);
    ebur128_add_frames_float(meter, c.samples.data(), frames);
    double lufs = 0.0;
    ebur128_loudness_global(meter, &lufs);
    double truePeak = 0.0;
    for (int ch = 0; ch < c.channels; ++ch) {
        double p = 0.0;
        ebur128_true_peak(meter, static_cast<unsigned>(ch), &p);
        truePeak = std::max(truePeak, p);
    }
    ebur128_destroy(&meter);
    const float peak =
        c.samples.empty()
            ? 0.0f
            : std::fabs(*std::max_element(c.samples.begin(), c.samples.end(), [](float a, float b) {
                  return std::fabs(a) < std::fabs(b);
              }));
    std::printf("capture                            %.1f s, %d Hz, %d channels, %s\n",
                static_cast<double>(frames) / c.rate, c.rate, c.channels,
                c.f32 ? "float" : "16-bit");
    std::printf("integrated loudness                %.1f LUFS\n", lufs);
    std::printf("true peak                          %.2f dBTP (sample peak %.2f dBFS)\n",
                20.0 * std::log10(std::max(truePeak, 1e-9)),
                20.0 * std::log10(std::max(peak, 1e-9f)));
    std::printf("samples at or over full scale      %lld\n", static_cast<long long>(c.atFullScale));
    if (!c.hasEvents) {
        return 0;
    }
    // Where an effect other than a groan sounds.
    std::vector<bool> busy(frames, false);
    for (const Voice& v : c.voices) {
        if (v.kind != Kind::kGroan) {
            const std::int64_t end =
                std::min<std::int64_t>(v.start + v.frames, static_cast<std::int64_t>(frames));
            for (std::int64_t i = std::max<std::int64_t>(0, v.start); i < end; ++i) {
                busy[static_cast<std::size_t>(i)] = true;
            }
        }
    }
    // Where a kill sounds: a shot there is heard with it, and is not what a kill is heard against.
    std::vector<bool> killing(frames, false);
    for (const Voice& v : c.voices) {
        if (v.kind == Kind::kKill) {
            const std::int64_t end =
                std::min<std::int64_t>(v.start + v.frames, static_cast<std::int64_t>(frames));
            std::fill(killing.begin() + std::max<std::int64_t>(0, v.start), killing.begin() + end,
                      true);
        }
    }
    std::vector<double> shotOverBackground, shotLevels, killLevels, backgrounds;
    for (const Voice& v : c.voices) {
        if (v.start + c.rate / 10 >= static_cast<std::int64_t>(frames)) {
            continue;
        }
        if (v.kind == Kind::kShot) {
            const double loudest = Loudest(c, v);
            const double background = BackgroundAround(c, v.start, busy);
            if (!killing[static_cast<std::size_t>(v.start)] &&
                !killing[static_cast<std::size_t>(v.start + c.rate / 10)]) {
                shotLevels.push_back(loudest);
            }
            backgrounds.push_back(background);
            shotOverBackground.push_back(loudest - background);
        } else if (v.kind == Kind::kKill) {
            killLevels.push_back(Loudest(c, v));
        }
    }
    const auto count = [&](Kind k) {
        return std::count_if(c.voices.begin(), c.voices.end(),
                             [&](const Voice& v) { return v.kind == k; });
    };
    std::printf("voices                             %ld shots, %ld kills, %ld hits, %ld groans\n",
                count(Kind::kShot), count(Kind::kKill), count(Kind::kHit), count(Kind::kGroan));
    std::printf("shots' loudest 50 ms, no kill near median %.1f dBFS (%zu shots)\n",
                Median(shotLevels), shotLevels.size());
    std::printf("background (music, groans) 50 ms   median %.1f dBFS\n", Median(backgrounds));
    Summary("shot's loudest 50 ms - background", shotOverBackground, 3.0);
    std::vector<double> killOverShot;
    for (const double k : killLevels) {
        killOverShot.push_back(k - Median(shotLevels));
    }
    Summary("kill's loudest 50 ms - a shot's", killOverShot, 3.0);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "play" && argc > 2) {
        seconds = argc > 3 ? std::atof(argv[3]) : seconds;
        return Play(argv[2], true);
    }
    if (mode == "record" && argc > 2) {
        return Play(argv[2], false);
    }
    if (mode == "measure" && argc > 2) {
        return Measure(argv[2]);
    }
    if (argc > 2 || (argc == 2 && std::atof(argv[1]) <= 0.0)) {
        std::fprintf(stderr,
                     "usage: %s [SECONDS] | play CAPTURE [SECONDS] | record CAPTURE | measure "
                     "CAPTURE\n",
                     argv[0]);
        return 2;
    }
    seconds = argc > 1 ? std::atof(argv[1]) : seconds;
    const std::string capture = "loudness-capture.raw";
    const int status = Play(capture, true);
    return status != 0 ? status : Measure(capture);
}
