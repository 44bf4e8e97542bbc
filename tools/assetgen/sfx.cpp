// Sound effects: gun shots, flesh hits, the killing hit, the zombie groan, the empty-gun click
// and the reload. All synthesised from noise and oscillators, mono 44.1 kHz 16-bit, peaks at
// -3 dBFS (the shots and the kill at -1, the hits at -9, the groan at -15), faded edges.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "assetgen.hpp"
#include "audio.hpp"

namespace ag {

bool WriteWav(const std::string& path, const Buffer& b, int channels) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const uint32_t dataBytes = static_cast<uint32_t>(b.size() * 2);
    auto u32 = [f](uint32_t v) {
        unsigned char c[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                              static_cast<unsigned char>(v >> 16),
                              static_cast<unsigned char>(v >> 24)};
        std::fwrite(c, 1, 4, f);
    };
    auto u16 = [f](uint32_t v) {
        unsigned char c[2] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8)};
        std::fwrite(c, 1, 2, f);
    };
    std::fwrite("RIFF", 1, 4, f);
    u32(36 + dataBytes);
    std::fwrite("WAVEfmt ", 1, 8, f);
    u32(16);
    u16(1);  // PCM
    u16(static_cast<uint32_t>(channels));
    u32(kRate);
    u32(static_cast<uint32_t>(kRate * channels * 2));
    u16(static_cast<uint32_t>(channels * 2));
    u16(16);
    std::fwrite("data", 1, 4, f);
    u32(dataBytes);
    std::vector<unsigned char> pcm(b.size() * 2);
    for (size_t i = 0; i < b.size(); ++i) {
        float v = std::max(-1.0f, std::min(1.0f, b[i]));
        int s = static_cast<int>(std::floor(v * 32767.0f + 0.5f));
        uint16_t u = static_cast<uint16_t>(static_cast<int16_t>(s));
        pcm[i * 2] = static_cast<unsigned char>(u & 0xFF);
        pcm[i * 2 + 1] = static_cast<unsigned char>(u >> 8);
    }
    std::fwrite(pcm.data(), 1, pcm.size(), f);
    return std::fclose(f) == 0;
}

bool EncodeMp3(const std::string& lame, const std::string& wav, const std::string& mp3, int kbps,
               bool mono) {
    pid_t pid = fork();
    if (pid < 0)
        return false;
    if (pid == 0) {
        std::string rate = std::to_string(kbps);
        execlp(lame.c_str(), lame.c_str(), "--quiet", "--noreplaygain", "-q", "2", "--resample",
               "44.1", "--cbr", "-b", rate.c_str(), "-m", mono ? "m" : "j", wav.c_str(),
               mp3.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    if (waitpid(pid, &status, 0) < 0)
        return false;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "assetgen: '%s' failed for %s (is lame installed?)\n", lame.c_str(),
                     mp3.c_str());
        return false;
    }
    return true;
}

namespace {

uint16_t Crc16Arc(const unsigned char* p, size_t n) {
    uint16_t crc = 0;
    for (size_t i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int b = 0; b < 8; ++b)
            crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001)
                            : static_cast<uint16_t>(crc >> 1);
    }
    return crc;
}

