// The one source of chance of a generated run: every choice comes from it, so a seed gives the
// same collection and the same steps on every machine (std::mt19937_64 is fully specified).
#pragma once

#include <cstdint>
#include <random>
#include <vector>

namespace oxlo::generated {

class RandomSource {
public:
    explicit RandomSource(std::uint64_t seed) : engine_(seed) {}
    // 0 to n-1 (0 for n <= 0).
    int below(int n)
    {
        if (n <= 0) return 0;
        return static_cast<int>(engine_() % static_cast<std::uint64_t>(n));
    }
    int between(int low, int high) { return low + below(high - low + 1); }
    bool percent(int chance) { return below(100) < chance; }
    template <typename T> const T& pick(const std::vector<T>& items)
    {
        return items[static_cast<std::size_t>(below(static_cast<int>(items.size())))];
    }

private:
    std::mt19937_64 engine_;
};

} // namespace oxlo::generated
