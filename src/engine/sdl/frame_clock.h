// The loop's sense of time, kept as arithmetic over counter readings so that it runs the same on a
// fake clock as on SDL's high-resolution counter:
// - the delta Timer_GetDelta reports: the time between the starts of two frames, 0 on the first
//   frame and on the first after a pause (a pause is not game time);
// - the frame-rate limit: the game runs its rules once per frame and a bullet advances a fixed
//   share of its flight per frame (the share grows with the frame's length); at the display's
//   60 Hz a bullet jumps most of the way to the aim point in one frame and passes over zombies it
//   should hit. So frames start kFrameSeconds apart, on a grid of absolute deadlines: a sleep
//   that wakes late does not push the frames after it later, and the loop sleeps through the
//   time between frames rather than spinning;
// - presentation pacing: pictures are due on the display's own cadence, one refresh period after
//   the previous one was due (not after it went out, which would drift below the refresh rate);
//   a frame whose picture is not due yet runs its rules but draws nothing.
// A loop that falls a whole period behind either grid starts it afresh from now instead of
// rushing to catch up.
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
    // Before each frame of the paced loop: whether its picture is due.
    void DecideDrawing(std::uint64_t now);
    // Frames run outside the paced loop (by hand, or scripted) always draw.
    void DrawEveryFrame() { skipDrawing_ = false; }
    bool SkipsDrawing() const { return skipDrawing_; }
    // A picture went to the display at `now`.
    void Presented(std::uint64_t now);

    // After a frame, at `now`: sets the deadline of the next one.
    void ScheduleNextFrame(std::uint64_t now);
    // Seconds from `now` to the next frame's deadline; 0 once it is due.
    double SecondsToNextFrame(std::uint64_t now) const;

    // The browser calls the loop once per picture. At `now`: how many frames of the grid have
    // come due since the last call, the first due at once. After a stall of more than
    // kMostFramesPerStep frames the grid starts afresh from now, as the desktop's does, rather
    // than rushing through the frames missed.
    static constexpr int kMostFramesPerStep = 32;
    int TakeDueFrames(std::uint64_t now);
    // Where the i-th of the frames just taken starts on the grid, so that every one of them has
    // the desktop's delta.
    std::uint64_t DueFrameStart(int i) const;
    // The browser's step shows only its last frame's picture.
    void DrawThisFrame(bool draws) { skipDrawing_ = !draws; }

  private:
    double SecondsSince(std::uint64_t then, std::uint64_t now) const;
    std::uint64_t Ticks(double seconds) const;
    // The deadline after `due` on a grid of `period` ticks, or `restart` when `now` is a whole
    // period past it (0 means no deadline yet).
    static std::uint64_t NextOnGrid(std::uint64_t due, std::uint64_t period, std::uint64_t now,
                                    std::uint64_t restart);

    std::uint64_t ticksPerSecond_;
    std::uint64_t frameStart_ = 0;
    bool started_ = false;
    float delta_ = 0.0f;
    double presentPeriod_ = 1.0 / 60.0;
    // 0: no deadline yet, due at once.
    std::uint64_t presentDue_ = 0;
    std::uint64_t frameDue_ = 0;
    std::uint64_t stepFirst_ = 0;
    bool skipDrawing_ = false;
};
