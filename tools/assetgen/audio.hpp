// Sound synthesis helpers for the asset generator: filters, envelopes, WAV output and MP3
// encoding through the lame command.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "raster.hpp"  // Rng, kPi

namespace ag {

constexpr int kRate = 44100;
using Buffer = std::vector<float>;

inline int Samples(double seconds) {
    return static_cast<int>(std::lround(seconds * kRate));
}

// RBJ biquad (transposed direct form II).
class Biquad {
  public:
    enum Kind { kLow, kHigh, kBand, kPeak };
    Biquad() = default;
    Biquad(Kind k, float freq, float q, float gainDb = 0.0f) { Set(k, freq, q, gainDb); }
    void Set(Kind k, float freq, float q, float gainDb = 0.0f) {
        freq = std::min(freq, 0.45f * kRate);
        const double w = 2.0 * 3.14159265358979 * freq / kRate;
        const double cs = std::cos(w), sn = std::sin(w), alpha = sn / (2.0 * q);
        const double A = std::pow(10.0, gainDb / 40.0);
        double b0 = 0, b1 = 0, b2 = 0, a0 = 1, a1 = 0, a2 = 0;
        switch (k) {
            case kLow:
                b0 = (1 - cs) / 2, b1 = 1 - cs, b2 = (1 - cs) / 2, a0 = 1 + alpha, a1 = -2 * cs,
                a2 = 1 - alpha;
                break;
            case kHigh:
                b0 = (1 + cs) / 2, b1 = -(1 + cs), b2 = (1 + cs) / 2, a0 = 1 + alpha, a1 = -2 * cs,
                a2 = 1 - alpha;
                break;
            case kBand:
                b0 = alpha, b1 = 0, b2 = -alpha, a0 = 1 + alpha, a1 = -2 * cs, a2 = 1 - alpha;
                break;
            case kPeak:
                b0 = 1 + alpha * A, b1 = -2 * cs, b2 = 1 - alpha * A;
                a0 = 1 + alpha / A, a1 = -2 * cs, a2 = 1 - alpha / A;
                break;
        }
        b0_ = b0 / a0, b1_ = b1 / a0, b2_ = b2 / a0, a1_ = a1 / a0, a2_ = a2 / a0;
    }
    float Run(float x) {
        double y = b0_ * x + z1_;
        z1_ = b1_ * x - a1_ * y + z2_;
        z2_ = b2_ * x - a2_ * y;
        return static_cast<float>(y);
    }

  private:
    double b0_ = 1, b1_ = 0, b2_ = 0, a1_ = 0, a2_ = 0, z1_ = 0, z2_ = 0;
};

// Exponential decay envelope with a short linear attack; t in seconds.
inline float Env(float t, float attack, float decay) {
    if (t < 0)
        return 0.0f;
    if (t < attack)
        return t / attack;
    return std::exp(-(t - attack) / decay);
}

inline float Peak(const Buffer& b) {
    float p = 0;
    for (float v : b)
        p = std::max(p, std::fabs(v));
    return p;
}

inline void Normalize(Buffer& b, float peakDb) {
    float p = Peak(b);
    if (p <= 0)
        return;
    float k = std::pow(10.0f, peakDb / 20.0f) / p;
    for (float& v : b)
        v *= k;
}

// Scales b so that its RMS level (over all channels) is rmsDb dBFS.
inline void NormalizeRms(Buffer& b, float rmsDb) {
    double sum = 0;
    for (float v : b)
        sum += static_cast<double>(v) * v;
    if (sum <= 0)
        return;
    const double rms = std::sqrt(sum / static_cast<double>(b.size()));
    const float k = static_cast<float>(std::pow(10.0, rmsDb / 20.0) / rms);
    for (float& v : b)
        v *= k;
}

// Raised-cosine fades at both ends, so the sound starts and ends at exactly zero.
inline void FadeEdges(Buffer& b, float inSeconds, float outSeconds) {
    int fi = std::min<int>(Samples(inSeconds), static_cast<int>(b.size()));
    int fo = std::min<int>(Samples(outSeconds), static_cast<int>(b.size()));
    for (int i = 0; i < fi; ++i)
        b[i] *= 0.5f - 0.5f * std::cos(kPi * static_cast<float>(i) / static_cast<float>(fi));
    for (int i = 0; i < fo; ++i) {
        size_t j = b.size() - 1 - static_cast<size_t>(i);
        b[j] *= 0.5f - 0.5f * std::cos(kPi * static_cast<float>(i) / static_cast<float>(fo));
    }
}

// Removes DC and rumble below ~20 Hz.
inline void DcBlock(Buffer& b) {
    Biquad hp(Biquad::kHigh, 20.0f, 0.707f);
    for (float& v : b)
        v = hp.Run(v);
}

// Soft saturation that keeps small signals linear.
inline void Saturate(Buffer& b, float drive) {
    const float norm = std::tanh(drive);
    for (float& v : b)
        v = std::tanh(v * drive) / norm;
}

// 16-bit PCM WAV, `channels` interleaved in `b`.
bool WriteWav(const std::string& path, const Buffer& b, int channels);

// Encodes a WAV file to MP3 with the lame command (CBR, kbps).
bool EncodeMp3(const std::string& lame, const std::string& wav, const std::string& mp3, int kbps,
               bool mono);

// Encodes a seamless loop (interleaved, `channels`) to MP3: the encoder is given the loop with
// its own end before it and its own start after it, and the LAME tag's encoder delay and
// padding are then widened to cover that context, so a gapless decoder (mpg123, as used by
// SDL2_mixer) plays exactly the loop, with no edge artefacts at the seam.
bool EncodeLoopMp3(const std::string& lame, const Buffer& loop, int channels,
                   const std::string& tmpWav, const std::string& mp3, int kbps);

}  // namespace ag
