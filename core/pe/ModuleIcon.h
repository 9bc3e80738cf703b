#pragma once
// A module's own icon, as the desktop shows it: the best image of its first
// icon group (RT_GROUP_ICON, naming RT_ICON images), read from the module's
// untrusted bytes. A bitmap image becomes 32-bit pixels; an embedded PNG is
// passed through for the front end's image library, after its header says
// that it is one of an icon's sizes.

#include <cstdint>
#include <span>
#include <vector>

#include "io/Result.h"

namespace quillon {

class ResourceModule;

inline constexpr std::uint16_t kTypeIcon = 3;
inline constexpr std::uint16_t kTypeGroupIcon = 14;

// Icons are at most 256 pixels across; anything larger is damage.
inline constexpr int kMaxIconSide = 256;

struct IconImage {
    enum class Format { Pixels, Png };
    Format format = Format::Pixels;
    int width = 0;
    int height = 0;
    // Pixels: width * height values 0xAARRGGBB (alpha not premultiplied),
    // rows top-down.
    std::vector<std::uint32_t> pixels;
    // Png: the image's bytes as the module holds them.
    std::vector<std::uint8_t> png;

    std::uint32_t Pixel(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// One RT_ICON resource: a device-independent bitmap (1, 2, 4 or 8 bits with
// a palette, 24 or 32 bits) followed by its AND mask, or a PNG.
Result<IconImage> DecodeIconImage(std::span<const std::uint8_t> bytes);

// The icon IDs of one RT_GROUP_ICON resource, best first: the largest image
// no larger than maxSize with the most colours, then the other small ones,
// then the larger ones from the smallest up.
std::vector<std::uint16_t> PreferredIconIds(std::span<const std::uint8_t> group, int maxSize);

// The first image that decodes, in that order, of the module's first icon
// group (named groups come first in a directory), else of its later groups,
// else of icon images that no group names. NotFound when the module has no
// icon; the first image's error when none decodes. The image is not scaled:
// it may be larger than maxSize when the group has nothing smaller.
Result<IconImage> LoadModuleIcon(const ResourceModule& module, int maxSize = 32);

} // namespace quillon
