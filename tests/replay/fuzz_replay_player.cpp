// libFuzzer target: any file the reader keeps is played as --verify plays it, on the headless
// engine, and must end in an answer (the same, different, cut short), never a crash or a hang.
// Inputs of more than kMostFrames frames are left to the reader's own target: each game is
// played whole, so a bound on its length keeps the inputs coming.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "app/command_line.h"
#include "engine/headless/headless_engine.h"
#include "engine/replay/replay_file.h"
#include "support/game_reset.h"

namespace {

constexpr std::size_t kMostFrames = 3000;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    replay::Recording recording;
    std::string problem;
    if (!replay::ParseRecording(data, size, &recording, &problem) ||
        recording.frames.size() > kMostFrames) {
        return 0;
    }
    static const std::string path = "/tmp/zs-fuzz-player-" + std::to_string(getpid()) + ".zsr";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr || std::fwrite(data, 1, size, file) != size) {
        __builtin_trap();
    }
    std::fclose(file);
    const char* args[] = {"zombie-shooter", "--verify", path.c_str(), nullptr};
    const int status = RunCommandLine(3, args, ProgramEngines{nullptr, HeadlessEngine::Acquire});
    test::FreeGame();
    if (status != 0 && status != 1) {
        __builtin_trap();  // the reader kept it, so it plays: the same, or differently
    }
    return 0;
}
