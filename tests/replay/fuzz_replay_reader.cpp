// libFuzzer target: the replay reader must refuse, never crash on, any bytes, and what it keeps of
// a damaged file must be a playable prefix. Each input is read twice: as it stands, and with every
// block's checksum and the file's made right, so that mutations reach the record parser behind
// the checksums instead of stopping at them. Only the reader: thousands of inputs a second.
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
    if (!replay::ParseRecording(data, size, &recording, &problem)) {
        if (problem.empty()) {
            __builtin_trap();  // a refusal always says why
        }
    } else if (!recording.whole && recording.frames.empty()) {
        __builtin_trap();  // a cut recording is kept only when something of it plays
    }
}

void Seal(std::vector<std::uint8_t>& bytes, std::size_t from, std::size_t length) {
    const std::uint32_t crc = replay::Crc32(bytes.data() + from, length);
    std::memcpy(bytes.data() + from + length, &crc, 4);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ReadOrTrap(data, size);
    if (size < 4) {
        return 0;
    }
    std::vector<std::uint8_t> sealed(data, data + size);
    std::size_t at = replay::kHeaderBytes;
    while (at + 5 <= size && sealed[at] == replay::kBlockMark) {
        std::uint32_t length = 0;
        std::memcpy(&length, &sealed[at + 1], 4);
        if (size - at - 5 < std::size_t{length} + 4) {
            break;
        }
        Seal(sealed, at + 5, length);
        at += 5 + std::size_t{length} + 4;
    }
    Seal(sealed, 0, size - 4);
    ReadOrTrap(sealed.data(), size);
    return 0;
}
