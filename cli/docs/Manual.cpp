#include "Manual.h"

#include "Help.h"

namespace quillon::cli::docs {

namespace {

// Text for a roff line: backslashes and dashes escaped, and a line that
// would start with a control character kept as text.
std::string Roff(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '\\') out += "\\e";
        else if (c == '-') out += "\\-";
        else out += c;
    }
    if (!out.empty() && (out[0] == '.' || out[0] == '\'')) out.insert(0, "\\&");
    return out;
}

std::string Bold(std::string_view text) { return "\\fB" + Roff(text) + "\\fR"; }
std::string Italic(std::string_view text) { return "\\fI" + Roff(text) + "\\fR"; }

const SynopsisStyle kRoffStyle{Bold, Italic};

void Header(std::ostream& out, std::string_view name, std::string_view version, std::string_view what) {
    out << ".\\\" Written by quillon-cli-docs from the command table in cli/CommandTable.cpp.\n"
        << ".TH " << Roff(name) << " 1 \"\" \"Quillon " << version << "\" \"User Commands\"\n"
        << ".SH NAME\n"
        << Roff(name) << " \\- " << Roff(what) << "\n";
}

void Paragraphs(std::ostream& out, std::initializer_list<std::string_view> paragraphs) {
    for (std::string_view paragraph : paragraphs) out << ".PP\n" << Roff(paragraph) << "\n";
}

void FilesSection(std::ostream& out) {
    out << ".SH FILES\n";
    for (const FileSpec& file : Files()) out << ".TP\n" << Italic(file.name) << "\n" << Roff(file.meaning) << "\n";
}

} // namespace

void WriteCliManual(std::ostream& out, std::string_view version) {
    Header(out, "quillon-cli", version, "translate the user interface of Windows modules from the command line");
    out << ".SH SYNOPSIS\n"
        << Bold("quillon-cli") << " " << Italic("COMMAND") << " [" << Italic("ARGS") << "]\n.br\n"
        << Bold("quillon-cli help") << " [" << Italic("COMMAND") << "]\n.br\n"
        << Bold("quillon-cli --version") << "\n";
    out << ".SH DESCRIPTION\n";
    Paragraphs(out, {"quillon-cli reads the string tables, menus, dialogs and version resource of Windows PE modules "
                     "(EXE and DLL, 32 and 64 bit) into projects, translates them by hand or from a dictionary and "
                     "writes the translated module. It is the command-line front end of quillon(1); both work on "
                     "the same project and dictionary files.",
                     "help COMMAND, or COMMAND --help, prints the options of one command."});
    out << ".SH COMMANDS\n";
    std::string_view group;
    for (const CommandSpec& command : Commands()) {
        if (command.group != group) out << ".SS " << Roff(command.group) << "\n";
        group = command.group;
        out << ".TP\n" << Synopsis(command, kRoffStyle) << "\n" << Roff(command.help) << "\n";
        if (command.options.empty()) continue;
        out << ".RS\n";
        for (const OptionSpec& option : command.options)
            out << ".TP\n" << OptionText(option, kRoffStyle) << "\n" << Roff(option.help) << "\n";
        out << ".RE\n";
    }
    out << ".SH NOTES\n";
    for (std::string_view note : Notes()) out << ".PP\n" << Roff(note) << "\n";
    out << ".SH EXIT STATUS\n";
    for (const ExitCodeSpec& exit : ExitCodes())
        out << ".TP\n" << Bold(std::to_string(exit.code)) << "\n" << Roff(exit.meaning) << "\n";
    FilesSection(out);
    out << ".SH SEE ALSO\n" << Bold("quillon") << "(1)\n";
}

void WriteGuiManual(std::ostream& out, std::string_view version) {
    Header(out, "quillon", version, "translate the user interface of Windows modules");
    out << ".SH SYNOPSIS\n"
        << Bold("quillon") << " [" << Bold("--help") << "] [" << Bold("--version") << "] ["
        << Italic("PROJECT.prj") << "...]\n";
    out << ".SH DESCRIPTION\n";
    Paragraphs(out, {"quillon is a workbench for translators who localise the user interface of Windows executables "
                     "and DLLs. It shows a module's string tables, menus, dialogs and version resource as a tree, "
                     "translates them by hand or from a dictionary, keeps hotkeys unique, previews dialogs and menus "
                     "with their translations and writes the translated module.",
                     "A project named on the command line opens first; the New Project dialog follows, as at every "
                     "start. Every further project opens in a window of its own. Opening another project in a "
                     "window, and closing it, asks before unsaved work is lost."});
    out << ".SH OPTIONS\n"
        << ".TP\n" << Bold("--help") << "\nprint the options and end\n"
        << ".TP\n" << Bold("--version") << "\nprint the version and end\n"
        << ".PP\nThe standard options of Qt applications, such as " << Bold("-platform") << " " << Italic("NAME")
        << ", are understood too.\n";
    out << ".SH ENVIRONMENT\n.TP\n" << Bold("QUILLON_NO_NEW_PROJECT_DIALOG")
        << "\nwhen set, the New Project dialog is not shown at start\n";
    out << ".SH EXIT STATUS\n" << Bold("0") << " when the window was closed, " << Bold("1")
        << " when an option is unknown.\n";
    FilesSection(out);
    out << ".TP\n" << Italic("~/.config/Quillon/Quillon.conf") << "\n"
        << Roff("the window layout, the recent projects, toolbars, shortcuts and tools") << "\n";
    out << ".SH SEE ALSO\n" << Bold("quillon-cli") << "(1)\n";
}

} // namespace quillon::cli::docs
