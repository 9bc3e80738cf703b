#pragma once
// Every command of quillon-cli with its operands and options, described once.
// The option parser, the usage messages, `--help`, the manual page and the
// shell completions all read this table, so an option added here is parsed,
// documented and completed; the command's code only has to use it.

#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace quillon::cli {

// What an operand or an option value is: the completions offer files of the
// right type or the known words, the manual names it.
enum class ValueKind {
    None, // a flag: no value
    Text,
    Number,
    Character,
    Language,   // an English language name, a tag or an identifier
    ItemKind,   // STRING, MENUITEM...
    ItemPath,   // strings/3, menus/100/-1/1102...
    Module,     // .exe, .dll
    Project,    // .prj
    Dictionary, // .dic
    ProjectOrDictionary,
    Glossary, // any text or CSV file
    TranslationFile, // .xlf, .xliff, .po
    Tmx,      // .tmx
    MemoryFile, // a translation memory: any file
};

// How an option shows in a synopsis: optional ("[--json]"), required, or one
// of a group of alternatives written "(--all | --path P | --kind K --id N)",
// where Together joins the alternative before it.
enum class Use { Optional, Required, Alternative, Together };

struct OptionSpec {
    std::string_view name;        // "--codepage"
    std::string_view placeholder; // "N"; empty for a flag
    ValueKind kind;
    Use use;
    std::string_view help;
};

struct OperandSpec {
    std::string_view placeholder; // "PROJECT|DICFILE"
    ValueKind kind;
};

struct CommandSpec {
    std::string_view name;  // "scan", "dict add"
    std::string_view group; // heading of --help
    std::vector<OperandSpec> operands;
    std::vector<OptionSpec> options;
    std::string_view help; // what the command does, one paragraph

    bool TakesValue(std::string_view option) const;
    bool TakesFlag(std::string_view option) const;
};

struct ExitCodeSpec {
    int code;
    std::string_view meaning;
};

struct FileSpec {
    std::string_view name;
    std::string_view meaning;
};

std::span<const CommandSpec> Commands();
// The command `words` start with ("dict add" before "dict"), none when no
// command has that name. `used` is how many words its name has.
const CommandSpec* FindCommand(std::span<const std::string_view> words, std::size_t& used);
// The entry of a command by its full name; the table must hold it.
const CommandSpec& Command(std::string_view name);

std::span<const ExitCodeSpec> ExitCodes();
std::span<const FileSpec> Files();
// Paragraphs that --help and the manual add after the commands.
std::span<const std::string_view> Notes();

} // namespace quillon::cli
