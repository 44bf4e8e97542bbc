// The committed assets: every file the game opens is there with the right kind, images are at
// least as large as the sprites cut from them and transparent where a sprite must be, the
// bitmap font description reads and covers every byte the game prints, and every sound and the
// music decode with SDL2_mixer with sensible lengths and levels.
#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>
#include <stb_image.h>

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/resources.h"
#include "app/scene.h"

namespace fs = std::filesystem;

namespace {

const std::string kAssets = ZS_ASSETS_DIR;

std::vector<unsigned char> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>((std::istreambuf_iterator<char>(in)),
                                      std::istreambuf_iterator<char>());
}

bool IsPngPath(const std::string& path) {
    return path.ends_with(".png");
}

// Images drawn over the ground show it through their corners; the bullet streak and the weapon
// bar are solid.
bool HasTransparentCorners(const std::string& path) {
    return IsPngPath(path) && path != "gfx/mermi1.png" && path != "gfx/alt_menu.png";
}

std::vector<const Asset*> AssetsOf(AssetKind kind) {
    std::vector<const Asset*> out;
    for (const Asset& asset : AssetTable()) {
        if (asset.kind == kind) {
            out.push_back(&asset);
        }
    }
    return out;
}

// Sensible lengths for the sound effects: a click is at least 50 ms, a reload at most 2.5 s.
constexpr double kEffectMinSeconds = 0.05;
constexpr double kEffectMaxSeconds = 2.5;
const std::string kMusic = AssetsOf(AssetKind::kMusic).at(0)->path;

