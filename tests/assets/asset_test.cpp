// The committed assets (assets/gfx, assets/sfx) as the game uses them: every image at least as
// large as the sprite cut from it, the font covering every byte the game prints, every sound and
// the music decoding with SDL2_mixer, and the generator reproducing the files it makes.
#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>
#include <stb_image.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "app/resources.h"
#include "app/scene.h"
#include "engine/sdl/master_bus.h"
#include "engine/sdl/sdl_audio.h"
#include "render2d/hgefont.h"
#include "render2d/hgesprite.h"
#include "support/scripted_engine.h"
#include "world/assets.h"

namespace fs = std::filesystem;

namespace {

const std::string kAssets = ZS_ASSETS_DIR;

std::vector<Asset> AssetsOf(std::initializer_list<AssetKind> kinds) {
    std::vector<Asset> out;
    std::ranges::copy_if(AssetTable(), std::back_inserter(out), [&](const Asset& a) {
        return std::ranges::find(kinds, a.kind) != kinds.end();
    });
    return out;
}

std::vector<char> ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(AssetImages, AtLeastAsLargeAsTheirSprites) {
    for (const Asset& image : AssetsOf({AssetKind::kImage})) {
        int w = 0, h = 0, comp = 0;
        ASSERT_TRUE(stbi_info((kAssets + "/" + image.path).c_str(), &w, &h, &comp)) << image.path;
        EXPECT_GE(w, image.width) << image.path;
        EXPECT_GE(h, image.height) << image.path;
    }
}

// Read by the game's own font loader: a letter for every byte of the on-screen texts, with any
// number in place of their "%d", and the "?" that stands in for bytes without one; every letter
// lies inside the font's texture.
TEST(AssetFont, CoversEveryByteTheGamePrints) {
    test::ScriptedEngine engine;
    const std::string path = kAssets + "/" + AssetsOf({AssetKind::kFont}).at(0).path;
    engine.files[path] = ReadFile(path);
    const hgeFont font(path.c_str());
    std::string printed = "?";
    for (const char* text : kScreenTexts) {
        char line[256];
        std::snprintf(line, sizeof line, text, -1234567890, -1234567890);
        printed += line;
    }
    for (const unsigned char c : printed) {
        EXPECT_TRUE(c == '\n' || font.GetSprite(c) != nullptr) << "no letter for byte " << +c;
    }
    int w = 0, h = 0, comp = 0;
    ASSERT_TRUE(stbi_info(engine.TexturePath(font.texture).c_str(), &w, &h, &comp));
    for (const hgeSprite* letter : font.letters) {
        if (letter != nullptr) {
            EXPECT_LE(letter->texX + letter->GetWidth(), w);
            EXPECT_LE(letter->texY + letter->GetHeight(), h);
        }
    }
}

// Decoded as the game's effects are, into float chunks; the music also opens as a stream. Each
// lasts at least 50 ms, is audible (peaking above an eighth of full scale) and does not clip
// (peaking under -0.1 dBFS). As played (the game's volume through the engine's mapping and the
// master gain): the loudest 50 ms of a shot stand 3 dB over the background, the music's average
// with the groans of level 1 over it, and those of a kill 3 dB over a shot's; the background sits
// where the loudness measure put it (bench/README.md); and the loudest sound alone stays under
// the limiter's ceiling, which only pile-ups reach.
TEST(AssetSounds, EveryEffectAndTheMusicDecodeAndTheShotsStandOut) {
    SDL_setenv("SDL_AUDIODRIVER", "dummy", 0);
    ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0) << SDL_GetError();
    Mix_Init(MIX_INIT_MP3);
    ASSERT_EQ(Mix_OpenAudio(44100, AUDIO_F32SYS, 2, 1024), 0) << Mix_GetError();
    int rate = 0, channels = 0;
    Uint16 format = 0;
    ASSERT_TRUE(Mix_QuerySpec(&rate, &format, &channels) != 0 && format == AUDIO_F32SYS);
    const std::map<const std::uint32_t*, int> volumes = {{&pistolShotSound, kShotVolume},
                                                         {&smgShotSound, kShotVolume},
                                                         {&killSound, kKillVolume},
                                                         {&zombieSound, kZombieSoundVolume},
                                                         {&music, kMusicVolume}};
    // One zombie enters, groaning, every half second at level 1.
    constexpr double kGroanInterval = 0.5;
    std::map<const std::uint32_t*, double> loudest, average, energy, peak;  // as played
    for (const Asset& sound : AssetsOf({AssetKind::kEffect, AssetKind::kMusic})) {
        const std::string path = kAssets + "/" + sound.path;
        if (sound.kind == AssetKind::kMusic) {
            Mix_Music* music = Mix_LoadMUS(path.c_str());
            EXPECT_NE(music, nullptr) << sound.path << ": " << Mix_GetError();
            Mix_FreeMusic(music);
        }
        Mix_Chunk* chunk = Mix_LoadWAV(path.c_str());
        EXPECT_NE(chunk, nullptr) << sound.path << ": " << Mix_GetError();
        if (chunk == nullptr) {
            continue;
        }
        const auto* samples = reinterpret_cast<const float*>(chunk->abuf);
        const std::vector<double> levels(samples, samples + chunk->alen / sizeof(float));
        const std::size_t window = static_cast<std::size_t>(rate * channels / 20);
        EXPECT_GE(levels.size(), window) << sound.path;
        const double top = std::ranges::max(levels, {}, [](double v) { return std::abs(v); });
        EXPECT_GT(std::abs(top), 0.125) << sound.path;
        EXPECT_LT(std::abs(top), 0.9886) << sound.path << " clips";
        double sum = 0, all = 0, most = 0;
        for (std::size_t i = 0; i < levels.size(); ++i) {
            sum +=
                levels[i] * levels[i] - (i >= window ? levels[i - window] * levels[i - window] : 0);
            all += levels[i] * levels[i];
            most = std::max(most, sum);
        }
        const std::uint32_t* handle = sound.effect != nullptr ? sound.effect : sound.stream;
        if (volumes.contains(handle)) {
            const double gain =
                SdlAudio::MixerVolume(volumes.at(handle)) / 128.0 * MasterBus::Gain();
            loudest[handle] = most / window * gain * gain;
            average[handle] = all / levels.size() * gain * gain;
            energy[handle] = all * gain * gain;
            peak[handle] = std::abs(top) * gain;
        }
        Mix_FreeChunk(chunk);
    }
    const auto db = [](double power) { return 10.0 * std::log10(power); };
    const double background =
        average[&music] + energy[&zombieSound] / (kGroanInterval * rate * channels);
    for (const HEFFECT* shot : {&pistolShotSound, &smgShotSound}) {
        EXPECT_GE(db(loudest[shot]), db(background) + 3.0) << "a shot drowns in the background";
        EXPECT_GE(db(loudest[&killSound]), db(loudest[shot]) + 3.0) << "a kill is no louder";
    }
    EXPECT_NEAR(db(background), -29.8, 1.5) << "the game's loudness has moved";
    for (const auto& [handle, level] : peak) {
        EXPECT_LT(20.0 * std::log10(level), MasterBus::kCeilingDb) << "one sound meets the limiter";
    }
    Mix_CloseAudio();
    Mix_Quit();
    SDL_Quit();
}

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
            if (ext != ".png" && ext != ".wav" && ext != ".jpg" && ext != ".fnt" && ext != ".ico") {
                continue;
            }
            const fs::path committed = fs::path(kAssets) / sub / entry.path().filename();
            ASSERT_TRUE(fs::exists(committed)) << committed << " is generated but not committed";
            EXPECT_TRUE(ReadFile(entry.path()) == ReadFile(committed))
                << committed << " differs from the generator's output";
            ++compared;
        }
    }
    EXPECT_GE(compared, 30);  // 16 images, font texture and description, 8 sounds, 4 icons
    fs::remove_all(out);
}
#endif

}  // namespace
