#include "Args.h"
#include "Help.h"
#include "Commands.h"
#include "Json.h"
#include "Output.h"
#include "ProjectFiles.h"
#include "dictionary/Dictionary.h"
#include "dictionary/ManualTranslation.h"
#include "model/Archive.h"
#include "model/ResourceItem.h"

namespace quillon::cli {

namespace {

bool IsDictionaryFile(const std::string& path) {
    return path.size() > 4 && path.compare(path.size() - 4, 4, ".dic") == 0;
}

// A dictionary opened on its own or through its project.
struct OpenDictionary {
    std::unique_ptr<CProject> project; // null for a bare .dic file
    std::string projectPath;
    CDictonary bare;
    std::string path;
    std::uint32_t codePage = kDefaultCodePage;
    CDictonary& Get() { return project ? project->m_Dictionary : bare; }
};

bool Open(const std::string& command, const std::string& path, std::uint32_t codePage, OpenDictionary& out,
          WriterLocks* locks = nullptr) {
    if (IsDictionaryFile(path)) {
        if (!Checked(command, locks ? CheckOutputFile(path, "dictionary") : CheckInputFile(path, "dictionary")))
            return false;
        if (locks && !locks->Take(path)) return false;
        out.path = path;
        out.codePage = codePage ? codePage : kDefaultCodePage;
        auto read = out.bare.Load(path);
        if (!read) return Checked(command, Status(read.GetError()));
        return true;
    }
    out.project = OpenProjectFile(command, path, codePage, locks);
    out.projectPath = path;
    if (!out.project) return false;
    out.path = out.project->DictionaryFile(path);
    out.codePage = out.project->GetCodePage();
    return true;
}

std::string HotkeyUtf8(std::uint16_t hotkey, const CodePage& codePage) {
    return hotkey ? codePage.ToUtf8(std::string(1, static_cast<char>(hotkey & 0xFF))) : std::string();
}

// Every entry of a text: the primary entry, then its sub-entries by kind.
template <typename Visit>
void ForEachEntry(const CDictonary& dictionary, Visit visit) {
    for (const auto& [source, primary] : dictionary.SortedEntries()) {
        visit(source, *primary);
        for (const auto& [kind, entry] : primary->SubEntries()) visit(source, *entry);
    }
}

} // namespace

int RunDictAdd(const std::vector<std::string>& args) {
    auto parsed = Args::Parse(Command("dict add"), args);
    if (!parsed) return 2;
    auto codePageOverride = parsed->Number("--codepage", 0);
    if (!codePageOverride) return 2;
    if (parsed->Positional().size() != 3) {
        PrintUsageOf("dict add", Err());
        return 2;
    }
    auto kind = KindFromText(parsed->Value("--kind", "COMMON"));
    if (!kind) {
        Err() << "quillon-cli dict add: unknown kind '" << parsed->Value("--kind")
                  << "' (COMMON, STRING, CONTROL, DIALOG, POPUPMENU, MENUITEM, VERSION)\n";
        return 2;
    }
    OpenDictionary dictionary;
    WriterLocks locks("dict add", parsed->Has("--wait"));
    if (!Open("dict add", parsed->Positional()[0], *codePageOverride, dictionary, &locks)) return 1;
    if (!HasDictionaryFile("dict add", dictionary.path)) return 1;
    CodePage codePage(dictionary.codePage);
    std::string hotkeyText = codePage.FromUtf8(parsed->Value("--hotkey"));
    if (hotkeyText.size() > 1) {
        Err() << "quillon-cli dict add: the hotkey must be one single-byte character of code page "
                  << codePage.Id() << "\n";
        return 2;
    }
    std::uint16_t hotkey =
        hotkeyText.empty() ? 0 : static_cast<std::uint16_t>(static_cast<std::int16_t>(static_cast<signed char>(hotkeyText[0])));
    // A character the code page cannot hold would be stored as '?': refused, named.
    for (const std::string& text : {parsed->Positional()[1], parsed->Positional()[2]}) {
        std::vector<std::string> missing = CharactersNotIn(text, codePage);
        if (missing.empty()) continue;
        Err() << "quillon-cli dict add: code page " << codePage.Id() << " cannot hold";
        for (const std::string& character : missing) Err() << " " << character;
        Err() << " (in \"" << text << "\")\n";
        return 1;
    }
    std::string source = codePage.FromUtf8(parsed->Positional()[1]);
    auto [translation, marked] = ReadTypedEntry(*kind, codePage.FromUtf8(parsed->Positional()[2]), hotkey, codePage);
    hotkey = marked;
    if (!Checked("dict add", CheckEntry(source, translation, hotkey, *kind))) return 2;
    if (!dictionary.Get().AddEntry(source, std::move(translation), hotkey, *kind)) {
        Err() << "quillon-cli dict add: the dictionary already has a translation of \"" << parsed->Positional()[1]
                  << "\" for " << KindName(*kind) << "\n";
        return 1;
    }
    Status saved = dictionary.project ? dictionary.project->SaveDictionary(dictionary.projectPath)
                                      : dictionary.Get().Save(dictionary.path);
    return Checked("dict add", saved) ? 0 : 1;
}

int RunDict(const std::vector<std::string>& args) {
    auto parsed = Args::Parse(Command("dict"), args);
    if (!parsed) return 2;
    auto codePageOverride = parsed->Number("--codepage", 0);
    if (!codePageOverride) return 2;
    if (parsed->Positional().size() != 1) {
        PrintUsageOf("dict", Err());
        return 2;
    }
    OpenDictionary dictionary;
    if (!Open("dict", parsed->Positional()[0], *codePageOverride, dictionary)) return 1;
    CodePage codePage(dictionary.codePage);
    if (parsed->Has("--json")) {
        JsonWriter json;
        json.BeginObject().Key("entries").BeginArray();
        ForEachEntry(dictionary.Get(), [&](std::string_view source, const CDictonaryEntry& entry) {
            json.BeginObject();
            json.Key("kind").String(KindName(entry.m_kind));
            json.Key("source").String(codePage.ToUtf8(source));
            json.Key("translation").String(codePage.ToUtf8(entry.m_strTranslation));
            json.Key("hotkey").String(HotkeyUtf8(entry.m_chHotkey, codePage));
            json.EndObject();
        });
        json.EndArray().EndObject();
        Out() << json.Text() << "\n";
        return 0;
    }
    ForEachEntry(dictionary.Get(), [&](std::string_view source, const CDictonaryEntry& entry) {
        Out() << KindName(entry.m_kind) << "\t" << codePage.ToUtf8(source) << "\t"
                  << codePage.ToUtf8(entry.m_strTranslation) << "\t" << HotkeyUtf8(entry.m_chHotkey, codePage) << "\n";
    });
    return 0;
}

} // namespace quillon::cli
