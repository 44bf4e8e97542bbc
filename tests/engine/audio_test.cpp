// Effects and music: WAV and MP3 load and play, plays overlap, a missing sound is a 0 handle and
// one log line, and a missing sound device leaves the game running silently.
#include <SDL_mixer.h>

#include <cstdlib>
#include <fstream>
#include <set>

#include "engine_fixture.h"

namespace test {
namespace {

class AudioTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        dir = MakeTempDir();
        wav = dir + "/shot.wav";
        WriteWav(wav, 0.5);
    }
    // An MP3 made from a WAV with the lame encoder, else the game's own zombie sound; empty
    // when neither is at hand.
    std::string FindOrMakeMp3() {
        const std::string mp3 = dir + "/tone.mp3";
        const std::string command = "lame --quiet -b 64 '" + wav + "' '" + mp3 + "' 2>/dev/null";
        if (std::system(command.c_str()) == 0) {
            return mp3;
        }
        const std::string committed = std::string(ZS_SOURCE_DIR) + "/assets/sfx/zombie.mp3";
        return std::ifstream(committed).good() ? committed : "";
    }
    std::string dir;
    std::string wav;
};

TEST_F(AudioTest, WavEffectPlaysAtTheAskedVolumeAndPlaysOverlap) {
    ASSERT_TRUE(engine->Audio().IsOpen());
    const HEFFECT shot = hge->Effect_Load(wav.c_str(), 0);
    ASSERT_NE(shot, 0u);
    std::set<HCHANNEL> channels;
    for (int i = 0; i < 3; ++i) {
        const HCHANNEL ch = hge->Effect_PlayEx(shot, 50, 0, 1.0f, false);
        ASSERT_NE(ch, 0u);
        channels.insert(ch);
        EXPECT_EQ(Mix_Playing(static_cast<int>(ch) - 1), 1);
        // Half way on the square-root curve: 128 * sqrt(0.5).
        EXPECT_EQ(Mix_Volume(static_cast<int>(ch) - 1, -1), 91);
    }
    EXPECT_EQ(channels.size(), 3u) << "each play is one more sound, none cuts another";
    EXPECT_EQ(Mix_Playing(-1), 3);
}

