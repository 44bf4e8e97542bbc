// Keys, mouse, the frame loop and the timer, driven by SDL events pushed into the queue.
#include <algorithm>
#include <vector>

#include "engine_fixture.h"

namespace test {
namespace {

// What the callbacks saw, for the tests to read back.
struct Seen {
    int frames = 0;
    int renders = 0;
    int key = 0;
    float delta = -1.0f;
    int stopAfter = 0;  // the frame callback ends the loop on this frame (0: never)
};
Seen seen;
HGE* current = nullptr;

bool CountingFrame() {
    ++seen.frames;
    seen.key = current->Input_GetKey();
    seen.delta = current->Timer_GetDelta();
    return seen.stopAfter != 0 && seen.frames >= seen.stopAfter;
}

bool CountingRender() {
    ++seen.renders;
    return false;
}

class InputTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        seen = Seen{};
        current = hge;
        hge->System_SetState(HGE_FRAMEFUNC, CountingFrame);
        hge->System_SetState(HGE_RENDERFUNC, CountingRender);
    }
    void Tap(SDL_Keycode sym) {
        PushKey(sym, true);
        PushKey(sym, false);
    }
};

TEST_F(InputTest, KeysMapToTheGameCodesWhileHeld) {
    struct Case {
        SDL_Keycode sym;
        int code;
    };
    const Case cases[] = {{SDLK_w, HGEK_W},           {SDLK_a, HGEK_A},
                          {SDLK_s, HGEK_S},           {SDLK_d, HGEK_D},
                          {SDLK_1, HGEK_1},           {SDLK_2, HGEK_2},
                          {SDLK_RETURN, HGEK_ENTER},  {SDLK_KP_ENTER, HGEK_ENTER},
                          {SDLK_ESCAPE, HGEK_ESCAPE}, {SDLK_z, HGEK_Z}};
    for (const Case& c : cases) {
        PushKey(c.sym, true);
        engine->RunFrame();
        EXPECT_TRUE(hge->Input_GetKeyState(c.code)) << c.code;
        EXPECT_EQ(hge->Input_GetKey(), c.code);
        engine->RunFrame();  // still held, but pressed only once
        EXPECT_TRUE(hge->Input_GetKeyState(c.code)) << c.code;
        EXPECT_EQ(hge->Input_GetKey(), 0);
        PushKey(c.sym, false);
        engine->RunFrame();
        EXPECT_FALSE(hge->Input_GetKeyState(c.code)) << c.code;
    }
    EXPECT_FALSE(hge->Input_GetKeyState(HGEK_S));
    PushKey(SDLK_F5, true);  // no key of the game's
    engine->RunFrame();
    EXPECT_EQ(hge->Input_GetKey(), 0);
}

TEST_F(InputTest, ATapShorterThanAFrameIsStillPressed) {
    Tap(SDLK_1);
    engine->RunFrame();
    EXPECT_EQ(seen.key, HGEK_1) << "the frame callback sees the tap";
    EXPECT_TRUE(hge->Input_GetKeyState(HGEK_1)) << "a tap counts as held for one frame";
    engine->RunFrame();
    EXPECT_EQ(seen.key, 0);
    EXPECT_FALSE(hge->Input_GetKeyState(HGEK_1)) << "and only for one";
}

TEST_F(InputTest, LeftButtonIsHeldAndPressed) {
    PushMouseButton(SDL_BUTTON_LEFT, true);
    engine->RunFrame();
    EXPECT_TRUE(hge->Input_GetKeyState(HGEK_LBUTTON));
    EXPECT_EQ(hge->Input_GetKey(), HGEK_LBUTTON);
    engine->RunFrame();
    EXPECT_TRUE(hge->Input_GetKeyState(HGEK_LBUTTON)) << "held across frames";
    PushMouseButton(SDL_BUTTON_LEFT, false);
    engine->RunFrame();
    EXPECT_FALSE(hge->Input_GetKeyState(HGEK_LBUTTON));
}

