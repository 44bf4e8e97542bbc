// Touch screens, from SDL finger events pushed into the queue the way a touch screen sends them,
// in an 800x600 window (the picture fills it: one window unit is one picture pixel). Keys read by
// their place on the keyboard.
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/crosshair.h"
#include "app/frame.h"
#include "app/game.h"
#include "app/startup.h"
#include "engine/headless/headless_engine.h"
#include "engine/launch.h"
#include "engine_test.h"
#include "support/game_reset.h"
#include "world/soldier.h"

namespace test {
namespace {

constexpr SDL_TouchID kScreen = 7;

SDL_Event Finger(Uint32 type, SDL_FingerID id, float x, float y, SDL_TouchID touch = kScreen) {
    SDL_Event e{type};
    e.tfinger.touchId = touch;
    e.tfinger.fingerId = id;
    e.tfinger.x = x / 800.0f;  // SDL gives the window's share, 0..1
    e.tfinger.y = y / 600.0f;
    e.tfinger.pressure = 1.0f;
    return e;
}
SDL_Event Down(SDL_FingerID id, float x, float y) {
    return Finger(SDL_FINGERDOWN, id, x, y);
}
SDL_Event Move(SDL_FingerID id, float x, float y) {
    return Finger(SDL_FINGERMOTION, id, x, y);
}
SDL_Event Lift(SDL_FingerID id, float x, float y) {
    return Finger(SDL_FINGERUP, id, x, y);
}

HGE* shown = nullptr;

// A black picture, so whatever the controls draw shows.
bool ClearPicture() {
    shown->Gfx_BeginScene(0);
    shown->Gfx_Clear(0xFF000000);
    shown->Gfx_EndScene();
    return false;
}

class TouchTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        // The weapon slot the game marks out (command_line.cpp), read when the engine starts.
        EngineLaunch launch;
        launch.touch.cycle = {590.0f, 569.0f, 690.0f, 600.0f, {HGEK_1, HGEK_2}, 2};
        engine->SetLaunch(launch);
        hge->System_Shutdown();
        ASSERT_TRUE(hge->System_Initiate());
        shown = hge;
        hge->System_SetState(HGE_RENDERFUNC, ClearPicture);
    }
    void TearDown() override {
        engine->SetLaunch(EngineLaunch{});
        EngineTest::TearDown();
    }
    // A frame after these events: the key it pressed and the keys it holds, in the order of the
    // game's key codes.
    std::pair<int, std::vector<int>> Frame(const std::vector<SDL_Event>& events) {
        for (const SDL_Event& e : events) {
            Push(e);
        }
        engine->RunFrame();
        std::vector<int> held;
        for (int key = 1; key < 256; ++key) {
            if (hge->Input_GetKeyState(key)) {
                held.push_back(key);
            }
        }
        return {hge->Input_GetKey(), held};
    }
    std::vector<int> Held(const std::vector<SDL_Event>& events) { return Frame(events).second; }
    int Pressed(const std::vector<SDL_Event>& events) { return Frame(events).first; }
    std::pair<float, float> Crosshair() {
        std::pair<float, float> at;
        hge->Input_GetMousePos(&at.first, &at.second);
        return at;
    }
};

using Keys = std::vector<int>;

