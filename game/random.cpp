// The random draws: glibc's additive feedback generator with its 31-word state, filled by the
// minimal-standard congruential generator and run 310 draws in before the first one is given.
#include "game/random.h"

namespace {

constexpr int StateWords = 31;
constexpr int Lag = 3; // the feedback taps are 31 and 3 words back
constexpr int WarmUpDraws = 310;

std::uint32_t state[StateWords];
int front = Lag;
int rear = 0;

} // namespace

void seedRandom(std::uint32_t seed) {
    auto word = static_cast<std::int32_t>(seed == 0 ? 1 : seed);
    state[0] = static_cast<std::uint32_t>(word);
    for (int i = 1; i < StateWords; ++i) {
        // 16807 * word mod (2^31 - 1) without overflow (Schrage's method), as glibc does it.
        const std::int64_t high = word / 127773;
        const std::int64_t low = word % 127773;
        word = static_cast<std::int32_t>(16807 * low - 2836 * high);
        if (word < 0) {
            word += 2147483647;
        }
        state[i] = static_cast<std::uint32_t>(word);
    }
    front = Lag;
    rear = 0;
    for (int i = 0; i < WarmUpDraws; ++i) {
        drawRandom();
    }
}

std::int32_t drawRandom() {
    state[front] += state[rear];
    const auto result = static_cast<std::int32_t>(state[front] >> 1);
    front = front + 1 == StateWords ? 0 : front + 1;
    rear = rear + 1 == StateWords ? 0 : rear + 1;
    return result;
}