TEST_F(InputTest, MouseIsInPicturePixelsAndClampedOutOfTheBars) {
    float x = -1.0f;
    float y = -1.0f;
    engine->RunFrame();
    hge->Input_GetMousePos(&x, &y);
    EXPECT_FLOAT_EQ(x, 400.0f) << "before the mouse moves the aim is at the centre";
    EXPECT_FLOAT_EQ(y, 300.0f);

    // 1000x600 shows the 800x600 picture between two 100-pixel bars.
    SDL_SetWindowSize(engine->Window(), 1000, 600);
    struct Case {
        int wx, wy;
        float x, y;
    };
    const Case cases[] = {{500, 300, 400.0f, 300.0f},
                          {150, 20, 50.0f, 20.0f},
                          {50, 300, 0.0f, 300.0f},     // left bar
                          {990, 599, 799.0f, 599.0f},  // right bar
                          {899, 0, 799.0f, 0.0f}};
    for (const Case& c : cases) {
        SDL_WarpMouseInWindow(engine->Window(), c.wx, c.wy);
        engine->RunFrame();
        hge->Input_GetMousePos(&x, &y);
        EXPECT_FLOAT_EQ(x, c.x) << c.wx << "," << c.wy;
        EXPECT_FLOAT_EQ(y, c.y) << c.wx << "," << c.wy;
    }
}

TEST_F(InputTest, MouseIsScaledWhenThePictureIsEnlarged) {
    // Twice the size: every picture pixel is two window pixels.
    SDL_SetWindowSize(engine->Window(), 1600, 1200);
    SDL_WarpMouseInWindow(engine->Window(), 300, 1000);
    engine->RunFrame();
    float x = 0.0f;
    float y = 0.0f;
    hge->Input_GetMousePos(&x, &y);
    EXPECT_FLOAT_EQ(x, 150.0f);
    EXPECT_FLOAT_EQ(y, 500.0f);
}

TEST_F(InputTest, AltEnterTogglesFullscreenAndTheGameNeverSeesThatEnter) {
    ASSERT_FALSE(engine->Input().IsFullscreen());
    PushKey(SDLK_RETURN, true, KMOD_LALT);
    engine->RunFrame();
    EXPECT_TRUE(engine->Input().IsFullscreen());
    EXPECT_EQ(seen.key, 0);
    EXPECT_FALSE(hge->Input_GetKeyState(HGEK_ENTER));
    // Alt let go first, Enter still down: still not the game's Enter.
    PushKey(SDLK_RETURN, true);
    engine->RunFrame();
    EXPECT_EQ(seen.key, 0);
    EXPECT_FALSE(hge->Input_GetKeyState(HGEK_ENTER));
    PushKey(SDLK_RETURN, false);
    engine->RunFrame();

    PushKey(SDLK_RETURN, true, KMOD_RALT);
    PushKey(SDLK_RETURN, false);
    engine->RunFrame();
    EXPECT_FALSE(engine->Input().IsFullscreen());
    int w = 0;
    int h = 0;
    SDL_GetWindowSize(engine->Window(), &w, &h);
    EXPECT_EQ(w, 800);
    EXPECT_EQ(h, 600);

    // A plain Enter afterwards is the game's again.
    Tap(SDLK_RETURN);
    engine->RunFrame();
    EXPECT_EQ(seen.key, HGEK_ENTER);
}

bool MouseConfined(SDL_Window* window) {
    return (SDL_GetWindowFlags(window) & SDL_WINDOW_MOUSE_GRABBED) != 0;
}

