#include "engine/replay/replay_file.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace replay {
namespace {

constexpr char kMagic[4] = {'Z', 'S', 'R', 'P'};
constexpr std::size_t kHeaderBytes = 4 + 2 + 2 + 16 + 4 + 8 + 4;
constexpr std::size_t kOutcomeBytes = 8 * 4;
constexpr std::size_t kEndBytes = 1 + 4 + kOutcomeBytes + 4;
// The most one frame and the records that may follow it take.
constexpr std::size_t kFrameRoom = 1 + 5 + 4 + 2 + 1 + 1 + kOutcomeBytes + kEndBytes;
constexpr std::uint8_t kCheckpoint = 0xFE;
constexpr std::uint8_t kEnd = 0xFF;
constexpr std::uint8_t kFullFrame = 0x80;
enum : std::uint8_t { kDelta = 0x01, kMouse = 0x02, kKeys = 0x04, kPressed = 0x08 };

std::uint32_t Zigzag(std::int32_t v) {
    return (static_cast<std::uint32_t>(v) << 1) ^ static_cast<std::uint32_t>(v >> 31);
}

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
    if ((kind & kDelta) != 0) {
        if (!in.GetVarint(&change)) {
            return false;
        }
        frame->deltaMicros += static_cast<std::uint32_t>(Unzigzag(change));
    }
    return ((kind & kMouse) == 0 || (in.Get(&frame->mouseX8) && in.Get(&frame->mouseY8))) &&
           ((kind & kKeys) == 0 || in.Get(&frame->keys)) &&
           ((kind & kPressed) == 0 || in.Get(&frame->pressed));
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
    if (h->version != kFormatVersion) {
        return Fail(problem, "made in replay format " + std::to_string(h->version) +
                                 "; this game reads format " + std::to_string(kFormatVersion));
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

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320u & -(crc & 1u));
        }
    }
    return ~crc;
}

bool ParseRecording(const std::uint8_t* data, std::size_t size, Recording* out,
                    std::string* problem) {
    if (size == 0) {
        return Fail(problem, "empty");
    }
    Reader in(data, size);
    if (!ReadHeader(in, &out->header, problem)) {
        return false;
    }
    if (size < kHeaderBytes + kEndBytes || data[size - kEndBytes] != kEnd) {
        return Fail(problem, "cut short (it has no end; was the game interrupted?)");
    }
    std::uint32_t crc = 0;
    std::memcpy(&crc, data + size - 4, 4);
    if (Crc32(data, size - 4) != crc) {
        return Fail(problem, "damaged (its checksum does not match)");
    }
    out->frames.clear();
    out->checkpoints.clear();
    // Every frame takes at least one byte, so this bounds what the vectors may need.
    out->frames.reserve(size - kHeaderBytes);
    FrameInput frame;
    for (;;) {
        std::uint8_t kind = 0;
        if (!in.Get(&kind)) {
            return Fail(problem, "damaged (it ends inside a record)");
        }
        if (kind == kEnd) {
            break;
        }
        if (kind == kCheckpoint) {
            Checkpoint c{static_cast<std::uint32_t>(out->frames.size()), {}};
            if (!in.GetOutcome(&c.outcome)) {
                return Fail(problem, "damaged (it ends inside a record)");
            }
            out->checkpoints.push_back(c);
            continue;
        }
        if (!ReadFrame(in, kind, &frame)) {
            return Fail(problem, "damaged at byte " + std::to_string(in.Position()));
        }
        out->frames.push_back(frame);
    }
    std::uint32_t count = 0;
    if (!in.Get(&count) || !in.GetOutcome(&out->final) || in.Position() != size - 4 ||
        count != out->frames.size()) {
        return Fail(problem, "damaged (its end does not match its frames)");
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

void Writer::Start(const Header& header) {
    buffer_.assign(kRecordingBytes, 0);
    size_ = 0;
    frames_ = 0;
    micros_ = 0;
    last_ = FrameInput{};
    const std::uint16_t reserved = 0;
    Put(kMagic, 4);
    Put(&header.version, 2);
    Put(&reserved, 2);
    Put(header.gameVersion, sizeof header.gameVersion);
    Put(&header.gridMicros, 4);
    Put(&header.seed, 8);
    Put(&header.checkpointFrames, 4);
}

void Writer::Put(const void* data, std::size_t size) {
    std::memcpy(buffer_.data() + size_, data, size);
    size_ += size;
}

void Writer::PutVarint(std::uint32_t value) {
    while (value >= 0x80) {
        const auto b = static_cast<std::uint8_t>(value | 0x80);
        Put(&b, 1);
        value >>= 7;
    }
    const auto b = static_cast<std::uint8_t>(value);
    Put(&b, 1);
}

void Writer::PutOutcome(const Outcome& o) {
    Put(o.fields, sizeof o.fields);
    Put(&o.digest, 4);
    Put(&o.sounds, 4);
}

bool Writer::AddFrame(const FrameInput& frame) {
    if (buffer_.size() - size_ < kFrameRoom) {
        return false;
    }
    const auto change = static_cast<std::int32_t>(frame.deltaMicros - last_.deltaMicros);
    const bool mouse = frame.mouseX8 != last_.mouseX8 || frame.mouseY8 != last_.mouseY8;
    const bool keys = frame.keys != last_.keys;
    if (!mouse && !keys && frame.pressed == 0 && change >= -64 && change < 64) {
        const auto b = static_cast<std::uint8_t>(Zigzag(change));
        Put(&b, 1);
    } else {
        const auto kind = static_cast<std::uint8_t>(kFullFrame | (change != 0 ? kDelta : 0) |
                                                    (mouse ? kMouse : 0) | (keys ? kKeys : 0) |
                                                    (frame.pressed != 0 ? kPressed : 0));
        Put(&kind, 1);
        if (change != 0) {
            PutVarint(Zigzag(change));
        }
        if (mouse) {
            Put(&frame.mouseX8, 2);
            Put(&frame.mouseY8, 2);
        }
        if (keys) {
            Put(&frame.keys, 2);
        }
        if (frame.pressed != 0) {
            Put(&frame.pressed, 1);
        }
    }
    last_ = frame;
    ++frames_;
    micros_ += frame.deltaMicros;
    return true;
}

void Writer::AddCheckpoint(const Outcome& outcome) {
    Put(&kCheckpoint, 1);
    PutOutcome(outcome);
}

bool Writer::Finish(const Outcome& final, const char* path, std::string* problem) {
    Put(&kEnd, 1);
    Put(&frames_, 4);
    PutOutcome(final);
    const std::uint32_t crc = Crc32(buffer_.data(), size_);
    Put(&crc, 4);
    const std::string temporary = std::string(path) + ".part";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) {
        return Fail(problem, std::string("cannot write it: ") + std::strerror(errno));
    }
    const bool written = std::fwrite(buffer_.data(), 1, size_, file) == size_;
    if (std::fclose(file) != 0 || !written) {
        std::remove(temporary.c_str());
        return Fail(problem, "cannot write it: the disk refused");
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error) {
        std::remove(temporary.c_str());
        return Fail(problem, "cannot write it: " + error.message());
    }
    return true;
}

}  // namespace replay
