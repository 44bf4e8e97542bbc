#include "engine/loop/frame_clock.h"

#include <cmath>

double FrameClock::SecondsSince(std::uint64_t then, std::uint64_t now) const {
    return static_cast<double>(now - then) / static_cast<double>(ticksPerSecond_);
}

std::uint64_t FrameClock::Ticks(double seconds) const {
    return static_cast<std::uint64_t>(std::llround(seconds * static_cast<double>(ticksPerSecond_)));
}

void FrameClock::Restart() {
    started_ = false;
    delta_ = 0.0f;
    // The frames and pictures of an earlier run, or of the time before a pause, are not owed.
    frameDue_ = 0;
    presentDue_ = 0;
}

void FrameClock::StartFrame(std::uint64_t now) {
    delta_ = started_ ? static_cast<float>(SecondsSince(frameStart_, now)) : 0.0f;
    started_ = true;
    frameStart_ = now;
}

bool FrameClock::PictureDue(std::uint64_t now) const {
    return presentPeriod_ <= 0.0 || presentDue_ == 0 || now >= presentDue_;
}

void FrameClock::Presented(std::uint64_t now) {
    // The next picture is due one period after this one was, unless this one came a whole period
    // late: then the display's grid starts afresh from now.
    const std::uint64_t period = Ticks(presentPeriod_);
    presentDue_ =
        presentDue_ != 0 && now < presentDue_ + period ? presentDue_ + period : now + period;
}

int FrameClock::TakeDueFrames(std::uint64_t now, int mostFrames) {
    const std::uint64_t period = Ticks(kFrameSeconds);
    if (frameDue_ == 0 || now >= frameDue_ + static_cast<std::uint64_t>(mostFrames) * period) {
        frameDue_ = now;
    }
    if (now < frameDue_) {
        return 0;
    }
    const auto frames = static_cast<int>((now - frameDue_) / period) + 1;
    stepFirst_ = frameDue_;
    frameDue_ += static_cast<std::uint64_t>(frames) * period;
    return frames;
}

std::uint64_t FrameClock::DueFrameStart(int i) const {
    return stepFirst_ + static_cast<std::uint64_t>(i) * Ticks(kFrameSeconds);
}

double FrameClock::SecondsToNextFrame(std::uint64_t now) const {
    return now < frameDue_ ? SecondsSince(now, frameDue_) : 0.0;
}
