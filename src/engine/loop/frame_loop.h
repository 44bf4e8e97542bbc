// The engine's one loop, as one step: run every frame come due on the 2 ms grid, each with its
// place on the grid as its start, and show the last one's picture when a picture is due. Whoever
// owns the thread calls the step:
//   the desktop   RunPaced: a step, then a sleep to the next frame's deadline (or, while the
//                 window is away, a wait for the event that brings it back), until the end;
//   the browser   one step per animation frame, from the page's own loop;
//   a clock of its own  RunOnOwnClock: steps as fast as they run, the counter advanced by a fixed
//                 amount each (the headless engine, the tests), so the frames are those of a real
//                 run, only not waited for.
// The loop knows nothing of what a frame does: an engine runs it (Frames::RunFrame).
#pragma once

#include <cstdint>

#include "engine/loop/frame_clock.h"

class FrameLoop {
  public:
    // One engine's frames, as the loop drives them.
    class Frames {
      public:
        // Runs one frame starting at `start` on the counter (events, both callbacks); its picture
        // is drawn and presented only when `shown`. True ends the loop.
        virtual bool RunFrame(std::uint64_t start, bool shown) = 0;
        // While true (the window lost focus, the tab is hidden) no frame runs.
        virtual bool Suspended() const = 0;

      protected:
        ~Frames() = default;
    };

    // What the desktop loop needs of its platform besides the frames.
    class Waits {
      public:
        virtual std::uint64_t Now() const = 0;
        virtual void Sleep(double seconds) = 0;
        // Blocks until something happens that may end a suspension.
        virtual void WaitForEvents() = 0;

      protected:
        ~Waits() = default;
    };

    // The desktop falls back on the grid as soon as a frame is a whole period late; a browser
    // step catches up on up to a second of frames first (an animation frame is about eight), so
    // a browser that shows only a few pictures a second (a slow phone, a page held up) still runs
    // every 2 ms frame, and only a real stall (a hidden tab) starts afresh with one long frame.
    static constexpr int kMostFramesPerStep = 500;

    FrameLoop(std::uint64_t ticksPerSecond, int mostFramesPerStep)
        : clock_(ticksPerSecond), mostFramesPerStep_(mostFramesPerStep) {}
    FrameClock& Clock() { return clock_; }
    const FrameClock& Clock() const { return clock_; }
    void SetMostFramesPerStep(int frames) { mostFramesPerStep_ = frames; }

    // The step. True when the loop has ended.
    bool Step(Frames& frames, std::uint64_t now);
    // The desktop's loop: steps until the end, sleeping between them.
    void RunPaced(Frames& frames, Waits& waits);
    // Steps until the end on a counter that starts at `start` and advances `ticksPerStep` each.
    void RunOnOwnClock(Frames& frames, std::uint64_t start, std::uint64_t ticksPerStep);

  private:
    FrameClock clock_;
    int mostFramesPerStep_;
};
