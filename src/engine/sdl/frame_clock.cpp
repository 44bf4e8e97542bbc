#include "engine/sdl/frame_clock.h"

double FrameClock::SecondsSince(std::uint64_t then, std::uint64_t now) const {
    return static_cast<double>(now - then) / static_cast<double>(ticksPerSecond_);
}

void FrameClock::Restart() {
    started_ = false;
    delta_ = 0.0f;
}

void FrameClock::StartFrame(std::uint64_t now) {
    delta_ = started_ ? static_cast<float>(SecondsSince(frameStart_, now)) : 0.0f;
    started_ = true;
    frameStart_ = now;
}

void FrameClock::DecideDrawing(std::uint64_t now) {
    skipDrawing_ = lastPresent_ != 0 && SecondsSince(lastPresent_, now) < presentPeriod_;
}

std::uint32_t FrameClock::MillisecondsToSleep(std::uint64_t now) const {
    const double left = kFrameSeconds - SecondsSince(frameStart_, now);
    return left > 0.001 ? static_cast<std::uint32_t>(left * 1000.0) : 0;
}
