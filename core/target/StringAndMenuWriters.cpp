#include <array>

#include "target/TemplateWriters.h"
#include "target/TextPreparation.h"
#include "templates/MenuLayout.h"
#include "io/ByteWriter.h"

namespace quillon {

bool StringIdFits(std::int32_t id) { return id >= 0 && id <= 0xFFFF; }

// Block n holds IDs (n-1)*16 .. n*16-1; each slot is a WORD count of UTF-16
// units and the units, without terminator; empty slots are a WORD 0.
std::map<std::uint16_t, std::vector<std::uint8_t>> WriteStringBlocks(const CResourceItem& strings,
                                                                     const WriteContext& context) {
    std::map<std::uint16_t, std::array<const CResourceItem*, 16>> blocks;
    for (const auto& entry : strings.GetChildren()) {
        // Cut to 16 bits, such an ID would name a string of another block
        // and overwrite it; its own block stays as the module has it.
        if (!StringIdFits(entry->m_nID)) continue;
        auto id = static_cast<std::uint16_t>(entry->m_nID);
        auto block = static_cast<std::uint16_t>(id / 16 + 1);
        blocks[block][id % 16] = entry.get(); // slots start out null
    }
    std::map<std::uint16_t, std::vector<std::uint8_t>> written;
    for (const auto& [block, slots] : blocks) {
        StringBlockView originals = context.source ? context.source->LoadStringBlockBytes(block) : StringBlockView{};
        ByteWriter buffer;
        for (std::size_t slot = 0; slot < slots.size(); ++slot) {
            if (!slots[slot]) {
                buffer.U16(0);
                continue;
            }
            std::u16string text = TextToWrite(*slots[slot], originals[slot], TextRule::String, context.codePage);
            std::size_t length = std::min<std::size_t>(text.size(), 0xFFFF);
            buffer.U16(static_cast<std::uint16_t>(length));
            buffer.Utf16(std::u16string_view(text).substr(0, length));
        }
        written.emplace(block, buffer.Take());
    }
    return written;
}

namespace {

// The texts of a standard menu template (UTF-16LE units in the module) in
// the order of its entries (popups and items alike); empty when the template
// is not one we read whole.
std::vector<std::span<const std::uint8_t>> OriginalMenuTexts(std::span<const std::uint8_t> resource) {
    auto entries = ReadStandardMenu(resource);
    if (!entries) return {};
    std::vector<std::span<const std::uint8_t>> texts;
    texts.reserve(entries.Value().size());
    for (const auto& entry : entries.Value()) texts.push_back(entry.text);
    return texts;
}

std::size_t CountNodes(const CResourceItem& node) {
    std::size_t count = 0;
    for (const auto& child : node.GetChildren()) count += 1 + CountNodes(*child);
    return count;
}

class MenuWriter {
public:
    MenuWriter(const WriteContext& context, std::vector<std::span<const std::uint8_t>> originals)
        : m_context(context), m_originals(std::move(originals)) {
        WriteMenuHeader(m_buffer);
    }

    // Entries: WORD options, WORD id (not for popups), text; the last entry of
    // every level carries the end bit, so items added by an update end their
    // level properly.
    void Level(const CResourceItem& parent) {
        const auto& children = parent.GetChildren();
        for (std::size_t i = 0; i < children.size(); ++i) {
            const CResourceItem& child = *children[i];
            auto options = static_cast<std::uint16_t>(static_cast<const CMenuNode&>(child).m_dwOptions);
            options = static_cast<std::uint16_t>(i + 1 == children.size() ? (options | MenuOption::kEnd)
                                                                           : (options & ~MenuOption::kEnd));
            bool popup = child.GetKind() == ItemKind::PopupMenu;
            // The popup bit decides whether an ID follows, so it follows the tree too.
            options = static_cast<std::uint16_t>(popup ? (options | MenuOption::kPopup)
                                                       : (options & ~MenuOption::kPopup));
            WriteMenuEntry(m_buffer, options, static_cast<std::uint16_t>(child.m_nID), Text(child));
            ++m_position;
            if (popup) Level(child);
        }
    }

    // No padding after the last entry: the directory aligns each resource,
    // and an untranslated menu keeps the size it had.
    std::vector<std::uint8_t> Finish() { return m_buffer.Take(); }

private:
    std::u16string Text(const CResourceItem& item) const {
        std::optional<std::span<const std::uint8_t>> original;
        if (m_position < m_originals.size()) original = m_originals[m_position];
        if (item.m_dwState & RIS_FIXED) {
            // A separator keeps whatever text the module gave it.
            std::u16string kept;
            if (original && item.GetText().empty()) ByteReader::DecodeUtf16Le(*original, kept);
            return kept;
        }
        return TextToWrite(item, original, TextRule::Menu, m_context.codePage);
    }

    const WriteContext& m_context;
    std::vector<std::span<const std::uint8_t>> m_originals;
    std::size_t m_position = 0;
    ByteWriter m_buffer;
};

} // namespace

std::vector<std::uint8_t> WriteMenu(const CResourceItem& menu, const WriteContext& context) {
    std::vector<std::span<const std::uint8_t>> originals;
    if (context.source)
        if (auto bytes = context.source->Find(kTypeMenu, static_cast<std::uint16_t>(menu.m_nID))) {
            originals = OriginalMenuTexts(*bytes);
            if (originals.size() != CountNodes(menu)) originals.clear(); // another shape: no pairing
        }
    MenuWriter writer(context, std::move(originals));
    writer.Level(menu);
    return writer.Finish();
}

} // namespace quillon
