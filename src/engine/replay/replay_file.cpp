#include "engine/replay/replay_file.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace replay {
namespace {

std::int32_t Unzigzag(std::uint32_t v) {
    return static_cast<std::int32_t>(v >> 1) ^ -static_cast<std::int32_t>(v & 1);
}

std::int16_t Eighths(float v) {
    const double e = std::nearbyint(static_cast<double>(v) * 8.0);
    return static_cast<std::int16_t>(e < -32768.0 ? -32768.0 : e > 32767.0 ? 32767.0 : e);
}

// Reads the file's bytes in order; any read past the end fails the reader for good.
class Reader {
  public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    template <class T>
    bool Get(T* value) {
        if (size_ - pos_ < sizeof(T)) {
            return false;
        }
        std::memcpy(value, data_ + pos_, sizeof(T));
        pos_ += sizeof(T);
        return true;
    }
    bool GetVarint(std::uint32_t* value) {
        *value = 0;
        for (int shift = 0; shift < 35; shift += 7) {
            std::uint8_t b = 0;
            if (!Get(&b)) {
                return false;
            }
            *value |= static_cast<std::uint32_t>(b & 0x7F) << shift;
            if ((b & 0x80) == 0) {
                return true;
            }
        }
        return false;
    }
    bool GetOutcome(Outcome* o) { return Get(&o->fields) && Get(&o->digest) && Get(&o->sounds); }
    std::size_t Position() const { return pos_; }
    std::size_t Left() const { return size_ - pos_; }
    void Skip(std::size_t n) { pos_ += n < Left() ? n : Left(); }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

bool Fail(std::string* problem, const std::string& why) {
    *problem = why;
    return false;
}

// The key pressed belongs to its frame alone; everything else holds until it changes.
bool ReadFrame(Reader& in, std::uint8_t kind, FrameInput* frame) {
    frame->pressed = 0;
    if (kind < kFullFrame) {
        frame->deltaMicros += static_cast<std::uint32_t>(Unzigzag(kind));
        return true;
    }
    if ((kind & 0xF0) != kFullFrame) {
        return false;
    }
    std::uint32_t change = 0;
    if ((kind & kDeltaFlag) != 0) {
        if (!in.GetVarint(&change)) {
            return false;
        }
        frame->deltaMicros += static_cast<std::uint32_t>(Unzigzag(change));
    }
    return ((kind & kMouseFlag) == 0 || (in.Get(&frame->mouseX8) && in.Get(&frame->mouseY8))) &&
           ((kind & kKeysFlag) == 0 || in.Get(&frame->keys)) &&
           ((kind & kPressedFlag) == 0 || in.Get(&frame->pressed));
}

bool ReadHeader(Reader& in, Header* h, std::string* problem) {
    char magic[4] = {};
    std::uint16_t reserved = 0;
    if (!in.Get(&magic) || std::memcmp(magic, kMagic, 4) != 0) {
        return Fail(problem, "not a replay");
    }
    in.Get(&h->version);
    in.Get(&reserved);
    in.Get(&h->gameVersion);
    in.Get(&h->gridMicros);
    in.Get(&h->seed);
    in.Get(&h->checkpointFrames);
    h->gameVersion[sizeof h->gameVersion - 1] = '\0';
    if (h->version < kOldestFormatVersion || h->version > kFormatVersion) {
        return Fail(problem, "made in replay format " + std::to_string(h->version) +
                                 "; this game reads formats " +
                                 std::to_string(kOldestFormatVersion) + " to " +
                                 std::to_string(kFormatVersion));
    }
    if (h->gridMicros != kFrameGridMicros) {
        return Fail(problem, "recorded on a frame grid of " + std::to_string(h->gridMicros) +
                                 " microseconds; this game runs one of " +
                                 std::to_string(kFrameGridMicros));
    }
    if (h->checkpointFrames == 0) {
        return Fail(problem, "damaged (no outcome period)");
    }
    return true;
}

}  // namespace

FrameInput FrameInput::From(float delta, float mouseX, float mouseY, std::uint16_t keys,
                            int pressed) {
    FrameInput f;
    const double micros = std::nearbyint(static_cast<double>(delta) * 1e6);
    f.deltaMicros = micros < 0.0   ? 0u
                    : micros > 1e9 ? 1000000000u
                                   : static_cast<std::uint32_t>(micros);
    f.mouseX8 = Eighths(mouseX);
    f.mouseY8 = Eighths(mouseY);
    f.keys = keys;
    f.pressed = pressed > 0 && pressed < 256 ? static_cast<std::uint8_t>(pressed) : 0;
    return f;
}

namespace {

// CRC-32 (the polynomial of zip and PNG), a byte at a time through a table made once.
struct CrcTable {
    std::uint32_t entries[256];
    constexpr CrcTable() : entries() {
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t crc = i;
            for (int bit = 0; bit < 8; ++bit) {
                crc = (crc >> 1) ^ (0xEDB88320u & -(crc & 1u));
            }
            entries[i] = crc;
        }
    }
};
constexpr CrcTable kCrcTable;

}  // namespace

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) {
        crc = kCrcTable.entries[(crc ^ data[i]) & 0xFFu] ^ (crc >> 8);
    }
    return ~crc;
}

