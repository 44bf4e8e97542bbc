#include "support/alloc_counter.h"

#include <atomic>
#include <cstddef>

#if defined(__SANITIZE_ADDRESS__)
#define ZS_COUNT_ALLOCATIONS 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZS_COUNT_ALLOCATIONS 0
#endif
#endif
#ifndef ZS_COUNT_ALLOCATIONS
#define ZS_COUNT_ALLOCATIONS 1
#endif

namespace {
std::atomic<std::uint64_t> allocations{0};
}  // namespace

namespace test {
bool AllocCounterEnabled() {
    return ZS_COUNT_ALLOCATIONS != 0;
}
std::uint64_t AllocationCount() {
    return allocations.load(std::memory_order_relaxed);
}
}  // namespace test

#if ZS_COUNT_ALLOCATIONS
// glibc's own entry points: every malloc, calloc and realloc of the process (operator new
// included) goes through these replacements and is counted.
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* ptr, std::size_t size);

void* malloc(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_calloc(count, size);
}
void* realloc(void* ptr, std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_realloc(ptr, size);
}
}
#endif
