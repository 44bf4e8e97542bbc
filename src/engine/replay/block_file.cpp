#include "engine/replay/block_file.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace replay {
namespace {

// How long a written block may wait in memory: the most a kill takes besides the open block.
constexpr auto kWritePeriod = std::chrono::milliseconds(50);

// On the disk, not only in the system's cache: a power cut keeps it too.
bool Sync(std::FILE* file) {
    if (std::fflush(file) != 0) {
        return false;
    }
#ifdef _WIN32
    return _commit(_fileno(file)) == 0;
#elif defined(__EMSCRIPTEN__)
    return true;
#else
    return fsync(fileno(file)) == 0;
#endif
}

}  // namespace

BlockFile::~BlockFile() {
    Close(written_);
}

bool BlockFile::Open(const std::string& path, const std::uint8_t* data, std::string* problem) {
    file_ = std::fopen(path.c_str(), "wb");
    if (file_ == nullptr) {
        *problem = std::string("cannot write ") + path + ": " + std::strerror(errno);
        return false;
    }
    data_ = data;
#ifndef __EMSCRIPTEN__
    writer_ = std::thread([this] { Run(); });
#endif
    return true;
}

void BlockFile::Offer(std::size_t size) {
    offered_.store(size, std::memory_order_release);
#ifdef __EMSCRIPTEN__
    WriteUpTo(size);
#endif
}

void BlockFile::Run() {
    for (;;) {
        // Stopping is read before what was offered, so the last offer is always written.
        const bool stopping = stop_.load(std::memory_order_acquire);
        WriteUpTo(offered_.load(std::memory_order_acquire));
        if (stopping) {
            return;
        }
        std::this_thread::sleep_for(kWritePeriod);
    }
}

void BlockFile::WriteUpTo(std::size_t size) {
    if (failed_ || file_ == nullptr || size <= written_) {
        return;
    }
    const std::size_t n = size - written_;
    if (std::fwrite(data_ + written_, 1, n, file_) != n || !Sync(file_)) {
        failed_ = true;
        error_ = std::strerror(errno);
        return;
    }
    written_ = size;
}

std::size_t BlockFile::Close(std::size_t size) {
    if (file_ == nullptr) {
        return written_;
    }
#ifndef __EMSCRIPTEN__
    offered_.store(size, std::memory_order_release);
    stop_.store(true, std::memory_order_release);
    if (writer_.joinable()) {
        writer_.join();
    }
#endif
    WriteUpTo(size);
    if (failed_) {
        // Whatever the failed write left after the last whole write is put right from there.
        failed_ = std::fseek(file_, static_cast<long>(written_), SEEK_SET) != 0;
        WriteUpTo(size);
    }
    std::fclose(file_);  // everything written was synced: nothing is left for the close to lose
    file_ = nullptr;
    return written_;
}

}  // namespace replay
