// The background music: a dark, tense 64-second loop in D (phrygian colour) at 75 beats per
// minute: low drones, a heartbeat pulse, a slow bell motif with echoes, a dissonant high pad and
// wind. The loop is seamless by construction:
//   - every oscillator and LFO makes a whole number of cycles in 64 s (frequencies are multiples
//     of 1/64 Hz, phases are computed from the sample index);
//   - notes and hits that ring past the end are wrapped onto the beginning;
//   - filters, echo and reverb run over the loop twice and keep the second pass, so their state
//     at the start is the state they have at the end.
#include <cstdio>
#include <filesystem>

#include "assetgen.hpp"
#include "audio.hpp"

namespace ag {
namespace {

constexpr int kSeconds = 64;
constexpr int64_t kN = static_cast<int64_t>(kSeconds) * kRate;  // samples in the loop
constexpr double kBeat = 0.8;                                   // 75 bpm
constexpr double kBar = 4 * kBeat;                              // 20 bars in the loop
constexpr double kTwoPi = 6.283185307179586;
// The loop's average level over both channels. The music is a bed under the effects: played at
// the game's volume 25 it stays 5 to 6 dB under the loudest 50 ms of a shot played at 5 (volumes
// are linear gains), so the gun, the sound the player makes most, stands out of it.
constexpr float kMusicRmsDb = -24.0f;

struct Stereo {
    Buffer l, r;
    Stereo() : l(static_cast<size_t>(kN), 0.0f), r(static_cast<size_t>(kN), 0.0f) {}
};

// Frequency rounded to a whole number of cycles per loop, as that number.
int64_t Cycles(double hz) {
    return static_cast<int64_t>(std::llround(hz * kSeconds));
}
// Phase in [0, 1) of an oscillator making `k` cycles per loop, at sample n (exact, periodic).
double Phase(int64_t k, int64_t n) {
    return static_cast<double>((k * n) % kN) / static_cast<double>(kN);
}
double Sine(int64_t k, int64_t n) {
    return std::sin(kTwoPi * Phase(k, n));
}

// Band-limited sawtooth (polyBLEP).
double Saw(int64_t k, int64_t n) {
    double p = Phase(k, n), dt = static_cast<double>(k) / static_cast<double>(kN);
    double v = 2.0 * p - 1.0;
    if (p < dt) {
        double t = p / dt;
        v -= t + t - t * t - 1.0;
    } else if (p > 1.0 - dt) {
        double t = (p - 1.0) / dt;
        v -= t * t + t + t + 1.0;
    }
    return v;
}

double MidiHz(int note) {
    return 440.0 * std::pow(2.0, (note - 69) / 12.0);
}

int64_t Wrap(int64_t n) {
    return ((n % kN) + kN) % kN;
}

// Runs a per-sample process over the loop twice (warm-up, then for real), so its state is
// continuous across the seam. `step(n, passTwo)` is called for n = 0..N-1 on each pass.
template <typename F>
void TwoPass(F&& step) {
    for (int pass = 0; pass < 2; ++pass)
        for (int64_t n = 0; n < kN; ++n)
            step(n, pass == 1);
}

// --- layers ---------------------------------------------------------------------------------

void Drones(Stereo& mix) {
    const int64_t sub = Cycles(MidiHz(26)), d2a = Cycles(MidiHz(38)), d2b = d2a + 3,
                  a2 = Cycles(MidiHz(45));
    Biquad fl, fr;
    TwoPass([&](int64_t n, bool keep) {
        if (n % 32 == 0) {
            double sweep =
                0.5 - 0.5 * std::cos(kTwoPi * Phase(2, n));  // two slow openings per loop
            float cut = static_cast<float>(170.0 + 520.0 * sweep * sweep);
            fl.Set(Biquad::kLow, cut, 1.6f);
            fr.Set(Biquad::kLow, cut * 1.05f, 1.6f);
        }
        double breathe = 0.8 + 0.2 * Sine(4, n);
        double s = 0.42 * Sine(sub, n) * breathe;
        double l = 0.30 * Saw(d2a, n) + 0.10 * Saw(a2, n);
        double r = 0.30 * Saw(d2b, n) + 0.10 * Saw(a2 + 2, n);
        float ol = fl.Run(static_cast<float>(l)), orr = fr.Run(static_cast<float>(r));
        if (keep) {
            mix.l[n] += static_cast<float>(s) + ol;
            mix.r[n] += static_cast<float>(s) + orr;
        }
    });
}

void Wind(Stereo& mix) {
    Rng rng(0x317D);
    Biquad bl, br, hl(Biquad::kHigh, 120, 0.7f), hr(Biquad::kHigh, 120, 0.7f);
    // The same noise on both passes, so the second pass is the loop's steady state.
    Buffer noiseL(static_cast<size_t>(kN)), noiseR(static_cast<size_t>(kN));
    for (int64_t n = 0; n < kN; ++n) {
        noiseL[n] = rng.Signed();
        noiseR[n] = rng.Signed();
    }
    TwoPass([&](int64_t n, bool keep) {
        if (n % 32 == 0) {
            double p = 0.5 - 0.5 * std::cos(kTwoPi * Phase(3, n));
            bl.Set(Biquad::kBand, static_cast<float>(280.0 + 650.0 * p), 2.5f);
            br.Set(Biquad::kBand, static_cast<float>(330.0 + 600.0 * (1.0 - p)), 2.5f);
        }
        float gain = static_cast<float>(0.10 + 0.06 * Sine(5, n));
        float l = hl.Run(bl.Run(noiseL[n])), r = hr.Run(br.Run(noiseR[n]));
        if (keep) {
            mix.l[n] += gain * l;
            mix.r[n] += gain * r;
        }
    });
}

void Pad(Stereo& mix) {
    // A dissonant cluster (A4, B-flat 4, D5) with slow vibrato, swelling twice per loop.
    const int notes[3] = {69, 70, 74};
    Biquad fl(Biquad::kLow, 1300, 0.8f), fr(Biquad::kLow, 1300, 0.8f);
    TwoPass([&](int64_t n, bool keep) {
        double swell = 0.5 - 0.5 * std::cos(kTwoPi * Phase(2, n) + 1.2);
        swell = swell * swell;
        double l = 0, r = 0;
        for (int i = 0; i < 3; ++i) {
            int64_t k = Cycles(MidiHz(notes[i]));
            l += Saw(k, n) + 0.6 * Sine(k + 1, n);
            r += Saw(k + 2, n) + 0.6 * Sine(k - 1, n);
        }
        float ol = fl.Run(static_cast<float>(l)), orr = fr.Run(static_cast<float>(r));
        if (keep) {
            mix.l[n] += static_cast<float>(0.045 * swell) * ol;
            mix.r[n] += static_cast<float>(0.045 * swell) * orr;
        }
    });
}

// Heartbeat-like low pulse: "lub-dub" on beat 1, a single beat on 3 from bar 5 on.
void Pulse(Stereo& mix, Stereo& send) {
    auto beat = [&](double t0, float amp) {
        int64_t start = static_cast<int64_t>(std::llround(t0 * kRate));
        int len = Samples(0.9);
        double phase = 0;
        Rng rng(static_cast<uint64_t>(start) + 7);
        Biquad lp(Biquad::kLow, 180, 0.7f);
        for (int i = 0; i < len; ++i) {
            float t = static_cast<float>(i) / kRate;
            double f = 44.0 + 38.0 * std::exp(-t / 0.03);
            phase += f / kRate;
            float env = Env(t, 0.004f, 0.16f);
            float v = amp * env *
                      (static_cast<float>(std::sin(kTwoPi * phase)) + 0.25f * lp.Run(rng.Signed()));
            int64_t n = Wrap(start + i);
            mix.l[n] += v;
            mix.r[n] += v;
            send.l[n] += 0.15f * v;
            send.r[n] += 0.15f * v;
        }
    };
    for (int bar = 0; bar < 20; ++bar) {
        double t = bar * kBar;
        float level = bar < 4 ? 0.55f : 0.8f;
        beat(t, level);
        beat(t + 0.24, level * 0.7f);
        if (bar >= 4)
            beat(t + 2 * kBeat, level * 0.55f);
    }
}

// Faint ticking on eighth notes in the middle of the loop, like a clock or distant metal.
void Ticks(Stereo& mix, Stereo& send) {
    Rng rng(0x71C4);
    for (int bar = 8; bar < 18; ++bar)
        for (int e = 0; e < 8; ++e) {
            double t0 = bar * kBar + e * kBeat / 2;
            int64_t start = static_cast<int64_t>(std::llround(t0 * kRate));
            float amp = (e % 2 == 0 ? 0.06f : 0.035f) *
                        (bar >= 16 ? static_cast<float>(18 - bar) / 3.0f : 1.0f);
            float pan = e % 2 == 0 ? 0.35f : 0.65f;
            Biquad hp(Biquad::kHigh, 6000, 0.7f), bp(Biquad::kBand, 3200, 4.0f);
            int len = Samples(0.06);
            for (int i = 0; i < len; ++i) {
                float t = static_cast<float>(i) / kRate;
                float nz = rng.Signed();
                float v = amp * Env(t, 0.0005f, 0.008f) * (hp.Run(nz) + 1.5f * bp.Run(nz));
                int64_t n = Wrap(start + i);
                mix.l[n] += v * (1.0f - pan);
                mix.r[n] += v * pan;
                send.l[n] += 0.5f * v * (1.0f - pan);
                send.r[n] += 0.5f * v * pan;
            }
        }
}

// The motif: a slow bell phrase around D with the flat second (E-flat), twice per loop.
void Motif(Stereo& mix, Stereo& echo, Stereo& send) {
    struct Note {
        double beat;
        int midi;
        float amp;
    };
    const Note phrase[] = {{0, 74, 1.0f},  {1.5, 75, 0.8f}, {3, 74, 0.85f},   // bar 1
                           {4, 69, 0.9f},  {6, 70, 0.8f},                     // bar 2
                           {8, 74, 1.0f},  {9.5, 75, 0.8f}, {11, 77, 0.85f},  // bar 3
                           {12, 75, 0.9f}, {14, 74, 0.8f}};                   // bar 4
    auto bell = [&](double t0, int midi, float amp, float pan) {
        int64_t start = static_cast<int64_t>(std::llround(t0 * kRate));
        const double f = MidiHz(midi);
        const double partials[4][3] = {
            {1.0, 1.0, 2.2}, {2.0, 0.35, 1.2}, {2.76, 0.22, 0.7}, {5.4, 0.08, 0.3}};
        int len = Samples(5.0);
        for (int i = 0; i < len; ++i) {
            double t = static_cast<double>(i) / kRate;
            double v = 0;
            for (const auto& p : partials)
                v += p[1] * std::exp(-t / p[2]) * std::sin(kTwoPi * f * p[0] * t + p[0]);
            v *= amp * std::min(1.0, t / 0.003) * 0.16;
            float s = static_cast<float>(v);
            int64_t n = Wrap(start + i);
            mix.l[n] += s * (1.0f - pan);
            mix.r[n] += s * pan;
            echo.l[n] += 0.5f * s * (1.0f - pan);
            echo.r[n] += 0.5f * s * pan;
            send.l[n] += 0.6f * s;
            send.r[n] += 0.6f * s;
        }
    };
    for (int startBar : {4, 12}) {
        for (const Note& nt : phrase)
            bell(startBar * kBar + nt.beat * kBeat, nt.midi, nt.amp, 0.45f);
    }
    // the answer, an octave lower and quieter, in the last bars leading back to the start
    for (const Note& nt : phrase)
        if (nt.beat < 8)
            bell(16 * kBar + nt.beat * kBeat, nt.midi - 12, nt.amp * 0.7f, 0.55f);
}

// Ping-pong echo (dotted eighth) over the loop.
void Echo(const Stereo& in, Stereo& mix) {
    const int64_t d = static_cast<int64_t>(std::llround(0.75 * kBeat * kRate));
    Stereo y;
    Biquad dl(Biquad::kLow, 2500, 0.7f), dr(Biquad::kLow, 2500, 0.7f);
    TwoPass([&](int64_t n, bool) {
        int64_t m = Wrap(n - d);
        float l = in.l[n] + 0.45f * dr.Run(y.r[m]);
        float r = in.r[n] + 0.45f * dl.Run(y.l[m]);
        y.l[n] = l;
        y.r[n] = r;
    });
    for (int64_t n = 0; n < kN; ++n) {
        int64_t m = Wrap(n - d);
        mix.l[n] += 0.8f * y.r[m];
        mix.r[n] += 0.8f * y.l[m];
    }
}

// Small Schroeder reverb: parallel damped combs, then allpasses.
class Reverb {
  public:
    explicit Reverb(int spread) {
        for (int len : {1116, 1188, 1277, 1356, 1422, 1491})
            combs_.push_back(Line(len + spread));
        for (int len : {556, 441, 341})
            alls_.push_back(Line(len + spread));
    }
    float Run(float x) {
        float out = 0;
        for (Line& c : combs_) {
            float y = c.buf[c.pos];
            c.store = y * 0.75f + c.store * 0.25f;  // damping
            c.buf[c.pos] = x + c.store * 0.86f;
            c.pos = (c.pos + 1) % c.buf.size();
            out += y;
        }
        out *= 0.15f;
        for (Line& a : alls_) {
            float b = a.buf[a.pos];
            float y = -out + b;
            a.buf[a.pos] = out + b * 0.5f;
            a.pos = (a.pos + 1) % a.buf.size();
            out = y;
        }
        return out;
    }

