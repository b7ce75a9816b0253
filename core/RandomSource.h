#pragma once

#include <cstdint>
#include <optional>
#include <random>

namespace vantrel {

// The generator behind Randomize and RandomNext, shared by every binding so a
// seeded trace predicts the real program's colours exactly.
class RandomSource {
public:
    // With a fixed seed, Randomize always reseeds to it (traces and tests);
    // without one it reseeds from the clock.
    explicit RandomSource(std::optional<std::uint32_t> fixedSeed = std::nullopt);

    void Randomize();
    // Uniform single-precision value, 0 <= r < 1: the top 24 bits of one draw,
    // so 1.0 can never come out of a rounding.
    [[nodiscard]] float Next();

private:
    std::optional<std::uint32_t> fixedSeed_;
    std::mt19937 engine_;
};

}  // namespace vantrel
