#include "Completion.h"

#include <algorithm>
#include <cctype>

#include "CommandTable.h"
#include "extract/Languages.h"
#include "model/ItemKind.h"

namespace quillon::cli::docs {

namespace {

std::string Join(const std::vector<std::string>& words, std::string_view separator = " ") {
    std::string text;
    for (const std::string& word : words) text.append(text.empty() ? "" : separator).append(word);
    return text;
}

std::vector<std::string> LanguageNames() {
    std::vector<std::string> names;
    for (const LanguageRow& row : LanguageRows()) names.emplace_back(row.label);
    return names;
}

std::vector<std::string> KindNames() {
    std::vector<std::string> names;
    for (const ItemKindInfo& info : EntryKinds()) names.emplace_back(info.name);
    return names;
}

// The file extensions a value of this kind has; none for any file or no file.
std::vector<std::string> Extensions(ValueKind kind) {
    switch (kind) {
    case ValueKind::Module: return {"exe", "dll"};
    case ValueKind::Project: return {"prj"};
    case ValueKind::Dictionary: return {"dic"};
    case ValueKind::ProjectOrDictionary: return {"prj", "dic"};
    case ValueKind::TranslationFile: return {"xlf", "xliff", "po"};
    case ValueKind::Tmx: return {"tmx"};
    default: return {};
    }
}

bool IsFile(ValueKind kind) {
    return kind == ValueKind::Glossary || kind == ValueKind::MemoryFile || !Extensions(kind).empty();
}

// "*.[pP][rR][jJ]": a glob that needs no extglob, in any case.
std::string AnyCaseGlob(std::string_view extension) {
    std::string glob = "*.";
    for (char c : extension)
        glob.append("[").append(1, char(std::tolower(c))).append(1, char(std::toupper(c))).append("]");
    return glob;
}

// The bash words that complete a value of this kind.
std::string BashValue(ValueKind kind) {
    switch (kind) {
    case ValueKind::Language: return "_quillon_cli_words \"$_quillon_cli_languages\"";
    case ValueKind::ItemKind: return "_quillon_cli_words \"$_quillon_cli_kinds\"";
    default: break;
    }
    if (!IsFile(kind)) return ":"; // a number or a text: nothing to offer
    std::vector<std::string> globs;
    for (const std::string& extension : Extensions(kind)) globs.push_back("'" + AnyCaseGlob(extension) + "'");
    return Join({"_quillon_cli_files", Join(globs)});
}

// The first words of the commands ("tm" of "tm lookup" too), each once.
std::vector<std::string> CommandWords() {
    std::vector<std::string> words;
    for (const CommandSpec& command : Commands()) {
        std::string word(command.name.substr(0, command.name.find(' ')));
        if (std::find(words.begin(), words.end(), word) == words.end()) words.push_back(word);
    }
    return words;
}

// What zsh says of a first word: its command's help, or for a word that only
// starts two-word commands, their second words.
std::string CommandWordHelp(const std::string& word) {
    std::vector<std::string> seconds;
    for (const CommandSpec& command : Commands()) {
        if (command.name == word) return std::string(command.help);
        if (command.name.starts_with(word + " ")) seconds.emplace_back(command.name.substr(word.size() + 1));
    }
    return Join(seconds, ", ");
}

void BashCommandCases(std::ostream& out) {
    for (const CommandSpec& command : Commands()) {
        std::vector<std::string> options, values, operands;
        for (const OptionSpec& option : command.options) {
            options.emplace_back(option.name);
            if (!option.placeholder.empty()) values.emplace_back(option.name);
        }
        for (std::size_t i = 0; i < command.operands.size(); ++i)
            operands.push_back(std::to_string(i) + ") " + BashValue(command.operands[i].kind) + ";;");
        out << "    '" << command.name << "')\n"
            << "        options='" << Join(options) << "'\n"
            << "        values='" << Join(values) << "'\n"
            << "        case $prev in\n";
        for (const OptionSpec& option : command.options)
            if (!option.placeholder.empty())
                out << "        " << option.name << ") " << BashValue(option.kind) << "; return 0;;\n";
        out << "        esac\n"
            << "        [[ $cur == -* ]] && { _quillon_cli_words \"$options\"; return 0; }\n"
            << "        case $(_quillon_cli_operand \"$first\" \"$values\") in\n";
        for (const std::string& operand : operands) out << "        " << operand << "\n";
        out << "        esac\n"
            << "        ;;\n";
    }
}

// A zsh _arguments description: brackets and quotes kept out of its syntax.
std::string ZshText(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '[' || c == ']' || c == ':' || c == '\\') out += '\\';
        if (c == '\'') out += "'\\''";
        else out += c;
    }
    return out;
}

std::string ZshValue(ValueKind kind) {
    switch (kind) {
    case ValueKind::Language: return "(" + Join(LanguageNames()) + ")";
    case ValueKind::ItemKind: return "(" + Join(KindNames()) + ")";
    case ValueKind::Glossary:
    case ValueKind::MemoryFile: return "_files";
    default: break;
    }
    std::vector<std::string> extensions = Extensions(kind);
    if (extensions.empty()) return " ";
    return "_files -g \"*.(#i)(" + Join(extensions, "|") + ")(-.)\"";
}