bool IsPng(const std::vector<unsigned char>& d) {
    static const unsigned char sig[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    return d.size() > 8 && std::equal(sig, sig + 8, d.begin());
}
bool IsJpeg(const std::vector<unsigned char>& d) {
    return d.size() > 3 && d[0] == 0xFF && d[1] == 0xD8 && d[2] == 0xFF;
}
bool IsWav(const std::vector<unsigned char>& d) {
    return d.size() > 44 && std::equal(d.begin(), d.begin() + 4, "RIFF") &&
           std::equal(d.begin() + 8, d.begin() + 12, "WAVE");
}
bool IsMp3(const std::vector<unsigned char>& d) {
    if (d.size() > 3 && d[0] == 'I' && d[1] == 'D' && d[2] == '3')
        return true;
    return d.size() > 2 && d[0] == 0xFF && (d[1] & 0xE0) == 0xE0;
}

// --- files and images -------------------------------------------------------------------------

TEST(AssetFiles, EveryImageIsThereWithItsKind) {
    for (const Asset* e : AssetsOf(AssetKind::kImage)) {
        std::vector<unsigned char> d = ReadFile(kAssets + "/" + e->path);
        ASSERT_FALSE(d.empty()) << e->path;
        EXPECT_TRUE(IsPngPath(e->path) ? IsPng(d) : IsJpeg(d)) << e->path;
    }
}

TEST(AssetFiles, EverySoundIsThereWithItsKind) {
    for (const Asset* e : AssetsOf(AssetKind::kEffect)) {
        std::vector<unsigned char> d = ReadFile(kAssets + "/" + e->path);
        ASSERT_FALSE(d.empty()) << e->path;
        EXPECT_TRUE(std::string(e->path).ends_with(".mp3") ? IsMp3(d) : IsWav(d)) << e->path;
    }
    EXPECT_TRUE(IsMp3(ReadFile(kAssets + "/" + kMusic)));
}

TEST(AssetImages, AtLeastAsLargeAsTheirSprites) {
    for (const Asset* e : AssetsOf(AssetKind::kImage)) {
        int w = 0, h = 0, comp = 0;
        ASSERT_TRUE(stbi_info((kAssets + "/" + e->path).c_str(), &w, &h, &comp)) << e->path;
        EXPECT_GE(w, e->width) << e->path;
        EXPECT_GE(h, e->height) << e->path;
    }
}

TEST(AssetImages, SpritesHaveAlphaAndTransparentCorners) {
    for (const Asset* asset : AssetsOf(AssetKind::kImage)) {
        const std::string path = asset->path;
        if (!IsPngPath(path))
            continue;
        const struct {
            std::string path;
            int w, h;
        } e{path, static_cast<int>(asset->width), static_cast<int>(asset->height)};
        int w = 0, h = 0, comp = 0;
        unsigned char* px = stbi_load((kAssets + "/" + e.path).c_str(), &w, &h, &comp, 4);
        ASSERT_NE(px, nullptr) << e.path;
        EXPECT_EQ(comp, 4) << e.path << " has no alpha channel";
        bool anyOpaque = false;
        for (int i = 0; i < w * h; ++i)
            anyOpaque = anyOpaque || px[i * 4 + 3] > 200;
        EXPECT_TRUE(anyOpaque) << e.path << " is empty";
        if (HasTransparentCorners(e.path)) {
            // corners of the sprite rectangle
            const int xs[2] = {0, e.w - 1}, ys[2] = {0, e.h - 1};
            for (int y : ys)
                for (int x : xs)
                    EXPECT_EQ(px[(y * w + x) * 4 + 3], 0) << e.path << " corner " << x << "," << y;
        }
        stbi_image_free(px);
    }
}

TEST(AssetImages, GroundIsOpaqueAndNotFlat) {
    int w = 0, h = 0, comp = 0;
    unsigned char* px = stbi_load((kAssets + "/gfx/dirt.jpg").c_str(), &w, &h, &comp, 3);
    ASSERT_NE(px, nullptr);
    double sum = 0, sum2 = 0;
    for (int i = 0; i < w * h; ++i) {
        double l = (px[i * 3] + px[i * 3 + 1] + px[i * 3 + 2]) / 3.0;
        sum += l;
        sum2 += l * l;
    }
    double mean = sum / (w * h), sd = std::sqrt(sum2 / (w * h) - mean * mean);
    EXPECT_GT(mean, 30.0);   // dark but not black
    EXPECT_LT(mean, 130.0);  // muted, so sprites read on it
    EXPECT_GT(sd, 4.0);      // has texture
    stbi_image_free(px);
}

// --- font -------------------------------------------------------------------------------------

struct FontLetter {
    int x, y, w, h, pre, post;
};

struct FontFile {
    std::string header, bitmap;
    std::map<int, FontLetter> letters;
};

// Reads the description the way the game's font loader does: lines end at CR/LF runs, the first
// must be exactly "[HGEFONT]", "Bitmap" lines name the texture, "Char" lines give a hex code (or
// a quoted character) and six integers.
FontFile ReadFont(const std::string& path) {
    FontFile font;
    std::vector<unsigned char> d = ReadFile(path);
    std::string text(d.begin(), d.end());
    std::vector<std::string> lines;
    size_t i = 0;
    while (i < text.size() && text[i] != '\0') {
        size_t j = i;
        while (j < text.size() && text[j] != '\n' && text[j] != '\r' && text[j] != '\0')
            ++j;
        lines.push_back(text.substr(i, j - i));
        while (j < text.size() && (text[j] == '\n' || text[j] == '\r'))
            ++j;
        i = j;
    }
    if (lines.empty())
        return font;
    font.header = lines[0];
    for (size_t k = 1; k < lines.size(); ++k) {
        const std::string& l = lines[k];
        if (l.compare(0, 6, "Bitmap") == 0) {
            char name[256] = {0};
            if (std::sscanf(l.c_str(), "Bitmap = %255s", name) == 1)
                font.bitmap = name;
        } else if (l.compare(0, 4, "Char") == 0) {
            size_t eq = l.find('=');
            if (eq == std::string::npos)
                continue;
            size_t p = eq + 1;
            while (p < l.size() && l[p] == ' ')
                ++p;
            int code = 0;
            if (p < l.size() && l[p] == '"') {
                code = static_cast<unsigned char>(l[p + 1]);
                p += 3;
            } else {
                while (p < l.size() && std::isxdigit(static_cast<unsigned char>(l[p]))) {
                    char c = l[p++];
                    code = code * 16 + (std::isdigit(static_cast<unsigned char>(c))
                                            ? c - '0'
                                            : (std::tolower(c) - 'a' + 10));
                }
            }
            FontLetter f{};
            const int got = std::sscanf(l.c_str() + p, " , %d , %d , %d , %d , %d , %d", &f.x, &f.y,
                                        &f.w, &f.h, &f.pre, &f.post);
            EXPECT_EQ(got, 6) << "letter line with missing numbers: " << l;
            if (code >= 0 && code <= 255)
                font.letters[code] = f;
        }
    }
    return font;
}

// The on-screen texts as Windows-1254 bytes, and the one a number alone is printed with.
std::vector<const char*> Texts() {
    std::vector<const char*> texts(std::begin(kScreenTexts), std::end(kScreenTexts));
    texts.push_back("%d");
    return texts;
}

TEST(AssetFont, DescriptionReadsAndTextureExists) {
    FontFile font = ReadFont(kAssets + "/gfx/durvan.fnt");
    ASSERT_EQ(font.header, "[HGEFONT]");
    ASSERT_FALSE(font.bitmap.empty());
    int tw = 0, th = 0, comp = 0;
    const std::string tex = kAssets + "/gfx/" + font.bitmap;
    ASSERT_TRUE(stbi_info(tex.c_str(), &tw, &th, &comp)) << tex;
    EXPECT_EQ(comp, 4);
    ASSERT_FALSE(font.letters.empty());
    int height = font.letters.begin()->second.h;
    EXPECT_GE(height, 14);
    EXPECT_LE(height, 22);  // numbers printed at y 580 must fit the bar at 569..600
    for (const auto& [code, l] : font.letters) {
        EXPECT_EQ(l.h, height) << "letter " << code << ": every letter is a full line cell";
        EXPECT_GE(l.x, 0);
        EXPECT_GE(l.y, 0);
        EXPECT_LE(l.x + l.w, tw) << "letter " << code;
        EXPECT_LE(l.y + l.h, th) << "letter " << code;
        EXPECT_GT(l.pre + l.w + l.post, 0) << "letter " << code << " does not advance";
    }
}

TEST(AssetFont, CoversEveryByteTheGamePrints) {
    FontFile font = ReadFont(kAssets + "/gfx/durvan.fnt");
    std::set<unsigned char> needed;
    for (const char* t : Texts())
        for (const char* p = t; *p; ++p)
            if (*p != '\n' && !(p[0] == '%' && p[1] == 'd') &&
                !(p > t && p[-1] == '%' && p[0] == 'd'))
                needed.insert(static_cast<unsigned char>(*p));
    for (const char* p = "0123456789-?"; *p; ++p)
        needed.insert(static_cast<unsigned char>(*p));
    for (unsigned char c : needed)
        EXPECT_TRUE(font.letters.count(c)) << "no letter for byte 0x" << std::hex << int(c);
    // the Turkish letters of Windows-1254 and all printable ASCII
    for (int c : {0xC7, 0xE7, 0xD0, 0xF0, 0xDD, 0xFD, 0xD6, 0xF6, 0xDE, 0xFE, 0xDC, 0xFC})
        EXPECT_TRUE(font.letters.count(c)) << "no letter for byte 0x" << std::hex << c;
    for (int c = 0x20; c <= 0x7E; ++c)
        EXPECT_TRUE(font.letters.count(c)) << "no letter for byte 0x" << std::hex << c;
}

TEST(AssetFont, LettersHaveInkExceptTheSpace) {
    FontFile font = ReadFont(kAssets + "/gfx/durvan.fnt");
    int w = 0, h = 0, comp = 0;
    unsigned char* px = stbi_load((kAssets + "/gfx/" + font.bitmap).c_str(), &w, &h, &comp, 4);
    ASSERT_NE(px, nullptr);
    for (const auto& [code, l] : font.letters) {
        int light = 0, dark = 0;
        for (int y = l.y; y < l.y + l.h; ++y)
            for (int x = l.x; x < l.x + l.w; ++x) {
                const unsigned char* p = &px[(y * w + x) * 4];
                if (p[3] > 200 && p[0] > 180)
                    ++light;
                if (p[3] > 200 && p[0] < 60)
                    ++dark;
            }
        if (code == ' ') {
            EXPECT_EQ(light + dark, 0);
        } else {
            EXPECT_GT(light, 0) << "letter " << code << " has no light fill";
            EXPECT_GT(dark, 0) << "letter " << code << " has no dark outline";
        }
    }
    stbi_image_free(px);
}

// --- sounds -----------------------------------------------------------------------------------

class AssetSound : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        SDL_setenv("SDL_AUDIODRIVER", "dummy", 0);
        ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0) << SDL_GetError();
        Mix_Init(MIX_INIT_MP3);
        ASSERT_EQ(Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024), 0) << Mix_GetError();
        int freq = 0, channels = 0;
        Uint16 format = 0;
        Mix_QuerySpec(&freq, &format, &channels);
        ASSERT_EQ(freq, 44100);
        ASSERT_EQ(format, AUDIO_S16SYS);
        ASSERT_EQ(channels, 2);
    }
    static void TearDownTestSuite() {
        Mix_CloseAudio();
        Mix_Quit();
        SDL_Quit();
    }
    // Decoded as the game's effects are: a chunk of 16-bit stereo at 44.1 kHz.
    static std::vector<int16_t> Decode(const std::string& path) {
        Mix_Chunk* c = Mix_LoadWAV((kAssets + "/" + path).c_str());
        EXPECT_NE(c, nullptr) << path << ": " << Mix_GetError();
        if (!c)
            return {};
        std::vector<int16_t> s(c->alen / 2);
        std::memcpy(s.data(), c->abuf, s.size() * 2);
        Mix_FreeChunk(c);
        return s;
    }
    static double Db(double v) { return 20.0 * std::log10(std::max(v, 1e-9)); }
};