// Adds `extra` samples to the encoder delay and padding of the LAME tag in the first frame.
bool WidenLameTag(const std::string& mp3, int extra) {
    std::FILE* f = std::fopen(mp3.c_str(), "r+b");
    if (!f)
        return false;
    std::vector<unsigned char> head(4096);
    size_t got = std::fread(head.data(), 1, head.size(), f);
    size_t start = 0;
    if (got > 10 && head[0] == 'I' && head[1] == 'D' && head[2] == '3')
        start = 10 + ((head[6] & 0x7F) << 21 | (head[7] & 0x7F) << 14 | (head[8] & 0x7F) << 7 |
                      (head[9] & 0x7F));
    bool ok = false;
    if (start + 200 < got && head[start] == 0xFF && (head[start + 1] & 0xE0) == 0xE0) {
        unsigned char* fr = &head[start];
        bool mpeg1 = (fr[1] & 0x18) == 0x18, mono = (fr[3] & 0xC0) == 0xC0;
        size_t side = mpeg1 ? (mono ? 17 : 32) : (mono ? 9 : 17);
        size_t x = 4 + side;
        if (std::memcmp(fr + x, "Info", 4) == 0 || std::memcmp(fr + x, "Xing", 4) == 0) {
            uint32_t flags = static_cast<uint32_t>(fr[x + 4] << 24 | fr[x + 5] << 16 |
                                                   fr[x + 6] << 8 | fr[x + 7]);
            size_t l = x + 8 + ((flags & 1) ? 4 : 0) + ((flags & 2) ? 4 : 0) +
                       ((flags & 4) ? 100 : 0) + ((flags & 8) ? 4 : 0);
            if (l + 36 <= 200 && std::memcmp(fr + l, "LAME", 4) == 0) {
                int delay = fr[l + 21] << 4 | fr[l + 22] >> 4;
                int pad = (fr[l + 22] & 0x0F) << 8 | fr[l + 23];
                delay += extra;
                pad += extra;
                if (delay < 4096 && pad < 4096) {
                    fr[l + 21] = static_cast<unsigned char>(delay >> 4);
                    fr[l + 22] = static_cast<unsigned char>((delay & 0x0F) << 4 | pad >> 8);
                    fr[l + 23] = static_cast<unsigned char>(pad & 0xFF);
                    uint16_t crc = Crc16Arc(fr, l + 34);
                    fr[l + 34] = static_cast<unsigned char>(crc >> 8);
                    fr[l + 35] = static_cast<unsigned char>(crc & 0xFF);
                    ok = std::fseek(f, 0, SEEK_SET) == 0 &&
                         std::fwrite(head.data(), 1, got, f) == got;
                }
            }
        }
    }
    if (std::fclose(f) != 0)
        ok = false;
    if (!ok)
        std::fprintf(stderr, "assetgen: no LAME tag to widen in %s\n", mp3.c_str());
    return ok;
}

}  // namespace

bool EncodeLoopMp3(const std::string& lame, const Buffer& loop, int channels,
                   const std::string& tmpWav, const std::string& mp3, int kbps) {
    const size_t context = 1152;  // one frame of the loop's other end on each side
    const size_t frames = loop.size() / static_cast<size_t>(channels);
    Buffer ext;
    ext.reserve(loop.size() + 2 * context * static_cast<size_t>(channels));
    ext.insert(ext.end(), loop.end() - static_cast<std::ptrdiff_t>(context * channels), loop.end());
    ext.insert(ext.end(), loop.begin(), loop.end());
    ext.insert(ext.end(), loop.begin(),
               loop.begin() + static_cast<std::ptrdiff_t>(context * channels));
    (void)frames;
    return WriteWav(tmpWav, ext, channels) && EncodeMp3(lame, tmpWav, mp3, kbps, channels == 1) &&
           WidenLameTag(mp3, static_cast<int>(context));
}

