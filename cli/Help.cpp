#include "Help.h"

namespace quillon::cli {

namespace {

constexpr std::size_t kWidth = 80;
constexpr std::size_t kHelpColumn = 42; // where the line on what a command does starts

std::string Plain(std::string_view text) { return std::string(text); }

std::string OptionText(const OptionSpec& option) { return OptionText(option, {Plain, Plain}); }

void PrintIndented(Output& out, std::string_view text, std::size_t column) {
    for (const std::string& line : Wrap(text, kWidth - column)) out << std::string(column, ' ') << line << "\n";
}

} // namespace

std::string OptionText(const OptionSpec& option, const SynopsisStyle& style) {
    std::string text = style.name(option.name);
    if (!option.placeholder.empty()) text.append(" ").append(style.placeholder(option.placeholder));
    return text;
}

std::string Synopsis(const CommandSpec& command, const SynopsisStyle& style) {
    std::string text = style.name(command.name);
    for (const OperandSpec& operand : command.operands) text.append(" ").append(style.placeholder(operand.placeholder));
    bool inGroup = false;
    for (const OptionSpec& option : command.options) {
        bool alternative = option.use == Use::Alternative || option.use == Use::Together;
        if (inGroup && !alternative) text += ")";
        if (option.use == Use::Alternative) text += inGroup ? " | " : " (";
        else text += " ";
        inGroup = alternative;
        std::string written = OptionText(option, style);
        text += option.use == Use::Optional ? "[" + written + "]" : written;
    }
    return inGroup ? text + ")" : text;
}

std::string Synopsis(const CommandSpec& command) { return Synopsis(command, {Plain, Plain}); }

std::vector<std::string> Wrap(std::string_view text, std::size_t width, bool synopsis) {
    std::vector<std::string> lines(1);
    std::size_t depth = 0, start = 0;
    auto add = [&](std::string_view word) {
        if (!lines.back().empty() && lines.back().size() + 1 + word.size() > width) lines.emplace_back();
        if (!lines.back().empty()) lines.back() += ' ';
        lines.back() += word;
    };
    for (std::size_t i = 0; i <= text.size(); ++i) {
        char c = i < text.size() ? text[i] : ' ';
        if (synopsis && (c == '[' || c == '(')) ++depth;
        if (synopsis && (c == ']' || c == ')') && depth > 0) --depth;
        if (c == ' ' && (depth == 0 || i == text.size())) {
            if (i > start) add(text.substr(start, i - start));
            start = i + 1;
        }
    }
    return lines;
}

void PrintHelp(Output& out) {
    out << "usage: quillon-cli COMMAND [ARGS]\n"
           "       quillon-cli help COMMAND      one command's options (or: COMMAND --help)\n"
           "       quillon-cli --version\n";
    std::string_view group;
    for (const CommandSpec& command : Commands()) {
        if (command.group != group) out << "\n" << command.group << ":\n";
        group = command.group;
        std::vector<std::string> synopsis = Wrap(Synopsis(command), kWidth - 6, true);
        for (std::size_t i = 0; i < synopsis.size(); ++i) out << (i == 0 ? "  " : "\n      ") << synopsis[i];
        // The line on what it does starts beside a short synopsis, else below it.
        std::vector<std::string> help = Wrap(command.help, kWidth - kHelpColumn);
        std::size_t last = synopsis.back().size() + (synopsis.size() == 1 ? 2 : 6);
        std::size_t first = 0;
        if (last + 1 < kHelpColumn) out << std::string(kHelpColumn - last, ' ') << help[first++];
        out << "\n";
        for (; first < help.size(); ++first) out << std::string(kHelpColumn, ' ') << help[first] << "\n";
    }
    for (std::string_view note : Notes()) {
        out << "\n";
        PrintIndented(out, note, 0);
    }
    out << "\nExit codes:";
    for (const ExitCodeSpec& exit : ExitCodes()) out << (exit.code ? ", " : " ") << exit.code << " " << exit.meaning.substr(0, exit.meaning.find(':'));
    out << ".\n";
}

void PrintUsageOf(const CommandSpec& command, Output& out) {
    std::vector<std::string> synopsis = Wrap(Synopsis(command), kWidth - 19, true);
    for (std::size_t i = 0; i < synopsis.size(); ++i) out << (i == 0 ? "usage: quillon-cli " : std::string(19, ' ')) << synopsis[i] << "\n";
}

void PrintCommandHelp(const CommandSpec& command, Output& out) {
    PrintUsageOf(command, out);
    out << "\n";
    PrintIndented(out, command.help, 2);
    if (!command.options.empty()) out << "\noptions:\n";
    for (const OptionSpec& option : command.options) {
        std::string name = OptionText(option);
        out << "  " << name;
        std::vector<std::string> help = Wrap(option.help, kWidth - 22);
        std::size_t first = 0;
        if (name.size() + 2 < 21) out << std::string(22 - 2 - name.size(), ' ') << help[first++];
        out << "\n";
        for (; first < help.size(); ++first) out << std::string(22, ' ') << help[first] << "\n";
    }
}

void PrintUsageOf(std::string_view command, Output& out) { PrintUsageOf(Command(command), out); }

} // namespace quillon::cli
