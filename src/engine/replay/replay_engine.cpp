#include "engine/replay/replay_engine.h"

#include <chrono>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

// The session outlives EndReplay: sprites and fonts keep the engine they were made with and give
// it back when freed, which may come after the replay has ended. A new session (the tests play
// several games in one process) replaces it once the game that used it has gone.
std::unique_ptr<ReplayEngine> session;
ReplayEngine* instance = nullptr;
ReplayMode activeMode = ReplayMode::kOff;

// Each clock seed the game asks for while recording: one seed from the clock when the game
// starts, mixed with how many came before, so that the file carries one seed, not one a frame.
std::uint64_t SeedNumber(std::uint64_t seed, std::uint32_t n) {
    std::uint64_t z = seed + 0x9E3779B97F4A7C15ull * (n + 1ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

}  // namespace

bool BeginReplay(ReplayMode mode, const char* path, const char* gameVersion, OutcomeProbe probe,
                 std::string* problem) {
    session = std::make_unique<ReplayEngine>(mode, path, probe);
    if (!session->Begin(gameVersion, problem)) {
        return false;
    }
    instance = session.get();
    activeMode = mode;
    return true;
}

ReplayMode ActiveReplay() {
    return activeMode;
}

HGE* WrapForReplay(HGE* real) {
    if (instance == nullptr) {
        return real;
    }
    instance->Wrap(real);
    return instance;
}

int EndReplay() {
    const int status = instance != nullptr ? instance->End() : 0;
    instance = nullptr;
    activeMode = ReplayMode::kOff;
    return status;
}

ReplayEngine::ReplayEngine(ReplayMode mode, const char* path, OutcomeProbe probe)
    : mode_(mode), path_(path), probe_(probe) {}

bool ReplayEngine::Begin(const char* gameVersion, std::string* problem) {
    if (mode_ != ReplayMode::kRecord) {
        if (!replay::ReadRecording(path_.c_str(), &recorded_, problem)) {
            return false;
        }
        seed_ = recorded_.header.seed;
        return true;
    }
    replay::Header header;
    std::snprintf(header.gameVersion, sizeof header.gameVersion, "%s", gameVersion);
    header.seed =
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count() ^
                                   std::chrono::system_clock::now().time_since_epoch().count());
    seed_ = header.seed;
    writer_.Start(header);
    recording_ = true;
    return true;
}

const char* ReplayEngine::Name() const {
    return path_.c_str();
}

