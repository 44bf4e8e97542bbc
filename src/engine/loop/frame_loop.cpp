#include "engine/loop/frame_loop.h"

bool FrameLoop::Step(Frames& frames, std::uint64_t now) {
    const int due = clock_.TakeDueFrames(now, mostFramesPerStep_);
    const bool pictureDue = clock_.PictureDue(now);
    for (int i = 0; i < due; ++i) {
        if (frames.RunFrame(clock_.DueFrameStart(i), pictureDue && i == due - 1)) {
            return true;
        }
        if (frames.Suspended()) {
            break;
        }
    }
    return false;
}

void FrameLoop::RunPaced(Frames& frames, Waits& waits) {
    while (!Step(frames, waits.Now())) {
        if (frames.Suspended()) {
            waits.WaitForEvents();
            continue;
        }
        // A sleep may wake before its deadline; it is asked again rather than the frame run early.
        for (;;) {
            const double left = clock_.SecondsToNextFrame(waits.Now());
            if (left <= 0.0) {
                break;
            }
            waits.Sleep(left);
        }
    }
}

void FrameLoop::RunOnOwnClock(Frames& frames, std::uint64_t start, std::uint64_t ticksPerStep) {
    for (std::uint64_t now = start; !Step(frames, now);) {
        now += ticksPerStep;
    }
}
