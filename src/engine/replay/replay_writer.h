// Builds a recording in a buffer reserved up front, block by block, and hands each whole block to
// the file (block_file.h) as it is closed: nothing is allocated while recording, and the file on
// the disk is never more than a block (at most a second of play) and a moment behind the game.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/replay/block_file.h"
#include "engine/replay/replay_file.h"

namespace replay {

class Writer {
  public:
    // Reserves the buffer, creates `path`.part and writes the header into it: false with why
    // when it cannot be created, before anything is played.
    bool Start(const Header& header, const std::string& path, std::string* problem);
    // False once the buffer is full: the recording ends with the frame before.
    bool AddFrame(const FrameInput& frame);
    // The outcome after the frames so far closes their block: it goes to the file.
    void AddCheckpoint(const Outcome& outcome);
    // Ends the recording with its final outcome and the proof that it is whole, and renames the
    // file into place once all of it is on the disk. False when some of it could not be written;
    // then the .part file keeps what was (`Kept`).
    bool Finish(const Outcome& final);
    std::uint32_t Frames() const { return frames_; }
    std::size_t Bytes() const { return size_; }
    // The play the frames so far cover: the sum of their deltas.
    double Seconds() const { return micros_ / 1e6; }
    // After a Finish that failed: what the file on the disk holds, and why the rest is not there.
    struct Kept {
        std::string file;
        std::uint32_t frames;
        double seconds;
        std::string why;
    };
    Kept WhatWasKept() const;

  private:
    // Where each closed block ends, and the frames and play before it.
    struct BlockEnd {
        std::size_t bytes;
        std::uint32_t frames;
        std::uint64_t micros;
    };
    void Put(const void* data, std::size_t size);
    void PutVarint(std::uint32_t value);
    void PutOutcome(const Outcome& outcome);
    void OpenBlock();
    void CloseBlock();

    std::vector<std::uint8_t> buffer_;
    std::size_t size_ = 0;
    std::size_t blockStart_ = 0;     // where the open block's records start
    std::uint64_t blockMicros_ = 0;  // the play before it
    FrameInput last_;
    std::uint32_t frames_ = 0;
    std::uint64_t micros_ = 0;
    std::vector<BlockEnd> blocks_;
    std::string path_;
    BlockFile file_;
    std::size_t onDisk_ = 0;
};

}  // namespace replay