namespace {

// --- building blocks ------------------------------------------------------------------------

// Filtered noise burst added into b from time t0 (s): attack, exponential decay.
void NoiseBurst(Buffer& b, Rng& rng, float t0, float amp, float attack, float decay, Biquad f1,
                Biquad f2 = Biquad()) {
    int start = Samples(t0);
    int len = Samples(attack + decay * 7.0f);
    for (int i = 0; i < len && start + i < static_cast<int>(b.size()); ++i) {
        float t = static_cast<float>(i) / kRate;
        float n = rng.Signed();
        b[start + i] += amp * Env(t, attack, decay) * f2.Run(f1.Run(n));
    }
}

// Sine with an exponential pitch glide from f0 to f1 (time constant glide s), decaying.
void Thump(Buffer& b, float t0, float amp, float f0, float f1, float glide, float attack,
           float decay) {
    int start = Samples(t0);
    int len = Samples(attack + decay * 7.0f);
    double phase = 0;
    for (int i = 0; i < len && start + i < static_cast<int>(b.size()); ++i) {
        float t = static_cast<float>(i) / kRate;
        float f = f1 + (f0 - f1) * std::exp(-t / glide);
        phase += f / kRate;
        b[start + i] += amp * Env(t, attack, decay) *
                        static_cast<float>(std::sin(2.0 * 3.14159265358979 * phase));
    }
}

// Decaying sine partials: metal ringing.
void Ring(Buffer& b, float t0, float amp, std::initializer_list<float> freqs, float decay) {
    int start = Samples(t0);
    int len = Samples(decay * 7.0f);
    int k = 0;
    for (float f : freqs) {
        float a = amp / (1.0f + 0.6f * static_cast<float>(k++));
        for (int i = 0; i < len && start + i < static_cast<int>(b.size()); ++i) {
            float t = static_cast<float>(i) / kRate;
            b[start + i] += a * std::exp(-t / (decay / (1.0f + 0.3f * static_cast<float>(k)))) *
                            std::sin(2.0f * kPi * f * t);
        }
    }
}

// A mechanical click: a very short bright noise burst, a low knock and metal ringing.
void Click(Buffer& b, Rng& rng, float t0, float amp, float bright, float knockHz,
           std::initializer_list<float> ring, float ringDecay) {
    NoiseBurst(b, rng, t0, amp, 0.0002f, 0.0012f, Biquad(Biquad::kHigh, bright, 0.7f));
    Thump(b, t0, amp * 0.5f, knockHz * 1.5f, knockHz, 0.004f, 0.0005f, 0.008f);
    Ring(b, t0, amp * 0.35f, ring, ringDecay);
}

// Friction: band-passed noise with a grainy amplitude, between t0 and t1.
void Scrape(Buffer& b, Rng& rng, float t0, float t1, float amp, float freq, float q) {
    Biquad bp(Biquad::kBand, freq, q), lp(Biquad::kLow, freq * 2.5f, 0.7f);
    int s0 = Samples(t0), s1 = Samples(t1);
    float grain = 0;
    for (int i = s0; i < s1 && i < static_cast<int>(b.size()); ++i) {
        float t = static_cast<float>(i - s0) / static_cast<float>(s1 - s0);
        float env = std::sin(kPi * t);
        if (rng.Uniform() < 0.004f)
            grain = 1.0f;
        grain *= 0.997f;
        b[i] += amp * env * (0.5f + 0.8f * grain) * lp.Run(bp.Run(rng.Signed()));
    }
}

Buffer Finish(Buffer b, float fadeOut, float saturate = 0.0f, float peakDb = -3.0f) {
    DcBlock(b);
    if (saturate > 0) {
        Normalize(b, 0.0f);
        Saturate(b, saturate);
    }
    FadeEdges(b, 0.0015f, fadeOut);
    Normalize(b, peakDb);
    return b;
}

// Past `hold` seconds the sound dies away faster, with time constant `decay`.
void Tighten(Buffer& b, float hold, float decay) {
    for (size_t i = static_cast<size_t>(Samples(hold)); i < b.size(); ++i)
        b[i] *= std::exp(-(static_cast<float>(i) / kRate - hold) / decay);
}

// --- the sounds -----------------------------------------------------------------------------

// The shots play at the game's volume 5 against the music at 25, the sound the player makes most:
// a long blast, hard saturation and a -1 dBFS peak make their first 50 ms dense enough to stand
// over the music. The submachine gun's tail is then cut short again, so a burst of ten shots a
// second stays a rattle of separate shots.
Buffer Gunshot(bool smg) {
    Rng rng(smg ? 0x5AB5 : 0xC017);
    Buffer b(Samples(smg ? 0.24 : 0.6), 0.0f);
    if (!smg) {
        NoiseBurst(b, rng, 0.0f, 1.0f, 0.0003f, 0.004f,
                   Biquad(Biquad::kHigh, 1500, 0.7f));                                     // crack
        NoiseBurst(b, rng, 0.0f, 1.4f, 0.0005f, 0.05f, Biquad(Biquad::kLow, 2200, 0.8f));  // blast
        Thump(b, 0.0f, 1.0f, 170.0f, 48.0f, 0.025f, 0.001f, 0.065f);                       // punch
        NoiseBurst(b, rng, 0.008f, 0.35f, 0.01f, 0.13f, Biquad(Biquad::kBand, 650, 0.6f),
                   Biquad(Biquad::kLow, 1400, 0.7f));      // room tail
        Ring(b, 0.0f, 0.08f, {3150.0f, 4720.0f}, 0.012f);  // slide
        return Finish(std::move(b), 0.12f, 4.5f, -1.0f);
    }
    NoiseBurst(b, rng, 0.0f, 1.0f, 0.0002f, 0.0025f, Biquad(Biquad::kHigh, 2500, 0.7f));
    NoiseBurst(b, rng, 0.0f, 1.2f, 0.0004f, 0.032f, Biquad(Biquad::kLow, 3600, 0.8f),
               Biquad(Biquad::kHigh, 180, 0.7f));
    Thump(b, 0.0f, 0.8f, 230.0f, 75.0f, 0.012f, 0.0008f, 0.036f);
    NoiseBurst(b, rng, 0.004f, 0.22f, 0.006f, 0.045f, Biquad(Biquad::kBand, 900, 0.6f),
               Biquad(Biquad::kLow, 2200, 0.7f));
    Ring(b, 0.0f, 0.06f, {4100.0f, 6300.0f}, 0.008f);
    b = Finish(std::move(b), 0.05f, 6.0f, -1.0f);
    Tighten(b, 0.03f, 0.06f);
    return b;
}

// Wet flesh impact: a low thud, a slap and a resonant squelch sweeping down.
Buffer FleshHit(uint32_t seed, float len, float thudHz, float sweepFrom, float sweepTo,
                float squelchDecay, int squelches) {
    Rng rng(seed);
    Buffer b(Samples(len), 0.0f);
    Thump(b, 0.0f, 0.9f, thudHz * 1.8f, thudHz, 0.015f, 0.002f, 0.045f);
    NoiseBurst(b, rng, 0.0f, 0.5f, 0.0005f, 0.006f, Biquad(Biquad::kBand, 1800, 0.8f));
    for (int s = 0; s < squelches; ++s) {
        float t0 = 0.004f + 0.045f * static_cast<float>(s) + 0.01f * rng.Uniform();
        int start = Samples(t0), n = Samples(squelchDecay * 6.0f);
        Biquad bp, lp(Biquad::kLow, 2500, 0.7f);
        float amp = 1.0f / (1.0f + 0.6f * static_cast<float>(s)), gate = 1.0f;
        for (int i = 0; i < n && start + i < static_cast<int>(b.size()); ++i) {
            float t = static_cast<float>(i) / kRate;
            if (i % 64 == 0) {
                float f = sweepTo + (sweepFrom - sweepTo) * std::exp(-t / (squelchDecay * 0.8f));
                bp.Set(Biquad::kBand, f, 4.0f);
                gate = 0.55f + 0.45f * rng.Uniform();  // bubbly, uneven texture
            }
            b[start + i] +=
                2.2f * amp * gate * Env(t, 0.003f, squelchDecay) * lp.Run(bp.Run(rng.Signed()));
        }
    }
    // Under the shots: with several zombies in a bullet's way its hits pile up, and the shot and
    // the kill must still stand out of them.
    return Finish(std::move(b), 0.06f, 1.8f, -9.0f);
}

Buffer KillHit() {
    Rng rng(0xDEAD);
    Buffer b(Samples(0.8), 0.0f);
    Thump(b, 0.0f, 1.0f, 150.0f, 42.0f, 0.03f, 0.002f, 0.11f);
    NoiseBurst(b, rng, 0.0f, 0.6f, 0.0005f, 0.01f, Biquad(Biquad::kBand, 1500, 0.7f));
    // bone cracks
    for (int i = 0; i < 7; ++i) {
        float t = 0.01f + 0.012f * static_cast<float>(i) + 0.01f * rng.Uniform();
        NoiseBurst(b, rng, t, 0.7f * (1.0f - 0.1f * static_cast<float>(i)), 0.0002f, 0.0018f,
                   Biquad(Biquad::kHigh, 2200, 0.7f), Biquad(Biquad::kPeak, 3400, 2.0f, 6.0f));
    }
    // heavy wet splatter
    {
        int n = Samples(0.7);
        Biquad bp, lp(Biquad::kLow, 1800, 0.7f);
        float gate = 1.0f;
        for (int i = 0; i < n; ++i) {
            float t = static_cast<float>(i) / kRate;
            if (i % 64 == 0) {
                bp.Set(Biquad::kBand, 220.0f + 700.0f * std::exp(-t / 0.09f), 3.0f);
                gate = 0.5f + 0.5f * rng.Uniform();
            }
            b[i] += 2.4f * gate * Env(t, 0.004f, 0.13f) * lp.Run(bp.Run(rng.Signed()));
        }
    }
    // a body falling: low rumble thud slightly later
    Thump(b, 0.16f, 0.55f, 90.0f, 38.0f, 0.03f, 0.004f, 0.09f);
    NoiseBurst(b, rng, 0.16f, 0.3f, 0.003f, 0.05f, Biquad(Biquad::kLow, 500, 0.7f));
    // Dense and near full scale: a kill lands among the hits of the same bullet and must still
    // stand over a shot.
    return Finish(std::move(b), 0.15f, 3.5f, -1.0f);
}

// A groan plays at volume 10 each time a zombie enters, two a second at level 1, so two or three
// always overlap: they are the bed the shots play over, and sit far under them.
Buffer ZombieGroan() {
    Rng rng(0x62044);
    const float len = 1.0f;
    Buffer b(Samples(len), 0.0f);
    Biquad f1, f2, f3, breath(Biquad::kBand, 1400, 0.8f), lp(Biquad::kLow, 3200, 0.7f);
    double phase = 0, sub = 0;
    float jitter = 0, shimmer = 1;
    for (size_t i = 0; i < b.size(); ++i) {
        float t = static_cast<float>(i) / kRate;
        float u = t / len;
        if (i % 64 == 0) {
            jitter = 0.9f * jitter + 0.1f * rng.Signed();
            shimmer = 0.8f + 0.2f * rng.Uniform();
            // the mouth opens: "oh" -> "ah" -> "uh"
            float open = std::sin(kPi * std::min(1.0f, u * 1.3f));
            f1.Set(Biquad::kBand, 380.0f + 320.0f * open, 5.0f);
            f2.Set(Biquad::kBand, 850.0f + 300.0f * open, 6.0f);
            f3.Set(Biquad::kBand, 2400.0f, 7.0f);
        }
        float f0 = 92.0f - 18.0f * u + 6.0f * std::sin(2 * kPi * 3.3f * t) * u + 9.0f * jitter;
        phase += f0 / kRate;
        sub += 0.5 * f0 / kRate;
        phase -= std::floor(phase);
        sub -= std::floor(sub);
        // glottal pulse: a skewed sawtooth plus a growling subharmonic
        float src = static_cast<float>(2.0 * phase - 1.0) * shimmer +
                    0.5f * static_cast<float>(sub < 0.5 ? 1.0 : -1.0);
        float voiced = 1.6f * f1.Run(src) + 1.0f * f2.Run(src) + 0.35f * f3.Run(src);
        float noise = 0.5f * breath.Run(rng.Signed());
        float env = SmoothStep(0.0f, 0.18f, t) * (1.0f - SmoothStep(0.7f, 1.0f, u)) *
                    (0.8f + 0.2f * std::sin(kPi * u));
        b[i] = env * lp.Run(voiced + noise);
    }
    return Finish(std::move(b), 0.1f, 2.5f, -15.0f);
}

Buffer EmptyClick() {
    Rng rng(0xC11C);
    Buffer b(Samples(0.2), 0.0f);
    Click(b, rng, 0.002f, 1.0f, 2500, 320, {2750.0f, 4150.0f, 6300.0f}, 0.012f);
    Click(b, rng, 0.055f, 0.35f, 3000, 420, {3300.0f, 5200.0f}, 0.008f);
    return Finish(std::move(b), 0.04f, 4.0f);
}

Buffer Reload() {
    Rng rng(0x2E10AD);
    Buffer b(Samples(1.3), 0.0f);
    // magazine released and pulled out
    Click(b, rng, 0.04f, 0.5f, 2600, 380, {3100.0f, 4700.0f}, 0.01f);
    Scrape(b, rng, 0.07f, 0.24f, 0.35f, 2400.0f, 1.5f);
    Click(b, rng, 0.24f, 0.3f, 2000, 300, {2500.0f}, 0.008f);
    // new magazine slid in and seated
    Scrape(b, rng, 0.46f, 0.58f, 0.35f, 2000.0f, 1.5f);
    Click(b, rng, 0.585f, 1.0f, 1800, 190, {2200.0f, 3500.0f, 5100.0f}, 0.018f);
    // charging handle pulled back, then slammed forward
    Click(b, rng, 0.86f, 0.45f, 2600, 350, {3800.0f}, 0.01f);
    Scrape(b, rng, 0.87f, 0.97f, 0.3f, 3000.0f, 1.2f);
    Click(b, rng, 1.02f, 1.0f, 1600, 160, {1850.0f, 2900.0f, 4400.0f}, 0.03f);
    NoiseBurst(b, rng, 1.02f, 0.25f, 0.001f, 0.02f, Biquad(Biquad::kLow, 900, 0.7f));
    return Finish(std::move(b), 0.08f, 4.0f);
}

}  // namespace

