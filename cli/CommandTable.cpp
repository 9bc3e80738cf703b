#include "CommandTable.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace quillon::cli {

namespace {

using enum ValueKind;
using enum Use;

// Options several commands share.
constexpr OptionSpec kJson{"--json", "", None, Optional, "print the result as one JSON object"};
constexpr OptionSpec kCodePage{"--codepage", "N", Number, Optional,
                               "read and write texts in code page N instead of the target language's default "
                               "(a project remembers it in its side file)"};
constexpr OptionSpec kMemory{"--memory", "FILE", MemoryFile, Optional,
                             "the translation memory to use instead of the user's "
                             "($XDG_DATA_HOME/quillon/memory.db)"};
constexpr OptionSpec kWait{"--wait", "", None, Optional,
                           "when another command is changing the project or dictionary, wait for it "
                           "instead of stopping"};

// Adding an option to a command is one line in its list below.
const std::vector<CommandSpec> kCommands = {
    {"scan", "modules", {{"MODULE", Module}},
     {kJson,
      {"--summary", "", None, Optional, "settings and counters only, without the tree"},
      {"--codepage", "N", Number, Optional, "convert texts to code page N instead of 1252"},
      {"--language", "LANG", Language, Optional,
       "read the module as a user of LANG would see it (an English name, a tag such as fr-FR or an identifier such as 0x040c)"}},
     "read a module's string tables, menus, dialogs and version resource and print them"},
    {"resources", "modules", {{"MODULE", Module}}, {kJson},
     "list every resource: type, name, language, size"},
    {"new", "projects", {{"PROJECT", Project}},
     {{"--module", "M", Module, Required, "the module to translate"},
      {"--translator", "NAME", Text, Required, "the translator's name, recorded in the version resource"},
      {"--language", "LANG", Language, Required,
       "the target language: an English name (German), a tag (de-DE) or an identifier (0x0407)"},
      {"--email", "E", Text, Optional, "the translator's e-mail address"},
      {"--dictionary", "D", Dictionary, Optional, "the dictionary file; without one the project has no dictionary"},
      kCodePage,
      {"--force", "", None, Optional, "replace an existing project and dictionary"}},
     "create a project from a module"},
    {"show", "projects", {{"PROJECT", Project}}, {kJson, kCodePage},
     "settings, counters and tree of a project"},
    {"update", "projects", {{"PROJECT", Project}},
     {{"--module", "NEWPATH", Module, Optional, "the new version of the module (default: the project's module)"},
      {"--dry-run", "", None, Optional, "report the changes and write nothing"},
      {"--force", "", None, Optional,
       "merge a module the scan could read only in part, although items went away or changed"},
      kJson, kCodePage, kWait},
     "merge a new version of the module and list every change"},
    {"import", "projects", {{"PROJECT", Project}, {"[FILE]", TranslationFile}},
     {{"--text", "F", Glossary, Optional,
       "instead of FILE: a text glossary into the dictionary: source, (ignored), translation, hotkey, "
       "tab-separated"},
      {"--microsoft", "F", Glossary, Optional, "instead of FILE: a Microsoft glossary: the same fields, comma-separated"},
      kJson, kCodePage, kWait},
     "import the translations of an XLIFF or PO FILE (known by its content) into the project and list every unit "
     "refused, with its reason, and what the checks find in the texts taken; or import a glossary into the "
     "dictionary and list every line left out"},
    {"export", "projects", {{"PROJECT", Project}},
     {{"--format", "F", Text, Optional,
       "xliff (XLIFF 1.2) or po (gettext); without it, the extension of FILE tells (.xlf, .xliff, .po)"},
      {"-o", "FILE", TranslationFile, Required, "the file to write"},
      kCodePage},
     "write every translatable item, its translation and state to a translation file for other tools"},
    {"translate", "translating", {{"PROJECT", Project}},
     {{"--list-untranslated", "", None, Optional, "list the items that are left untranslated"},
      {"--from-memory", "", None, Optional,
       "translate what the dictionary does not know from the memory's exact matches (implied by --memory and --fuzzy)"},
      kMemory,
      {"--fuzzy", "N", Number, Optional,
       "also take the best match scoring N or more (50 to 100), marked as changed for review"},
      kCodePage, kWait},
     "translate from the dictionary (and the translation memory), rebuild hotkeys"},
    {"restore", "translating", {{"PROJECT", Project}},
     {{"--all", "", None, Alternative, "every menu, string and dialog item"},
      {"--path", "P", ItemPath, Alternative, "the item at path P"},
      {"--kind", "KIND", ItemKind, Alternative, "with --id: every item of that kind with that ID"},
      {"--id", "N", Number, Together, "the ID of the items --kind names"},
      kCodePage, kWait},
     "take translations back: of every item, of the item at path P, or of every KIND item with ID N"},
    {"pseudo", "translating", {{"PROJECT", Project}},
     {{"--expand", "N", Number, Optional, "lengthen every text by N percent (default 30)"},
      {"--accents", "", None, Optional, "replace letters by accented look-alikes the code page holds"},
      {"--brackets", "", None, Optional, "put [ and ] around every text"},
      kCodePage, kWait},
     "pseudo-translate every string, menu and dialog text, keeping placeholders, escapes, accelerators and "
     "hotkeys, to test the translated module's layout before a translation exists"},
    {"replace", "translating", {{"PROJECT", Project}},
     {{"--find", "TEXT", Text, Required, "the text to find in the translations (\\n, \\r, \\t and \\\\ as in the tree)"},
      {"--with", "TEXT", Text, Required, "what replaces it (with --regex, $1 to $9 and ${N} for groups, $$ for $)"},
      {"--case", "", None, Optional, "match case"},
      {"--word", "", None, Optional, "match whole words only"},
      {"--regex", "", None, Optional, "TEXT is a regular expression (PCRE2)"},
      {"--dry-run", "", None, Optional, "print every replacement and its checks and write nothing"}, kCodePage, kWait},
     "replace a text in the translations of translated items, printing each item's text before and after and "
     "what the checks find in it"},
    {"check", "translating", {{"PROJECT", Project}},
     {kJson, {"--errors-only", "", None, Optional, "list only the errors"},
      {"--strict", "", None, Optional, "warnings fail too (exit code 1)"},
      {"--no-spelling", "", None, Optional, "leave out the spelling check"}, kCodePage},
     "every check of every item (placeholders, hotkeys, code page, length, line breaks, punctuation, "
     "dialog text fit, spelling); "
     "exit code 1 on errors"},
    {"build", "translating", {{"PROJECT", Project}},
     {{"--target", "PATH", Module, Optional, "where to write the translated module (kept in the project)"},
      {"--force", "", None, Optional, "build although the checks found errors"}, kCodePage, kWait},
     "run the checks and write the translated module; stops on errors and when the module no longer "
     "matches the project"},
    {"dict", "dictionaries", {{"PROJECT|DICFILE", ProjectOrDictionary}}, {kJson, kCodePage},
     "list the entries: kind, source, translation, hotkey"},
    {"dict add", "dictionaries",
     {{"PROJECT|DICFILE", ProjectOrDictionary}, {"SOURCE", Text}, {"TRANSLATION", Text}},
     {{"--hotkey", "C", Character, Optional, "the translation's hotkey"},
      {"--kind", "KIND", ItemKind, Optional, "the kind of item the entry is for (default: every kind)"},
      kCodePage, kWait},
     "add an entry to the dictionary"},
    {"tm lookup", "translation memory", {{"TEXT", Text}},
     {kMemory,
      {"--threshold", "N", Number, Optional, "the lowest score a match may have, 0 to 100 (default 70)"},
      {"--limit", "N", Number, Optional, "at most N matches (default 10)"},
      {"--from", "LANG", Language, Optional, "only units whose source is in LANG (a name, an identifier or a tag)"},
      {"--to", "LANG", Language, Optional, "only units translated into LANG"},
      kJson},
     "the translations the memory holds for TEXT and texts like it, best first, with their scores"},
    {"tm import", "translation memory", {{"FILE.tmx", Tmx}}, {kMemory, kJson},
     "store the units of a TMX file in the memory and list the units left out, with their reasons"},
    {"tm export", "translation memory", {{"FILE.tmx", Tmx}}, {kMemory},
     "write every unit of the memory to a TMX 1.4 file"},
    {"tm stats", "translation memory", {}, {kMemory, kJson},
     "how many units the memory holds, from how many modules, per pair of languages"},
    {"tm add", "translation memory", {{"PROJECT", Project}},
     {kMemory, {"--dictionary", "", None, Optional, "store the project's dictionary entries too"}, kCodePage},
     "store every translated item of a project in the memory, with its module and address"},
};

constexpr std::array kExitCodes = {
    ExitCodeSpec{0, "success"},
    ExitCodeSpec{1, "the operation failed: a file cannot be read or written, a module no longer matches its "
                    "project, or check found an error"},
    ExitCodeSpec{2, "bad usage: an unknown command or option, a missing operand or value"},
};

constexpr std::array kFiles = {
    FileSpec{"NAME.prj", "a project: module, target language, translator, dictionary and the translated tree"},
    FileSpec{"NAME.dic", "a dictionary: source texts with their translations and hotkeys"},
    FileSpec{"$XDG_DATA_HOME/quillon/memory.db", "the user's translation memory (SQLite; without XDG_DATA_HOME in "
                                                 "~/.local/share/quillon)"},
    FileSpec{"NAME.quillon", "the project's side file (JSON): its code page, and the size and hash of the project "
                             "and dictionary as Quillon last wrote them"},
    FileSpec{".NAME.quillon-lock", "lock file beside a project or dictionary that a command changes"},
    FileSpec{".NAME.quillon-PID-XXXXXX", "temporary file of a save in progress, renamed over NAME when complete"},
};

constexpr std::array<std::string_view, 3> kNotes = {
    "Item paths, as the \"path\" of each item in scan --json and show --json: strings/ID, menus/MENU/ID/ID..., "
    "dialogs/DIALOG/ID, version/KEY/KEY..., where the n-th of several siblings with one ID or key is ID#n "
    "(n >= 2) and a key writes every byte but A-Z a-z 0-9 . _ - as %XX, e.g. menus/100/-1#2/1102.",
    "Project commands take --codepage N to read texts in another code page than the target language's default.",
    "Commands that change a project or dictionary lock it while they work; another one that finds it locked "
    "stops, or with --wait waits.",
};

bool HasOption(const CommandSpec& command, std::string_view option, bool value) {
    return std::any_of(command.options.begin(), command.options.end(), [&](const OptionSpec& spec) {
        return spec.name == option && spec.placeholder.empty() != value;
    });
}

} // namespace

