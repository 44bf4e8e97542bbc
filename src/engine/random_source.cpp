#include "engine/random_source.h"

#include <algorithm>

namespace {

// Spreads nearby seeds (consecutive clock readings) over the whole state.
std::uint64_t SplitMix64(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

}  // namespace

void RandomSource::Seed(std::uint64_t seed) {
    state_ = SplitMix64(seed);
    if (state_ == 0) {
        state_ = 0x9E3779B97F4A7C15ull;  // xorshift never leaves zero
    }
}

std::uint32_t RandomSource::Next() {
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    return static_cast<std::uint32_t>((state_ * 0x2545F4914F6CDD1Dull) >> 32);
}

int RandomSource::Int(int min, int max) {
    if (min > max) {
        std::swap(min, max);
    }
    // Every value of the span, max included; the multiply keeps the high bits, which are the
    // generator's best.
    const std::uint64_t span = static_cast<std::uint64_t>(static_cast<std::int64_t>(max) - min) + 1;
    const std::uint64_t offset = (static_cast<std::uint64_t>(Next()) * span) >> 32;
    return static_cast<int>(static_cast<std::int64_t>(min) + static_cast<std::int64_t>(offset));
}

float RandomSource::Float(float min, float max) {
    // Next() / (2^32 - 1) reaches both 0 and 1, so both bounds can come out.
    const double unit = static_cast<double>(Next()) / 4294967295.0;
    const double value = static_cast<double>(min) + (static_cast<double>(max) - min) * unit;
    const float lo = std::min(min, max);
    const float hi = std::max(min, max);
    return std::clamp(static_cast<float>(value), lo, hi);
}