TEST(MixerLevels, TheGamesVolumesKeepShotsAudibleUnderTheMusicAndPanFadesTheFarSide) {
    // Game volume, mixer volume: silent, the shot, the hit, the kill, the music's 25, full, and
    // beyond both ends.
    const int volumes[][2] = {{0, 0},   {5, 29},    {10, 40}, {15, 50},
                              {25, 64}, {100, 128}, {-7, 0},  {250, 128}};
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

TEST_F(AudioTest, RapidFireNeverDropsAShot) {
    const HEFFECT shot = hge->Effect_Load(wav.c_str(), 0);
    ASSERT_NE(shot, 0u);
    // More plays than channels: the newest always sounds, the oldest gives way.
    for (int i = 0; i < SdlAudio::kMixChannels + 10; ++i) {
        ASSERT_NE(hge->Effect_PlayEx(shot, 5, 0, 1.0f, false), 0u) << "play " << i;
    }
    EXPECT_EQ(Mix_Playing(-1), SdlAudio::kMixChannels);
}

TEST_F(AudioTest, Mp3LoadsAsAnEffectAndAsLoopingMusic) {
    const std::string mp3 = FindOrMakeMp3();
    if (mp3.empty()) {
        GTEST_SKIP() << "no MP3 at hand: the lame encoder is missing and assets/sfx/zombie.mp3 "
                        "is not there yet";
    }
    const HEFFECT eff = hge->Effect_Load(mp3.c_str(), 0);
    ASSERT_NE(eff, 0u);
    const HCHANNEL ch = hge->Effect_PlayEx(eff, 100, 0, 1.0f, false);
    ASSERT_NE(ch, 0u);
    Mix_Chunk* chunk = Mix_GetChunk(static_cast<int>(ch) - 1);
    ASSERT_NE(chunk, nullptr);
    // At least a tenth of a second of decoded sound (44.1 kHz, 16-bit stereo).
    EXPECT_GT(chunk->alen, 44100u * 4 / 10);

    const HSTREAM music = hge->Stream_Load(mp3.c_str(), 0);
    ASSERT_NE(music, 0u);
    EXPECT_NE(hge->Stream_Play(music, true, 25), 0u);
    EXPECT_EQ(Mix_PlayingMusic(), 1);
    EXPECT_EQ(Mix_VolumeMusic(-1), 64) << "a quarter is half way on the square-root curve";
}

TEST_F(AudioTest, MissingOrBrokenSoundIsZeroAndOneLineNamingIt) {
    const std::string broken = dir + "/broken.wav";
    WriteFile(broken, "RIFF-but-nothing-else");
    StderrCapture err;
    const HEFFECT missing = hge->Effect_Load("sfx/no-such-sound.wav", 0);
    const HEFFECT bad = hge->Effect_Load(broken.c_str(), 0);
    const HSTREAM noMusic = hge->Stream_Load("sfx/no-such-music.mp3", 0);
    // A 0 handle is used like any other and plays nothing.
    const HCHANNEL played = hge->Effect_PlayEx(missing, 10, 0, 1.0f, false);
    const HCHANNEL streamed = hge->Stream_Play(noMusic, true, 25);
    const auto lines = err.Lines();
    EXPECT_EQ(missing, 0u);
    EXPECT_EQ(bad, 0u);
    EXPECT_EQ(noMusic, 0u);
    EXPECT_EQ(played, 0u);
    EXPECT_EQ(streamed, 0u);
    EXPECT_EQ(Mix_Playing(-1), 0);
    ASSERT_EQ(lines.size(), 3u) << err.Text();
    EXPECT_NE(lines[0].find("sfx/no-such-sound.wav"), std::string::npos) << lines[0];
    EXPECT_NE(lines[1].find(broken), std::string::npos) << lines[1];
    EXPECT_NE(lines[2].find("sfx/no-such-music.mp3"), std::string::npos) << lines[2];
}

TEST(AudioDevice, NoSoundDeviceIsOneLineAndTheGameRunsSilently) {
    UseHeadlessDrivers();
    setenv("SDL_AUDIODRIVER", "zs-no-such-driver", 1);
    HGE* hge = hgeCreate(HGE_VERSION);
    hge->System_SetState(HGE_WINDOWED, true);
    StderrCapture err;
    const bool started = hge->System_Initiate();
    const auto lines = err.Lines();
    EXPECT_TRUE(started);
    ASSERT_EQ(lines.size(), 1u) << err.Text();
    EXPECT_NE(lines[0].find("sound"), std::string::npos) << lines[0];
    // The silent driver still takes effects, so the game's sounds work as usual.
    const std::string dir = MakeTempDir();
    WriteWav(dir + "/s.wav", 0.1);
    const HEFFECT eff = hge->Effect_Load((dir + "/s.wav").c_str(), 0);
    EXPECT_NE(eff, 0u);
    EXPECT_NE(hge->Effect_PlayEx(eff, 10, 0, 1.0f, false), 0u);
    hge->System_Shutdown();
    hge->Release();
}

TEST(AudioDevice, SoundTurnedOffLoadsNothingAndSaysNothing) {
    UseHeadlessDrivers();
    HGE* hge = hgeCreate(HGE_VERSION);
    hge->System_SetState(HGE_WINDOWED, true);
    hge->System_SetState(HGE_USESOUND, false);
    StderrCapture err;
    ASSERT_TRUE(hge->System_Initiate());
    EXPECT_EQ(hge->Effect_Load("sfx/whatever.wav", 0), 0u);
    EXPECT_EQ(err.Text(), "");
    hge->Release();
}

}  // namespace
}  // namespace test
