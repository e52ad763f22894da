#include "protocol/session_id.h"

#include <chrono>
#include <ctime>
#include <random>

#include <sys/random.h>

#include <unistd.h>

SessionIdBytes SessionId{};

namespace {

// splitmix64's finaliser: spreads every seed bit over the whole word.
std::uint64_t Mix(std::uint64_t value) {
    value += 0x9E3779B97F4A7C15ULL;
    value = (value ^ (value >> 30)) * 0xBF58476D1CE4E5B9ULL;
    value = (value ^ (value >> 27)) * 0x94D049BB133111EBULL;
    return value ^ (value >> 31);
}

std::uint64_t ProcessEntropy() {
    std::uint64_t random = 0;
    if (getrandom(&random, sizeof random, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof random)) {
        random = 0;
    }
    const auto ticks =
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    return Mix(random ^ Mix(static_cast<std::uint64_t>(getpid())) ^ Mix(ticks));
}

}  // namespace

SessionIdBytes SessionIdFromSeed(std::uint64_t seed) {
    std::mt19937_64 generator(seed);
    SessionIdBytes id{};
    for (auto& byte : id) {
        byte = static_cast<std::uint8_t>(generator() & 0xFF);
    }
    return id;
}

void DrawSessionId() {
    const auto seconds = static_cast<std::uint64_t>(std::time(nullptr));
    SessionId = SessionIdFromSeed(Mix(seconds) ^ ProcessEntropy());
}
