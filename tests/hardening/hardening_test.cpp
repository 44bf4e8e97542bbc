// The real game over damaged copies of its files, and on machines without a sound card or a
// display. Every case runs the game runner (or the game itself) in a child process under a time
// limit and checks what a player would notice: the exit status, the lines on standard error, what
// the runner reports of the frames played and the files loaded and, over the untouched files, the
// picture itself.
#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <regex>
#include <sstream>

#include "app/resources.h"

namespace {

namespace fs = std::filesystem;

const fs::path kAssets = ZS_ASSETS_DIR;
// Enough for a zombie to come in, shots, both weapons and every walking direction; the damage
// shows at start-up and in the first frames that draw and play what was loaded.
constexpr int kFrames = 40;

std::string Read(const fs::path& path) {
    std::stringstream ss;
    ss << std::ifstream(path, std::ios::binary).rdbuf();
    return ss.str();
}

// ---- the files the game opens ----

struct AssetFile {
    std::string path;
    AssetKind kind;  // the font's texture is an image
    bool font;       // the font's description or texture: without either it has no letters
    // A file cut to half its size still loads when its decoder keeps what it could read: a JPEG
    // (the rows past the cut come out grey), a sound (its first half plays) and the font
    // description (the letters before the cut); a PNG does not.
    bool halfStillLoads;
};

// Every file of the asset table, and the texture the font description names beside it.
std::vector<AssetFile> AssetFiles() {
    std::vector<AssetFile> files;
    for (const Asset& asset : AssetTable()) {
        const std::string path = asset.path;
        const bool font = asset.kind == AssetKind::kFont;
        if (font) {
            std::smatch bitmap;
            const std::string text = Read(kAssets / path);
            std::regex_search(text, bitmap, std::regex("Bitmap *= *(\\S+)"));
            const fs::path texture = fs::path(path).parent_path() / bitmap[1].str();
            files.push_back({texture.string(), AssetKind::kImage, true, false});
        }
        files.push_back({path, asset.kind, font, !path.ends_with(".png")});
    }
    return files;
}

const std::vector<AssetFile> kAssetFiles = AssetFiles();

const int kTextures = std::ranges::count(kAssetFiles, AssetKind::kImage, &AssetFile::kind);
const int kEffects = std::ranges::count(kAssetFiles, AssetKind::kEffect, &AssetFile::kind);
// One letter line per letter in the real font.
const std::string kDescription = "\n" + Read(kAssets / "gfx/durvan.fnt");
const std::regex kLetterLine("\nChar");
const int kLetters = static_cast<int>(
    std::distance(std::sregex_iterator(kDescription.begin(), kDescription.end(), kLetterLine), {}));

// ---- running a child ----

struct Outcome {
    int status = -1;
    std::string err;
    std::vector<std::string> log;  // the lines the game logged, without the prefix
    // What the runner reports.
    int frames = -1, rendered = -1, textures = -1, effects = -1, music = -1, letters = -1;
};

// A fresh folder with a copy of every asset under data/, removed with everything in it. The
// child runs in the folder itself, so a file it finds was found through ZS_DATA_DIR.
class AssetCopy {
  public:
    AssetCopy() {
        char name[] = "/tmp/zs-hardening-XXXXXX";
        root_ = mkdtemp(name);
        fs::copy(kAssets, root_ / "data", fs::copy_options::recursive);
    }
    ~AssetCopy() { fs::remove_all(root_); }
    fs::path operator/(const std::string& file) const { return root_ / file; }

    // Runs `command` under env(1) with `env` (NAME=value, or -u NAME), killed after `seconds`.
    Outcome Run(const std::string& env, const std::string& command, int seconds) const {
        const std::string line = "cd '" + root_.string() + "' && env " + env + " timeout -s KILL " +
                                 std::to_string(seconds) + " " + command + " >out.txt 2>err.txt";
        const int status = std::system(line.c_str());
        Outcome o;
        o.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        o.err = Read(root_ / "err.txt");
        std::stringstream lines(o.err);
        for (std::string line; std::getline(lines, line);) {
            if (line.starts_with("zombie-shooter: ")) {
                o.log.push_back(line.substr(16));
            }
        }
        std::sscanf(Read(root_ / "out.txt").c_str(),
                    "frames %d rendered %d textures %d effects %d music %d letters %d", &o.frames,
                    &o.rendered, &o.textures, &o.effects, &o.music, &o.letters);
        return o;
    }
    // The runner headless over the copy, `env` on top; no crash, no hang (90 s is far above a
    // normal run, even under the sanitizers), no sanitizer report (which ends the run with a
    // status of its own), every frame played and drawn.
    Outcome Play(const std::string& env = "", const std::string& capture = "") const {
        const std::string headless =
            "SDL_VIDEODRIVER=dummy SDL_RENDER_DRIVER=software SDL_AUDIODRIVER=dummy ZS_WINDOWED=1";
        const Outcome o = Run(headless + " ZS_DATA_DIR=" + (root_ / "data").string() + " " + env,
                              ZS_GAME_RUNNER " " + std::to_string(kFrames) + " " + capture, 90);
        EXPECT_EQ(o.status, 0) << o.err;
        EXPECT_EQ(o.frames, kFrames) << o.err;
        EXPECT_EQ(o.rendered, kFrames) << o.err;
        return o;
    }

