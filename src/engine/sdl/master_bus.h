// The master bus every sound of the game passes after the mixer has summed the channels (in float,
// so a pile-up of sounds can add up past full scale without being cut off): one gain that sets
// the whole game's loudness, then a look-ahead peak limiter that keeps every sample, and the wave
// a converter rebuilds between the samples, under the ceiling. Works in place on interleaved
// float frames; sized for any device the mixer may open, so processing never allocates.
#pragma once

#include <array>
#include <cstdint>

class MasterBus {
  public:
    // The level the whole game is played at, chosen with the loudness measure (bench/README.md).
    static constexpr float kGainDb = 6.0f;
    // No sample leaves the bus louder than this.
    static constexpr float kCeilingDb = -1.0f;
    // How far ahead the limiter sees: its gain ramps down over this time before a peak arrives,
    // so a peak is never cut off in one step. Every sound is delayed by it.
    static constexpr double kLookAheadSeconds = 0.002;
    // How quickly the gain comes back after a peak: slow enough that the sounds under a loud
    // pile-up do not audibly swell back between its peaks.
    static constexpr double kReleaseSeconds = 0.25;

    static float Gain();
    static float Ceiling();

    // Set before the first Process, for the device's rate and channel count (a rate the bus
    // cannot look far enough ahead at is limited with the longest look-ahead it holds). Clears
    // the bus; false, leaving it as it was, for more channels than it holds.
    bool Configure(int sampleRate, int channels);
    // Applies the gain and the limiter to `frames` interleaved frames; the output is the input
    // of kLookAheadSeconds (and 8 frames) earlier.
    void Process(float* samples, int frames);
    int Channels() const { return channels_; }

  private:
    static constexpr int kMaxChannels = 8;
    static constexpr int kMaxLookAhead = 512;  // frames: 2 ms up to 192 kHz
    // The wave between two samples is rebuilt at three points, from the 16 samples around them,
    // so a crest is seen half of those later than the samples it lies between.
    static constexpr int kTaps = 16;
    static constexpr int kBetween = 3;
    static constexpr int kWindow = kMaxLookAhead + kTaps / 2 + 1;

    // The gain the frame just in needs, and the lowest of those over the look-ahead window.
    double WindowMinimum(double needed);
    // The highest of the frame's samples and of the wave rebuilt between the two frames half the
    // interpolator back, over every channel.
    double PeakOf(const float* frame);

    int channels_ = 2;
    int lookAhead_ = 88;
    int window_ = 97;       // the delay: the look-ahead, the interpolator's lateness, the frame in
    int ramp_ = 89;         // the frames the gain is averaged over
    double release_ = 0.0;  // share of the distance back to the held gain closed per frame

    // The last kTaps samples of each channel, at the master gain, and the interpolator.
    std::array<float, kTaps * kMaxChannels> history_{};
    int historyAt_ = 0;
    std::array<float, kTaps * kBetween> taps_{};
    // The frames of the look-ahead, already at the master gain.
    std::array<float, kWindow * kMaxChannels> delay_{};
    int delayAt_ = 0;
    // The lowest needed gain of the window: a queue of rising gains with the frame each came in.
    std::array<double, kWindow> minGain_{};
    std::array<std::int64_t, kWindow> minFrame_{};
    int minHead_ = 0;
    int minCount_ = 0;
    std::int64_t frame_ = 0;
    // The released gain of each frame of the window, and their sum: the gain applied is their
    // average, which ramps down over the look-ahead and never rises above what a peak needs.
    std::array<double, kMaxLookAhead + 1> released_{};
    double releasedSum_ = 0.0;
    double envelope_ = 1.0;
};