void ReplayEngine::System_Log(const char* format, ...) {
    char line[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    real_->System_Log("%s", line);
}

void ReplayEngine::System_SetStateFunc(hgeFuncState state, hgeCallback value) {
    if (state == HGE_FRAMEFUNC) {
        frameFunc_ = value;
        value = FrameThunk;
    } else if (state == HGE_RENDERFUNC) {
        renderFunc_ = value;
        value = RenderThunk;
    }
    real_->System_SetStateFunc(state, value);
}

bool ReplayEngine::FrameThunk() {
    return instance->OnFrame();
}

bool ReplayEngine::RenderThunk() {
    const bool result = instance->renderFunc_ != nullptr && instance->renderFunc_();
    instance->AfterFrame();
    return result;
}

void ReplayEngine::Random_Seed(int seed) {
    if (seed != 0) {
        random_.Seed(static_cast<std::uint32_t>(seed));
    } else {
        random_.Seed(SeedNumber(seed_, seedsTaken_++));
    }
}

void ReplayEngine::Probe(replay::Outcome* outcome) const {
    probe_(outcome);
    outcome->sounds = soundDigest_.Value();
}

void ReplayEngine::Loaded(bool stream, std::uint32_t handle) {
    if (soundCount_ < sounds_.size()) {
        sounds_[soundCount_++] = {stream, handle};
    }
}

void ReplayEngine::Played(bool stream, std::uint32_t handle, int volume, int pan, float pitch,
                          bool loop) {
    std::uint32_t which = 0;  // one the game never loaded (or beyond the table)
    for (std::size_t i = 0; i < soundCount_; ++i) {
        if (sounds_[i].stream == stream && sounds_[i].handle == handle) {
            which = static_cast<std::uint32_t>(i + 1);
            break;
        }
    }
    const std::uint32_t words[] = {which,
                                   framesRun_,
                                   static_cast<std::uint32_t>(volume),
                                   static_cast<std::uint32_t>(pan),
                                   static_cast<std::uint32_t>(std::lround(pitch * 1000.0f)),
                                   loop ? 1u : 0u};
    for (const std::uint32_t word : words) {
        soundDigest_.Add(word);
    }
}

HEFFECT ReplayEngine::Effect_Load(const char* filename, std::uint32_t size) {
    const HEFFECT effect = real_->Effect_Load(filename, size);
    Loaded(false, effect);
    return effect;
}

HCHANNEL ReplayEngine::Effect_PlayEx(HEFFECT eff, int volume, int pan, float pitch, bool loop) {
    Played(false, eff, volume, pan, pitch, loop);
    return real_->Effect_PlayEx(eff, volume, pan, pitch, loop);
}

HSTREAM ReplayEngine::Stream_Load(const char* filename, std::uint32_t size) {
    const HSTREAM stream = real_->Stream_Load(filename, size);
    Loaded(true, stream);
    return stream;
}

HCHANNEL ReplayEngine::Stream_Play(HSTREAM stream, bool loop, int volume) {
    Played(true, stream, volume, 0, 1.0f, loop);
    return real_->Stream_Play(stream, loop, volume);
}

replay::FrameInput ReplayEngine::Sample() {
    std::uint16_t keys = 0;
    for (int i = 0; i < replay::kRecordedKeyCount; ++i) {
        keys |= real_->Input_GetKeyState(replay::kRecordedKeys[i]) ? 1u << i : 0u;
    }
    float x = 0.0f;
    float y = 0.0f;
    real_->Input_GetMousePos(&x, &y);
    return replay::FrameInput::From(real_->Timer_GetDelta(), x, y, keys, real_->Input_GetKey());
}

bool ReplayEngine::OnFrame() {
    if (mode_ == ReplayMode::kRecord) {
        frame_ = Sample();
        if (recording_ && !writer_.AddFrame(frame_)) {
            // The buffer is full: the recording ends here, and the game goes on.
            recording_ = false;
            Probe(&stoppedAt_);
            real_->System_Log("the recording is full after %u frames; the rest is not recorded",
                              writer_.Frames());
        }
    } else {
        // Watching, the player's own Escape ends the replay; nothing else of theirs counts.
        const bool stopped = mode_ == ReplayMode::kReplay && real_->Input_GetKey() == HGEK_ESCAPE;
        if (stopped || framesRun_ >= recorded_.frames.size()) {
            return true;
        }
        frame_ = recorded_.frames[framesRun_];
    }
    ++framesRun_;
    const bool ends = frameFunc_ != nullptr && frameFunc_();
    endedByGame_ = endedByGame_ || ends;
    return ends;
}

void ReplayEngine::AfterFrame() {
    const std::uint32_t period = mode_ == ReplayMode::kRecord ? replay::kCheckpointFrames
                                                              : recorded_.header.checkpointFrames;
    if (framesRun_ % period != 0) {
        return;
    }
    if (mode_ == ReplayMode::kRecord) {
        if (recording_) {
            replay::Outcome now;
            Probe(&now);
            writer_.AddCheckpoint(now);
        }
        return;
    }
    while (nextCheckpoint_ < recorded_.checkpoints.size() &&
           recorded_.checkpoints[nextCheckpoint_].frame < framesRun_) {
        ++nextCheckpoint_;
    }
    if (nextCheckpoint_ < recorded_.checkpoints.size() &&
        recorded_.checkpoints[nextCheckpoint_].frame == framesRun_) {
        Compare(framesRun_, recorded_.checkpoints[nextCheckpoint_].outcome);
    }
}

void ReplayEngine::Compare(std::uint32_t frame, const replay::Outcome& recorded) {
    if (differs_) {
        return;
    }
    replay::Outcome played;
    Probe(&played);
    if (played == recorded) {
        return;
    }
    differs_ = true;
    const std::uint32_t period = recorded_.header.checkpointFrames;
    char where[160];
    std::snprintf(where, sizeof where, "by frame %u (it agreed at frame %u): ", frame,
                  frame > period ? frame - period : 0);
    difference_ = where + recorded.Differences(played);
}

bool ReplayEngine::System_Start() {
    if (mode_ == ReplayMode::kVerify) {
        RunHeadless();
        return true;
    }
    return real_->System_Start();
}

void ReplayEngine::RunHeadless() {
    while (!differs_ && framesRun_ < recorded_.frames.size()) {
        if (FrameThunk()) {
            break;
        }
        RenderThunk();
    }
}

int ReplayEngine::End() {
    if (mode_ == ReplayMode::kRecord) {
        replay::Outcome final = stoppedAt_;
        if (recording_) {
            Probe(&final);
        }
        std::string problem;
        if (!writer_.Finish(final, Name(), &problem)) {
            std::fprintf(stderr, "zombie-shooter: cannot record to %s: %s\n", Name(),
                         problem.c_str());
            return 1;
        }
        std::printf("zombie-shooter: recorded %u frames (%.1f s, %zu bytes) to %s\n",
                    writer_.Frames(), writer_.Seconds(), writer_.Bytes(), Name());
        return 0;
    }
    if (mode_ == ReplayMode::kReplay && framesRun_ < recorded_.frames.size() && !endedByGame_) {
        return 0;  // the player stopped watching
    }
    if (!differs_) {
        replay::Outcome played;
        Probe(&played);
        const auto total = static_cast<std::uint32_t>(recorded_.frames.size());
        if (framesRun_ != total) {
            differs_ = true;
            char where[160];
            std::snprintf(where, sizeof where, "the game ended at frame %u, the recording at %u",
                          framesRun_, total);
            difference_ = where;
        } else if (!(played == recorded_.final)) {
            differs_ = true;
            difference_ = "at the end (frame " + std::to_string(total) +
                          "): " + recorded_.final.Differences(played);
        }
    }
    if (differs_) {
        std::fprintf(stderr, "zombie-shooter: %s plays differently %s\n", Name(),
                     difference_.c_str());
        return 1;
    }
    if (mode_ == ReplayMode::kVerify) {
        double micros = 0.0;
        for (const replay::FrameInput& f : recorded_.frames) {
            micros += f.deltaMicros;
        }
        std::printf(
            "zombie-shooter: %s plays the same: %u frames, %.1f s of play, score %d, kills %d, "
            "level %d\n",
            Name(), framesRun_, micros / 1e6, recorded_.final.score, recorded_.final.kills,
            recorded_.final.level);
    }
    return 0;
}
