#include "TreeOutput.h"

#include <cstdio>

#include "dictionary/Hotkeys.h"
#include "extract/Languages.h"

namespace quillon::cli {

namespace {

std::string HotkeyText(std::uint16_t hotkey, const CodePage& codePage) {
    if (HotkeyByte(hotkey) == 0) return "";
    return codePage.ToUtf8(std::string(1, static_cast<char>(HotkeyByte(hotkey))));
}

void PrintItem(Output& out, const CResourceItem& item, const CodePage& codePage, int depth) {
    out << std::string(static_cast<std::size_t>(depth) * 2, ' ') << KindName(item.GetKind());
    if (auto* block = dynamic_cast<const CVersionBlock*>(&item)) {
        out << " " << codePage.ToUtf8(block->m_strKey);
        if (block->m_nBlockType == kVersionText) out << " = \"" << codePage.ToUtf8(item.GetText()) << "\"";
        if (block->m_nBlockType == kVersionBinary)
            out << " = " << HexBytes(block->m_pValue.data(), block->m_pValue.size());
    } else {
        out << " " << item.m_nID << " \"" << codePage.ToUtf8(item.GetText()) << "\"";
        if (item.m_chHotkey) out << " [" << HotkeyText(item.m_chHotkey, codePage) << "]";
        if (item.IsTranslated()) {
            out << " -> \"" << codePage.ToUtf8(item.GetTranslation()) << "\"";
            if (item.m_chTransHotkey) out << " [" << HotkeyText(item.m_chTransHotkey, codePage) << "]";
        }
    }
    char state[16];
    std::snprintf(state, sizeof state, "%08x", item.m_dwState);
    out << "  (" << state << ")\n";
    for (const auto& child : item.GetChildren()) PrintItem(out, *child, codePage, depth + 1);
}

} // namespace

std::string FileVersionText(const CResourceInfo& info) {
    return std::to_string(info.m_dwFileVersionMS >> 16) + "." + std::to_string(info.m_dwFileVersionMS & 0xFFFF) + "." +
           std::to_string(info.m_dwFileVersionLS >> 16) + "." + std::to_string(info.m_dwFileVersionLS & 0xFFFF);
}

std::string LanguageText(std::uint16_t language) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%04x", language);
    std::string name = LanguageName(language);
    return name.empty() ? std::string(hex) : std::string(hex) + " " + name;
}

void WriteItemJson(JsonWriter& json, const CResourceItem& item, Root root, const std::string& path,
                   const CodePage& codePage, const PreviousSources& previous) {
    json.BeginObject();
    json.Key("path").String(path);
    json.Key("kind").String(KindName(item.GetKind()));
    json.Key("id").Number(item.m_nID);
    json.Key("text").String(codePage.ToUtf8(item.GetText()));
    json.Key("hotkey").String(HotkeyText(item.m_chHotkey, codePage));
    json.Key("translation").String(codePage.ToUtf8(item.GetTranslation()));
    json.Key("transHotkey").String(HotkeyText(item.m_chTransHotkey, codePage));
    json.Key("state").Number(item.m_dwState);
    if (auto* menu = dynamic_cast<const CMenuNode*>(&item)) json.Key("options").Number(menu->m_dwOptions);
    if (auto* block = dynamic_cast<const CVersionBlock*>(&item)) {
        json.Key("key").String(codePage.ToUtf8(block->m_strKey));
        json.Key("targetKey").String(codePage.ToUtf8(block->m_strTargetKey));
        json.Key("blockType").Number(block->m_nBlockType);
        json.Key("value").String(HexBytes(block->m_pValue.data(), block->m_pValue.size()));
    }
    if (item.m_dwState & RIS_CARRIED)
        if (auto found = previous.find(path); found != previous.end()) {
            json.Key("previousText").String(codePage.ToUtf8(found->second.text));
            json.Key("previousTranslation").String(codePage.ToUtf8(found->second.translation));
        }
    json.Key("children");
    WriteChildrenJson(json, item, root, path, codePage, previous);
    json.EndObject();
}

void WriteChildrenJson(JsonWriter& json, const CResourceItem& parent, Root root, const std::string& path,
                       const CodePage& codePage, const PreviousSources& previous) {
    json.BeginArray();
    StepCounter steps(root);
    for (const auto& child : parent.GetChildren())
        WriteItemJson(json, *child, root, path + steps.NextSuffix(*child), codePage, previous);
    json.EndArray();
}

void WriteCountersJson(JsonWriter& json, const CResourceInfo& info, std::uint32_t translated) {
    json.BeginObject();
    json.Key("strings").Number(info.m_nStrings);
    json.Key("popups").Number(info.m_nPopups);
    json.Key("menuItems").Number(info.m_nMenuItems);
    json.Key("dialogs").Number(info.m_nDialogs);
    json.Key("controls").Number(info.m_nControls);
    json.Key("translatable").Number(info.m_nTranslatable);
    json.Key("notTranslatable").Number(info.m_nNotTranslatable);
    json.Key("translated").Number(translated);
    json.Key("skipped").Number(info.m_nSkipped);
    json.EndObject();
}

void WriteTreeJson(JsonWriter& json, const CResourceInfo& info, const CodePage& codePage) {
    for (const RootInfo& root : Roots()) {
        // The version is an object: the fixed information beside the blocks.
        bool version = root.root == Root::Version;
        json.Key(root.name);
        if (version) {
            const auto& fixed = info.m_VersionInfo.m_FixedInfo;
            json.BeginObject().Key("fixedInfo").String(HexBytes(fixed.data(), fixed.size()));
            json.Key("blocks");
        }
        WriteChildrenJson(json, RootItem(info, root.root), root.root, std::string(root.name), codePage, info.m_previous);
        if (version) json.EndObject();
    }
}

void PrintCounters(Output& out, const CResourceInfo& info, std::uint32_t translated) {
    out << "Strings:          " << info.m_nStrings << "\n"
        << "Popups:           " << info.m_nPopups << "\n"
        << "Menu items:       " << info.m_nMenuItems << "\n"
        << "Dialogs:          " << info.m_nDialogs << "\n"
        << "Controls:         " << info.m_nControls << "\n"
        << "Translatable:     " << info.m_nTranslatable << "\n"
        << "Not translatable: " << info.m_nNotTranslatable << "\n"
        << "Translated:       " << translated << "\n";
}

void PrintTree(Output& out, const CResourceInfo& info, const CodePage& codePage) {
    auto section = [&](const char* title, const CResourceItem& root) {
        out << title << "\n";
        for (const auto& item : root.GetChildren()) PrintItem(out, *item, codePage, 1);
    };
    section("String table", info.m_Strings);
    section("Menus", info.m_Menus);
    section("Dialogs", info.m_Dialogs);
    section("Version", info.m_VersionInfo.m_Root);
}

} // namespace quillon::cli
