// The loop's sense of time, kept as arithmetic over counter readings so that it runs the same on a
// fake clock as on SDL's high-resolution counter:
// - the delta Timer_GetDelta reports: the time between the starts of two frames, 0 on the first
//   frame and on the first after a pause (a pause is not game time);
// - the frame-rate limit: the game runs its rules once per frame and a bullet advances a fixed
//   share of its flight per frame (the share grows with the frame's length); at the display's
//   60 Hz a bullet jumps most of the way to the aim point in one frame and passes over zombies it
//   should hit. So frames run up to kFrameSeconds apart, without vsync;
// - presentation pacing: a frame whose picture would be replaced before the display shows it runs
//   its rules but draws nothing.
#pragma once

#include <cstdint>

class FrameClock {
  public:
    static constexpr double kFrameSeconds = 1.0 / 500.0;

    explicit FrameClock(std::uint64_t ticksPerSecond) : ticksPerSecond_(ticksPerSecond) {}

    // The next frame's delta is 0.
    void Restart();
    // A frame's callbacks are about to run at `now`.
    void StartFrame(std::uint64_t now);
    float Delta() const { return delta_; }

    // The display shows a new picture this often.
    void SetPresentPeriod(double seconds) { presentPeriod_ = seconds; }
    // Before each frame of the paced loop: whether its picture would reach the display.
    void DecideDrawing(std::uint64_t now);
    // Frames run outside the paced loop (by hand, or scripted) always draw.
    void DrawEveryFrame() { skipDrawing_ = false; }
    bool SkipsDrawing() const { return skipDrawing_; }
    // A picture went to the display at `now`.
    void Presented(std::uint64_t now) { lastPresent_ = now; }
    // How long to sleep, at `now` after a frame, to keep to the frame-rate limit; 0 when less than
    // a millisecond is left.
    std::uint32_t MillisecondsToSleep(std::uint64_t now) const;

  private:
    double SecondsSince(std::uint64_t then, std::uint64_t now) const;

    std::uint64_t ticksPerSecond_;
    std::uint64_t frameStart_ = 0;
    bool started_ = false;
    float delta_ = 0.0f;
    double presentPeriod_ = 1.0 / 60.0;
    // 0: nothing presented yet.
    std::uint64_t lastPresent_ = 0;
    bool skipDrawing_ = false;
};
