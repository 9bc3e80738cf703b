#include "project/ProjectCheck.h"

#include <algorithm>
#include <cctype>

#include "dictionary/Hotkeys.h"
#include "project/Project.h"

namespace quillon {

std::vector<std::string> Placeholders(const std::string& text) {
    std::vector<std::string> found;
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
        if (text[pos] != '%' || pos + 1 >= text.size()) continue;
        std::size_t end = pos + 1;
        if (text[end] == '%') {
            pos = end;
            continue;
        }
        if (std::isdigit(static_cast<unsigned char>(text[end])) && text[end] != '0') {
            // %1 .. %99, optionally with a !format! suffix
            while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) ++end;
            if (end < text.size() && text[end] == '!') {
                std::size_t close = text.find('!', end + 1);
                if (close != std::string::npos) end = close + 1;
            }
            // "%5d" is a printf width, not an insert: look for a conversion letter.
            if (end < text.size() && std::isalpha(static_cast<unsigned char>(text[end])) && text[end - 1] != '!') {
                ++end;
            }
        } else {
            // No space flag: "50% off" is text, not a conversion.
            static const std::string flags = "-+#0123456789.*hlLzjtI";
            while (end < text.size() && flags.find(text[end]) != std::string::npos) ++end;
            static const std::string conversions = "diouxXeEfgGaAcCsSpn";
            if (end >= text.size() || conversions.find(text[end]) == std::string::npos) continue;
            ++end;
        }
        found.push_back(text.substr(pos, end - pos));
        pos = end - 1;
    }
    return found;
}

namespace {

class Checker {
public:
    Checker(const CProject& project) : m_codePage(project.GetCodePage()) {}

    // Each later user of a hotkey is an error that names the first user.
    void Level(const CResourceItem& parent, bool recurse) {
        for (const auto& child : parent.GetChildren()) {
            Item(*child);
            if (recurse) Level(*child, true);
        }
        for (const HotkeyClash& clash : DuplicateHotkeys(parent, m_codePage)) {
            const CResourceItem& first = *clash.items.front();
            const std::string& firstText = first.IsTranslated() ? first.m_strTranslation : first.m_strText;
            for (std::size_t i = 1; i < clash.items.size(); ++i)
                Add(CheckFinding::Severity::Error, CheckFinding::Kind::DuplicateHotkey, *clash.items[i],
                    std::string("hotkey '") + static_cast<char>(clash.hotkey) + "' is also used by \"" + firstText +
                        "\"");
        }
    }

    void Item(const CResourceItem& item) {
        if (!item.IsTranslatable()) return;
        if (!item.IsTranslated()) {
            Add(CheckFinding::Severity::Warning, CheckFinding::Kind::Untranslated, item, "not translated");
            return;
        }
        auto hotkey = static_cast<std::uint8_t>(item.m_chTransHotkey & 0xFF);
        if (hotkey != 0 && !HotkeyOccursIn(item.m_strTranslation, hotkey, m_codePage))
            Add(CheckFinding::Severity::Error, CheckFinding::Kind::HotkeyNotInText, item,
                std::string("hotkey '") + static_cast<char>(hotkey) + "' does not occur in the translation");
        std::vector<std::string> source = Placeholders(item.m_strText);
        std::vector<std::string> target = Placeholders(item.m_strTranslation);
        std::sort(source.begin(), source.end());
        std::sort(target.begin(), target.end());
        if (source != target)
            Add(CheckFinding::Severity::Error, CheckFinding::Kind::PlaceholderMismatch, item,
                "placeholders differ: source has " + Join(source) + ", translation has " + Join(target));
    }

    std::vector<CheckFinding> Take() { return std::move(m_findings); }

private:
    static std::string Join(const std::vector<std::string>& parts) {
        if (parts.empty()) return "none";
        std::string out;
        for (const auto& part : parts) out += (out.empty() ? "" : " ") + part;
        return out;
    }

    void Add(CheckFinding::Severity severity, CheckFinding::Kind kind, const CResourceItem& item, std::string message) {
        m_findings.push_back({severity, kind, &item, std::move(message)});
    }

    CodePage m_codePage;
    std::vector<CheckFinding> m_findings;
};

} // namespace

std::vector<CheckFinding> CheckProject(const CProject& project) {
    const CResourceInfo& info = project.m_ResourceInfo;
    Checker checker(project);
    // Hotkeys are unique per popup and per dialog; strings only need their placeholders.
    for (const auto& menu : info.m_Menus.GetChildren()) {
        checker.Item(*menu);
        checker.Level(*menu, true);
    }
    for (const auto& string : info.m_Strings.GetChildren()) checker.Item(*string);
    for (const auto& dialog : info.m_Dialogs.GetChildren()) {
        checker.Item(*dialog);
        checker.Level(*dialog, false);
    }
    return checker.Take();
}

} // namespace quillon
