// The loop's clock, the mixer's scales and where files are found: engine behaviour the scripted
// engine stands in for everywhere else.
#include <SDL_mixer.h>
#include <unistd.h>

#include <fstream>
#include <vector>

#include "engine/launch.h"
#include "engine_test.h"

namespace test {
namespace {

namespace fs = std::filesystem;

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

    // A second of the paced loop on a 60 Hz display. Frames take 0.1 ms and every sleep wakes
    // 0.06 ms late, yet frames start 2 ms apart and pictures go out on the display's cadence.
    std::uint64_t now = 3000000;
    int frames = 0;
    int presents = 0;
    for (; now < 4000000; ++frames) {
        clock.DecideDrawing(now);
        clock.StartFrame(now);
        now += 100;
        if (!clock.SkipsDrawing()) {
            clock.Presented(now);
            ++presents;
        }
        clock.ScheduleNextFrame(now);
        const double left = clock.SecondsToNextFrame(now);
        now += left > 0.0 ? static_cast<std::uint64_t>(left * 1e6) + 60 : 0;
    }
    EXPECT_EQ(frames, 500);
    EXPECT_EQ(presents, 60);
    // A 10 ms frame: the next starts at once, and the grid goes on from that one, without a rush
    // of frames to catch up.
    clock.StartFrame(now);
    now += 10000;
    clock.ScheduleNextFrame(now);
    EXPECT_EQ(clock.SecondsToNextFrame(now), 0.0);
    clock.StartFrame(now);
    clock.ScheduleNextFrame(now + 100);
    EXPECT_NEAR(clock.SecondsToNextFrame(now + 100), 0.0019, 1e-9);
}

TEST(Mixer, VolumesAreLinearGainsAndPanFadesTheFarSide) {
    // Game volume, mixer volume: silent, the shot, the hit, the kill, the music's 25, full, and
    // beyond both ends.
    const int volumes[][2] = {{0, 0},   {5, 6},     {10, 13}, {15, 19},
                              {25, 32}, {100, 128}, {-7, 0},  {250, 128}};
    for (const auto& v : volumes) {
        EXPECT_EQ(SdlAudio::MixerVolume(v[0]), v[1]) << "volume " << v[0];
    }
    // Game pan, mixer left and right.
    const int pans[][3] = {{0, 255, 255},   {-100, 255, 0}, {100, 0, 255},
                           {-50, 255, 127}, {50, 127, 255}, {-300, 255, 0}};
    for (const auto& p : pans) {
        std::uint8_t left = 0;
        std::uint8_t right = 0;
        SdlAudio::MixerPanning(p[0], &left, &right);
        EXPECT_EQ(left, p[1]) << "pan " << p[0];
        EXPECT_EQ(right, p[2]) << "pan " << p[0];
    }
}

using Engine = EngineTest;

HGE* shooter = nullptr;
HEFFECT shot = 0;

bool FireOnce() {
    const HCHANNEL channel = shooter->Effect_PlayEx(shot, 5, 0, 1.0f, false);
    EXPECT_NE(channel, 0u);
    EXPECT_EQ(Mix_Volume(static_cast<int>(channel) - 1, -1), SdlAudio::MixerVolume(5));
    return false;
}

TEST_F(Engine, RapidFireNeverCutsTheNewestShotAndEachPlaysAtItsVolume) {
    shooter = hge;
    shot = hge->Effect_Load(ZS_SOURCE_DIR "/assets/sfx/colt1911-fire.wav", 0);
    ASSERT_NE(shot, 0u);
    hge->System_SetState(HGE_FRAMEFUNC, FireOnce);
    // A shot a frame, more than there are channels: the oldest gives way.
    for (int i = 0; i < SdlAudio::kMixChannels + 10; ++i) {
        engine->RunFrame();
    }
    EXPECT_EQ(Mix_Playing(-1), SdlAudio::kMixChannels);
}

// The build and the install put gfx/ and sfx/ beside the executable (or in ../share), so those
// come before whatever the working folder holds.
TEST_F(Engine, FilesBesideTheExecutableComeBeforeTheWorkingFolders) {
    const std::string sub = "zs-lookup-" + std::to_string(getpid());
    const fs::path beside = fs::read_symlink("/proc/self/exe").parent_path() / sub;
    fs::create_directories(beside);
    fs::create_directories(fs::path(dir) / sub);
    std::ofstream(beside / "both.txt") << "beside";
    std::ofstream(fs::path(dir) / sub / "both.txt") << "working";
    std::ofstream(fs::path(dir) / sub / "only.txt") << "working";
    const fs::path before = fs::current_path();
    fs::current_path(dir);
    auto load = [&](const std::string& name) {
        std::uint32_t size = 0;
        void* data = hge->Resource_Load((sub + "/" + name).c_str(), &size);
        const std::string text = data != nullptr ? std::string(static_cast<char*>(data), size) : "";
        hge->Resource_Free(data);
        return text;
    };
    EXPECT_EQ(load("both.txt"), "beside");
    EXPECT_EQ(load("only.txt"), "working");
    fs::current_path(before);
    fs::remove_all(beside);
}

// --windowed and --fullscreen win over ZS_WINDOWED and over what the game asks for.
TEST(Launch, TheCommandLinesWindowChoiceWinsOverTheEnvironmentAndTheGame) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_RENDER_DRIVER", "software", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    struct Case {
        WindowChoice choice;
        const char* env;
        bool gameWindowed, fullscreen;
    };
    for (const Case c : {Case{WindowChoice::kAsAsked, "0", false, true},
                         Case{WindowChoice::kAsAsked, "1", false, false},
                         Case{WindowChoice::kFullscreen, "1", true, true},
                         Case{WindowChoice::kWindowed, "0", false, false}}) {
        engineLaunch.window = c.choice;
        setenv("ZS_WINDOWED", c.env, 1);
        HGE* hge = hgeCreate(HGE_VERSION);
        hge->System_SetState(HGE_WINDOWED, c.gameWindowed);
        ASSERT_TRUE(hge->System_Initiate());
        const Uint32 flags = SDL_GetWindowFlags(SdlEngine::Instance()->Window());
        EXPECT_EQ((flags & SDL_WINDOW_FULLSCREEN) != 0, c.fullscreen)
            << static_cast<int>(c.choice) << " ZS_WINDOWED=" << c.env;
        hge->Release();
    }
    engineLaunch = EngineLaunch{};
    unsetenv("ZS_WINDOWED");
}

}  // namespace
}  // namespace test