void ZshCommandCases(std::ostream& out) {
    for (const CommandSpec& command : Commands()) {
        out << "  '" << command.name << "')\n    _arguments -s \\\n";
        for (const OptionSpec& option : command.options) {
            out << "      '" << option.name << "[" << ZshText(option.help) << "]";
            if (!option.placeholder.empty())
                out << ":" << ZshText(option.placeholder) << ":" << ZshText(ZshValue(option.kind));
            out << "' \\\n";
        }
        for (std::size_t i = 0; i < command.operands.size(); ++i)
            out << "      '" << i + 1 << ":" << ZshText(command.operands[i].placeholder) << ":"
                << ZshText(ZshValue(command.operands[i].kind)) << "' \\\n";
        out << "      && return 0\n    ;;\n";
    }
}

} // namespace

void WriteBashCompletion(std::ostream& out) {
    out << "# bash completion for quillon-cli, written by quillon-cli-docs from the command table.\n\n"
        << "_quillon_cli_languages='" << Join(LanguageNames()) << "'\n"
        << "_quillon_cli_kinds='" << Join(KindNames()) << "'\n\n"
        << R"(_quillon_cli_words()
{
    mapfile -t -O "${#COMPREPLY[@]}" COMPREPLY < <(compgen -W "$1" -- "$cur")
}

# Files matching any of the globs (every file without one), and folders.
_quillon_cli_files()
{
    local glob
    if (( $# == 0 )); then
        mapfile -t -O "${#COMPREPLY[@]}" COMPREPLY < <(compgen -f -- "$cur")
    fi
    for glob in "$@"; do
        mapfile -t -O "${#COMPREPLY[@]}" COMPREPLY < <(compgen -f -X "!$glob" -- "$cur")
    done
    mapfile -t -O "${#COMPREPLY[@]}" COMPREPLY < <(compgen -d -- "$cur")
    compopt -o filenames 2>/dev/null
    return 0
}

# Which operand the word being completed is, counting from word $1 and
# skipping options and the values of the options in $2.
_quillon_cli_operand()
{
    local i operand=0
    for (( i = $1; i < COMP_CWORD; i++ )); do
        if [[ ${COMP_WORDS[i]} == -* ]]; then
            [[ " $2 " == *" ${COMP_WORDS[i]} "* ]] && (( i++ ))
        else
            (( operand++ ))
        fi
    done
    echo "$operand"
}

_quillon_cli()
{
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
    local command=${COMP_WORDS[1]} first=2 options values
    COMPREPLY=()
    if (( COMP_CWORD == 1 )); then
        _quillon_cli_words ")"
        << Join(CommandWords()) << R"( help --help --version"
        return 0
    fi
)";
    // A two-word command ("dict add") once its second word is typed; before
    // that, its second word is offered beside the first command's operands.
    for (const CommandSpec& command : Commands()) {
        std::string_view name = command.name;
        std::size_t space = name.find(' ');
        if (space == std::string_view::npos) continue;
        out << "    if [[ $command == " << name.substr(0, space) << " ]]; then\n"
            << "        if (( COMP_CWORD > 2 )) && [[ ${COMP_WORDS[2]} == " << name.substr(space + 1)
            << " ]]; then command='" << name << "'; first=3\n"
            << "        elif (( COMP_CWORD == 2 )); then _quillon_cli_words " << name.substr(space + 1) << "\n"
            << "        fi\n    fi\n";
    }
    out << "    case $command in\n"
        << "    help) (( COMP_CWORD == 2 )) && _quillon_cli_words '" << Join(CommandWords()) << "';;\n";
    BashCommandCases(out);
    out << "    esac\n    return 0\n}\n\ncomplete -F _quillon_cli quillon-cli\n";
}

void WriteZshCompletion(std::ostream& out) {
    out << "#compdef quillon-cli\n"
        << "# zsh completion for quillon-cli, written by quillon-cli-docs from the command table.\n\n"
        << "_quillon-cli() {\n"
        << "  local -a commands\n  commands=(\n";
    for (const std::string& word : CommandWords()) out << "    '" << word << ":" << ZshText(CommandWordHelp(word)) << "'\n";
    out << "    'help:the options of one command'\n  )\n"
        << "  if (( CURRENT == 2 )); then\n"
        << "    _describe -t commands 'quillon-cli command' commands\n    return\n  fi\n"
        << "  local command=$words[2]\n";
    for (const CommandSpec& command : Commands()) {
        std::string_view name = command.name;
        std::size_t space = name.find(' ');
        if (space == std::string_view::npos) continue;
        out << "  if [[ $command == " << name.substr(0, space) << " && $words[3] == " << name.substr(space + 1)
            << " ]] && (( CURRENT > 3 )); then\n"
            << "    command='" << name << "'; shift words; (( CURRENT-- ))\n  fi\n";
    }
    out << "  shift words; (( CURRENT-- ))\n"
        << "  case $command in\n"
        << "  help) _describe -t commands 'quillon-cli command' commands;;\n";
    ZshCommandCases(out);
    out << "  esac\n}\n\n_quillon-cli \"$@\"\n";
}

} // namespace quillon::cli::docs
