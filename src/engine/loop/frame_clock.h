// The loop's sense of time, kept as arithmetic over counter readings so that it runs the same on a
// fake clock as on a real high-resolution counter:
// - the delta Timer_GetDelta reports: the time between the starts of two frames, 0 on the first
//   frame and on the first after a pause (a pause is not game time);
// - the frame grid: the game runs its rules once per frame and a bullet advances a fixed share of
//   its flight per frame (the share grows with the frame's length); at the display's 60 Hz a
//   bullet jumps most of the way to the aim point in one frame and passes over zombies it should
//   hit. So frames start kFrameSeconds apart, on a grid of absolute deadlines: a frame that
//   starts late does not push the frames after it later, and a loop can sleep through the time
//   between frames rather than spinning;
// - presentation pacing: pictures are due on the display's own cadence, one refresh period after
//   the previous one was due (not after it went out, which would drift below the refresh rate).
//   With no period (a browser, whose animation frames are the display's pace, or a clock of the
//   loop's own) a picture is always due.
// A loop that falls too far behind the frame grid starts it afresh from now instead of rushing to
// catch up: the desktop as soon as it is a whole frame behind, the browser after a stall of
// several of its animation frames.
#pragma once

#include <cstdint>

class FrameClock {
  public:
    static constexpr double kFrameSeconds = 1.0 / 500.0;

    explicit FrameClock(std::uint64_t ticksPerSecond) : ticksPerSecond_(ticksPerSecond) {}
    std::uint64_t TicksPerSecond() const { return ticksPerSecond_; }

    // The next frame's delta is 0, and the grids of frames and pictures start afresh from it.
    void Restart();
    // A frame's callbacks are about to run at `now`.
    void StartFrame(std::uint64_t now);
    float Delta() const { return delta_; }

    // The display shows a new picture this often; 0: whenever the loop steps.
    void SetPresentPeriod(double seconds) { presentPeriod_ = seconds; }
    double PresentPeriod() const { return presentPeriod_; }
    // Whether a picture is due at `now`.
    bool PictureDue(std::uint64_t now) const;
    // A picture went to the display at `now`.
    void Presented(std::uint64_t now);

    // At `now`: how many frames of the grid have come due since the last call, the first due at
    // once. Behind by `mostFrames` frames or more, the grid starts afresh from now.
    int TakeDueFrames(std::uint64_t now, int mostFrames);
    // Where the i-th of the frames just taken starts on the grid, so that every one of them has
    // the grid's delta.
    std::uint64_t DueFrameStart(int i) const;
    // Seconds from `now` to the next frame's deadline; 0 once it is due.
    double SecondsToNextFrame(std::uint64_t now) const;

  private:
    double SecondsSince(std::uint64_t then, std::uint64_t now) const;
    std::uint64_t Ticks(double seconds) const;

    std::uint64_t ticksPerSecond_;
    std::uint64_t frameStart_ = 0;
    bool started_ = false;
    float delta_ = 0.0f;
    double presentPeriod_ = 0.0;
    // 0: no deadline yet, due at once.
    std::uint64_t presentDue_ = 0;
    std::uint64_t frameDue_ = 0;
    std::uint64_t stepFirst_ = 0;
};
