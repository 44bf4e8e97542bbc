// The recording's file, written while the game is played: the bytes of whole blocks, from a
// thread of its own, so that a frame never waits on the disk and a game that ends in a crash, a
// kill or a power cut leaves every block written more than a moment before. (The browser, which
// records nothing a player keeps, writes from the game's own thread.)
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <thread>

namespace replay {

class BlockFile {
  public:
    ~BlockFile();
    // Creates the file at `path`, before the game starts; false with why when it cannot be.
    // `data` is the recording's buffer: its bytes before what is offered never change.
    bool Open(const std::string& path, const std::uint8_t* data, std::string* problem);
    // The buffer's first `size` bytes are whole blocks: they go to the file soon.
    void Offer(std::size_t size);
    // Writes what is left of the first `size` bytes and closes the file. After a failure (the
    // disk full, the file system gone read-only) it tries once more from where the disk stopped.
    // Returns how many bytes are on the disk.
    std::size_t Close(std::size_t size);
    // Why a write failed ("" while none has).
    const std::string& Error() const { return error_; }

  private:
    void Run();
    void WriteUpTo(std::size_t size);

    std::FILE* file_ = nullptr;
    const std::uint8_t* data_ = nullptr;
    std::atomic<std::size_t> offered_{0};
    std::atomic<bool> stop_{false};
    // The thread's own: what it has written, and whether the disk refused.
    std::size_t written_ = 0;
    bool failed_ = false;
    std::string error_;
#ifndef __EMSCRIPTEN__
    std::thread writer_;
#endif
};

}  // namespace replay
