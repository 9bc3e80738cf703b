#include "extract/TemplateParsers.h"

#include "io/ByteReader.h"

namespace quillon {

namespace {

constexpr std::uint16_t kPopup = 0x0010;
constexpr std::uint16_t kEndOfLevel = 0x0080;
constexpr int kMaxMenuDepth = 32;

class MenuReader {
public:
    MenuReader(std::span<const std::uint8_t> resource, std::uint16_t id, ParseContext& context)
        : m_reader(resource), m_id(id), m_context(context) {}

    // With no `top`, only the template's shape is checked: nothing is
    // converted or kept.
    bool ReadTemplate(CResourceItem* top) {
        // Header: WORD version (0 standard, 1 extended), WORD header size.
        auto version = m_reader.U16();
        auto headerSize = m_reader.U16();
        if (!version || !headerSize) return Fault("header is cut off");
        if (*version == 1) {
            m_context.diagnostics.push_back("menu " + std::to_string(m_id) + ": extended menu template is not read");
            return false;
        }
        if (*version != 0) return Fault("unknown template version " + std::to_string(*version));
        if (!m_reader.Seek(4 + std::size_t{*headerSize})) return Fault("header size runs past the end");
        return ReadLevel(top, 0);
    }

private:
    bool Fault(const std::string& what) {
        m_context.diagnostics.push_back("menu " + std::to_string(m_id) + ": " + what + " at byte " +
                                        std::to_string(m_reader.Position()) + " (kept what was read before)");
        return false;
    }

    // One level: entries until one carries the end bit.
    // Entry: WORD options, WORD id (not for popups), zero-terminated UTF-16 text.
    bool ReadLevel(CResourceItem* parent, int depth) {
        if (depth > kMaxMenuDepth) return Fault("popups nested too deeply");
        while (true) {
            auto options = m_reader.U16();
            if (!options) return Fault("entry runs past the end");
            std::uint16_t itemId = 0;
            if (!(*options & kPopup)) {
                auto id = m_reader.U16();
                if (!id) return Fault("entry runs past the end");
                itemId = *id;
            }
            auto raw = m_reader.Utf16zBytes();
            if (!raw) return Fault("text has no terminator");

            if (*options & kPopup) {
                CResourceItem* popup = nullptr;
                if (parent) {
                    auto split = Split(*raw);
                    popup = &parent->AddChild(std::make_unique<CMenuEntry>(std::move(split.text), split.hotkey, -1, *options));
                }
                if (!ReadLevel(popup, depth + 1)) return false;
            } else if (!parent) {
                // Shape only.
            } else if (itemId != 0) {
                auto split = Split(*raw);
                parent->AddChild(std::make_unique<CMenuItem>(std::move(split.text), split.hotkey, itemId, *options));
            } else {
                // A separator: its template text, if any, is not kept.
                parent->AddChild(std::make_unique<CMenuItem>("", 0, 0, *options, RIS_FIXED));
            }
            if (*options & kEndOfLevel) return true;
        }
    }

    HotkeyText Split(std::span<const std::uint8_t> raw) {
        std::string text = EscapeControls(m_context.text.ConvertLe(raw, kMenuTextBuffer));
        if (text.empty()) return {};
        return SplitHotkey(std::move(text), m_context.text.Page());
    }

    ByteReader m_reader;
    std::uint16_t m_id;
    ParseContext& m_context;
};

} // namespace

bool ParseMenu(std::span<const std::uint8_t> resource, std::uint16_t id, TreeRoot& menus, ParseContext& context) {
    // The top node exists before the template is examined, so a menu in a
    // format we do not read still shows up.
    CResourceItem* top = menus.index.Find("", id);
    if (!top) top = &menus.item.AddChild(std::make_unique<CMenuEntry>("", 0, id, 0));
    return MenuReader(resource, id, context).ReadTemplate(top);
}

bool MenuTemplateIsReadable(std::span<const std::uint8_t> resource) {
    CodePage unused;
    TemplateText text(unused);
    std::vector<std::string> diagnostics;
    ParseContext context{text, diagnostics};
    return MenuReader(resource, 0, context).ReadTemplate(nullptr);
}

} // namespace quillon
