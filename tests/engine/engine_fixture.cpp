#include "engine_fixture.h"

#include <SDL_image.h>
#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace test {

void UseHeadlessDrivers() {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_RENDER_DRIVER", "software", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    unsetenv("ZS_WINDOWED");
}

void EngineTest::SetUp() {
    UseHeadlessDrivers();
    hge = hgeCreate(HGE_VERSION);
    engine = SdlEngine::Instance();
    ASSERT_NE(engine, nullptr);
    hge->System_SetState(HGE_WINDOWED, Windowed());
    hge->System_SetState(HGE_USESOUND, true);
    hge->System_SetState(HGE_SCREENWIDTH, 800);
    hge->System_SetState(HGE_SCREENHEIGHT, 600);
    ASSERT_TRUE(hge->System_Initiate());
}

void EngineTest::TearDown() {
    if (hge != nullptr) {
        hge->System_Shutdown();
        hge->Release();
    }
    EXPECT_EQ(SdlEngine::Instance(), nullptr) << "the last Release destroys the engine";
}

StderrCapture::StderrCapture() {
    std::fflush(stderr);
    char name[] = "/tmp/zs-stderr-XXXXXX";
    const int fd = mkstemp(name);
    path_ = name;
    saved_ = dup(STDERR_FILENO);
    dup2(fd, STDERR_FILENO);
    close(fd);
}

StderrCapture::~StderrCapture() {
    Text();
}

std::string StderrCapture::Text() {
    if (!done_) {
        done_ = true;
        std::fflush(stderr);
        dup2(saved_, STDERR_FILENO);
        close(saved_);
        std::ifstream in(path_);
        std::stringstream ss;
        ss << in.rdbuf();
        text_ = ss.str();
        std::remove(path_.c_str());
    }
    return text_;
}

std::vector<std::string> StderrCapture::Lines() {
    std::vector<std::string> lines;
    std::stringstream ss(Text());
    std::string line;
    while (std::getline(ss, line)) {
        lines.push_back(line);
    }
    return lines;
}

namespace {

// Removes the folders the tests made once every test has run.
class TempDirs : public ::testing::Environment {
  public:
    void TearDown() override {
        for (const std::string& dir : made) {
            std::error_code ignored;
            std::filesystem::remove_all(dir, ignored);
        }
    }
    std::vector<std::string> made;
};

TempDirs* tempDirs = static_cast<TempDirs*>(::testing::AddGlobalTestEnvironment(new TempDirs));

}  // namespace

std::string MakeTempDir() {
    char name[] = "/tmp/zs-engine-XXXXXX";
    const char* made = mkdtemp(name);
    EXPECT_NE(made, nullptr);
    if (made == nullptr) {
        return "/tmp";
    }
    tempDirs->made.push_back(made);
    return made;
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

namespace {

void PutLE(std::string& s, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    }
}

}  // namespace

void WriteWav(const std::string& path, double seconds) {
    constexpr std::uint32_t kRate = 22050;
    const auto frames = static_cast<std::uint32_t>(seconds * kRate);
    std::string wav = "RIFF";
    PutLE(wav, 36 + frames * 2, 4);
    wav += "WAVEfmt ";
    PutLE(wav, 16, 4);
    PutLE(wav, 1, 2);  // PCM
    PutLE(wav, 1, 2);  // mono
    PutLE(wav, kRate, 4);
    PutLE(wav, kRate * 2, 4);
    PutLE(wav, 2, 2);
    PutLE(wav, 16, 2);
    wav += "data";
    PutLE(wav, frames * 2, 4);
    for (std::uint32_t i = 0; i < frames; ++i) {
        const double s = std::sin(2.0 * M_PI * 440.0 * i / kRate) * 12000.0;
        PutLE(wav, static_cast<std::uint16_t>(static_cast<std::int16_t>(s)), 2);
    }
    WriteFile(path, wav);
}

void WriteTwoColourImage(const std::string& path, int w, int h, SDL_Color left, SDL_Color right,
                         bool jpeg) {
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_RGBA32);
    ASSERT_NE(s, nullptr);
    SDL_Rect l{0, 0, w / 2, h};
    SDL_Rect r{w / 2, 0, w - w / 2, h};
    SDL_FillRect(s, &l, SDL_MapRGBA(s->format, left.r, left.g, left.b, left.a));
    SDL_FillRect(s, &r, SDL_MapRGBA(s->format, right.r, right.g, right.b, right.a));
    const int rc = jpeg ? IMG_SaveJPG(s, path.c_str(), 95) : IMG_SavePNG(s, path.c_str());
    SDL_FreeSurface(s);
    ASSERT_EQ(rc, 0) << IMG_GetError();
}

void PushKey(SDL_Keycode sym, bool down, Uint16 mod) {
    SDL_Event e{};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.sym = sym;
    e.key.keysym.scancode = SDL_GetScancodeFromKey(sym);
    e.key.keysym.mod = mod;
    ASSERT_EQ(SDL_PushEvent(&e), 1);
}

void PushMouseButton(Uint8 button, bool down) {
    SDL_Event e{};
    e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    e.button.button = button;
    e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.button.clicks = 1;
    ASSERT_EQ(SDL_PushEvent(&e), 1);
}

void PushWindowEvent(SDL_Window* window, SDL_WindowEventID id) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = id;
    e.window.windowID = SDL_GetWindowID(window);
    ASSERT_EQ(SDL_PushEvent(&e), 1);
}

std::uint32_t ReadPixel(SDL_Renderer* renderer, int x, int y) {
    SDL_Rect r{x, y, 1, 1};
    std::uint32_t pixel = 0;
    EXPECT_EQ(SDL_RenderReadPixels(renderer, &r, SDL_PIXELFORMAT_ARGB8888, &pixel, 4), 0)
        << SDL_GetError();
    return pixel;
}

}  // namespace test
