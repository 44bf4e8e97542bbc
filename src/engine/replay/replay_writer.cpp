#include "engine/replay/replay_writer.h"

#include <cstring>
#include <filesystem>
#include <system_error>

namespace replay {
namespace {

// The most one frame and the records that may follow it take: the frame, an outcome, the block's
// checksum, the next block's opening, and the end.
constexpr std::size_t kFrameRoom = 1 + 5 + 4 + 2 + 1 + 1 + kOutcomeBytes + 4 + 5 + kEndBytes;
// A block closes with each outcome, and after a second of play whatever the pace of the frames,
// so that a game cut short loses no more than that.
constexpr std::uint64_t kMostBlockMicros = 1000000;
// Room for more than two hours of them.
constexpr std::size_t kMostBlocks = 16384;

}  // namespace

std::uint32_t Zigzag(std::int32_t v) {
    return (static_cast<std::uint32_t>(v) << 1) ^ static_cast<std::uint32_t>(v >> 31);
}

bool Writer::Start(const Header& header, const std::string& path, std::string* problem) {
    buffer_.assign(kRecordingBytes, 0);
    blocks_.clear();
    blocks_.reserve(kMostBlocks);
    size_ = 0;
    frames_ = 0;
    micros_ = 0;
    last_ = FrameInput{};
    path_ = path;
    if (!file_.Open(path_ + ".part", buffer_.data(), problem)) {
        return false;
    }
    const std::uint16_t reserved = 0;
    Put(kMagic, 4);
    Put(&header.version, 2);
    Put(&reserved, 2);
    Put(header.gameVersion, sizeof header.gameVersion);
    Put(&header.gridMicros, 4);
    Put(&header.seed, 8);
    Put(&header.checkpointFrames, 4);
    file_.Offer(size_);
    OpenBlock();
    return true;
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

void Writer::OpenBlock() {
    const std::uint32_t length = 0;  // filled in when the block closes
    Put(&kBlockMark, 1);
    Put(&length, 4);
    blockStart_ = size_;
    blockMicros_ = micros_;
}

void Writer::CloseBlock() {
    const auto length = static_cast<std::uint32_t>(size_ - blockStart_);
    std::memcpy(buffer_.data() + blockStart_ - 4, &length, 4);
    const std::uint32_t crc = Crc32(buffer_.data() + blockStart_, length);
    Put(&crc, 4);
    if (blocks_.size() < blocks_.capacity()) {
        blocks_.push_back(BlockEnd{size_, frames_, micros_});
    }
    file_.Offer(size_);
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
        const auto kind = static_cast<std::uint8_t>(
            kFullFrame | (change != 0 ? kDeltaFlag : 0) | (mouse ? kMouseFlag : 0) |
            (keys ? kKeysFlag : 0) | (frame.pressed != 0 ? kPressedFlag : 0));
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
    if (micros_ - blockMicros_ >= kMostBlockMicros) {
        CloseBlock();
        OpenBlock();
    }
    return true;
}

void Writer::AddCheckpoint(const Outcome& outcome) {
    Put(&kCheckpointMark, 1);
    PutOutcome(outcome);
    CloseBlock();
    OpenBlock();
}

bool Writer::Finish(const Outcome& final) {
    if (size_ == blockStart_) {
        size_ -= 5;  // the block opened after the last outcome holds nothing
    } else {
        CloseBlock();
    }
    Put(&kEndMark, 1);
    Put(&frames_, 4);
    PutOutcome(final);
    const std::uint32_t crc = Crc32(buffer_.data(), size_);
    Put(&crc, 4);
    onDisk_ = file_.Close(size_);
    if (onDisk_ != size_) {
        return false;
    }
    std::error_code error;
    std::filesystem::rename(path_ + ".part", path_, error);
    return !error;
}

Writer::Kept Writer::WhatWasKept() const {
    Kept kept{path_ + ".part", 0, 0.0, file_.Error()};
    for (const BlockEnd& block : blocks_) {
        if (block.bytes <= onDisk_) {
            kept.frames = block.frames;
            kept.seconds = block.micros / 1e6;
        }
    }
    if (onDisk_ == size_) {
        kept.frames = frames_;
        kept.seconds = Seconds();
        kept.why = "it could not be renamed";
    }
    return kept;
}

}  // namespace replay