TEST_F(AssetSound, EffectsDecodeWithSensibleLengthsAndLevels) {
    for (const Asset* asset : AssetsOf(AssetKind::kEffect)) {
        const struct {
            std::string path;
            bool mp3;
            double minSeconds, maxSeconds;
        } e{asset->path, std::string(asset->path).ends_with(".mp3"), kEffectMinSeconds,
            kEffectMaxSeconds};
        std::vector<int16_t> s = Decode(e.path);
        ASSERT_FALSE(s.empty()) << e.path;
        const double seconds = static_cast<double>(s.size()) / 2.0 / 44100.0;
        EXPECT_GE(seconds, e.minSeconds) << e.path;
        EXPECT_LE(seconds, e.maxSeconds) << e.path;
        int peak = 0;
        for (int16_t v : s)
            peak = std::max(peak, std::abs(static_cast<int>(v)));
        const double peakDb = Db(peak / 32768.0);
        EXPECT_GT(peakDb, -6.0) << e.path << " is too quiet";
        EXPECT_LT(peakDb, -1.0) << e.path << " is too close to clipping";
        if (!e.mp3) {
            // faded edges: no click at start or end
            EXPECT_LE(std::abs(s.front()), 64) << e.path;
            EXPECT_LE(std::abs(s.back()), 64) << e.path;
        }
    }
}

