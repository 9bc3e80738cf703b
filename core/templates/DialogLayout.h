#pragma once
// The dialog template, both formats, described once: the scan, the preview's
// reader and the target writer all walk templates with DialogWalker, and the
// writer emits records with the field writers below.
//
// Standard (DLGTEMPLATE):                Extended (DLGTEMPLATEEX):
//   DWORD style                            DWORD 0xFFFF0001 (version 1, signature)
//   DWORD extended style                   DWORD help id
//                                          DWORD extended style
//                                          DWORD style
//   WORD  control count, x, y, cx, cy (x..cy signed, in dialog units)
//   menu, class: name or ordinal; caption: zero-terminated UTF-16
//   with DS_SETFONT: WORD point size; unless it is 0x7FFF (the message font,
//   after which the dialog manager reads nothing) the extended format's WORD
//   weight, BYTE italic, BYTE charset; then the face, zero-terminated UTF-16.
//
// Each control starts on a DWORD boundary counted from the template's start:
//   standard: DWORD style, DWORD extended style, WORD x, y, cx, cy, WORD id
//   extended: DWORD help id, DWORD extended style, DWORD style,
//             WORD x, y, cx, cy, DWORD id
//   then class and title (name or ordinal) and a WORD count of creation data
//   bytes, excluding itself; as the dialog manager does, only whole WORDs of
//   data are taken, and the next control follows them.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "io/ByteReader.h"
#include "io/Result.h"

namespace quillon {

class ByteWriter;

inline constexpr std::uint32_t kExtendedDialogSignature = 0xFFFF0001;
inline constexpr std::uint32_t kDsSetFont = 0x40;
inline constexpr std::uint16_t kMessageFontPointSize = 0x7FFF;

// A "name or ordinal" field: WORD 0 for none, 0xFFFF and an ordinal WORD, or
// a zero-terminated UTF-16 string starting with that first WORD. The text is
// left in the template, for readers that only convert or step over it.
struct NameOrOrdinalView {
    static constexpr std::uint16_t kOrdinalMarker = 0xFFFF;
    bool isOrdinal = false;
    std::uint16_t ordinal = 0;
    std::span<const std::uint8_t> text; // UTF-16LE units, terminator excluded
};
// Nothing (and the reader's position unspecified) when it runs past the end.
std::optional<NameOrOrdinalView> ReadNameOrOrdinal(ByteReader& reader);
// The field as it was read: an ordinal as its two WORDs, a name (none when
// empty) with its terminator.
void WriteNameOrOrdinal(ByteWriter& out, const NameOrOrdinalView& field);

struct DialogFontView {
    std::uint16_t pointSize = 0;
    std::uint16_t weight = 0;   // extended templates only
    std::uint8_t italic = 0;    // extended templates only, as stored
    std::uint8_t charset = 0;   // extended templates only
    std::span<const std::uint8_t> face; // UTF-16LE units
    bool IsMessageFont() const { return pointSize == kMessageFontPointSize; }
};

// The styles of the dialog and of each control, in the same order: help id,
// extended style, style in the extended format; style, extended style in the
// standard one.
struct DialogStyles {
    std::uint32_t helpId = 0; // extended templates only
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
};

struct DialogRect {
    std::int16_t x = 0;
    std::int16_t y = 0;
    std::int16_t cx = 0;
    std::int16_t cy = 0;
};

struct DialogHeaderView {
    bool extended = false;
    DialogStyles styles;
    std::uint16_t controlCount = 0;
    DialogRect rect;
    NameOrOrdinalView menu;
    NameOrOrdinalView windowClass;
    std::span<const std::uint8_t> caption; // UTF-16LE units
    std::optional<DialogFontView> font;    // with DS_SETFONT
};

struct DialogControlView {
    DialogStyles styles;
    DialogRect rect;
    std::uint32_t id = 0; // 16 bits in standard templates, 32 in extended ones
    NameOrOrdinalView windowClass;
    NameOrOrdinalView title;
    std::uint16_t creationDataSize = 0;         // as stored (an odd count drops its last byte)
    std::span<const std::uint8_t> creationData; // the whole WORDs the count covers
};

// Walks one template: Header() once, then Control() for each control the
// header counts. Every read is bounded by the template's bytes; a fault is an
// Error whose offset is the position in the template where the walk stopped.
class DialogWalker {
public:
    explicit DialogWalker(std::span<const std::uint8_t> bytes) : m_reader(bytes) {}

    Result<DialogHeaderView> Header();
    Result<DialogControlView> Control();

private:
    bool ReadFixedHeader(DialogHeaderView& header);
    std::optional<DialogFontView> ReadFont();
    bool ReadControlFixedPart(DialogControlView& control);
    Error Fault(std::string what) const;
    Error ControlFault(std::string_view what) const;

    ByteReader m_reader;
    bool m_extended = false;
    std::uint16_t m_controlCount = 0;
    std::uint32_t m_controlIndex = 0; // of the control being read
};

// The header as Header() read it, with `caption` in place of its caption.
void WriteDialogHeader(ByteWriter& out, const DialogHeaderView& header, std::u16string_view caption);
// A control as Control() read it, DWORD-aligned, with `title` in place of a
// title that is text (an ordinal title is written as it was).
void WriteDialogControl(ByteWriter& out, bool extended, const DialogControlView& control, std::u16string_view title);

} // namespace quillon
