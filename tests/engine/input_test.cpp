// Keys, buttons, the mouse, focus and Alt+Enter, from SDL events pushed into the queue the way a
// desktop sends them.
#include <algorithm>
#include <vector>

#include "engine_test.h"

namespace test {
namespace {

int framesRun = 0;
bool CountFrame() {
    ++framesRun;
    return false;
}

class InputTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        framesRun = 0;
        hge->System_SetState(HGE_FRAMEFUNC, CountFrame);
    }
    void Frame(const std::vector<SDL_Event>& events) {
        for (const SDL_Event& e : events) {
            Push(e);
        }
        engine->RunFrame();
    }
    SDL_Event WindowEvent(SDL_WindowEventID id) {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.event = id;
        e.window.windowID = SDL_GetWindowID(engine->Window());
        return e;
    }
    bool MouseHeld() { return (SDL_GetWindowFlags(engine->Window()) & SDL_WINDOW_MOUSE_GRABBED); }
};

SDL_Event Down(SDL_Keycode sym, Uint16 mod = KMOD_NONE) {
    return Key(sym, true, mod);
}
SDL_Event Up(SDL_Keycode sym) {
    return Key(sym, false);
}

TEST_F(InputTest, KeysButtonsTapsAndAltEnterInOneSequence) {
    struct Step {
        std::vector<SDL_Event> events;
        int pressed;              // what Input_GetKey says
        std::vector<int> held;    // the watched keys Input_GetKeyState says are down
        bool fullscreen = false;  // which also holds the mouse inside the window
    };
    const int watched[] = {HGEK_W, HGEK_1, HGEK_2, HGEK_ENTER, HGEK_ESCAPE, HGEK_LBUTTON};
    const Step steps[] = {
        {{Down(SDLK_w)}, HGEK_W, {HGEK_W}},
        {{}, 0, {HGEK_W}},  // held on, pressed once
        // Of two keys in one frame the first is the press.
        {{Up(SDLK_w), Down(SDLK_1), Down(SDLK_2)}, HGEK_1, {HGEK_1, HGEK_2}},
        // A tap within one frame is a press, and held for that frame only.
        {{Up(SDLK_1), Up(SDLK_2), Down(SDLK_ESCAPE), Up(SDLK_ESCAPE)}, HGEK_ESCAPE, {HGEK_ESCAPE}},
        {{}, 0, {}},
        {{Button(true)}, HGEK_LBUTTON, {HGEK_LBUTTON}},
        {{Button(false), Down(SDLK_F5)}, 0, {}},  // no key of the game's
        // Alt+Enter goes fullscreen; neither it nor the Enter held on after Alt is the game's.
        {{Down(SDLK_RETURN, KMOD_LALT)}, 0, {}, true},
        {{Down(SDLK_RETURN)}, 0, {}, true},
        {{Up(SDLK_RETURN), Down(SDLK_KP_ENTER, KMOD_RALT), Up(SDLK_KP_ENTER)}, 0, {}},
        {{Down(SDLK_RETURN), Up(SDLK_RETURN)}, HGEK_ENTER, {HGEK_ENTER}},  // the game's again
    };
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        const Step& step = steps[i];
        Frame(step.events);
        EXPECT_EQ(hge->Input_GetKey(), step.pressed) << "step " << i;
        for (const int key : watched) {
            EXPECT_EQ(hge->Input_GetKeyState(key), std::ranges::count(step.held, key) == 1)
                << "step " << i << ", key " << key;
        }
        EXPECT_EQ(engine->Input().IsFullscreen(), step.fullscreen) << "step " << i;
        EXPECT_EQ(MouseHeld(), step.fullscreen) << "step " << i;
    }
    int w = 0;
    int h = 0;
    SDL_GetWindowSize(engine->Window(), &w, &h);
    EXPECT_EQ(w, 800) << "the window is the picture's size again";
    EXPECT_EQ(h, 600);
}

TEST_F(InputTest, TheMouseIsInPicturePixelsThroughTheLetterboxAndClampedOutOfTheBars) {
    float x = -1.0f;
    float y = -1.0f;
    engine->RunFrame();
    hge->Input_GetMousePos(&x, &y);
    EXPECT_FLOAT_EQ(x, 400.0f) << "the aim waits at the centre for the mouse";
    EXPECT_FLOAT_EQ(y, 300.0f);
    struct Case {
        int windowW, windowH, wx, wy;
        float x, y;
    };
    // 1000x600 shows the picture between two 100-pixel bars; 1600x1200 doubles every pixel.
    const Case cases[] = {
        {1000, 600, 500, 300, 400.0f, 300.0f}, {1000, 600, 150, 20, 50.0f, 20.0f},
        {1000, 600, 50, 300, 0.0f, 300.0f},    {1000, 600, 990, 599, 799.0f, 599.0f},
        {1000, 600, 899, 0, 799.0f, 0.0f},     {1600, 1200, 300, 1000, 150.0f, 500.0f}};
    for (const Case& c : cases) {
        SDL_SetWindowSize(engine->Window(), c.windowW, c.windowH);
        SDL_WarpMouseInWindow(engine->Window(), c.wx, c.wy);
        engine->RunFrame();
        hge->Input_GetMousePos(&x, &y);
        EXPECT_FLOAT_EQ(x, c.x) << c.wx << "," << c.wy << " in " << c.windowW;
        EXPECT_FLOAT_EQ(y, c.y) << c.wx << "," << c.wy << " in " << c.windowW;
    }
}

TEST_F(InputTest, LosingFocusPausesTheGameAndThePauseIsNoGameTime) {
    Frame({Key(SDLK_w, true)});
    Frame({WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST)});
    SDL_Delay(50);
    Frame({});
    EXPECT_EQ(framesRun, 1) << "no frames while another window has focus";
    EXPECT_FALSE(hge->Input_GetKeyState(HGEK_W)) << "a key let go elsewhere is not held";
    Frame({WindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED)});
    EXPECT_EQ(framesRun, 2);
    EXPECT_EQ(hge->Timer_GetDelta(), 0.0f);
    // Closing the window ends the loop like Escape, before another frame runs.
    Push(WindowEvent(SDL_WINDOWEVENT_CLOSE));
    EXPECT_TRUE(hge->System_Start());
    EXPECT_EQ(framesRun, 2);
}

}  // namespace
}  // namespace test
