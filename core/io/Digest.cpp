#include "io/Digest.h"

#include <sys/types.h>

#include <sha2.h>

namespace quillon {

// libmd rather than a full crypto library: every quillon-cli run would
// otherwise pay for loading one (4 ms, more than a whole scan of a small module).
std::string Sha256Hex(std::span<const std::uint8_t> bytes) {
    char hex[SHA256_DIGEST_STRING_LENGTH];
    SHA256Data(bytes.data(), bytes.size(), hex);
    return std::string(hex, SHA256_DIGEST_STRING_LENGTH - 1);
}

} // namespace quillon