// The stick is 72 pixels across its rim here (0.12 of 600); the left thumb lands at (160, 420).
TEST_F(TouchTest, TwoThumbsAtOnceWalkEightWaysAimAndFire) {
    EXPECT_EQ(Held({Down(1, 160, 420)}), Keys{}) << "a thumb at rest holds nothing";
    EXPECT_EQ(Held({Move(1, 160, 360)}), Keys{HGEK_W}) << "pushed up";
    EXPECT_EQ(Held({Move(1, 210, 370)}), (Keys{HGEK_D, HGEK_W})) << "up and right";
    EXPECT_EQ(Held({Move(1, 110, 470)}), (Keys{HGEK_A, HGEK_S})) << "down and left";
    EXPECT_EQ(Held({Move(1, 170, 425)}), Keys{}) << "back in the dead zone";
    // The right thumb lands: the gun fires, and the crosshair stays where it was.
    EXPECT_EQ(Held({Down(2, 640, 300), Move(1, 160, 360)}), (Keys{HGEK_LBUTTON, HGEK_W}));
    EXPECT_EQ(Crosshair(), std::pair(400.0f, 300.0f)) << "no jump under the thumb";
    // 40 right and 30 up moves the crosshair two and a half times as far.
    EXPECT_EQ(Held({Move(2, 680, 270)}), (Keys{HGEK_LBUTTON, HGEK_W}));
    EXPECT_EQ(Crosshair(), std::pair(500.0f, 225.0f));
    Frame({Move(2, 700, 100)});
    EXPECT_EQ(Crosshair(), std::pair(550.0f, 0.0f)) << "held at the picture's edge";
    EXPECT_EQ(Frame({Lift(2, 700, 100)}), (std::pair(0, Keys{HGEK_W}))) << "firing stops";
    // Drifting far left drags the stick along: coming back a little still walks left, and it
    // takes less than the way back to the first place to stop.
    EXPECT_EQ(Held({Move(1, 16, 420)}), Keys{HGEK_A});
    EXPECT_EQ(Held({Move(1, 46, 420)}), Keys{HGEK_A});
    EXPECT_EQ(Held({Move(1, 100, 420)}), Keys{}) << "the stick followed the thumb";
    EXPECT_EQ(Frame({Lift(1, 100, 420)}), (std::pair(0, Keys{}))) << "a moved thumb is no tap";
    EXPECT_TRUE(engine->Input().Touch().Visible());
}

TEST_F(TouchTest, ATapIsEnterAndTheWeaponSlotSwitchesInTurn) {
    EXPECT_EQ(Pressed({Down(1, 200, 300), Lift(1, 200, 300)}), HGEK_ENTER) << "left side";
    EXPECT_EQ(Pressed({Down(2, 600, 200)}), 0);
    EXPECT_EQ(Pressed({Lift(2, 603, 202)}), HGEK_ENTER) << "right side, a slight wobble";
    Frame({Down(3, 200, 300)});
    SDL_Delay(TouchControls::kTapMs + 50);
    EXPECT_EQ(Pressed({Lift(3, 200, 300)}), 0) << "a long press is no tap";
    // The slot is 100x31 on the picture, grown to a fingertip's 72 pixels high.
    EXPECT_EQ(Frame({Down(4, 640, 580), Lift(4, 640, 580)}), (std::pair(HGEK_2, Keys{HGEK_2})));
    EXPECT_EQ(Pressed({Down(4, 600, 552), Lift(4, 600, 552)}), HGEK_1);
    EXPECT_EQ(Pressed({Down(4, 685, 590), Lift(4, 685, 590)}), HGEK_2);
    Frame({Key(SDLK_1, true), Key(SDLK_1, false)});
    EXPECT_EQ(Pressed({Down(4, 640, 580), Lift(4, 640, 580)}), HGEK_2) << "after the keyboard's 1";
    EXPECT_EQ(Held({Down(5, 640, 580)}), Keys{}) << "the slot is no stick and fires nothing";
    Frame({Lift(5, 640, 580)});
}

TEST_F(TouchTest, OnlyAHeldPressOnTheCornerEndsTheGame) {
    EXPECT_EQ(Frame({Down(1, 780, 20), Lift(1, 780, 20)}), (std::pair(0, Keys{}))) << "a tap";
    Frame({Down(1, 770, 30)});
    SDL_Delay(TouchControls::kEndHoldMs / 2);
    EXPECT_EQ(Pressed({}), 0) << "held half as long as it must be";
    SDL_Delay(TouchControls::kEndHoldMs / 2 + 50);
    EXPECT_EQ(Pressed({}), HGEK_ESCAPE);
    EXPECT_EQ(Pressed({}), 0) << "once";
    EXPECT_EQ(Pressed({Lift(1, 770, 30)}), 0);
}