namespace {

// The records from the reader's place up to `end`, appended to `out`; `frame` carries what the
// frame before held. False at a record that is not whole or reaches past `end`.
bool ReadRecords(Reader& in, std::size_t end, FrameInput* frame, Recording* out) {
    while (in.Position() < end) {
        std::uint8_t kind = 0;
        in.Get(&kind);
        if (kind == kCheckpointMark) {
            Checkpoint c{static_cast<std::uint32_t>(out->frames.size()), {}};
            if (!in.GetOutcome(&c.outcome)) {
                return false;
            }
            out->checkpoints.push_back(c);
        } else if (ReadFrame(in, kind, frame)) {
            out->frames.push_back(*frame);
        } else {
            return false;
        }
    }
    return in.Position() == end;
}

// The end record, the reader just past its mark: whole when the count, the place and the
// checksum of every byte before it agree.
bool ReadEnd(Reader& in, const std::uint8_t* data, std::size_t size, Recording* out) {
    std::uint32_t count = 0;
    std::uint32_t crc = 0;
    return in.Get(&count) && in.GetOutcome(&out->final) && in.Position() == size - 4 &&
           in.Get(&crc) && count == out->frames.size() && Crc32(data, size - 4) == crc;
}

// Format 2: the records straight after the header, whole or not at all.
bool ParseUnblocked(Reader& in, const std::uint8_t* data, std::size_t size, Recording* out,
                    std::string* problem) {
    if (size < kHeaderBytes + kEndBytes || data[size - kEndBytes] != kEndMark) {
        return Fail(problem, "cut short (it has no end; was the game interrupted?)");
    }
    FrameInput frame;
    if (!ReadRecords(in, size - kEndBytes, &frame, out)) {
        return Fail(problem, "damaged at byte " + std::to_string(in.Position()));
    }
    in.Skip(1);
    if (!ReadEnd(in, data, size, out)) {
        return Fail(problem, "damaged (its end does not match its frames)");
    }
    return true;
}

// One block, the reader at its mark; all of it or nothing is added to `out`. Empty when whole,
// else why the recording ends before it.
std::string ReadBlock(Reader& in, const std::uint8_t* data, FrameInput* frame, Recording* out) {
    std::uint32_t length = 0;
    in.Skip(1);
    if (!in.Get(&length) || in.Left() < std::size_t{length} + 4) {
        return "it ends inside a block";
    }
    std::uint32_t crc = 0;
    std::memcpy(&crc, data + in.Position() + length, 4);
    if (Crc32(data + in.Position(), length) != crc) {
        return "a damaged block";
    }
    const std::size_t frames = out->frames.size();
    const std::size_t checkpoints = out->checkpoints.size();
    const FrameInput before = *frame;
    if (!ReadRecords(in, in.Position() + length, frame, out)) {
        out->frames.resize(frames);
        out->checkpoints.resize(checkpoints);
        *frame = before;
        return "a damaged block";
    }
    in.Skip(4);
    return "";
}

}  // namespace

bool ParseRecording(const std::uint8_t* data, std::size_t size, Recording* out,
                    std::string* problem) {
    if (size == 0) {
        return Fail(problem, "empty");
    }
    Reader in(data, size);
    if (!ReadHeader(in, &out->header, problem)) {
        return false;
    }
    out->frames.clear();
    out->checkpoints.clear();
    out->final = Outcome{};
    out->whole = false;
    out->cut.clear();
    // Every frame takes at least one byte, so this bounds what the vectors may need.
    out->frames.reserve(size - in.Position());
    if (out->header.version == kOldestFormatVersion) {
        return out->whole = ParseUnblocked(in, data, size, out, problem);
    }
    FrameInput frame;
    while (out->cut.empty() && !out->whole) {
        if (in.Left() == 0) {
            out->cut = "nothing after it";
        } else if (data[in.Position()] == kEndMark) {
            in.Skip(1);
            out->whole = ReadEnd(in, data, size, out);
            out->cut = out->whole ? "" : "its end is damaged";
        } else if (data[in.Position()] == kBlockMark) {
            out->cut = ReadBlock(in, data, &frame, out);
        } else {
            out->cut = "damaged at byte " + std::to_string(in.Position());
        }
    }
    if (!out->whole && out->frames.empty()) {
        return Fail(problem, out->cut + " before its first whole block");
    }
    return true;
}

bool ReadRecording(const char* path, Recording* out, std::string* problem) {
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        return Fail(problem, std::string("cannot open it: ") + std::strerror(errno));
    }
    std::fseek(file, 0, SEEK_END);
    const long length = std::ftell(file);
    std::fseek(file, 0, SEEK_SET);
    if (length < 0 || static_cast<unsigned long>(length) > kLargestFile) {
        std::fclose(file);
        return Fail(problem, length < 0 ? "cannot read it" : "too large to be a replay");
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(length));
    const std::size_t size = std::fread(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    return ParseRecording(bytes.data(), size, out, problem);
}

}  // namespace replay
