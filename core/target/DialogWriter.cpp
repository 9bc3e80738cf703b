#include "target/TemplateBuffer.h"
#include "target/TemplateWriters.h"
#include "target/TextPreparation.h"
#include "extract/DialogTemplate.h"
#include "io/ByteReader.h"

namespace quillon {

namespace {

constexpr std::uint32_t kExtendedSignature = 0xFFFF0001;

Error Unwritable(std::int32_t id, const std::string& why) {
    return MakeError(Error::Code::Malformed, "dialog " + std::to_string(id) + ": " + why);
}

// Skips a "name or ordinal" field; false when it runs past the copy.
bool SkipNameOrOrdinal(ByteReader& reader) { return ReadNameOrOrdinal(reader).has_value(); }

// Copies the template copy field by field, so everything but the texts
// (styles, 32-bit IDs, class ordinals and names, the font's weight, italic
// and character set, creation data) stays exactly as the module had it.
class DialogRewriter {
public:
    DialogRewriter(const CResourceItem& dialog, const WriteContext& context)
        : m_dialog(dialog), m_context(context), m_copy(dialog.GetData()) {}

    Result<std::vector<std::uint8_t>> Run() {
        auto first = m_copy.U32();
        if (!first) return Unwritable(m_dialog.m_nID, "the template copy is cut off");
        bool extended = *first == kExtendedSignature;
        std::optional<std::uint32_t> style = *first;
        if (extended) {
            m_copy.Skip(8);
            style = m_copy.U32();
        } else {
            m_copy.Skip(4);
        }
        auto count = m_copy.U16();
        if (!style || !count || !m_copy.Skip(8) || !SkipNameOrOrdinal(m_copy) || !SkipNameOrOrdinal(m_copy))
            return Unwritable(m_dialog.m_nID, "the template copy's header is cut off");
        CopyFrom(0);
        auto caption = m_copy.Utf16z();
        if (!caption) return Unwritable(m_dialog.m_nID, "the caption has no terminator");
        m_out.Name(TextToWrite(m_dialog, *caption, TextRule::Caption, m_context.codePage));
        std::size_t fontStart = m_copy.Position();
        if (*style & kDsSetFont) {
            if (!SkipDialogFont(m_copy, extended)) return Unwritable(m_dialog.m_nID, "the font is cut off");
            CopyFrom(fontStart);
        }
        if (*count != m_dialog.GetCount())
            return Unwritable(m_dialog.m_nID, "the template has " + std::to_string(*count) + " controls, the project " +
                                                  std::to_string(m_dialog.GetCount()));
        for (const auto& control : m_dialog.GetChildren())
            if (auto failed = Control(*control, extended)) return *failed;
        return m_out.Take();
    }

private:
    // Appends the copy's bytes from `from` to the reader's position.
    void CopyFrom(std::size_t from) {
        m_out.Bytes(m_copy.Bytes().subspan(from, m_copy.Position() - from));
    }

    std::optional<Error> Control(const CResourceItem& item, bool extended) {
        m_out.Align();
        if (!m_copy.AlignTo(4)) return Unwritable(m_dialog.m_nID, "a control starts past the end of the copy");
        std::size_t start = m_copy.Position();
        // Fixed part: extended 24 bytes up to the DWORD ID, standard 18 up to the WORD ID.
        if (!m_copy.Skip(extended ? 24 : 18) || !SkipNameOrOrdinal(m_copy))
            return Unwritable(m_dialog.m_nID, "a control is cut off");
        CopyFrom(start);
        std::size_t titleStart = m_copy.Position();
        auto titleWord = ByteReader::U16At(m_copy.Bytes(), titleStart);
        if (!titleWord) return Unwritable(m_dialog.m_nID, "a control title is cut off");
        if (*titleWord == 0xFFFF) {
            if (!m_copy.Skip(4)) return Unwritable(m_dialog.m_nID, "a control title is cut off");
            CopyFrom(titleStart);
        } else {
            auto title = m_copy.Utf16z();
            if (!title) return Unwritable(m_dialog.m_nID, "a control title has no terminator");
            if (item.m_dwState & RIS_FIXED)
                m_out.Name(*title); // a control without a text keeps what it had
            else
                m_out.Name(TextToWrite(item, *title, TextRule::Control, m_context.codePage));
        }
        std::size_t extraStart = m_copy.Position();
        auto extra = m_copy.U16();
        // Walked as the reader walks it: the data rounded down to whole WORDs.
        if (!extra || !m_copy.Skip(*extra & ~1u)) return Unwritable(m_dialog.m_nID, "creation data runs past the end");
        CopyFrom(extraStart);
        return std::nullopt;
    }

    const CResourceItem& m_dialog;
    const WriteContext& m_context;
    ByteReader m_copy;
    CTemplateBuffer m_out;
};

} // namespace

Result<std::vector<std::uint8_t>> WriteDialog(const CResourceItem& dialog, const WriteContext& context) {
    if (dialog.GetDataSize() == 0) return Unwritable(dialog.m_nID, "no template copy");
    return DialogRewriter(dialog, context).Run();
}

} // namespace quillon