TEST_F(InputTest, AfterAltEnterKeysAndMouseStillReachTheGameAndFullscreenHoldsTheMouse) {
    EXPECT_FALSE(MouseConfined(engine->Window())) << "a window leaves the mouse free";
    PushKey(SDLK_RETURN, true, KMOD_LALT);
    PushKey(SDLK_RETURN, false, KMOD_LALT);
    engine->RunFrame();
    ASSERT_TRUE(engine->Input().IsFullscreen());
    EXPECT_TRUE(MouseConfined(engine->Window()));
    EXPECT_EQ(seen.key, 0);
    EXPECT_FALSE(hge->Input_GetKeyState(HGEK_ENTER));

    PushKey(SDLK_w, true);
    engine->RunFrame();
    EXPECT_EQ(seen.key, HGEK_W);
    EXPECT_TRUE(hge->Input_GetKeyState(HGEK_W));
    PushKey(SDLK_w, false);
    PushMouseButton(SDL_BUTTON_LEFT, true);
    engine->RunFrame();
    EXPECT_FALSE(hge->Input_GetKeyState(HGEK_W));
    EXPECT_TRUE(hge->Input_GetKeyState(HGEK_LBUTTON));
    PushMouseButton(SDL_BUTTON_LEFT, false);

    // The aim is still in picture pixels at the fullscreen size, bars or not.
    int w = 0;
    int h = 0;
    SDL_GetWindowSize(engine->Window(), &w, &h);
    const float scale = std::min(w / 800.0f, h / 600.0f);
    const float left = (w - 800.0f * scale) / 2.0f;
    const float top = (h - 600.0f * scale) / 2.0f;
    SDL_WarpMouseInWindow(engine->Window(), static_cast<int>(left + 200.5f * scale),
                          static_cast<int>(top + 150.5f * scale));
    engine->RunFrame();
    float x = 0.0f;
    float y = 0.0f;
    hge->Input_GetMousePos(&x, &y);
    EXPECT_NEAR(x, 200.0f, 1.0f) << w << "x" << h;
    EXPECT_NEAR(y, 150.0f, 1.0f) << w << "x" << h;

    // Another window taking focus frees the mouse; coming back holds it again.
    PushWindowEvent(engine->Window(), SDL_WINDOWEVENT_FOCUS_LOST);
    engine->RunFrame();
    EXPECT_FALSE(MouseConfined(engine->Window()));
    PushWindowEvent(engine->Window(), SDL_WINDOWEVENT_FOCUS_GAINED);
    engine->RunFrame();
    EXPECT_TRUE(MouseConfined(engine->Window()));

    PushKey(SDLK_KP_ENTER, true, KMOD_RALT);
    PushKey(SDLK_KP_ENTER, false);
    engine->RunFrame();
    EXPECT_FALSE(engine->Input().IsFullscreen());
    EXPECT_FALSE(MouseConfined(engine->Window()));
    EXPECT_EQ(seen.key, 0) << "neither Enter of the two toggles reached the game";
    Tap(SDLK_2);
    engine->RunFrame();
    EXPECT_EQ(seen.key, HGEK_2);
}

TEST_F(InputTest, EachFrameRunsTheFrameThenTheRenderCallbackUntilTheFrameCallbackSaysStop) {
    EXPECT_FALSE(engine->RunFrame());
    EXPECT_EQ(seen.renders, 1);
    // The frame that ends the loop renders nothing.
    seen.stopAfter = 5;
    EXPECT_TRUE(hge->System_Start());
    EXPECT_EQ(seen.frames, 5);
    EXPECT_EQ(seen.renders, 4);
}

TEST_F(InputTest, ClosingTheWindowEndsTheLoopLikeEscape) {
    PushWindowEvent(engine->Window(), SDL_WINDOWEVENT_CLOSE);
    EXPECT_TRUE(hge->System_Start());
    EXPECT_EQ(seen.frames, 0);
}

