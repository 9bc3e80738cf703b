#include "target/TemplateWriters.h"
#include "target/TextPreparation.h"
#include "pe/VersionEntries.h"
#include "project/NewProject.h"
#include "io/ByteWriter.h"

namespace quillon {

namespace {

// Entry: WORD length, WORD value length, WORD type, key, align, value, align,
// children. The length covers the entry up to the end of its value (text and
// binary values) or of its last child (blocks).
class VersionWriter {
public:
    VersionWriter(const WriteContext& context, const VersionEntry* originalRoot)
        : m_context(context), m_originalRoot(originalRoot) {}

    // False when an entry grew past the 16-bit lengths of the format.
    bool Fits() const { return m_fits; }

    std::vector<std::uint8_t> Write(const CVersionInfo& info) {
        std::size_t root = Header(52, 0, u"VS_VERSION_INFO");
        m_out.Bytes(info.m_FixedInfo);
        m_out.PadTo(4);
        Children(info.m_Root, m_originalRoot);
        // Nothing after the root's last byte: resource compilers write none,
        // and the resource keeps its size.
        SetLength(root);
        return m_out.Take();
    }

private:
    void SetLength(std::size_t start) {
        std::size_t length = m_out.Size() - start;
        if (length > 0xFFFF) m_fits = false;
        m_out.SetU16At(start, static_cast<std::uint16_t>(length));
    }

    std::size_t Header(std::uint16_t valueLength, std::uint16_t type, std::u16string_view key) {
        m_out.PadTo(4);
        std::size_t start = m_out.Size();
        m_out.U16(0); // length, filled in when the entry is complete
        m_out.U16(valueLength);
        m_out.U16(type);
        m_out.Utf16z(key);
        m_out.PadTo(4);
        return start;
    }

    static const VersionEntry* OriginalChild(const VersionEntry* parent, const std::u16string& key) {
        if (!parent) return nullptr;
        for (const VersionEntry& child : parent->children)
            if (child.key == key) return &child;
        return nullptr;
    }

    void Children(const CResourceItem& parent, const VersionEntry* original) {
        for (const auto& child : parent.GetChildren()) {
            const auto* block = dynamic_cast<const CVersionBlock*>(child.get());
            if (!block || ReplacedInTarget(parent, *block)) continue;
            std::u16string key = m_context.codePage.ToUtf16(block->m_strTargetKey);
            const VersionEntry* match = OriginalChild(original, m_context.codePage.ToUtf16(block->m_strKey));
            if (block->m_nBlockType == kVersionText) {
                std::optional<std::u16string> text;
                if (match && match->IsText()) text = match->Text();
                std::u16string value = TextToWrite(*block, std::move(text), TextRule::Version, m_context.codePage);
                if (value.size() + 1 > 0xFFFF) m_fits = false;
                std::size_t start = Header(static_cast<std::uint16_t>(value.size() + 1), 1, key);
                m_out.Utf16z(value);
                SetLength(start);
            } else if (block->m_nBlockType == kVersionBinary) {
                std::size_t start = Header(block->GetValueSize(), 0, key);
                m_out.Bytes(std::span(block->m_pValue).first(block->GetValueSize()));
                SetLength(start);
            } else {
                std::size_t start = Header(0, 1, key);
                Children(*block, match);
                SetLength(start);
            }
        }
    }

    const WriteContext& m_context;
    const VersionEntry* m_originalRoot;
    ByteWriter m_out;
    bool m_fits = true;
};

} // namespace

Result<std::vector<std::uint8_t>> WriteVersion(const CVersionInfo& info, const WriteContext& context,
                                               std::uint16_t sourceName) {
    std::optional<VersionEntry> original;
    if (context.source)
        if (auto bytes = context.source->Find(kTypeVersion, sourceName)) original = ParseVersionEntries(*bytes);
    VersionWriter writer(context, original ? &*original : nullptr);
    std::vector<std::uint8_t> bytes = writer.Write(info);
    if (!writer.Fits()) return MakeError(Error::Code::Unsupported, "the version resource grew past 64 KiB");
    return bytes;
}

} // namespace quillon
