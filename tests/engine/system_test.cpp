// The engine's life: reference counting, start-up without a display, the loop without start-up,
// the log, and where files are found.
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "engine_fixture.h"

namespace test {
namespace {

int callbacks = 0;
bool CountFrame() {
    ++callbacks;
    return true;
}
bool CountRender() {
    ++callbacks;
    return false;
}

TEST(EngineLife, EveryCreateReturnsTheSameEngineUntilTheLastRelease) {
    UseHeadlessDrivers();
    HGE* a = hgeCreate(HGE_VERSION);
    HGE* b = hgeCreate(HGE_VERSION);
    EXPECT_EQ(a, b);
    b->Release();
    EXPECT_NE(SdlEngine::Instance(), nullptr) << "one reference is still held";
    ASSERT_TRUE(a->System_Initiate()) << "windowed or not, the dummy display opens";
    a->Release();
    EXPECT_EQ(SdlEngine::Instance(), nullptr);
}

TEST(EngineLife, NoDisplayIsALineAndAFailedStartThatCallsNothing) {
    // Nothing asked for a headless driver and no display is reachable.
    UseHeadlessDrivers();
    unsetenv("SDL_VIDEODRIVER");
    setenv("DISPLAY", ":4242", 1);
    unsetenv("WAYLAND_DISPLAY");
    const std::string runtime = MakeTempDir();  // holds no Wayland socket
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    callbacks = 0;
    HGE* hge = hgeCreate(HGE_VERSION);
    hge->System_SetState(HGE_FRAMEFUNC, CountFrame);
    hge->System_SetState(HGE_RENDERFUNC, CountRender);
    StderrCapture err;
    const bool started = hge->System_Initiate();
    // The display libraries may add words of their own; ours is one line.
    std::vector<std::string> ours;
    for (const std::string& line : err.Lines()) {
        if (line.rfind("zombie-shooter: ", 0) == 0) {
            ours.push_back(line);
        }
    }
    EXPECT_FALSE(started);
    ASSERT_EQ(ours.size(), 1u) << err.Text();
    EXPECT_NE(ours[0].find("display"), std::string::npos) << ours[0];
    EXPECT_FALSE(hge->System_Start());
    EXPECT_EQ(callbacks, 0);
    hge->System_Shutdown();
    hge->Release();
}

TEST(EngineLife, FullscreenIsTheDefaultAndZsWindowedForcesAWindow) {
    UseHeadlessDrivers();
    HGE* hge = hgeCreate(HGE_VERSION);
    hge->System_SetState(HGE_WINDOWED, false);
    ASSERT_TRUE(hge->System_Initiate());
    EXPECT_TRUE(SdlEngine::Instance()->Input().IsFullscreen());
    hge->System_Shutdown();

    setenv("ZS_WINDOWED", "1", 1);
    ASSERT_TRUE(hge->System_Initiate());
    EXPECT_FALSE(SdlEngine::Instance()->Input().IsFullscreen());
    int w = 0;
    int h = 0;
    SDL_GetWindowSize(SdlEngine::Instance()->Window(), &w, &h);
    EXPECT_EQ(w, 800);
    EXPECT_EQ(h, 600);
    EXPECT_STREQ(SDL_GetWindowTitle(SdlEngine::Instance()->Window()), "Zombie Shooter");
    unsetenv("ZS_WINDOWED");
    hge->Release();
}

TEST(EngineLife, LogIsOneLineOnStandardErrorWithTheGamesName) {
    UseHeadlessDrivers();
    HGE* hge = hgeCreate(HGE_VERSION);
    StderrCapture err;
    hge->System_Log("Font %s has incorrect format.", "gfx/durvan.fnt");
    hge->System_Log("ends with its own newline %d\n", 7);
    EXPECT_EQ(err.Text(),
              "zombie-shooter: Font gfx/durvan.fnt has incorrect format.\n"
              "zombie-shooter: ends with its own newline 7\n");
    hge->Release();
}

int loopFrames = 0;
HGE* loopEngine = nullptr;
bool SixtyFrames() {
    return ++loopFrames >= 60;
}
bool DrawOneQuad() {
    const hgeQuad quad{};  // where it lands does not matter, only that it goes out
    loopEngine->Gfx_BeginScene(0);
    loopEngine->Gfx_RenderQuad(&quad);
    loopEngine->Gfx_EndScene();
    return false;
}

using LoopTest = EngineTest;

// The loop runs the game's frames faster than the display refreshes; the frames in between run
// the rules but draw nothing (which frames draw is FrameClock's arithmetic, tested on its own).
TEST_F(LoopTest, EveryFrameRunsButOnlyFramesDueAtTheDisplayArePresented) {
    loopFrames = 0;
    loopEngine = hge;
    hge->System_SetState(HGE_FRAMEFUNC, SixtyFrames);
    hge->System_SetState(HGE_RENDERFUNC, DrawOneQuad);
    engine->Batch().ResetCounters();
    const Uint64 start = SDL_GetPerformanceCounter();
    EXPECT_TRUE(hge->System_Start());
    const double seconds = static_cast<double>(SDL_GetPerformanceCounter() - start) /
                           static_cast<double>(SDL_GetPerformanceFrequency());
    EXPECT_EQ(loopFrames, 60);
    EXPECT_GE(engine->Batch().geometryCalls, 1) << "the first frame is always shown";
    EXPECT_LE(engine->Batch().geometryCalls, static_cast<int>(seconds * 60.0) + 2)
        << "more pictures than a 60 Hz display shows in " << seconds << " s";

    // Frames run by hand (tests, scripted runs) always draw.
    loopFrames = 0;
    engine->Batch().ResetCounters();
    engine->RunFrame();
    EXPECT_EQ(engine->Batch().geometryCalls, 1);
}

class FileLookupTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        char exe[PATH_MAX] = {};
        const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
        ASSERT_GT(n, 0);
        exeDir = std::filesystem::path(exe).parent_path();
        sub = "zs-lookup-" + std::to_string(getpid());
        std::filesystem::create_directories(exeDir / sub);
        elsewhere = MakeTempDir();
        std::filesystem::create_directories(std::filesystem::path(elsewhere) / sub);
        oldCwd = std::filesystem::current_path();
        std::filesystem::current_path(elsewhere);
    }
    void TearDown() override {
        std::filesystem::current_path(oldCwd);
        std::filesystem::remove_all(exeDir / sub);
        std::filesystem::remove_all(elsewhere);
        EngineTest::TearDown();
    }
    std::string Load(const std::string& name) {
        std::uint32_t size = 12345;
        void* data = hge->Resource_Load(name.c_str(), &size);
        if (data == nullptr) {
            EXPECT_EQ(size, 0u);
            return "<null>";
        }
        std::string text(static_cast<const char*>(data), size);
        hge->Resource_Free(data);
        return text;
    }
    std::filesystem::path exeDir;
    std::filesystem::path oldCwd;
    std::string sub;
    std::string elsewhere;
};

