#include "engine/sdl/frame_clock.h"

#include <cmath>

double FrameClock::SecondsSince(std::uint64_t then, std::uint64_t now) const {
    return static_cast<double>(now - then) / static_cast<double>(ticksPerSecond_);
}

std::uint64_t FrameClock::Ticks(double seconds) const {
    return static_cast<std::uint64_t>(std::llround(seconds * static_cast<double>(ticksPerSecond_)));
}

std::uint64_t FrameClock::NextOnGrid(std::uint64_t due, std::uint64_t period, std::uint64_t now,
                                     std::uint64_t restart) {
    return due != 0 && now < due + period ? due + period : restart;
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
    skipDrawing_ = presentDue_ != 0 && now < presentDue_;
}

void FrameClock::Presented(std::uint64_t now) {
    const std::uint64_t period = Ticks(presentPeriod_);
    presentDue_ = NextOnGrid(presentDue_, period, now, now + period);
}

void FrameClock::ScheduleNextFrame(std::uint64_t now) {
    // Without a grid the frame that just ran starts one; a frame that ran past its successor's
    // deadline lets the next one start at once.
    const std::uint64_t period = Ticks(kFrameSeconds);
    frameDue_ = NextOnGrid(frameDue_, period, now, frameStart_ + period);
}

double FrameClock::SecondsToNextFrame(std::uint64_t now) const {
    return now < frameDue_ ? SecondsSince(now, frameDue_) : 0.0;
}

int FrameClock::TakeDueFrames(std::uint64_t now) {
    const std::uint64_t period = Ticks(kFrameSeconds);
    if (frameDue_ == 0 || now >= frameDue_ + kMostFramesPerStep * period) {
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