// In a window wider than the picture, the controls live in the bars beside it: SDL's renderer
// would clamp a finger there to the picture's edge; the controls still see where it is.
TEST_F(TouchTest, FingersInTheLetterboxBarsAreTakenWhereTheyAre) {
    SDL_SetWindowSize(engine->Window(), 1000, 600);  // 100-pixel bars
    auto at = [](Uint32 type, SDL_FingerID id, float x, float y) {
        return Finger(type, id, x * 0.8f, y);  // Finger() takes an 800-wide window
    };
    Frame({at(SDL_FINGERDOWN, 1, 50, 400), at(SDL_FINGERDOWN, 2, 950, 300)});
    EXPECT_EQ(Held({at(SDL_FINGERMOTION, 1, 50, 340), at(SDL_FINGERMOTION, 2, 990, 300)}),
              (Keys{HGEK_LBUTTON, HGEK_W}));
    EXPECT_EQ(Crosshair(), std::pair(500.0f, 300.0f)) << "40 window pixels in the right bar";
    Frame({at(SDL_FINGERUP, 1, 50, 340), at(SDL_FINGERUP, 2, 990, 300)});
    EXPECT_EQ(Pressed({at(SDL_FINGERDOWN, 3, 740, 585), at(SDL_FINGERUP, 3, 740, 585)}), HGEK_2)
        << "the weapon slot, 100 pixels in from the window's edge";
}

// SDL turns each finger into a mouse too (and a mouse into a finger, when asked): the game must
// see a finger once.
TEST_F(TouchTest, SdlsStandInsForFingersAndMiceAreNotTakenTwice) {
    EXPECT_STREQ(SDL_GetHint(SDL_HINT_TOUCH_MOUSE_EVENTS), "0");
    SDL_Event motion{SDL_MOUSEMOTION};
    motion.motion.which = SDL_TOUCH_MOUSEID;
    motion.motion.x = 100;
    motion.motion.y = 500;
    SDL_Event press{SDL_MOUSEBUTTONDOWN};
    press.button.which = SDL_TOUCH_MOUSEID;
    press.button.button = SDL_BUTTON_LEFT;
    EXPECT_EQ(Frame({Down(1, 100, 500), motion, press}), (std::pair(0, Keys{})));
    EXPECT_EQ(Crosshair(), std::pair(400.0f, 300.0f));
    EXPECT_EQ(Frame({Finger(SDL_FINGERDOWN, 9, 700, 300, SDL_MOUSE_TOUCHID)}),
              (std::pair(0, Keys{})))
        << "a mouse's stand-in finger fires nothing";
}

// The 72-pixel stick waits low on the left, 115 pixels in from the corner; the end button is
// the 72-pixel square in the top-right corner, its cross through (764, 36).
TEST_F(TouchTest, TheControlsShowFromTheFirstTouchUntilAKeyIsPressed) {
    auto drawn = [&] {
        return std::pair(Pixel(engine->Renderer(), 115, 485), Pixel(engine->Renderer(), 764, 36));
    };
    Frame({});
    EXPECT_EQ(drawn(), std::pair(0u, 0u)) << "nothing before a touch";
    Frame({Down(1, 500, 300), Lift(1, 500, 300)});
    const auto [stick, corner] = drawn();
    EXPECT_NE(stick, 0u) << "the stick's place";
    EXPECT_NE(corner, 0u) << "the end button";
    Frame({Key(SDLK_d, true)});
    EXPECT_EQ(drawn(), std::pair(0u, 0u)) << "a key hides them";
}

// On AZERTY the key where a US keyboard has W says Z; on any layout it walks up.
TEST_F(TouchTest, WalkingKeysAreReadByTheirPlaceOnTheKeyboard) {
    SDL_Event z = Key(SDLK_z, true);
    z.key.keysym.scancode = SDL_SCANCODE_W;
    EXPECT_EQ(Frame({z}), (std::pair(HGEK_W, Keys{HGEK_W})));
    SDL_Event w = Key(SDLK_w, true);
    w.key.keysym.scancode = SDL_SCANCODE_Z;
    z.type = SDL_KEYUP;
    EXPECT_EQ(Frame({z, w}), (std::pair(HGEK_Z, Keys{HGEK_Z}))) << "W where Z sits walks not";
    SDL_Event ampersand = Key(SDLK_AMPERSAND, true);
    ampersand.key.keysym.scancode = SDL_SCANCODE_1;
    EXPECT_EQ(Pressed({ampersand}), HGEK_1) << "AZERTY's digit row unshifted";
}

// The real game played by two thumbs in a window, recorded, and the recording verified: touch
// reaches the game as the keys and mouse a replay stores.
struct Seen {
    float startY = 0.0f;
    float walkedY = 0.0f;
    int clipBefore = 0;
    int clipAfter = 0;
    float crosshairX = 0.0f;
    int weapon = -1;
    int frames = 0;
};
Seen seen;

