#include "extract/DialogTemplate.h"

#include <algorithm>
#include <array>
#include <limits>

#include "io/ByteReader.h"

namespace quillon {

namespace {

NameOrOrdinal Owned(const NameOrOrdinalView& view) {
    NameOrOrdinal field{view.isOrdinal, view.ordinal, {}};
    ByteReader::DecodeUtf16Le(view.text, field.text);
    return field;
}

// The dialog and its controls hold styles and placement in fields of the same names.
template <typename Target>
void CopyPlacement(const DialogStyles& styles, const DialogRect& rect, Target& target) {
    target.helpId = styles.helpId;
    target.style = styles.style;
    target.exStyle = styles.exStyle;
    target.x = rect.x;
    target.y = rect.y;
    target.cx = rect.cx;
    target.cy = rect.cy;
}

void CopyHeader(const DialogHeaderView& header, DialogTemplate& dialog) {
    dialog.extended = header.extended;
    CopyPlacement(header.styles, header.rect, dialog);
    dialog.menu = Owned(header.menu);
    dialog.windowClass = Owned(header.windowClass);
    ByteReader::DecodeUtf16Le(header.caption, dialog.caption);
    if (!header.font) return;
    dialog.hasFont = true;
    dialog.pointSize = header.font->pointSize;
    dialog.weight = header.font->weight;
    dialog.italic = header.font->italic != 0;
    dialog.charset = header.font->charset;
    ByteReader::DecodeUtf16Le(header.font->face, dialog.face);
}

DialogControlTemplate Owned(const DialogControlView& view) {
    DialogControlTemplate control;
    CopyPlacement(view.styles, view.rect, control);
    control.id = view.id;
    control.windowClass = Owned(view.windowClass);
    control.title = Owned(view.title);
    control.creationData.assign(view.creationData.begin(), view.creationData.end());
    return control;
}

std::u16string Trimmed(std::u16string_view face) {
    while (!face.empty() && face.back() == u' ') face.remove_suffix(1);
    std::u16string out(face);
    for (char16_t& c : out)
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    return out;
}

} // namespace

std::optional<DialogTemplate> ParseDialogTemplate(std::span<const std::uint8_t> bytes) {
    DialogWalker walker(bytes);
    auto header = walker.Header();
    if (!header) return std::nullopt;
    DialogTemplate dialog;
    CopyHeader(header.Value(), dialog);
    // The count comes from the file: let the bytes, not the count, bound the
    // allocation (a control takes at least 24 bytes).
    dialog.controls.reserve(std::min<std::size_t>(header.Value().controlCount, bytes.size() / 24));
    for (std::uint16_t i = 0; i < header.Value().controlCount; ++i) {
        auto control = walker.Control();
        if (!control) return std::nullopt;
        dialog.controls.push_back(Owned(control.Value()));
    }
    return dialog;
}

std::u16string ControlClassName(const NameOrOrdinal& windowClass) {
    static constexpr std::array<const char16_t*, 6> kPredefined = {u"Button",    u"Edit",     u"Static",
                                                                   u"ListBox",   u"ScrollBar", u"ComboBox"};
    if (!windowClass.isOrdinal) return windowClass.text;
    std::uint16_t ordinal = windowClass.ordinal;
    if (ordinal >= 0x80 && ordinal <= 0x85) return kPredefined[ordinal - 0x80];
    if (ordinal <= 5) return kPredefined[ordinal];
    std::string number = "#" + std::to_string(ordinal);
    return std::u16string(number.begin(), number.end());
}

int MulDiv(int number, int numerator, int denominator) {
    if (denominator == 0) return -1;
    std::int64_t product = std::int64_t{number} * numerator;
    std::int64_t divisor = denominator;
    if (divisor < 0) {
        product = -product;
        divisor = -divisor;
    }
    // Halves round away from zero: add half the divisor before truncating.
    std::int64_t result = (product >= 0 ? product + divisor / 2 : product - divisor / 2) / divisor;
    if (result > std::numeric_limits<int>::max() || result < std::numeric_limits<int>::min()) return -1;
    return static_cast<int>(result);
}

std::optional<DialogBaseUnits> KnownBaseUnits(std::u16string_view face, int pointSize) {
    struct Known {
        const char16_t* face;
        int pointSize;
        DialogBaseUnits units;
    };
    // Latin locales, 96 DPI. "MS Shell Dlg" resolves to Microsoft Sans Serif,
    // "MS Shell Dlg 2" to Tahoma; both measure 6 x 13 at 8 points.
    static constexpr std::array<Known, 6> kKnown = {{
        {u"ms sans serif", 8, {6, 13}},
        {u"microsoft sans serif", 8, {6, 13}},
        {u"ms shell dlg", 8, {6, 13}},
        {u"ms shell dlg 2", 8, {6, 13}},
        {u"tahoma", 8, {6, 13}},
        {u"segoe ui", 9, {7, 15}},
    }};
    std::u16string key = Trimmed(face);
    for (const Known& known : kKnown)
        if (key == known.face && pointSize == known.pointSize) return known.units;
    return std::nullopt;
}

DialogBaseUnits BaseUnitsFromMetrics(int width52Letters, int height) {
    return {(width52Letters / 26 + 1) / 2, height};
}

PixelRect DialogUnitsToPixels(int x, int y, int cx, int cy, DialogBaseUnits units) {
    return {MulDiv(x, units.x, 4), MulDiv(y, units.y, 8), MulDiv(cx, units.x, 4), MulDiv(cy, units.y, 8)};
}

} // namespace quillon