// The clock's arithmetic on a fake counter of a million ticks a second.
TEST(FrameClock, DeltaPresentsAndTheFrameRateLimit) {
    FrameClock clock(1000000);
    clock.StartFrame(5000);
    EXPECT_EQ(clock.Delta(), 0.0f) << "the first frame";
    clock.StartFrame(25000);
    EXPECT_FLOAT_EQ(clock.Delta(), 0.02f);
    clock.Restart();
    clock.StartFrame(900000);
    EXPECT_EQ(clock.Delta(), 0.0f) << "the first frame after a pause";

    // Frames every 2 ms on a 60 Hz display: the first draws, then one as each 1/60 s is over.
    std::vector<int> drawn;
    for (int frame = 0; frame < 30; ++frame) {
        const std::uint64_t now = 1000000 + static_cast<std::uint64_t>(frame) * 2000;
        clock.DecideDrawing(now);
        if (!clock.SkipsDrawing()) {
            drawn.push_back(frame);
            clock.Presented(now);
        }
    }
    EXPECT_EQ(drawn, (std::vector<int>{0, 9, 18, 27}));

    // Frames are 2 ms apart: what is left of them is slept in whole milliseconds, unless it is
    // less than one.
    clock.StartFrame(2000000);
    EXPECT_EQ(clock.MillisecondsToSleep(2000100), 1u);
    EXPECT_EQ(clock.MillisecondsToSleep(2001500), 0u);
    EXPECT_EQ(clock.MillisecondsToSleep(2005000), 0u) << "a late frame";
}

TEST_F(InputTest, LosingFocusSuspendsTheLoopAndThePauseIsNotCounted) {
    engine->RunFrame();
    PushKey(SDLK_w, true);
    engine->RunFrame();
    ASSERT_TRUE(hge->Input_GetKeyState(HGEK_W));
    const int framesBefore = seen.frames;

    PushWindowEvent(engine->Window(), SDL_WINDOWEVENT_FOCUS_LOST);
    EXPECT_FALSE(engine->RunFrame());
    EXPECT_TRUE(engine->Input().Suspended());
    SDL_Delay(100);
    EXPECT_FALSE(engine->RunFrame());
    EXPECT_EQ(seen.frames, framesBefore) << "no callbacks while another window has focus";
    EXPECT_EQ(seen.renders, framesBefore);
    EXPECT_FALSE(hge->Input_GetKeyState(HGEK_W)) << "keys let go elsewhere are not held";

    PushWindowEvent(engine->Window(), SDL_WINDOWEVENT_FOCUS_GAINED);
    engine->RunFrame();
    EXPECT_FALSE(engine->Input().Suspended());
    EXPECT_EQ(seen.frames, framesBefore + 1);
    EXPECT_EQ(seen.delta, 0.0f) << "the pause is not game time";
}

TEST_F(InputTest, RandomIntAndFloatKeepToTheirBoundsBothIncluded) {
    hge->Random_Seed(12345);
    bool hit[6] = {};
    for (int i = 0; i < 4000; ++i) {
        const int v = hge->Random_Int(1, 4);
        ASSERT_GE(v, 1);
        ASSERT_LE(v, 4);
        hit[v] = true;
        const float f = hge->Random_Float(-50.0f, 0.0f);
        ASSERT_GE(f, -50.0f);
        ASSERT_LE(f, 0.0f);
    }
    EXPECT_TRUE(hit[1] && hit[2] && hit[3] && hit[4]);
    EXPECT_EQ(hge->Random_Int(7, 7), 7);
    EXPECT_EQ(hge->Random_Float(2.5f, 2.5f), 2.5f);
}

TEST_F(InputTest, ASeedRepeatsItsSequenceAndSeedZeroFollowsTheClock) {
    auto draw = [&](int seed) {
        hge->Random_Seed(seed);
        std::vector<int> v;
        for (int i = 0; i < 8; ++i) {
            v.push_back(hge->Random_Int(0, 1000000));
        }
        return v;
    };
    EXPECT_EQ(draw(42), draw(42));
    EXPECT_NE(draw(42), draw(43));
    const auto first = draw(0);
    SDL_Delay(2);
    EXPECT_NE(first, draw(0));
}

}  // namespace
}  // namespace test
