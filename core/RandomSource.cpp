#include "core/RandomSource.h"

#include <chrono>

namespace vantrel {

RandomSource::RandomSource(std::optional<std::uint32_t> fixedSeed)
    : fixedSeed_(fixedSeed), engine_(fixedSeed.value_or(std::mt19937::default_seed))
{
}

void RandomSource::Randomize()
{
    if (fixedSeed_) {
        engine_.seed(*fixedSeed_);
        return;
    }
    const auto ticks = static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
    std::seed_seq seq{static_cast<std::uint32_t>(ticks), static_cast<std::uint32_t>(ticks >> 32U)};
    engine_.seed(seq);
}

float RandomSource::Next()
{
    constexpr float kScale = 1.0F / 16777216.0F;  // 2^-24
    return static_cast<float>(engine_() >> 8U) * kScale;
}

}  // namespace vantrel