  private:
    struct Line {
        explicit Line(int n) : buf(static_cast<size_t>(n), 0.0f) {}
        std::vector<float> buf;
        size_t pos = 0;
        float store = 0;
    };
    std::vector<Line> combs_, alls_;
};

void ApplyReverb(const Stereo& send, Stereo& mix) {
    Reverb rl(0), rr(23);
    TwoPass([&](int64_t n, bool keep) {
        float l = rl.Run(send.l[n]), r = rr.Run(send.r[n]);
        if (keep) {
            mix.l[n] += 1.2f * l;
            mix.r[n] += 1.2f * r;
        }
    });
}

}  // namespace

bool WriteMusic(const std::string& out, bool encodeMp3, const std::string& lame) {
    if (!encodeMp3)
        return true;  // the music is stored only as MP3
    Stereo mix, echo, send;
    Drones(mix);
    Wind(mix);
    Pad(mix);
    Pulse(mix, send);
    Ticks(mix, send);
    Motif(mix, echo, send);
    Echo(echo, send);  // echoes go to the reverb too
    Echo(echo, mix);
    ApplyReverb(send, mix);

    // Master: DC block (circular) and gentle saturation, then the loop is set to its level.
    {
        Biquad hl(Biquad::kHigh, 25, 0.7f), hr(Biquad::kHigh, 25, 0.7f);
        Stereo y;
        TwoPass([&](int64_t n, bool) {
            y.l[n] = hl.Run(mix.l[n]);
            y.r[n] = hr.Run(mix.r[n]);
        });
        mix = std::move(y);
    }
    float peak = std::max(Peak(mix.l), Peak(mix.r));
    Buffer inter(static_cast<size_t>(kN) * 2);
    for (int64_t n = 0; n < kN; ++n) {
        inter[n * 2] = std::tanh(1.3f * mix.l[n] / peak) / std::tanh(1.3f);
        inter[n * 2 + 1] = std::tanh(1.3f * mix.r[n] / peak) / std::tanh(1.3f);
    }
    NormalizeRms(inter, kMusicRmsDb);
    std::fprintf(stderr, "assetgen: music %d s, seam: last-first L %+.5f R %+.5f\n", kSeconds,
                 static_cast<double>(inter[inter.size() - 2] - inter[0]),
                 static_cast<double>(inter[inter.size() - 1] - inter[1]));
    const std::string tmp = out + "/sfx/zombie_muzik.tmp.wav";
    if (std::getenv("ASSETGEN_KEEP_WAV"))
        WriteWav(out + "/sfx/zombie_muzik.loop.wav", inter, 2);
    bool ok = EncodeLoopMp3(lame, inter, 2, tmp, out + "/sfx/zombie_muzik.mp3", 96);
    if (!std::getenv("ASSETGEN_KEEP_WAV")) {
        std::error_code ec;
        std::filesystem::remove(tmp, ec);
    }
    return ok;
}

}  // namespace ag
