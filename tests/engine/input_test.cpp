// Keys, buttons, the mouse, focus and Alt+Enter, from SDL events pushed into the queue the way a
// desktop sends them; gamepads from SDL's virtual joysticks.
#include <algorithm>
#include <tuple>
#include <vector>

#include <SDL_mixer.h>

#include "engine_test.h"

namespace test {
namespace {

constexpr int kFire = HGEK_LBUTTON;  // the left mouse button
int framesRun = 0;

class InputTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        framesRun = 0;
        // Counts the frames and never ends the loop.
        hge->System_SetState(HGE_FRAMEFUNC, [] { return ++framesRun < 0; });
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
        return e;
    }
    bool MouseHeld() { return (SDL_GetWindowFlags(engine->Window()) & SDL_WINDOW_MOUSE_GRABBED); }
    static SDL_Event Down(SDL_Keycode sym, Uint16 mod = KMOD_NONE) { return Key(sym, true, mod); }
    static SDL_Event Up(SDL_Keycode sym) { return Key(sym, false); }
    std::pair<float, float> Crosshair() {
        std::pair<float, float> at;
        hge->Input_GetMousePos(&at.first, &at.second);
        return at;
    }
    // A frame after these events: what Input_GetKey says, and which keys Input_GetKeyState says
    // are down.
    void Expect(const std::vector<SDL_Event>& events, int pressed, const std::vector<int>& held,
                const std::string& what) {
        Frame(events);
        EXPECT_EQ(hge->Input_GetKey(), pressed) << what;
        for (int key = 1; key < 256; ++key) {
            EXPECT_EQ(hge->Input_GetKeyState(key), std::ranges::count(held, key) == 1)
                << what << ", key " << key;
        }
    }
};

TEST_F(InputTest, KeysButtonsTapsAndAltEnterInOneSequence) {
    struct Step {
        std::vector<SDL_Event> events;
        int pressed;
        std::vector<int> held;
        bool fullscreen = false;  // which also holds the mouse inside the window
    };
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
        Expect(step.events, step.pressed, step.held, "step " + std::to_string(i));
        EXPECT_EQ(engine->Input().IsFullscreen(), step.fullscreen) << "step " << i;
        EXPECT_EQ(MouseHeld(), step.fullscreen) << "step " << i;
    }
    int w = 0;
    int h = 0;
    SDL_GetWindowSize(engine->Window(), &w, &h);
    EXPECT_EQ(std::pair(w, h), std::pair(800, 600)) << "the window is the picture's size again";
}

TEST_F(InputTest, TheMouseIsInPicturePixelsThroughTheLetterboxAndClampedOutOfTheBars) {
    engine->RunFrame();
    EXPECT_EQ(Crosshair(), std::pair(400.0f, 300.0f)) << "the aim waits at the centre";
    // The window can be dragged to any size and maximised.
    EXPECT_NE(SDL_GetWindowFlags(engine->Window()) & SDL_WINDOW_RESIZABLE, 0u);
    int maxW = 0;
    int maxH = 0;
    SDL_GetWindowMaximumSize(engine->Window(), &maxW, &maxH);
    EXPECT_EQ(std::pair(maxW, maxH), std::pair(0, 0)) << "no largest size";
    // Window size, mouse in the window, in the picture. 1000x600 shows the picture between two
    // 100-pixel bars; 1600x1200 doubles every pixel.
    const int cases[][6] = {{1000, 600, 500, 300, 400, 300}, {1000, 600, 150, 20, 50, 20},
                            {1000, 600, 50, 300, 0, 300},    {1000, 600, 990, 599, 799, 599},
                            {1000, 600, 899, 0, 799, 0},     {1600, 1200, 300, 1000, 150, 500}};
    for (const auto& c : cases) {
        SDL_SetWindowSize(engine->Window(), c[0], c[1]);
        SDL_WarpMouseInWindow(engine->Window(), c[2], c[3]);
        engine->RunFrame();
        EXPECT_EQ(Crosshair(), (std::pair<float, float>(c[4], c[5]))) << c[2] << "," << c[3];
    }
}

TEST(Gamepad, TheAimingStickMovesTheCrosshairFasterTheFurtherItIsPushed) {
    // Stick, seconds, how far the crosshair moves: nothing in the dead zone, 900 pixels a second
    // pushed all the way (a square gate's corner included), a quarter of that halfway past it.
    const float aims[][5] = {{0.15, 0.1, 1, 0, 0},      {1, 0, 0.5, 450, 0},
                             {-0.6, 0.8, 0.1, -54, 72}, {1, 1, 1, 636.4, 636.4},
                             {0, -0.6, 1, 0, -225},     {0.6, 0, 0.2, 45, 0}};
    for (const auto& a : aims) {
        const AimMotion m = StickAim(a[0], a[1], a[2]);
        EXPECT_LT(SDL_fabsf(m.x - a[3]) + SDL_fabsf(m.y - a[4]), 0.1f) << a[0] << "," << a[1];
    }
}

