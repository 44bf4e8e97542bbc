#include "engine/sdl/master_bus.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// A tenth of a decibel under the ceiling: the rebuilt wave is an estimate, a converter's may peak
// a little higher, and rounding in the gain's arithmetic must never lift a sample onto it.
constexpr double kCeilingMargin = 0.99;

}  // namespace

float MasterBus::Gain() {
    return std::pow(10.0f, kGainDb / 20.0f);
}

float MasterBus::Ceiling() {
    return std::pow(10.0f, kCeilingDb / 20.0f);
}

bool MasterBus::Configure(int sampleRate, int channels) {
    if (channels < 1 || channels > kMaxChannels || sampleRate <= 0) {
        return false;
    }
    channels_ = channels;
    lookAhead_ = std::clamp(static_cast<int>(std::lround(sampleRate * kLookAheadSeconds)),
                            kTaps / 2, kMaxLookAhead);
    ramp_ = lookAhead_ + 1;
    window_ = lookAhead_ + kTaps / 2 + 1;
    release_ = 1.0 - std::exp(-1.0 / (kReleaseSeconds * sampleRate));
    // Hann-windowed sinc at a quarter, a half and three quarters of the way from sample 7 to 8,
    // each phase scaled to pass a constant unchanged.
    for (int p = 0; p < kBetween; ++p) {
        double sum = 0.0;
        for (int k = 0; k < kTaps; ++k) {
            const double d = kTaps / 2.0 - 1.0 + (p + 1) / 4.0 - k;
            const double sinc = std::sin(std::numbers::pi * d) / (std::numbers::pi * d);
            const double window = 0.5 * (1.0 + std::cos(std::numbers::pi * d / (kTaps / 2.0)));
            taps_[p * kTaps + k] = static_cast<float>(sinc * window);
            sum += sinc * window;
        }
        for (int k = 0; k < kTaps; ++k) {
            taps_[p * kTaps + k] /= static_cast<float>(sum);
        }
    }
    history_.fill(0.0f);
    historyAt_ = 0;
    delay_.fill(0.0f);
    delayAt_ = 0;
    minHead_ = 0;
    minCount_ = 0;
    frame_ = 0;
    released_.fill(1.0);
    releasedSum_ = ramp_;
    envelope_ = 1.0;
    return true;
}

// A queue of the window's needed gains, each lower than all that came in before it and are still
// in the window: its front is the window's lowest.
double MasterBus::WindowMinimum(double needed) {
    while (minCount_ > 0 && minGain_[(minHead_ + minCount_ - 1) % window_] >= needed) {
        --minCount_;
    }
    const int back = (minHead_ + minCount_) % window_;
    minGain_[back] = needed;
    minFrame_[back] = frame_;
    ++minCount_;
    if (minFrame_[minHead_] <= frame_ - window_) {
        minHead_ = (minHead_ + 1) % window_;
        --minCount_;
    }
    return minGain_[minHead_];
}

double MasterBus::PeakOf(const float* frame) {
    double peak = 0.0;
    for (int c = 0; c < channels_; ++c) {
        float* history = &history_[c * kTaps];
        history[historyAt_] = frame[c];
        peak = std::max(peak, static_cast<double>(std::fabs(frame[c])));
        for (int p = 0; p < kBetween; ++p) {
            const float* taps = &taps_[p * kTaps];
            double value = 0.0;
            for (int k = 0; k < kTaps; ++k) {  // k = 0 is the oldest sample
                value += taps[k] * history[(historyAt_ + 1 + k) % kTaps];
            }
            peak = std::max(peak, std::fabs(value));
        }
    }
    historyAt_ = (historyAt_ + 1) % kTaps;
    return peak;
}

// Per frame: the gain that keeps its samples, and the wave rebuilt between the frames 8 back,
// under the ceiling; the lowest of those over the window (the look-ahead and those 8 frames),
// held; released slowly when the hold rises, dropped at once when it falls; then averaged over
// the look-ahead. A frame leaves the delay line once every gain of that average was worked out
// with all it needs in the window, so each is at most what the frame needs, and so is their
// average.
void MasterBus::Process(float* samples, int frames) {
    const float gain = Gain();
    const double target = Ceiling() * kCeilingMargin;
    for (int f = 0; f < frames; ++f) {
        float* frame = samples + static_cast<std::ptrdiff_t>(f) * channels_;
        float* in = &delay_[delayAt_ * channels_];
        for (int c = 0; c < channels_; ++c) {
            in[c] = frame[c] * gain;
        }
        const double peak = PeakOf(in);
        const double hold = WindowMinimum(peak > target ? target / peak : 1.0);
        envelope_ = hold < envelope_ ? hold : envelope_ + (hold - envelope_) * release_;
        const int slot = static_cast<int>(frame_ % ramp_);
        releasedSum_ += envelope_ - released_[slot];
        released_[slot] = envelope_;
        const double limit = std::min(1.0, releasedSum_ / ramp_);

        delayAt_ = (delayAt_ + 1) % window_;
        const float* out = &delay_[delayAt_ * channels_];
        for (int c = 0; c < channels_; ++c) {
            frame[c] = static_cast<float>(out[c] * limit);
        }
        ++frame_;
    }
}
