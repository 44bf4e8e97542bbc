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

// The loop on a fake counter of a million ticks a second: frames that take 0.1 ms each, every
// shown one presenting as the engine does, and the delta each frame saw.
class FakeFrames final : public FrameLoop::Frames, public FrameLoop::Waits {
  public:
    explicit FakeFrames(FrameLoop& loop) : loop_(loop) {}
    bool RunFrame(std::uint64_t start, bool shown) override {
        loop_.Clock().StartFrame(start);
        deltas.push_back(loop_.Clock().Delta());
        now += frameTicks;
        if (shown) {
            loop_.Clock().Presented(now);
            ++presents;
        }
        return now >= endAt;
    }
    bool Suspended() const override { return false; }
    std::uint64_t Now() const override { return now; }
    // Every sleep wakes 0.06 ms late.
    void Sleep(double seconds) override { now += static_cast<std::uint64_t>(seconds * 1e6) + 60; }
    void WaitForEvents() override {}

    std::uint64_t now = 3000000;
    std::uint64_t endAt = 3998100;  // the end of the 500th frame
    std::uint64_t frameTicks = 100;
    std::vector<float> deltas;
    int presents = 0;

  private:
    FrameLoop& loop_;
};

TEST(FrameLoop, TheDesktopRunsFramesOnTheGridAndPresentsAtTheDisplaysPace) {
    FrameLoop loop(1000000, 1);
    loop.Clock().SetPresentPeriod(1.0 / 60.0);
    FakeFrames frames(loop);
    loop.RunPaced(frames, frames);
    EXPECT_EQ(frames.deltas.size(), 500u) << "a second of 2 ms frames, though every sleep is late";
    EXPECT_EQ(frames.presents, 60);
    EXPECT_EQ(frames.deltas[0], 0.0f) << "the first frame";
    EXPECT_FLOAT_EQ(frames.deltas[1], 0.002f) << "each frame starts at its place on the grid";

    // A 10 ms frame: the next starts at once, and the grid goes on from that one, without a rush
    // of frames to catch up.
    frames.frameTicks = 10000;
    frames.endAt = frames.now + 1;
    loop.RunPaced(frames, frames);
    frames.frameTicks = 100;
    frames.endAt = frames.now + 4100;
    loop.RunPaced(frames, frames);
    const std::size_t n = frames.deltas.size();
    EXPECT_NEAR(frames.deltas[n - 3], 0.010f, 1e-4) << "started at once after the long frame";
    EXPECT_FLOAT_EQ(frames.deltas[n - 2], 0.002f);
    EXPECT_FLOAT_EQ(frames.deltas[n - 1], 0.002f);
    loop.Clock().Restart();
    loop.Clock().StartFrame(0);
    EXPECT_EQ(loop.Clock().Delta(), 0.0f) << "the first frame after a pause";
}

TEST(FrameLoop, ABrowserStepRunsTheFramesComeDueAndShowsTheLastOnly) {
    FrameLoop loop(1000000, FrameLoop::kMostFramesPerStep);
    FakeFrames frames(loop);
    frames.frameTicks = 0;
    frames.endAt = ~0ull;
    int shownLast = 0;
    std::uint64_t now = 1000000;
    for (; now < 2000000; now += 16667) {
        const int before = frames.presents;
        const std::size_t ran = frames.deltas.size();
        ASSERT_FALSE(loop.Step(frames, now));
        shownLast += frames.presents - before;
        EXPECT_LE(frames.deltas.size() - ran, 9u);
    }
    EXPECT_EQ(shownLast, 60) << "one picture per animation frame";
    EXPECT_NEAR(static_cast<double>(frames.deltas.size()), 500.0, 9.0);
    // A stall longer than a step catches up; a stall of the browser's tab starts afresh.
    const std::size_t ran = frames.deltas.size();
    loop.Step(frames, now + 40000 - 16667);
    EXPECT_EQ(frames.deltas.size() - ran, 20u) << "the frames of 40 ms, each on the grid";
    EXPECT_FLOAT_EQ(frames.deltas.back(), 0.002f);
    // A browser that shows a picture only every half second (a slow phone, a page held up):
    // still 2 ms frames, or a bullet would jump past the zombie it is aimed at.
    loop.Step(frames, now + 540000 - 16667);
    EXPECT_EQ(frames.deltas.size() - ran, 270u) << "the frames of 500 ms, each on the grid";
    EXPECT_FLOAT_EQ(frames.deltas.back(), 0.002f);
    loop.Step(frames, now + 2000000);
    EXPECT_EQ(frames.deltas.size() - ran, 271u) << "after 1.5 s away, one frame from now";
    // A new run (or the end of a pause) owes nothing to the frames before it.
    loop.Clock().Restart();
    loop.Step(frames, now + 2500000);
    EXPECT_EQ(frames.deltas.size() - ran, 272u) << "a restarted clock: one frame from now";
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
        setenv("ZS_WINDOWED", c.env, 1);
        HGE* hge = hgeCreate(HGE_VERSION);
        SdlEngine::Instance()->SetLaunch(
            EngineLaunch{"zombie-shooter", "Zombie Shooter", c.choice, {}});
        hge->System_SetState(HGE_WINDOWED, c.gameWindowed);
        ASSERT_TRUE(hge->System_Initiate());
        const Uint32 flags = SDL_GetWindowFlags(SdlEngine::Instance()->Window());
        EXPECT_EQ((flags & SDL_WINDOW_FULLSCREEN) != 0, c.fullscreen)
            << static_cast<int>(c.choice) << " ZS_WINDOWED=" << c.env;
        hge->Release();
    }
    unsetenv("ZS_WINDOWED");
}

}  // namespace
}  // namespace test