// One pad is plugged in before the engine starts and one during play; both steer the soldier.
// Every control is read through SDL's game controller mapping of a virtual pad.
TEST_F(InputTest, PadsHoldTheGamesKeysAndAimWhenEverTheyArePluggedIn) {
    hge->System_Shutdown();
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0);
    SDL_Joystick* pads[2] = {PlugPad(), nullptr};
    ASSERT_TRUE(hge->System_Initiate());
    // A control by SDL's name for it, pushed to a percentage of its travel (a button: down unless
    // 0). Each name is of one kind, so the other call does nothing. A virtual pad's trigger
    // travels the whole range of an axis.
    auto set = [](SDL_Joystick* p, const char* name, int percent) {
        SDL_JoystickSetVirtualButton(p, SDL_GameControllerGetButtonFromString(name), percent != 0);
        const int range = SDL_strstr(name, "trigger") != nullptr ? 65535 : 32767;
        SDL_JoystickSetVirtualAxis(p, SDL_GameControllerGetAxisFromString(name),
                                   percent * range / 100 + 32767 - range);
    };
    // Each control pushed and let go before the next: the key it holds, and presses if it is a
    // button (pushed as 1). The first is the first frame's.
    const std::tuple<const char*, int, int> controls[] = {
        {"a", 1, HGEK_LBUTTON},   {"dpup", 1, HGEK_W},          {"dpleft", 1, HGEK_A},
        {"dpdown", 1, HGEK_S},    {"dpright", 1, HGEK_D},       {"leftshoulder", 1, HGEK_1},
        {"x", 1, HGEK_1},         {"rightshoulder", 1, HGEK_2}, {"y", 1, HGEK_2},
        {"start", 1, HGEK_ENTER}, {"back", 1, HGEK_ESCAPE},     {"b", 1, 0},
        {"leftx", 24, 0},         {"leftx", 26, HGEK_D},        {"leftx", -100, HGEK_A},
        {"lefty", -100, HGEK_W},  {"righttrigger", 28, 0},      {"righttrigger", 32, kFire}};
    for (const auto& [name, percent, key] : controls) {
        set(pads[0], name, percent);
        Expect({}, percent == 1 ? key : 0, {key}, name + std::to_string(percent));
        set(pads[0], name, 0);
    }
    // Eight directions: a stick less than 22.5 degrees off an axis holds one key. A pad plugged
    // in with a button down holds it; it was never pressed.
    set(pads[0], "leftx", -100);
    set(pads[0], "lefty", 40);
    pads[1] = PlugPad();
    set(pads[1], "dpup", 1);
    Expect({}, 0, {HGEK_A, HGEK_W}, "left on one pad, up on one plugged in now");
    set(pads[0], "lefty", 43);
    Expect({}, 0, {HGEK_A, HGEK_S, HGEK_W}, "down-left on one pad, up on the other");
    SDL_JoystickDetachVirtual(1);
    Expect({}, 0, {HGEK_A, HGEK_S}, "the second pulled out");
    EXPECT_EQ(SDL_GameControllerFromInstanceID(SDL_JoystickInstanceID(pads[1])), nullptr);

    // Aiming down from the centre: not in the dead zone, then 900 pixels a second at full tilt.
    // The mouse wins the frame it moves in; the stick goes on from there to the picture's edge.
    auto aim = [&](int milliseconds, int percent) {
        set(pads[0], "righty", percent);
        SDL_Delay(milliseconds);
        engine->RunFrame();
        return Crosshair();
    };
    EXPECT_EQ(aim(30, 18), std::pair(400.0f, 300.0f));
    const float y = aim(100, 100).second;
    EXPECT_NEAR(y - 300.0f, 900.0f * hge->Timer_GetDelta(), 4.0f);
    SDL_WarpMouseInWindow(engine->Window(), 100, 120);
    EXPECT_EQ(aim(0, 100), std::pair(100.0f, 120.0f));
    EXPECT_EQ(aim(600, 100), std::pair(100.0f, 599.0f));
}

TEST_F(InputTest, LosingFocusPausesTheGameAndItsSoundAndThePauseIsNoGameTime) {
    const HEFFECT groan = hge->Effect_Load(ZS_SOURCE_DIR "/assets/sfx/zombie.mp3", 0);
    const HSTREAM music = hge->Stream_Load(ZS_SOURCE_DIR "/assets/sfx/zombie_muzik.mp3", 0);
    hge->Effect_PlayEx(groan, 10, 0, 1.0f, true);
    hge->Stream_Play(music, true, 25);
    Frame({Key(SDLK_w, true)});
    Frame({WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST)});
    SDL_Delay(50);
    Frame({});
    EXPECT_EQ(framesRun, 1) << "no frames while another window has focus";
    EXPECT_FALSE(hge->Input_GetKeyState(HGEK_W)) << "a key let go elsewhere is not held";
    EXPECT_EQ(Mix_Paused(-1), 1) << "the effect holds where it was";
    EXPECT_EQ(Mix_PausedMusic(), 1) << "and so does the music";
    Frame({WindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED)});
    EXPECT_EQ(framesRun, 2);
    EXPECT_EQ(hge->Timer_GetDelta(), 0.0f);
    EXPECT_EQ(Mix_Paused(-1), 0);
    EXPECT_EQ(Mix_PausedMusic(), 0);
    // Minimised, it stands still the same way.
    Frame({WindowEvent(SDL_WINDOWEVENT_MINIMIZED)});
    EXPECT_EQ(framesRun, 2);
    EXPECT_EQ(Mix_PausedMusic(), 1);
    Frame({WindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED)});
    EXPECT_EQ(framesRun, 3);
    // So does a page whose tab is hidden, until it is shown again.
    Frame({WindowEvent(SDL_WINDOWEVENT_HIDDEN)});
    EXPECT_EQ(framesRun, 3);
    EXPECT_EQ(Mix_PausedMusic(), 1);
    Frame({WindowEvent(SDL_WINDOWEVENT_SHOWN)});
    EXPECT_EQ(framesRun, 4);
    EXPECT_EQ(hge->Timer_GetDelta(), 0.0f);
    // Closing the window ends the loop like Escape, before another frame runs.
    Push(WindowEvent(SDL_WINDOWEVENT_CLOSE));
    EXPECT_TRUE(hge->System_Start());
    EXPECT_EQ(framesRun, 4);
}

}  // namespace
}  // namespace test
