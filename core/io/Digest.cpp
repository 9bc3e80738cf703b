#include "io/Digest.h"

#include <cstdio>

#include <xxhash.h>

namespace quillon {

// A fast hash rather than a cryptographic one: projects and dictionaries of
// tens of megabytes are hashed on every open and save, where SHA-256 took
// about 70 ms of a 150 ms save.
std::string ContentHashHex(std::span<const std::uint8_t> bytes) {
    XXH128_hash_t hash = XXH3_128bits(bytes.data(), bytes.size());
    char hex[33];
    std::snprintf(hex, sizeof hex, "%016llx%016llx", static_cast<unsigned long long>(hash.high64),
                  static_cast<unsigned long long>(hash.low64));
    return std::string(hex, 32);
}

} // namespace quillon