TEST_F(FileLookupTest, BesideTheExecutableComesFirstThenTheWorkingFolder) {
    WriteFile((exeDir / sub / "both.txt").string(), "beside the program");
    WriteFile(elsewhere + "/" + sub + "/both.txt", "in the working folder");
    WriteFile(elsewhere + "/" + sub + "/only-here.txt", "only here");
    WriteFile((exeDir / sub / "empty.txt").string(), "");
    EXPECT_EQ(Load(sub + "/both.txt"), "beside the program");
    EXPECT_EQ(Load(sub + "/only-here.txt"), "only here");
    EXPECT_EQ(Load(sub + "/empty.txt"), "");
    EXPECT_EQ(Load((exeDir / sub / "both.txt").string()), "beside the program");

    // Textures use the same lookup.
    WriteTwoColourImage((exeDir / sub / "t.png").string(), 6, 4, SDL_Color{1, 2, 3, 255},
                        SDL_Color{4, 5, 6, 255}, false);
    const HTEXTURE tex = hge->Texture_Load((sub + "/t.png").c_str(), 0, false);
    EXPECT_EQ(hge->Texture_GetWidth(tex, false), 6);
}

TEST_F(FileLookupTest, MissingFileIsNullAndOneLineNamingIt) {
    StderrCapture err;
    EXPECT_EQ(Load(sub + "/nowhere.fnt"), "<null>");
    const auto lines = err.Lines();
    ASSERT_EQ(lines.size(), 1u) << err.Text();
    EXPECT_NE(lines[0].find(sub + "/nowhere.fnt"), std::string::npos) << lines[0];
}

}  // namespace
}  // namespace test
