// The engine's random numbers: a small generator of our own, so a seed gives the same sequence on
// every machine.
#pragma once

#include <cstdint>

class RandomSource {
  public:
    RandomSource() { Seed(1); }

    // Any seed, 0 included, gives a usable sequence; the engine maps seed 0 to the clock before
    // calling this.
    void Seed(std::uint64_t seed);
    std::uint32_t Next();
    // From min to max, both included; the bounds may come in either order.
    int Int(int min, int max);
    float Float(float min, float max);

  private:
    std::uint64_t state_ = 0;
};
