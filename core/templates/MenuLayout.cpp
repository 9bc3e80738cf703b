#include "templates/MenuLayout.h"

#include "io/ByteWriter.h"

namespace quillon {

Error MenuWalker::Fault(std::string what) const {
    return MakeError(Error::Code::Malformed, std::move(what), m_reader.Position());
}

Result<MenuFormat> MenuWalker::Header() {
    auto version = m_reader.U16();
    auto headerSize = m_reader.U16();
    if (!version || !headerSize) return Fault("header is cut off");
    if (*version == kExtendedMenuVersion) return MenuFormat::Extended;
    if (*version != kStandardMenuVersion) return Fault("unknown template version " + std::to_string(*version));
    if (!m_reader.Seek(4 + std::size_t{*headerSize})) return Fault("header size runs past the end");
    return MenuFormat::Standard;
}

Result<std::optional<MenuEntryView>> MenuWalker::Next() {
    if (m_done) return std::optional<MenuEntryView>();
    if (m_openLevels.size() > kMaxDepth) return Fault("popups nested too deeply");
    MenuEntryView entry;
    auto options = m_reader.U16();
    if (!options) return Fault("entry runs past the end");
    entry.options = *options;
    if (!entry.IsPopup()) {
        auto id = m_reader.U16();
        if (!id) return Fault("entry runs past the end");
        entry.id = *id;
    }
    auto text = m_reader.Utf16zBytes();
    if (!text) return Fault("text has no terminator");
    entry.text = *text;
    entry.depth = m_openLevels.size();
    bool ends = (entry.options & MenuOption::kEnd) != 0;
    if (entry.IsPopup()) {
        m_openLevels.push_back(ends);
    } else if (ends) {
        // This level ends, and with it every level whose popup was the last
        // of its own; the top level's end ends the template.
        while (true) {
            if (m_openLevels.empty()) {
                m_done = true;
                break;
            }
            bool popupEndedItsLevel = m_openLevels.back();
            m_openLevels.pop_back();
            if (!popupEndedItsLevel) break;
        }
    }
    return std::optional<MenuEntryView>(entry);
}

Result<std::vector<MenuEntryView>> ReadStandardMenu(std::span<const std::uint8_t> bytes) {
    MenuWalker walker(bytes);
    auto format = walker.Header();
    if (!format) return format.GetError();
    if (format.Value() != MenuFormat::Standard)
        return MakeError(Error::Code::Unsupported, "extended menu template is not read");
    std::vector<MenuEntryView> entries;
    while (true) {
        auto entry = walker.Next();
        if (!entry) return entry.GetError();
        if (!entry.Value()) return entries;
        entries.push_back(*entry.Value());
    }
}

void WriteMenuHeader(ByteWriter& out) {
    out.U16(kStandardMenuVersion);
    out.U16(0);
}

void WriteMenuEntry(ByteWriter& out, std::uint16_t options, std::uint16_t id, std::u16string_view text) {
    out.U16(options);
    if (!(options & MenuOption::kPopup)) out.U16(id);
    out.Utf16z(text);
}

} // namespace quillon
