// Counts heap allocations made by this process, so a test can prove a stretch of play allocates
// nothing. Linking alloc_counter replaces malloc and friends; under AddressSanitizer (which owns
// the allocator) counting is off and Enabled() says so.
#pragma once

#include <cstdint>

namespace test {

bool AllocCounterEnabled();
std::uint64_t AllocationCount();

}  // namespace test
