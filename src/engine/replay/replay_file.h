// A recorded game: what the game read from the engine in each frame, and now and then what the
// game's outcome was, in a small file. The file knows no game: the keys are bits in the order the
// program lists them, and the outcome is numbers and digests the program makes and names
// (replay::GameDescription in replay_engine.h).
//
// The file: a header (the magic "ZSRP", the format version, the game's version, the engine's
// frame grid, the seed the recording's clock seeds derive from, how often an outcome is stored),
// then the game in blocks, written while it is played, each checked on its own:
//   0xFB        a block: its length (uint32), the records of the frames since the block before
//               ending with the outcome after them, and a CRC-32 of those records
// so that a game cut short by a crash, a kill or a full disk keeps every whole block; the last
// block of a game that ended may hold no outcome. Inside a block, one record per frame, storing
// only what changed since the frame before:
//   0x00..0x7F  a frame whose delta moved by -64..63 microseconds (zigzag) and nothing else
//   0x80..0x8F  a frame with flags in the low bits, each followed by its value: 0x01 the delta's
//               change (zigzag varint, microseconds), 0x02 the mouse (two int16, eighths of a
//               pixel), 0x04 the keys held (uint16, one bit each), 0x08 the key pressed (uint8)
//   0xFE        the outcome after the frame before it: six int32 numbers, the state's digest and
//               the sounds' digest (uint32 each)
//   0xFF        after the last block, the end: the number of frames, the final outcome, and a
//               CRC-32 of every byte before it, the proof that the recording is whole
// Numbers are little-endian. What the game reads is held to what the file can carry (the
// delta in whole microseconds, the mouse in eighths of a pixel), while recording and when
// played back alike, so both play exactly the same frames. Format 2 had no blocks (the records
// straight after the header) and is still read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace replay {

constexpr std::uint16_t kFormatVersion = 3;
// The oldest format still read: the same records, not in blocks.
constexpr std::uint16_t kOldestFormatVersion = 2;
constexpr std::uint32_t kFrameGridMicros = 2000;
// An outcome every this many frames: about once a second of play.
constexpr std::uint32_t kCheckpointFrames = 500;
// The recording's buffer, reserved when recording starts: about ninety minutes of play. A game
// that fills it is recorded up to there.
constexpr std::size_t kRecordingBytes = 8u << 20;
// A larger file is not one of ours.
constexpr std::size_t kLargestFile = 64u << 20;

// FrameInput::keys has a bit for each of this many keys.
constexpr int kMostRecordedKeys = 16;

struct FrameInput {
    std::uint32_t deltaMicros = 0;
    std::int16_t mouseX8 = 0;  // eighths of a pixel
    std::int16_t mouseY8 = 0;
    std::uint16_t keys = 0;  // bit i: the program's i-th recorded key is held
    std::uint8_t pressed = 0;

    float Delta() const { return static_cast<float>(deltaMicros / 1e6); }
    float MouseX() const { return mouseX8 / 8.0f; }
    float MouseY() const { return mouseY8 / 8.0f; }
    // What the file can carry of what the engine gave.
    static FrameInput From(float delta, float mouseX, float mouseY, std::uint16_t keys,
                           int pressed);
};

// What the game's state came to; `digest` covers everything else that any rule changes
// (positions, timers, the pools), so that two plays agree only when they are the same game.
// FNV-1a over the bytes of each value added: floats by their bits, so that any difference counts.
class Digest {
  public:
    template <class T>
    void Add(const T& value) {
        unsigned char bytes[sizeof(T)];
        std::memcpy(bytes, &value, sizeof(T));
        for (const unsigned char b : bytes) {
            hash_ = (hash_ ^ b) * 16777619u;
        }
    }
    std::uint32_t Value() const { return hash_; }

  private:
    std::uint32_t hash_ = 2166136261u;
};

// Where a game stands: the numbers the program chose to compare (what a player reads, say), a
// digest of the rest of its state, and a digest of the sounds it has started.
constexpr int kOutcomeFields = 6;

struct Outcome {
    std::int32_t fields[kOutcomeFields] = {};
    std::uint32_t digest = 0;
    // Every sound the game started, in order: which one, in which frame, how loud, where, at
    // what pitch, looping or not. What a player hears, kept apart from what the game's state says.
    std::uint32_t sounds = 0;

    bool operator==(const Outcome&) const = default;
};

struct Header {
    std::uint16_t version = kFormatVersion;
    char gameVersion[16] = {};
    std::uint32_t gridMicros = kFrameGridMicros;
    std::uint64_t seed = 0;
    std::uint32_t checkpointFrames = kCheckpointFrames;
};

struct Checkpoint {
    std::uint32_t frame;  // the outcome after this many frames
    Outcome outcome;
};

// A recorded game, read and checked: whole, or what its whole blocks hold.
struct Recording {
    Header header;
    std::vector<FrameInput> frames;
    std::vector<Checkpoint> checkpoints;
    Outcome final;      // only when whole
    bool whole = true;  // false: cut short; `cut` says where and why
    std::string cut;
};

// Reads and checks a file. A recording cut short (a crash, a kill, a full disk) or damaged after
// its first block is what its whole blocks before the cut hold. False, with one line saying why,
// for anything that holds nothing this game can play: empty, a header only, another format
// version or frame grid, or not a recording at all.
bool ReadRecording(const char* path, Recording* out, std::string* problem);
// The same over bytes in memory.
bool ParseRecording(const std::uint8_t* data, std::size_t size, Recording* out,
                    std::string* problem);

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size);

// The records' first bytes, for the reader and the writer.
constexpr std::uint8_t kBlockMark = 0xFB;
constexpr std::uint8_t kCheckpointMark = 0xFE;
constexpr std::uint8_t kEndMark = 0xFF;
constexpr std::uint8_t kFullFrame = 0x80;
enum : std::uint8_t { kDeltaFlag = 0x01, kMouseFlag = 0x02, kKeysFlag = 0x04, kPressedFlag = 0x08 };
constexpr char kMagic[4] = {'Z', 'S', 'R', 'P'};
constexpr std::size_t kHeaderBytes = 4 + 2 + 2 + 16 + 4 + 8 + 4;
constexpr std::size_t kOutcomeBytes = 8 * 4;
constexpr std::size_t kEndBytes = 1 + 4 + kOutcomeBytes + 4;

std::uint32_t Zigzag(std::int32_t v);

}  // namespace replay