bool CommandSpec::TakesValue(std::string_view option) const { return HasOption(*this, option, true); }
bool CommandSpec::TakesFlag(std::string_view option) const { return HasOption(*this, option, false); }

std::span<const CommandSpec> Commands() { return kCommands; }

const CommandSpec* FindCommand(std::span<const std::string_view> words, std::size_t& used) {
    const CommandSpec* found = nullptr;
    for (const CommandSpec& command : kCommands) {
        std::string_view name = command.name;
        std::size_t space = name.find(' ');
        bool matches = space == std::string_view::npos
                           ? !words.empty() && words[0] == name
                           : words.size() >= 2 && words[0] == name.substr(0, space) && words[1] == name.substr(space + 1);
        std::size_t count = space == std::string_view::npos ? 1 : 2;
        if (matches && (!found || count > used)) {
            found = &command;
            used = count;
        }
    }
    return found;
}

const CommandSpec& Command(std::string_view name) {
    for (const CommandSpec& command : kCommands)
        if (command.name == name) return command;
    std::abort(); // a command's code names its own entry
}

std::span<const ExitCodeSpec> ExitCodes() { return kExitCodes; }
std::span<const FileSpec> Files() { return kFiles; }
std::span<const std::string_view> Notes() { return kNotes; }

} // namespace quillon::cli
