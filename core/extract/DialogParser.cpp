#include "extract/TemplateParsers.h"

#include "extract/DialogTemplate.h"
#include "io/ByteReader.h"

namespace quillon {

namespace {

constexpr std::uint32_t kExtendedSignature = 0xFFFF0001;

class DialogReader {
public:
    DialogReader(std::span<const std::uint8_t> resource, std::uint16_t id, ParseContext& context)
        : m_reader(resource), m_id(id), m_context(context) {}

    // Header, standard: DWORD style, DWORD extended style; extended: DWORD
    // 0xFFFF0001, DWORD help id, DWORD extended style, DWORD style. Then WORD
    // item count, x, y, cx, cy, menu, class, caption, and with the set-font
    // style the font.
    bool ReadHeader() {
        auto first = m_reader.U32();
        if (!first) return Fault("header is cut off");
        m_extended = *first == kExtendedSignature;
        std::optional<std::uint32_t> style = *first;
        if (m_extended) {
            m_reader.U32(); // help id
            m_reader.U32(); // extended style
            style = m_reader.U32();
        } else {
            m_reader.U32(); // extended style
        }
        auto count = m_reader.U16();
        if (!style || !count || !m_reader.Skip(8)) return Fault("header is cut off");
        m_itemCount = *count;
        if (!ReadNameOrOrdinal(m_reader) || !ReadNameOrOrdinal(m_reader)) return Fault("menu or class is cut off");
        auto caption = m_reader.Utf16zBytes();
        if (!caption) return Fault("caption has no terminator");
        m_caption = *caption;
        if ((*style & kDsSetFont) && !SkipDialogFont(m_reader, m_extended)) return Fault("font is cut off");
        return true;
    }

    std::span<const std::uint8_t> Caption() const { return m_caption; }

    bool ReadControls(CResourceItem& entry) {
        for (std::uint32_t i = 0; i < m_itemCount; ++i)
            if (!ReadControl(entry, i)) return false;
        return true;
    }

private:
    bool Fault(const std::string& what) {
        m_context.diagnostics.push_back("dialog " + std::to_string(m_id) + ": " + what + " at byte " +
                                        std::to_string(m_reader.Position()) + " (kept what was read before)");
        return false;
    }

    // Control, standard: DWORD style, DWORD extended style, WORD x, y, cx, cy,
    // WORD id; extended: DWORD help id, extended style, style, WORD x, y, cx,
    // cy, DWORD id. Then class, title and the creation-data size WORD.
    bool ReadControl(CResourceItem& entry, std::uint32_t index) {
        // Named only when something is wrong: a module has tens of thousands of controls.
        auto which = [&] { return "control " + std::to_string(index + 1) + " of " + std::to_string(m_itemCount); };
        if (!m_reader.AlignTo(4)) return Fault(which() + " starts past the end");
        std::optional<std::uint32_t> id;
        if (m_extended) {
            if (!m_reader.Skip(12 + 8)) return Fault(which() + " is cut off");
            id = m_reader.U32();
        } else {
            if (!m_reader.Skip(8 + 8)) return Fault(which() + " is cut off");
            id = m_reader.U16();
        }
        if (!id) return Fault(which() + " is cut off");
        if (!ReadNameOrOrdinal(m_reader)) return Fault(which() + ": class is cut off");
        auto title = ReadNameOrOrdinal(m_reader);
        if (!title) return Fault(which() + ": title is cut off");
        auto extra = m_reader.U16();
        if (!extra) return Fault(which() + ": creation data size is cut off");
        // The next control follows the creation data, rounded down to whole WORDs.
        if (*extra != 0 && !m_reader.Skip(*extra & ~1u)) return Fault(which() + ": creation data runs past the end");

        std::string text;
        if (!title->isOrdinal) text = EscapeControls(m_context.text.ConvertLe(title->text, kDialogTextBuffer));
        // The tree keeps the low 16 bits of the ID, so -1 reads as 65535.
        std::int32_t itemId = static_cast<std::uint16_t>(*id);
        if (text.empty()) {
            entry.AddChild(std::make_unique<CDialogItem>("", 0, itemId, RIS_FIXED));
        } else {
            HotkeyText split = SplitHotkey(std::move(text), m_context.text.Page());
            entry.AddChild(std::make_unique<CDialogItem>(std::move(split.text), split.hotkey, itemId));
        }
        return true;
    }

    ByteReader m_reader;
    std::uint16_t m_id;
    ParseContext& m_context;
    bool m_extended = false;
    std::uint32_t m_itemCount = 0;
    std::span<const std::uint8_t> m_caption; // UTF-16LE units
};

} // namespace

bool ParseDialog(std::span<const std::uint8_t> resource, std::uint16_t id, TreeRoot& dialogs, ParseContext& context) {
    DialogReader reader(resource, id, context);
    if (!reader.ReadHeader()) return false;
    std::string caption = context.text.ConvertLe(reader.Caption(), kDialogTextBuffer);
    CResourceItem* entry = dialogs.index.Find(caption, id);
    if (!entry) entry = &dialogs.item.AddChild(std::make_unique<CDialogEntry>(std::move(caption), 0, id));
    entry->SetData(resource);
    reader.ReadControls(*entry);
    return true;
}

} // namespace quillon