bool WriteSounds(const std::string& out, bool encodeMp3, const std::string& lame) {
    bool ok = true;
    auto wav = [&](const std::string& name, const Buffer& b) {
        if (!WriteWav(out + "/sfx/" + name, b, 1)) {
            std::fprintf(stderr, "assetgen: cannot write sfx/%s\n", name.c_str());
            ok = false;
        }
    };
    wav("colt1911-fire.wav", Gunshot(false));
    wav("mp5-fire.wav", Gunshot(true));
    wav("hit-arg.wav", FleshHit(101, 0.28f, 95.0f, 1300.0f, 380.0f, 0.05f, 1));
    wav("hit-arg2.wav", FleshHit(202, 0.32f, 75.0f, 900.0f, 260.0f, 0.065f, 2));
    wav("hit-arg3.wav", FleshHit(303, 0.26f, 120.0f, 1700.0f, 520.0f, 0.04f, 2));
    wav("dead-hit.wav", KillHit());
    wav("weaponhit.wav", EmptyClick());
    wav("mp5-reload.wav", Reload());
    if (encodeMp3) {
        const std::string tmp = out + "/sfx/zombie.tmp.wav";
        ok = WriteWav(tmp, ZombieGroan(), 1) &&
             EncodeMp3(lame, tmp, out + "/sfx/zombie.mp3", 64, true) && ok;
        std::error_code ec;
        std::filesystem::remove(tmp, ec);
    }
    return ok;
}

}  // namespace ag