void PlayByTouch(int frame, SdlEngine& engine) {
    (void)engine;
    seen.frames = frame;
    auto push = [](SDL_Event e) { SDL_PushEvent(&e); };
    if (frame == 1) {
        seen.startY = soldier->YRef();
        seen.clipBefore = soldier->PistolClipRef();
        push(Down(1, 160, 420));
        push(Down(2, 640, 300));
    } else if (frame == 2) {
        push(Move(1, 160, 350));
    } else if (frame > 2 && frame <= 60) {
        push(Move(2, 640.0f + static_cast<float>(frame - 2), 300));
    } else if (frame == 300) {
        seen.walkedY = soldier->YRef();
        seen.clipAfter = soldier->PistolClipRef();
        seen.crosshairX = crosshair->x;
        push(Lift(1, 160, 350));
        push(Lift(2, 698, 300));
        push(Down(3, 640, 580));
        push(Lift(3, 640, 580));
    } else if (frame == 310) {
        seen.weapon = soldier->WeaponRef();
        push(Down(4, 770, 30));  // held until the game ends
    }
}

TEST_F(TouchTest, TheRealGamePlayedByTouchIsRecordedAndVerifies) {
    hge->System_Shutdown();
    engine->SetLaunch(EngineLaunch{});  // the program's own launch says where its weapon slot is
    setenv("ZS_WINDOWED", "1", 1);
    const std::string path = dir + "/touch.zsr";
    seen = Seen{};
    hooks.SetFrameHook(PlayByTouch);
    const char* record[] = {"zombie-shooter", "--record", path.c_str(), nullptr};
    // The program as main.cpp makes it, the hooks around its SDL engine.
    const ProgramEngines program{[](const EngineLaunch& launch) {
                                     HGE* hooked = SdlHooks::Acquire();
                                     SdlEngine::Instance()->SetLaunch(launch);
                                     return hooked;
                                 },
                                 HeadlessEngine::Acquire};
    EXPECT_EQ(RunCommandLine(3, record, program), 0);
    FreeGame();
    hooks.SetFrameHook(nullptr);
    unsetenv("ZS_WINDOWED");
    EXPECT_LT(seen.walkedY, seen.startY - 20.0f) << "the left thumb walked him up";
    EXPECT_LT(seen.clipAfter, seen.clipBefore) << "the right thumb fired";
    EXPECT_FLOAT_EQ(seen.crosshairX, 400.0f + 58.0f * TouchControls::kAimGain) << "and aimed";
    EXPECT_EQ(seen.weapon, kSubmachineGun) << "a tap on the weapon slot";
    EXPECT_GT(seen.frames, 310) << "the corner held ended it";
    const char* verify[] = {"zombie-shooter", "--verify", path.c_str(), nullptr};
    EXPECT_EQ(RunCommandLine(3, verify, program), 0);
    FreeGame();
}

// Ten kills bring up the level-up screen (set here rather than played for); a tap leaves it.
bool shownBeforeTap = false;
bool shownAfterTap = true;

void LevelUpByTouch(int frame, SdlEngine&) {
    if (frame == 1) {
        kills = 10;
    } else if (frame == 5) {
        shownBeforeTap = levelUpShown;
        SDL_Event down = Down(1, 300, 300);
        SDL_Event up = Lift(1, 300, 300);
        SDL_PushEvent(&down);
        SDL_PushEvent(&up);
    } else if (frame == 8) {
        shownAfterTap = levelUpShown;
        SDL_Event quit{SDL_QUIT};
        SDL_PushEvent(&quit);
    }
}

TEST_F(TouchTest, ATapLeavesTheRealGamesLevelUpScreen) {
    hge->System_Shutdown();
    setenv("ZS_WINDOWED", "1", 1);
    hooks.SetFrameHook(LevelUpByTouch);
    RunGame();
    FreeGame();
    hooks.SetFrameHook(nullptr);
    unsetenv("ZS_WINDOWED");
    EXPECT_TRUE(shownBeforeTap);
    EXPECT_FALSE(shownAfterTap);
}

}  // namespace
}  // namespace test
