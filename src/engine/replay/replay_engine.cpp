#include "engine/replay/replay_engine.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>

using replay::Mode;

ReplayEngine* ReplayEngine::running_ = nullptr;

namespace {

// Each clock seed the game asks for while recording: one seed from the clock when the game
// starts, mixed with how many came before, so that the file carries one seed, not one a frame.
std::uint64_t SeedNumber(std::uint64_t seed, std::uint32_t n) {
    std::uint64_t z = seed + 0x9E3779B97F4A7C15ull * (n + 1ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

}  // namespace

ReplayEngine::ReplayEngine(Mode mode, const char* path, const replay::GameDescription& game)
    : mode_(mode), path_(path), game_(game) {}

ReplayEngine::~ReplayEngine() {
    if (running_ == this) {
        running_ = nullptr;
    }
}

HGE* ReplayEngine::Around(HGE* real) {
    SetInner(real);
    return this;
}

bool ReplayEngine::Begin(std::string* problem) {
    running_ = this;
    if (mode_ != Mode::kRecord) {
        if (!replay::ReadRecording(path_.c_str(), &recorded_, problem)) {
            return false;
        }
        seed_ = recorded_.header.seed;
        return true;
    }
    replay::Header header;
    std::snprintf(header.gameVersion, sizeof header.gameVersion, "%s", game_.version);
    header.seed =
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count() ^
                                   std::chrono::system_clock::now().time_since_epoch().count());
    seed_ = header.seed;
    if (!writer_.Start(header, path_, problem)) {
        return false;
    }
    recording_ = true;
    return true;
}

void ReplayEngine::System_SetStateFunc(hgeFuncState state, hgeCallback value) {
    if (state == HGE_FRAMEFUNC) {
        frameFunc_ = value;
        value = FrameThunk;
    } else if (state == HGE_RENDERFUNC) {
        renderFunc_ = value;
        value = RenderThunk;
    }
    ForwardingEngine::System_SetStateFunc(state, value);
}

bool ReplayEngine::FrameThunk() {
    return running_->OnFrame();
}

bool ReplayEngine::RenderThunk() {
    const bool result = running_->renderFunc_ != nullptr && running_->renderFunc_();
    running_->AfterFrame();
    return result;
}

bool ReplayEngine::Input_GetKeyState(int key) {
    for (int i = 0; i < game_.keyCount; ++i) {
        if (game_.keys[i] == key) {
            return (frame_.keys >> i & 1) != 0;
        }
    }
    return false;
}

void ReplayEngine::Random_Seed(int seed) {
    if (seed != 0) {
        random_.Seed(static_cast<std::uint32_t>(seed));
    } else {
        random_.Seed(SeedNumber(seed_, seedsTaken_++));
    }
}

void ReplayEngine::Probe(replay::Outcome* outcome) const {
    game_.probe(outcome);
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
    const HEFFECT effect = Inner()->Effect_Load(filename, size);
    Loaded(false, effect);
    return effect;
}

HCHANNEL ReplayEngine::Effect_PlayEx(HEFFECT eff, int volume, int pan, float pitch, bool loop) {
    Played(false, eff, volume, pan, pitch, loop);
    return Inner()->Effect_PlayEx(eff, volume, pan, pitch, loop);
}

HSTREAM ReplayEngine::Stream_Load(const char* filename, std::uint32_t size) {
    const HSTREAM stream = Inner()->Stream_Load(filename, size);
    Loaded(true, stream);
    return stream;
}

HCHANNEL ReplayEngine::Stream_Play(HSTREAM stream, bool loop, int volume) {
    Played(true, stream, volume, 0, 1.0f, loop);
    return Inner()->Stream_Play(stream, loop, volume);
}

replay::FrameInput ReplayEngine::Sample() {
    std::uint16_t keys = 0;
    for (int i = 0; i < game_.keyCount && i < replay::kMostRecordedKeys; ++i) {
        keys |= Inner()->Input_GetKeyState(game_.keys[i]) ? 1u << i : 0u;
    }
    float x = 0.0f;
    float y = 0.0f;
    Inner()->Input_GetMousePos(&x, &y);
    return replay::FrameInput::From(Inner()->Timer_GetDelta(), x, y, keys, Inner()->Input_GetKey());
}

bool ReplayEngine::OnFrame() {
    if (mode_ == Mode::kRecord) {
        frame_ = Sample();
        if (recording_ && !writer_.AddFrame(frame_)) {
            // The buffer is full: the recording ends here, and the game goes on.
            recording_ = false;
            Probe(&stoppedAt_);
            Inner()->System_Log("the recording is full after %u frames; the rest is not recorded",
                                writer_.Frames());
        }
    } else {
        // Watching, the player's own Escape ends the replay; nothing else of theirs counts.
        // Checking, the first difference is the answer: the rest need not be played.
        const bool stopped = mode_ == Mode::kReplay ? Inner()->Input_GetKey() == HGEK_ESCAPE
                                                    : mode_ == Mode::kVerify && differs_;
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
    const std::uint32_t period =
        mode_ == Mode::kRecord ? replay::kCheckpointFrames : recorded_.header.checkpointFrames;
    if (framesRun_ % period != 0) {
        return;
    }
    if (mode_ == Mode::kRecord) {
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
    difference_ = where + Differences(recorded, played);
}

std::string ReplayEngine::Differences(const replay::Outcome& recorded,
                                      const replay::Outcome& played) const {
    std::string out;
    for (int i = 0; i < replay::kOutcomeFields; ++i) {
        if (recorded.fields[i] != played.fields[i]) {
            out += (out.empty() ? "" : "; ") + std::string(game_.fieldNames[i]) + " " +
                   std::to_string(recorded.fields[i]) + " recorded, " +
                   std::to_string(played.fields[i]) + " played";
        }
    }
    if (out.empty() && recorded.sounds != played.sounds) {
        out = game_.soundsDiffer;
    }
    if (out.empty() && recorded.digest != played.digest) {
        out = game_.stateDiffers;
    }
    return out;
}

int ReplayEngine::End() {
    running_ = running_ == this ? nullptr : running_;
    return mode_ == Mode::kRecord ? EndRecording() : EndPlayback();
}

// What was recorded goes to standard error like any other line: standard output is the
// program's answer (a benchmark's figures, say).
int ReplayEngine::EndRecording() {
    replay::Outcome final = stoppedAt_;
    if (recording_) {
        Probe(&final);
    }
    if (!writer_.Finish(final)) {
        // The game was played to its end all the same: say what of it is on the disk, and where.
        const replay::Writer::Kept kept = writer_.WhatWasKept();
        std::fprintf(stderr,
                     "%s: cannot record all of the game to %s (%s): %s keeps %u frames, %.1f s\n",
                     game_.name, path_.c_str(), kept.why.c_str(), kept.file.c_str(), kept.frames,
                     kept.seconds);
        return 1;
    }
    std::fprintf(stderr, "%s: recorded %u frames (%.1f s, %zu bytes) to %s\n", game_.name,
                 writer_.Frames(), writer_.Seconds(), writer_.Bytes(), path_.c_str());
    return 0;
}

int ReplayEngine::EndPlayback() {
    if (mode_ == Mode::kReplay && framesRun_ < recorded_.frames.size() && !endedByGame_) {
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
        } else if (recorded_.whole && !(played == recorded_.final)) {
            differs_ = true;
            difference_ = "at the end (frame " + std::to_string(total) +
                          "): " + Differences(recorded_.final, played);
        }
    }
    if (differs_) {
        std::fprintf(stderr, "%s: %s plays differently %s\n", game_.name, path_.c_str(),
                     difference_.c_str());
        return 1;
    }
    double micros = 0.0;
    for (const replay::FrameInput& f : recorded_.frames) {
        micros += f.deltaMicros;
    }
    if (!recorded_.whole) {
        std::printf(
            "%s: %s plays the same up to frame %u, %.1f s: the recording was cut short (%s)\n",
            game_.name, path_.c_str(), framesRun_, micros / 1e6, recorded_.cut.c_str());
        return 0;
    }
    if (mode_ == Mode::kVerify) {
        std::string summary;
        for (int i = 0; i < game_.summaryFields && i < replay::kOutcomeFields; ++i) {
            summary += ", " + std::string(game_.fieldNames[i]) + " " +
                       std::to_string(recorded_.final.fields[i]);
        }
        std::printf("%s: %s plays the same: %u frames, %.1f s of play%s\n", game_.name,
                    path_.c_str(), framesRun_, micros / 1e6, summary.c_str());
    }
    return 0;
}
