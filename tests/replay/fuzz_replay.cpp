// libFuzzer target: the replay reader must refuse, never crash on, any bytes. Each input is read
// twice: as it stands, and with its last four bytes replaced by the checksum of the rest, so that
// mutations reach the record parser behind the checksum instead of stopping at it.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "engine/replay/replay_file.h"

namespace {

void ReadOrTrap(const std::uint8_t* data, std::size_t size) {
    replay::Recording recording;
    std::string problem;
    if (!replay::ParseRecording(data, size, &recording, &problem) && problem.empty()) {
        __builtin_trap();  // a refusal always says why
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ReadOrTrap(data, size);
    if (size >= 4) {
        std::vector<std::uint8_t> sealed(data, data + size);
        const std::uint32_t crc = replay::Crc32(sealed.data(), size - 4);
        std::memcpy(sealed.data() + size - 4, &crc, 4);
        ReadOrTrap(sealed.data(), size);
    }
    return 0;
}
