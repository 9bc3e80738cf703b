#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace quillon {

// The 128-bit XXH3 hash of `bytes` as 32 lowercase hex digits. It tells a
// file from a changed or damaged copy of it; it is no defence against someone
// who crafts a collision, which nothing here needs.
std::string ContentHashHex(std::span<const std::uint8_t> bytes);

// The same hash of bytes that arrive in pieces.
class ContentHasher {
public:
    ContentHasher();
    ContentHasher(const ContentHasher&) = delete;
    ContentHasher& operator=(const ContentHasher&) = delete;
    ~ContentHasher();
    void Add(std::span<const std::uint8_t> bytes);
    // The hash of everything added so far, as ContentHashHex gives it.
    std::string Hex() const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};

} // namespace quillon