  private:
    fs::path root_;
};

// ---- the untouched files ----

// The picture the runner saved, and one of the game's images, as 0xAARRGGBB rows.
struct Picture {
    explicit Picture(const std::string& file) {
        SDL_Surface* loaded = IMG_Load(file.c_str());
        EXPECT_NE(loaded, nullptr) << file;
        s = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
        SDL_FreeSurface(loaded);
    }
    ~Picture() { SDL_FreeSurface(s); }
    std::uint32_t At(int x, int y) const {
        return static_cast<const std::uint32_t*>(s->pixels)[y * (s->pitch / 4) + x];
    }
    SDL_Surface* s = nullptr;
};

// Pixels of the 110x40 region at (x0, y0) whose luma lies in [low, high].
int CountLuma(const Picture& p, int x0, int y0, int low, int high) {
    int count = 0;
    for (int y = y0; y < y0 + 40; ++y) {
        for (int x = x0; x < x0 + 110; ++x) {
            const std::uint32_t c = p.At(x, y);
            const int luma =
                static_cast<int>((c >> 16 & 0xFF) * 3 + (c >> 8 & 0xFF) * 6 + (c & 0xFF)) / 10;
            count += luma >= low && luma <= high ? 1 : 0;
        }
    }
    return count;
}

// The largest channel difference between a region of the screen and an image placed at (left, top).
int LargestDifference(const Picture& screen, const char* file, int left, int top, int x0, int y0,
                      int w, int h) {
    const Picture image((kAssets / file).string());
    int largest = 0;
    for (int y = y0; y < y0 + h; ++y) {
        for (int x = x0; x < x0 + w; ++x) {
            for (int shift = 0; shift < 24; shift += 8) {
                const int want = static_cast<int>(image.At(x - left, y - top) >> shift & 0xFF);
                largest = std::max(
                    largest, std::abs(want - static_cast<int>(screen.At(x, y) >> shift & 0xFF)));
            }
        }
    }
    return largest;
}

TEST(PristineAssets, PlayWithoutAWordLoadEverythingAndShowTheHud) {
    AssetCopy copy;
    const Outcome o = copy.Play("", "10");
    EXPECT_TRUE(o.log.empty()) << o.err;
    EXPECT_EQ(o.textures, kTextures);
    EXPECT_EQ(o.effects, kEffects);
    EXPECT_EQ(o.music, 1);
    EXPECT_EQ(o.letters, kLetters);

    // The window is the picture, pixel for pixel. "Öldürülen = 0 / Puan = 0": light letters with
    // a dark outline at the top left, where the ground beside them has neither.
    const Picture screen((copy / "picture.bmp").string());
    ASSERT_NE(screen.s, nullptr);
    const int light = CountLuma(screen, 10, 10, 201, 255);
    EXPECT_GT(light, 150) << "light glyph pixels in the text";
    EXPECT_GT(CountLuma(screen, 10, 10, 0, 29), 150) << "dark outline pixels around them";
    EXPECT_LT(CountLuma(screen, 300, 10, 201, 255), light / 10) << "the ground is not text";
    // The bar along the bottom 31 rows, between the numbers, and the pistol's icon on it.
    EXPECT_LE(LargestDifference(screen, "gfx/alt_menu.png", 0, 569, 250, 569, 340, 31), 2);
    EXPECT_LE(LargestDifference(screen, "gfx/silah1.png", 600, 575, 603, 578, 19, 8), 40);
}

// ---- one damaged file at a time ----

enum class Damage { kMissing, kEmpty, kHalf, kRandom };

class AssetFaultTest : public ::testing::TestWithParam<std::tuple<AssetFile, Damage>> {};

TEST_P(AssetFaultTest, OneLineNamesTheFileAndTheGameGoesOn) {
    const auto [file, damage] = GetParam();
    AssetCopy copy;
    const fs::path path = copy / ("data/" + file.path);
    const auto size = fs::file_size(path);
    if (damage == Damage::kMissing) {
        fs::remove(path);
    } else if (damage == Damage::kRandom) {
        std::mt19937 random(20240607u);  // the same bytes every run, so a failure replays
        std::string bytes(size, '\0');
        std::ranges::generate(bytes, [&] { return static_cast<char>(random()); });
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    } else {
        fs::resize_file(path, damage == Damage::kEmpty ? 0 : size / 2);
    }
    const Outcome o = copy.Play();

    const bool lost = damage != Damage::kHalf || !file.halfStillLoads;
    ASSERT_EQ(o.log.size(), lost ? 1u : 0u) << o.err;
    if (lost) {
        EXPECT_NE(o.log[0].find(file.path), std::string::npos) << o.err;
        // Only a missing file may be called missing.
        EXPECT_EQ(o.log[0].find("no such file") != std::string::npos, damage == Damage::kMissing)
            << o.err;
    }
    // The damaged file is the only one lost; a font without its description or its texture has
    // no letters, so the HUD and the death screen draw no text but the game still plays.
    EXPECT_EQ(o.textures, kTextures - (lost && (file.kind == AssetKind::kImage || file.font)));
    EXPECT_EQ(o.effects, kEffects - (lost && file.kind == AssetKind::kEffect));
    EXPECT_EQ(o.music, lost && file.kind == AssetKind::kMusic ? 0 : 1);
    if (file.font && damage == Damage::kHalf && !lost) {
        EXPECT_GT(o.letters, 0);
        EXPECT_LT(o.letters, kLetters);
    } else {
        EXPECT_EQ(o.letters, lost && file.font ? 0 : kLetters);
    }
}

std::string CaseName(const ::testing::TestParamInfo<AssetFaultTest::ParamType>& info) {
    std::string name = std::get<0>(info.param).path;
    std::ranges::replace_if(
        name, [](char c) { return std::isalnum(c) == 0; }, '_');
    return name;
}

// One suite per damage, so a build can pick the damages it runs by name.
#define ZS_DAMAGE_SUITE(name, damage) \
    INSTANTIATE_TEST_SUITE_P(         \
        name, AssetFaultTest,         \
        ::testing::Combine(::testing::ValuesIn(kAssetFiles), ::testing::Values(damage)), CaseName)
ZS_DAMAGE_SUITE(Missing, Damage::kMissing);
ZS_DAMAGE_SUITE(Empty, Damage::kEmpty);
ZS_DAMAGE_SUITE(Half, Damage::kHalf);
ZS_DAMAGE_SUITE(Random, Damage::kRandom);
#undef ZS_DAMAGE_SUITE

// ---- bad machines ----

TEST(MachineWithoutSound, PlaysSilentlyAfterOneLine) {
    // No sound card on this machine for ALSA, and a driver SDL has never heard of.
    for (const std::string driver : {"alsa", "no_such_driver"}) {
        AssetCopy copy;
        const Outcome o = copy.Play("SDL_AUDIODRIVER=" + driver);
        ASSERT_EQ(o.log.size(), 1u) << o.err;
        EXPECT_NE(o.log[0].find("sound"), std::string::npos) << o.err;
        // Silence is not a broken asset: every file still loads.
        EXPECT_EQ(o.textures, kTextures);
        EXPECT_EQ(o.effects, kEffects);
        EXPECT_EQ(o.music, 1);
        // Nor is anything left in the working folder (the sound written to a file, say) beside
        // data/ and the output.
        EXPECT_EQ(std::distance(fs::directory_iterator(copy / ""), {}), 3) << driver;
    }
}

// A launcher or a packager's script must see that the game never ran: each way of having no
// display is one line saying so and status 1.
TEST(MachineWithoutDisplay, TheGameSaysWhyAndExitsWithAFailure) {
    const std::string none = "-u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER";
    for (const std::string& env :
         {none, none + " DISPLAY=:97", none + " SDL_VIDEODRIVER=no_such_driver",
          none + " SDL_VIDEODRIVER=wayland WAYLAND_DISPLAY=wayland-97 XDG_RUNTIME_DIR=/tmp"}) {
        const Outcome o = AssetCopy().Run(env, ZS_GAME_EXE, 10);
        EXPECT_EQ(o.status, 1) << env << "\n" << o.err;
        ASSERT_EQ(o.log.size(), 1u) << env << "\n" << o.err;
        EXPECT_NE(o.log[0].find("display"), std::string::npos) << env << "\n" << o.err;
    }
}

TEST(CommandLine, HelpVersionAndAMistypedOptionFromTheShippedProgram) {
    AssetCopy copy;
    const Outcome help = copy.Run("-u DISPLAY", std::string(ZS_GAME_EXE) + " --help", 10);
    EXPECT_EQ(help.status, 0) << help.err;
    EXPECT_NE(Read(copy / "out.txt").find("--fullscreen"), std::string::npos);
    const Outcome typo = copy.Run("-u DISPLAY", std::string(ZS_GAME_EXE) + " --windowd", 10);
    EXPECT_EQ(typo.status, 2);
    ASSERT_EQ(typo.log.size(), 1u) << typo.err;
    EXPECT_NE(typo.log[0].find("'--windowd'"), std::string::npos) << typo.err;
}

}  // namespace
