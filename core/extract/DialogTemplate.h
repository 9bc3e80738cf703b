#pragma once
// A dialog template read into plain values for the preview: the header and
// every control with the fields the dialog manager creates it from. The
// resource tree keeps only the texts, so the preview goes back to the copy of
// the template bytes, walked as every reader walks it (templates/DialogLayout.h).
// Nothing here uses Qt: the arithmetic that turns dialog units into pixels is
// the same on every toolkit and is tested on its own.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "templates/DialogLayout.h"

namespace quillon {

// A "string or ordinal" field; an empty string stands for "none".
struct NameOrOrdinal {
    bool isOrdinal = false;
    std::uint16_t ordinal = 0;
    std::u16string text;
    bool IsNone() const { return !isOrdinal && text.empty(); }
    bool operator==(const NameOrOrdinal&) const = default;
};

struct DialogControlTemplate {
    std::uint32_t helpId = 0; // extended templates only
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    std::int16_t x = 0;
    std::int16_t y = 0;
    std::int16_t cx = 0;
    std::int16_t cy = 0;
    std::uint32_t id = 0; // 16 bits in standard templates, 32 in extended ones
    NameOrOrdinal windowClass;
    NameOrOrdinal title;
    std::vector<std::uint8_t> creationData;
    bool operator==(const DialogControlTemplate&) const = default;
};

struct DialogTemplate {
    bool extended = false;
    std::uint32_t helpId = 0;
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    std::int16_t x = 0;
    std::int16_t y = 0;
    std::int16_t cx = 0;
    std::int16_t cy = 0;
    NameOrOrdinal menu;
    NameOrOrdinal windowClass;
    std::u16string caption;
    bool hasFont = false;
    std::uint16_t pointSize = 0; // 0x7FFF: the system's message font, no face follows
    std::uint16_t weight = 0;    // extended templates only
    bool italic = false;         // extended templates only
    std::uint8_t charset = 0;    // extended templates only
    std::u16string face;
    std::vector<DialogControlTemplate> controls;
    bool operator==(const DialogTemplate&) const = default;
};

// Both layouts. Nothing when any field, control or creation data runs past
// the end of the bytes.
std::optional<DialogTemplate> ParseDialogTemplate(std::span<const std::uint8_t> bytes);

// The class a control is created with: ordinals 0x80..0x85 (and 0..5, which
// the dialog manager takes as the same) name the predefined classes; an
// unknown ordinal reads "#<number>".
std::u16string ControlClassName(const NameOrOrdinal& windowClass);

// Windows' MulDiv: 64-bit product, rounded to nearest with halves away from
// zero; -1 when the denominator is 0 or the result does not fit.
int MulDiv(int number, int numerator, int denominator);

struct DialogBaseUnits {
    int x = 0; // average character width
    int y = 0; // character height
    bool operator==(const DialogBaseUnits&) const = default;
};

// Base units Windows gives the common dialog faces at 96 DPI. Taking them
// from a table keeps the preview's geometry equal to Windows' whatever fonts
// this machine has; nothing for faces and sizes not in the table.
std::optional<DialogBaseUnits> KnownBaseUnits(std::u16string_view face, int pointSize);
// The dialog manager's formula from a measured font: the width of the 52
// letters A-Z a-z averaged and rounded half up, and the font's height.
DialogBaseUnits BaseUnitsFromMetrics(int width52Letters, int height);
// Base units of a template without DS_SETFONT (the system font at 96 DPI).
inline constexpr DialogBaseUnits kSystemFontBaseUnits{8, 16};

struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const PixelRect&) const = default;
};

// Each field is converted on its own, as the dialog manager does for
// controls (so the right edge can differ by one from converting x + cx).
PixelRect DialogUnitsToPixels(int x, int y, int cx, int cy, DialogBaseUnits units);

} // namespace quillon
