// The mix a player hears: the master bus on its own, then the engine's sound as SDL's disk audio
// driver writes it down (a pile-up stays under the ceiling, a lone sound comes out at the master
// gain) and an effect started more than once in a frame as one voice.
#include <SDL_mixer.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <numbers>
#include <vector>

#include "engine/sdl/master_bus.h"
#include "engine_test.h"

namespace test {
namespace {

const char* const kShotFile = ZS_SOURCE_DIR "/assets/sfx/colt1911-fire.wav";
// No sample the game plays is louder than -1 dBFS.
const float kCeiling = std::pow(10.0f, -1.0f / 20.0f);

// The shot file (16-bit mono) as stereo frames, full scale 1.
std::vector<float> ShotFrames() {
    SDL_AudioSpec format{};
    Uint8* bytes = nullptr;
    Uint32 length = 0;
    EXPECT_NE(SDL_LoadWAV(kShotFile, &format, &bytes, &length), nullptr) << SDL_GetError();
    std::vector<float> frames;
    for (Uint32 i = 0; i + 1 < length; i += 2) {
        const float v =
            static_cast<float>(static_cast<Sint16>(bytes[i] | bytes[i + 1] << 8)) / 32768;
        frames.insert(frames.end(), {v, v});
    }
    SDL_FreeWAV(bytes);
    return frames;
}

float Peak(const std::vector<float>& v, std::size_t from, std::size_t to) {
    float peak = 0.0f;
    for (std::size_t i = from; i < to; ++i) {
        peak = std::max(peak, std::fabs(v[i]));
    }
    return peak;
}

double Rms(const std::vector<float>& v, std::size_t from, std::size_t to) {
    double sum = 0.0;
    for (std::size_t i = from; i < to; ++i) {
        sum += static_cast<double>(v[i]) * v[i];
    }
    return std::sqrt(sum / static_cast<double>(to - from));
}

double Db(double ratio) {
    return 20.0 * std::log10(ratio);
}

// A quiet tone, then ten in-phase copies of the full-scale shot at full volume, then the tone
// again, then a loud tone, through the bus in the device's buffers of 1024 frames.
TEST(MasterBus, APileUpStaysUnderTheCeilingAndQuietSoundPassesAtTheGain) {
    MasterBus bus;
    ASSERT_TRUE(bus.Configure(44100, 2));
    std::vector<float> in;
    const auto tone = [&](double seconds) {
        for (int i = 0; i < static_cast<int>(seconds * 44100); ++i) {
            const float v =
                0.01f * static_cast<float>(std::sin(i * 2.0 * std::numbers::pi * 1000.0 / 44100));
            in.insert(in.end(), {v, v});
        }
    };
    tone(0.5);
    const std::size_t pileUp = in.size();
    for (const float v : ShotFrames()) {
        in.push_back(10.0f * v);
    }
    const std::size_t after = in.size();
    tone(2.0);
    // A loud tone at a quarter of the rate whose samples fall halfway between its crests: they
    // are 3 dB under the wave a converter rebuilds from them.
    const std::size_t between = in.size();
    for (int i = 0; i < 22050; ++i) {
        const float v = 2.0f * static_cast<float>(std::sin((i + 0.5) * std::numbers::pi / 2));
        in.insert(in.end(), {v, v});
    }
    std::vector<float> out = in;
    for (std::size_t at = 0; at < out.size(); at += 2048) {
        bus.Process(&out[at], static_cast<int>(std::min<std::size_t>(2048, out.size() - at) / 2));
    }
    ASSERT_GT(Peak(in, pileUp, after), 8.0f);  // the shot peaks at -1 dBFS
    EXPECT_LE(Peak(out, pileUp, after + 1000), kCeiling) << "the pile-up clips";
    EXPECT_GT(Peak(out, pileUp, after + 1000), kCeiling * 0.7f)
        << "the pile-up brought down further than it needs";
    EXPECT_LE(Peak(out, between, out.size()), kCeiling / std::sqrt(2.0f))
        << "the crests between the samples go over the ceiling";
    // Before the pile-up, and once the limiter has let go (the tone's last half second), the
    // quiet tone comes out at the master gain, within 0.1 dB.
    const double gainDb = Db(MasterBus::Gain());
    EXPECT_NEAR(Db(Rms(out, 8820, pileUp) / Rms(in, 8820, pileUp)), gainDb, 0.1);
    EXPECT_NEAR(
        Db(Rms(out, between - 44100, between) / Rms(in, between - 44100 - 192, between - 192)),
        gainDb, 0.1)
        << "the limiter never lets go";
}

// The engine's sound as the disk driver writes it down, 23 times faster than it plays.
class DiskAudio : public EngineTest {
  protected:
    void SetAudioDriver() override {
        capture = dir + "/capture.raw";
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", capture.c_str(), 1);
        setenv("SDL_DISKAUDIODELAY", "1", 1);
    }
    // Once every sound has ended: stops the engine and reads what the device got, in its
    // format, as samples with full scale 1.
    std::vector<float> Played() {
        while (Mix_Playing(-1) > 0) {
            SDL_Delay(1);
        }
        SDL_Delay(20);  // the bus's look-ahead and a few buffers more
        int rate = 0, channels = 0;
        Uint16 format = 0;
        Mix_QuerySpec(&rate, &format, &channels);
        hge->System_Shutdown();
        std::ifstream file(capture, std::ios::binary);
        const std::vector<char> bytes{std::istreambuf_iterator<char>(file), {}};
        std::vector<float> samples;
        if (format == AUDIO_F32SYS) {
            samples.resize(bytes.size() / sizeof(float));
            std::memcpy(samples.data(), bytes.data(), samples.size() * sizeof(float));
        } else {
            for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
                Sint16 v = 0;
                std::memcpy(&v, &bytes[i], 2);
                samples.push_back(v / 32768.0f);
            }
        }
        return samples;
    }
    std::string capture;
};

// Ten copies of the shot as ten effects, started together: the same sound ten times, in phase.
TEST_F(DiskAudio, TenShotsStartedTogetherStayUnderTheCeiling) {
    for (int i = 0; i < 10; ++i) {
        const HEFFECT shot = hge->Effect_Load(kShotFile, 0);
        ASSERT_NE(shot, 0u);
        hge->Effect_PlayEx(shot, 100, 0, 1.0f, false);
    }
    const std::vector<float> played = Played();
    EXPECT_LE(Peak(played, 0, played.size()), kCeiling);
    EXPECT_GT(Peak(played, 0, played.size()), kCeiling * 0.7f) << "brought down too far";
}

TEST_F(DiskAudio, ALoneShotComesOutAtItsVolumeAndTheMasterGain) {
    const HEFFECT shot = hge->Effect_Load(kShotFile, 0);
    hge->Effect_PlayEx(shot, 5, 0, 1.0f, false);
    const std::vector<float> played = Played();
    const std::vector<float> file = ShotFrames();
    const double expected =
        Db(Peak(file, 0, file.size()) * SdlAudio::MixerVolume(5) / 128.0 * MasterBus::Gain());
    EXPECT_NEAR(Db(Peak(played, 0, played.size())), expected, 0.1);
}

HGE* game = nullptr;
HEFFECT effects[2] = {};
int frameNumber = 0;

// Frame 0 starts the first effect three times at different volumes and the second once; frame 1
// starts the first again.
bool PlayInFrame() {
    if (frameNumber == 0) {
        game->Effect_PlayEx(effects[0], 10, 0, 1.0f, false);
        game->Effect_PlayEx(effects[0], 15, 0, 1.0f, false);
        game->Effect_PlayEx(effects[0], 5, 0, 1.0f, false);
        game->Effect_PlayEx(effects[1], 10, 0, 1.0f, false);
    } else {
        game->Effect_PlayEx(effects[0], 5, 0, 1.0f, false);
    }
    ++frameNumber;
    return false;
}

using Voices = EngineTest;

TEST_F(Voices, AnEffectStartedTwiceInAFrameIsOneVoiceAtTheLoudestVolume) {
    game = hge;
    frameNumber = 0;
    effects[0] = hge->Effect_Load(kShotFile, 0);
    effects[1] = hge->Effect_Load(ZS_SOURCE_DIR "/assets/sfx/dead-hit.wav", 0);
    hge->System_SetState(HGE_FRAMEFUNC, PlayInFrame);
    engine->RunFrame();
    EXPECT_EQ(Mix_Playing(-1), 2) << "voices after one frame";
    std::vector<int> volumes;
    for (int channel = 0; channel < SdlAudio::kMixChannels; ++channel) {
        if (Mix_Playing(channel) != 0) {
            volumes.push_back(Mix_Volume(channel, -1));
        }
    }
    EXPECT_EQ(volumes, (std::vector<int>{SdlAudio::MixerVolume(15), SdlAudio::MixerVolume(10)}));
    engine->RunFrame();
    EXPECT_EQ(Mix_Playing(-1), 3) << "the same effect in the next frame is a voice of its own";
}

}  // namespace
}  // namespace test
