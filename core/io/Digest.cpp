#include "io/Digest.h"

#include <cstdio>
#include <new>

// Compiled in, not linked: every program would otherwise load the library
// at start, scans included, which never hash.
#define XXH_INLINE_ALL
#include <xxhash.h>

namespace quillon {

namespace {

std::string HexOf(XXH128_hash_t hash) {
    char hex[33];
    std::snprintf(hex, sizeof hex, "%016llx%016llx", static_cast<unsigned long long>(hash.high64),
                  static_cast<unsigned long long>(hash.low64));
    return std::string(hex, 32);
}

} // namespace

// A fast hash rather than a cryptographic one: projects and dictionaries of
// tens of megabytes are hashed on every open and save, where SHA-256 took
// about 70 ms of a 150 ms save.
std::string ContentHashHex(std::span<const std::uint8_t> bytes) {
    return HexOf(XXH3_128bits(bytes.data(), bytes.size()));
}

struct ContentHasher::State {
    State() : xxh(XXH3_createState()) {
        if (!xxh) throw std::bad_alloc();
        XXH3_128bits_reset(xxh);
    }
    State(const State&) = delete;
    State& operator=(const State&) = delete;
    ~State() { XXH3_freeState(xxh); }
    XXH3_state_t* xxh;
};

ContentHasher::ContentHasher() : m_state(std::make_unique<State>()) {}

ContentHasher::~ContentHasher() = default;

void ContentHasher::Add(std::span<const std::uint8_t> bytes) {
    XXH3_128bits_update(m_state->xxh, bytes.data(), bytes.size());
}

std::string ContentHasher::Hex() const { return HexOf(XXH3_128bits_digest(m_state->xxh)); }

} // namespace quillon
