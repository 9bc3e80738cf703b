#include "extract/TemplateParsers.h"

#include "templates/MenuLayout.h"

namespace quillon {

namespace {

class MenuReader {
public:
    MenuReader(std::span<const std::uint8_t> resource, std::uint16_t id, ParseContext& context)
        : m_walker(resource), m_id(id), m_context(context) {}

    bool ReadTemplate(CResourceItem& top) {
        auto format = m_walker.Header();
        if (!format) return Fault(format.GetError());
        if (format.Value() == MenuFormat::Extended) {
            m_context.diagnostics.push_back("menu " + std::to_string(m_id) + ": extended menu template is not read");
            return false;
        }
        // The parent of the next entry at each depth; entries come in
        // template order, a popup's right after it.
        std::vector<CResourceItem*> parents{&top};
        while (true) {
            auto entry = m_walker.Next();
            if (!entry) return Fault(entry.GetError());
            if (!entry.Value()) return true;
            parents.resize(entry.Value()->depth + 1);
            CResourceItem& added = Add(*parents.back(), *entry.Value());
            if (entry.Value()->IsPopup()) parents.push_back(&added);
        }
    }

private:
    bool Fault(const Error& fault) {
        m_context.diagnostics.push_back("menu " + std::to_string(m_id) + ": " + fault.message + " at byte " +
                                        std::to_string(fault.offset) + " (kept what was read before)");
        return false;
    }

    CResourceItem& Add(CResourceItem& parent, const MenuEntryView& entry) {
        if (entry.IsPopup()) {
            auto split = Split(entry.text);
            return parent.AddChild(std::make_unique<CMenuEntry>(std::move(split.text), split.hotkey, -1, entry.options));
        }
        if (entry.id != 0) {
            auto split = Split(entry.text);
            return parent.AddChild(
                std::make_unique<CMenuItem>(std::move(split.text), split.hotkey, entry.id, entry.options));
        }
        // A separator: its template text, if any, is not kept.
        return parent.AddChild(std::make_unique<CMenuItem>("", 0, 0, entry.options, RIS_FIXED));
    }

    HotkeyText Split(std::span<const std::uint8_t> raw) {
        std::string text = m_context.text.ConvertEscapedLe(raw, kMenuTextBuffer);
        if (text.empty()) return {};
        return SplitHotkey(std::move(text), m_context.text.Page());
    }

    MenuWalker m_walker;
    std::uint16_t m_id;
    ParseContext& m_context;
};

} // namespace

bool ParseMenu(std::span<const std::uint8_t> resource, std::uint16_t id, TreeRoot& menus, ParseContext& context) {
    // The top node exists before the template is examined, so a menu in a
    // format we do not read still shows up.
    CResourceItem* top = menus.index.Find("", id);
    if (!top) top = &menus.item.AddChild(std::make_unique<CMenuEntry>("", 0, id, 0));
    return MenuReader(resource, id, context).ReadTemplate(*top);
}

bool MenuTemplateIsReadable(std::span<const std::uint8_t> resource) { return ReadStandardMenu(resource).Ok(); }

} // namespace quillon
