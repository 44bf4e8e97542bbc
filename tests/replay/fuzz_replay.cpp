// libFuzzer target: the replay reader must refuse, never crash on, any bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/replay/replay_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    replay::Recording recording;
    std::string problem;
    if (!replay::ParseRecording(data, size, &recording, &problem) && problem.empty()) {
        __builtin_trap();  // a refusal always says why
    }
    return 0;
}
