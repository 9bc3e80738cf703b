#include "templates/DialogLayout.h"

#include "io/ByteWriter.h"

namespace quillon {

namespace {

constexpr std::size_t kRectSize = 8;
// Control fixed parts up to the ID.
constexpr std::size_t kStandardControlStart = 4 + 4 + kRectSize;
constexpr std::size_t kExtendedControlStart = 4 + 4 + 4 + kRectSize;

// Every field is read before any is checked: a template cut inside them
// faults where its bytes ran out.
std::optional<DialogStyles> ReadStyles(ByteReader& reader, bool extended) {
    auto helpId = extended ? reader.U32() : std::optional<std::uint32_t>(0);
    auto first = reader.U32();
    auto second = reader.U32();
    if (!helpId || !first || !second) return std::nullopt;
    return extended ? DialogStyles{*helpId, *second, *first} : DialogStyles{0, *first, *second};
}

void WriteStyles(ByteWriter& out, bool extended, const DialogStyles& styles) {
    if (extended) {
        out.U32(styles.helpId);
        out.U32(styles.exStyle);
        out.U32(styles.style);
    } else {
        out.U32(styles.style);
        out.U32(styles.exStyle);
    }
}

// x, y, cx, cy as signed WORDs: controls parked off the dialog have negative
// coordinates.
DialogRect ReadRect(ByteReader& fixed) {
    auto s16 = [&] { return static_cast<std::int16_t>(*fixed.U16()); };
    DialogRect rect;
    rect.x = s16();
    rect.y = s16();
    rect.cx = s16();
    rect.cy = s16();
    return rect;
}

void WriteRect(ByteWriter& out, const DialogRect& rect) {
    for (std::int16_t value : {rect.x, rect.y, rect.cx, rect.cy}) out.U16(static_cast<std::uint16_t>(value));
}

} // namespace

std::optional<NameOrOrdinalView> ReadNameOrOrdinal(ByteReader& reader) {
    auto first = ByteReader::U16At(reader.Bytes(), reader.Position());
    if (!first) return std::nullopt;
    NameOrOrdinalView field;
    if (*first == NameOrOrdinalView::kOrdinalMarker) {
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

void WriteNameOrOrdinal(ByteWriter& out, const NameOrOrdinalView& field) {
    if (field.isOrdinal) {
        out.U16(NameOrOrdinalView::kOrdinalMarker);
        out.U16(field.ordinal);
        return;
    }
    out.Bytes(field.text);
    out.U16(0);
}

Error DialogWalker::Fault(std::string what) const {
    return MakeError(Error::Code::Malformed, std::move(what), m_reader.Position());
}

// Named only when something is wrong: a module has tens of thousands of
// controls. `what` follows the name: " is cut off", ": title is cut off".
Error DialogWalker::ControlFault(std::string_view what) const {
    return Fault("control " + std::to_string(m_controlIndex + 1) + " of " + std::to_string(m_controlCount) +
                 std::string(what));
}

// An extended header starts with its signature; a standard one with the
// style, where the signature would be.
bool DialogWalker::ReadFixedHeader(DialogHeaderView& header) {
    auto first = ByteReader::U32At(m_reader.Bytes(), m_reader.Position());
    if (!first) return false;
    header.extended = *first == kExtendedDialogSignature;
    if (header.extended) m_reader.Skip(4);
    auto styles = ReadStyles(m_reader, header.extended);
    auto count = m_reader.U16();
    if (!styles || !count) return false;
    auto rect = m_reader.Take(kRectSize);
    if (!rect) return false;
    header.styles = *styles;
    header.controlCount = *count;
    ByteReader rectReader(*rect);
    header.rect = ReadRect(rectReader);
    return true;
}

std::optional<DialogFontView> DialogWalker::ReadFont() {
    auto pointSize = m_reader.U16();
    if (!pointSize) return std::nullopt;
    DialogFontView font;
    font.pointSize = *pointSize;
    if (font.IsMessageFont()) return font;
    if (m_extended) {
        auto weight = m_reader.U16();
        auto italic = m_reader.U8();
        auto charset = m_reader.U8();
        if (!weight || !italic || !charset) return std::nullopt;
        font.weight = *weight;
        font.italic = *italic;
        font.charset = *charset;
    }
    auto face = m_reader.Utf16zBytes();
    if (!face) return std::nullopt;
    font.face = *face;
    return font;
}

Result<DialogHeaderView> DialogWalker::Header() {
    DialogHeaderView header;
    if (!ReadFixedHeader(header)) return Fault("header is cut off");
    m_extended = header.extended;
    m_controlCount = header.controlCount;
    auto menu = ReadNameOrOrdinal(m_reader);
    auto windowClass = menu ? ReadNameOrOrdinal(m_reader) : std::nullopt;
    if (!windowClass) return Fault("menu or class is cut off");
    header.menu = *menu;
    header.windowClass = *windowClass;
    auto caption = m_reader.Utf16zBytes();
    if (!caption) return Fault("caption has no terminator");
    header.caption = *caption;
    if (header.styles.style & kDsSetFont) {
        header.font = ReadFont();
        if (!header.font) return Fault("font is cut off");
    }
    return header;
}

// Styles and rectangle as one block, then the ID, whose size depends on the
// format: a control cut in its ID faults there.
bool DialogWalker::ReadControlFixedPart(DialogControlView& control) {
    auto bytes = m_reader.Take(m_extended ? kExtendedControlStart : kStandardControlStart);
    if (!bytes) return false;
    std::optional<std::uint32_t> id;
    if (m_extended)
        id = m_reader.U32();
    else if (auto word = m_reader.U16())
        id = *word;
    if (!id) return false;
    ByteReader fixed(*bytes);
    control.styles = *ReadStyles(fixed, m_extended);
    control.rect = ReadRect(fixed);
    control.id = *id;
    return true;
}

Result<DialogControlView> DialogWalker::Control() {
    if (!m_reader.AlignTo(4)) return ControlFault(" starts past the end");
    DialogControlView control;
    if (!ReadControlFixedPart(control)) return ControlFault(" is cut off");
    auto windowClass = ReadNameOrOrdinal(m_reader);
    if (!windowClass) return ControlFault(": class is cut off");
    auto title = ReadNameOrOrdinal(m_reader);
    if (!title) return ControlFault(": title is cut off");
    auto size = m_reader.U16();
    if (!size) return ControlFault(": creation data size is cut off");
    auto data = m_reader.Take(*size & ~std::size_t{1});
    if (!data) return ControlFault(": creation data runs past the end");
    control.windowClass = *windowClass;
    control.title = *title;
    control.creationDataSize = *size;
    control.creationData = *data;
    ++m_controlIndex;
    return control;
}

void WriteDialogHeader(ByteWriter& out, const DialogHeaderView& header, std::u16string_view caption) {
    if (header.extended) out.U32(kExtendedDialogSignature);
    WriteStyles(out, header.extended, header.styles);
    out.U16(header.controlCount);
    WriteRect(out, header.rect);
    WriteNameOrOrdinal(out, header.menu);
    WriteNameOrOrdinal(out, header.windowClass);
    out.Utf16z(caption);
    if (!header.font) return;
    out.U16(header.font->pointSize);
    if (header.font->IsMessageFont()) return;
    if (header.extended) {
        out.U16(header.font->weight);
        out.U8(header.font->italic);
        out.U8(header.font->charset);
    }
    out.Bytes(header.font->face);
    out.U16(0);
}

void WriteDialogControl(ByteWriter& out, bool extended, const DialogControlView& control, std::u16string_view title) {
    out.PadTo(4);
    WriteStyles(out, extended, control.styles);
    WriteRect(out, control.rect);
    if (extended)
        out.U32(control.id);
    else
        out.U16(static_cast<std::uint16_t>(control.id));
    WriteNameOrOrdinal(out, control.windowClass);
    if (control.title.isOrdinal)
        WriteNameOrOrdinal(out, control.title);
    else
        out.Utf16z(title);
    out.U16(control.creationDataSize);
    out.Bytes(control.creationData);
}

} // namespace quillon
