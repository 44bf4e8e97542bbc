// Each platform's loop around the one step (engine/loop/frame_loop.h), and one frame.
#include <SDL.h>
#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

#include <chrono>
#include <thread>

#include "engine/sdl/sdl_engine.h"

namespace {

#ifdef __EMSCRIPTEN__
struct BrowserLoop {
    SdlEngine* engine;
    FrameLoop::Frames* frames;
};
BrowserLoop browser{};

// What the page and its tests read: frames run and pictures shown so far.
void TellThePage(int frames, int pictures) {
    EM_ASM(
        {
            Module.gameFrames = $0;
            Module.gamePictures = $1;
        },
        frames, pictures);
}
#else
// The desktop sleeps between steps. The standard library's sleep is as fine as the system allows
// (SDL_Delay only sleeps whole milliseconds, so frames would come too early).
class DesktopWaits final : public FrameLoop::Waits {
  public:
    explicit DesktopWaits(const SdlEngine& engine) : engine_(engine) {}
    std::uint64_t Now() const override { return engine_.Now(); }
    void Sleep(double seconds) override {
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    }
    void WaitForEvents() override { SDL_WaitEvent(nullptr); }

  private:
    const SdlEngine& engine_;
};
#endif

}  // namespace

bool SdlEngine::RunLoop(FrameLoop::Frames& frames) {
    if (!initiated_) {
        return false;
    }
#ifdef __EMSCRIPTEN__
    // The page owns the loop and calls the step once per animation frame, which is the display's
    // pace: every step shows its last frame, and a step catches up on the frames of a slow one.
    loop_.Clock().SetPresentPeriod(0.0);
    loop_.SetMostFramesPerStep(FrameLoop::kMostFramesPerStep);
    browser = {this, &frames};
    emscripten_set_main_loop(
        [] {
            SdlEngine& self = *browser.engine;
            const bool ended = self.loop_.Step(*browser.frames, self.Now());
            TellThePage(self.framesRun_, self.picturesShown_);
            if (ended) {
                self.EndLoop();
            }
        },
        0, true);
#else
    DesktopWaits waits(*this);
    loop_.RunPaced(frames, waits);
    EndLoop();
#endif
    return true;
}

void SdlEngine::EndLoop() {
    shown_ = true;  // frames run by hand after the loop draw again
#ifdef __EMSCRIPTEN__
    // The sound stops with the loop, and the page says that the game has ended.
    emscripten_cancel_main_loop();
    System_Shutdown();
    EM_ASM({
        if (Module.onGameEnded)
            Module.onGameEnded();
    });
#endif
}

bool SdlEngine::RunFrame(std::uint64_t start, bool shown) {
    if (!initiated_) {
        return true;
    }
    input_.Pump();
    // Sound stands still with the game while it is held.
    if (input_.Suspended() != soundPaused_) {
        soundPaused_ = input_.Suspended();
        audio_.SetPaused(soundPaused_);
    }
    if (batch_.RefitTargets(input_.TargetsLost()) && restoreFunc_ != nullptr) {
        restoreFunc_();
    }
    if (input_.QuitAsked()) {
        return true;
    }
    if (input_.Suspended()) {
        return false;
    }
    FrameClock& clock = loop_.Clock();
    // The pause is not game time: the frame after it starts the clock afresh.
    if (input_.Resumed()) {
        clock.Restart();
    }
    clock.StartFrame(start != 0 ? start : Now());
    shown_ = shown;
    ++framesRun_;
    audio_.StartFrame();
    input_.UpdateMouse(clock.Delta());
    if (frameFunc_ != nullptr && frameFunc_()) {
        return true;
    }
    if (renderFunc_ != nullptr) {
        renderFunc_();
    }
    return false;
}
