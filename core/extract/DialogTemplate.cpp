#include "extract/DialogTemplate.h"

#include <algorithm>
#include <array>
#include <limits>

#include "io/ByteReader.h"

namespace quillon {

namespace {

constexpr std::uint32_t kExtendedSignature = 0xFFFF0001;

std::optional<std::int16_t> S16(ByteReader& reader) {
    auto value = reader.U16();
    if (!value) return std::nullopt;
    return static_cast<std::int16_t>(*value);
}

std::optional<NameOrOrdinal> ReadNameOrOrdinalText(ByteReader& reader) {
    auto view = ReadNameOrOrdinal(reader);
    if (!view) return std::nullopt;
    NameOrOrdinal field{view->isOrdinal, view->ordinal, {}};
    ByteReader::DecodeUtf16Le(view->text, field.text);
    return field;
}

// x, y, cx, cy as signed WORDs: controls parked off the dialog have negative
// coordinates.
template <typename Target>
bool ReadRectangle(ByteReader& reader, Target& target) {
    auto x = S16(reader);
    auto y = S16(reader);
    auto cx = S16(reader);
    auto cy = S16(reader);
    if (!x || !y || !cx || !cy) return false;
    target.x = *x;
    target.y = *y;
    target.cx = *cx;
    target.cy = *cy;
    return true;
}

// Standard: DWORD style, DWORD exStyle. Extended: DWORD 0xFFFF0001, DWORD
// help id, DWORD exStyle, DWORD style (the reverse order).
bool ReadStyles(ByteReader& reader, DialogTemplate& dialog) {
    auto first = reader.U32();
    if (!first) return false;
    dialog.extended = *first == kExtendedSignature;
    if (!dialog.extended) {
        auto exStyle = reader.U32();
        if (!exStyle) return false;
        dialog.style = *first;
        dialog.exStyle = *exStyle;
        return true;
    }
    auto helpId = reader.U32();
    auto exStyle = reader.U32();
    auto style = reader.U32();
    if (!helpId || !exStyle || !style) return false;
    dialog.helpId = *helpId;
    dialog.exStyle = *exStyle;
    dialog.style = *style;
    return true;
}

// With DS_SETFONT: WORD point size, then (extended only) WORD weight, BYTE
// italic, BYTE charset, then the face. Point size 0x7FFF means the message
// font, and the dialog manager reads nothing after it.
struct FontFields {
    std::uint16_t pointSize = 0;
    std::uint16_t weight = 0;
    bool italic = false;
    std::uint8_t charset = 0;
    std::span<const std::uint8_t> face; // UTF-16LE units
};

std::optional<FontFields> ReadFontFields(ByteReader& reader, bool extended) {
    auto pointSize = reader.U16();
    if (!pointSize) return std::nullopt;
    FontFields font;
    font.pointSize = *pointSize;
    if (*pointSize == kMessageFontPointSize) return font;
    if (extended) {
        auto weight = reader.U16();
        auto italic = reader.U8();
        auto charset = reader.U8();
        if (!weight || !italic || !charset) return std::nullopt;
        font.weight = *weight;
        font.italic = *italic != 0;
        font.charset = *charset;
    }
    auto face = reader.Utf16zBytes();
    if (!face) return std::nullopt;
    font.face = *face;
    return font;
}

bool ReadFont(ByteReader& reader, DialogTemplate& dialog) {
    auto font = ReadFontFields(reader, dialog.extended);
    if (!font) return false;
    dialog.hasFont = true;
    dialog.pointSize = font->pointSize;
    dialog.weight = font->weight;
    dialog.italic = font->italic;
    dialog.charset = font->charset;
    ByteReader::DecodeUtf16Le(font->face, dialog.face);
    return true;
}

std::optional<std::uint16_t> ReadHeader(ByteReader& reader, DialogTemplate& dialog) {
    if (!ReadStyles(reader, dialog)) return std::nullopt;
    auto count = reader.U16();
    if (!count || !ReadRectangle(reader, dialog)) return std::nullopt;
    auto menu = ReadNameOrOrdinalText(reader);
    if (!menu) return std::nullopt;
    auto windowClass = ReadNameOrOrdinalText(reader);
    if (!windowClass) return std::nullopt;
    auto caption = reader.Utf16z();
    if (!caption) return std::nullopt;
    dialog.menu = std::move(*menu);
    dialog.windowClass = std::move(*windowClass);
    dialog.caption = std::move(*caption);
    if ((dialog.style & kDsSetFont) && !ReadFont(reader, dialog)) return std::nullopt;
    return count;
}

// Standard: DWORD style, DWORD exStyle, rectangle, WORD id. Extended: DWORD
// help id, DWORD exStyle, DWORD style, rectangle, DWORD id.
bool ReadControlFixedPart(ByteReader& reader, bool extended, DialogControlTemplate& control) {
    std::optional<std::uint32_t> first = reader.U32();
    std::optional<std::uint32_t> second = reader.U32();
    if (!first || !second) return false;
    if (extended) {
        auto style = reader.U32();
        if (!style) return false;
        control.helpId = *first;
        control.exStyle = *second;
        control.style = *style;
    } else {
        control.style = *first;
        control.exStyle = *second;
    }
    if (!ReadRectangle(reader, control)) return false;
    if (extended) {
        auto id = reader.U32();
        if (!id) return false;
        control.id = *id;
    } else {
        auto id = reader.U16();
        if (!id) return false;
        control.id = *id;
    }
    return true;
}

// Each control starts on a DWORD boundary; class and title follow the fixed
// part, then a WORD count of creation data bytes. As the dialog manager does,
// the count excludes itself and only whole WORDs of data are taken.
std::optional<DialogControlTemplate> ReadControl(ByteReader& reader, bool extended) {
    if (!reader.AlignTo(4)) return std::nullopt;
    DialogControlTemplate control;
    if (!ReadControlFixedPart(reader, extended, control)) return std::nullopt;
    auto windowClass = ReadNameOrOrdinalText(reader);
    if (!windowClass) return std::nullopt;
    auto title = ReadNameOrOrdinalText(reader);
    if (!title) return std::nullopt;
    auto extra = reader.U16();
    if (!extra) return std::nullopt;
    auto data = reader.Take(*extra & ~std::size_t{1});
    if (!data) return std::nullopt;
    control.windowClass = std::move(*windowClass);
    control.title = std::move(*title);
    control.creationData.assign(data->begin(), data->end());
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

std::optional<NameOrOrdinalView> ReadNameOrOrdinal(ByteReader& reader) {
    auto first = ByteReader::U16At(reader.Bytes(), reader.Position());
    if (!first) return std::nullopt;
    NameOrOrdinalView field;
    if (*first == 0xFFFF) {
        reader.Skip(2);
        auto ordinal = reader.U16();
        if (!ordinal) return std::nullopt;
        field.isOrdinal = true;
        field.ordinal = *ordinal;
        return field;
    }
    auto text = reader.Utf16zBytes();
    if (!text) return std::nullopt;
    field.text = *text;
    return field;
}

bool SkipDialogFont(ByteReader& reader, bool extended) { return ReadFontFields(reader, extended).has_value(); }

std::optional<DialogTemplate> ParseDialogTemplate(std::span<const std::uint8_t> bytes) {
    ByteReader reader(bytes);
    DialogTemplate dialog;
    auto count = ReadHeader(reader, dialog);
    if (!count) return std::nullopt;
    // The count comes from the file: let the bytes, not the count, bound the
    // allocation (a control takes at least 24 bytes).
    dialog.controls.reserve(std::min<std::size_t>(*count, bytes.size() / 24));
    for (std::uint16_t i = 0; i < *count; ++i) {
        auto control = ReadControl(reader, dialog.extended);
        if (!control) return std::nullopt;
        dialog.controls.push_back(std::move(*control));
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