TEST_F(AssetSound, MusicLoadsAsStreamAndLoopsSeamlessly) {
    Mix_Music* m = Mix_LoadMUS((kAssets + "/" + kMusic).c_str());
    ASSERT_NE(m, nullptr) << Mix_GetError();
    Mix_FreeMusic(m);
    std::vector<int16_t> s = Decode(kMusic);
    ASSERT_FALSE(s.empty());
    const double seconds = static_cast<double>(s.size()) / 2.0 / 44100.0;
    EXPECT_GE(seconds, 60.0);
    EXPECT_LE(seconds, 180.0);
    int peak = 0;
    for (int16_t v : s)
        peak = std::max(peak, std::abs(static_cast<int>(v)));
    EXPECT_LT(Db(peak / 32768.0), -0.5);
    EXPECT_GT(Db(peak / 32768.0), -9.0);
    // The loop seam: the jump from the last sample back to the first is no larger than the
    // biggest ordinary sample-to-sample steps of the music itself.
    for (int ch = 0; ch < 2; ++ch) {
        std::vector<int> steps;
        for (size_t i = ch + 2; i < s.size(); i += 2)
            steps.push_back(std::abs(s[i] - s[i - 2]));
        std::sort(steps.begin(), steps.end());
        const int p99 = steps[steps.size() * 99 / 100];
        const int seam = std::abs(s[s.size() - 2 + ch] - s[ch]);
        EXPECT_LE(seam, p99) << "channel " << ch << ": seam " << seam << ", 99th percentile step "
                             << p99;
    }
}

// --- reproducibility --------------------------------------------------------------------------

#ifdef ZS_ASSETGEN_EXE
TEST(AssetGenerator, ReproducesTheCommittedFilesByteForByte) {
    const fs::path out = fs::temp_directory_path() / ("zs-assetgen-" + std::to_string(::getpid()));
    fs::remove_all(out);
    const std::string cmd =
        std::string("\"") + ZS_ASSETGEN_EXE + "\" \"" + out.string() + "\" --no-mp3";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    int compared = 0;
    for (const char* sub : {"gfx", "sfx", "icons"}) {
        for (const auto& entry : fs::directory_iterator(out / sub)) {
            const std::string ext = entry.path().extension().string();
            if (ext != ".png" && ext != ".wav" && ext != ".jpg" && ext != ".fnt")
                continue;
            const fs::path committed = fs::path(kAssets) / sub / entry.path().filename();
            ASSERT_TRUE(fs::exists(committed)) << committed << " is generated but not committed";
            EXPECT_TRUE(ReadFile(entry.path().string()) == ReadFile(committed.string()))
                << committed << " differs from the generator's output";
            ++compared;
        }
    }
    EXPECT_GE(compared, 28);  // 16 images, font texture and description, 8 sounds, 2 icons
    fs::remove_all(out);
}
#endif

}  // namespace
