#include "replace/TextMatcher.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

namespace quillon {

namespace {

// A pattern that backtracks without end stops at this many steps; the text
// then counts as having no further match.
constexpr std::uint32_t kMatchLimit = 1'000'000;

// The escapes of the tree's form a user types: \n, \r, \t and \\. Any other
// backslash is the user's own character.
char EscapedCharacter(char c) {
    switch (c) {
    case 'n': return '\n';
    case 'r': return '\r';
    case 't': return '\t';
    case '\\': return '\\';
    default: return 0;
    }
}

std::string ReadEscapes(std::string_view typed) {
    std::string out;
    for (std::size_t i = 0; i < typed.size(); ++i) {
        char escaped = typed[i] == '\\' && i + 1 < typed.size() ? EscapedCharacter(typed[i + 1]) : 0;
        out += escaped ? escaped : typed[i];
        if (escaped) ++i;
    }
    return out;
}

// A plain text as a pattern: every ASCII character but letters and digits
// quoted (a backslash before any of them means the character itself);
// UTF-8 sequences stand for themselves.
std::string QuotedPattern(std::string_view text) {
    std::string out;
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        bool plain = byte >= 0x80 || (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!plain) out += '\\';
        out += c;
    }
    return out;
}

std::string ErrorText(int code) {
    PCRE2_UCHAR buffer[256];
    int length = pcre2_get_error_message(code, buffer, sizeof buffer);
    return length < 0 ? "the regular expression is not valid" : std::string(reinterpret_cast<char*>(buffer), length);
}

// The length of the UTF-8 character at `pos` (1 for a stray byte).
std::size_t Utf8Length(std::string_view text, std::size_t pos) {
    auto lead = static_cast<unsigned char>(text[pos]);
    std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    return std::min(length, text.size() - pos);
}

} // namespace

// The replacement is kept as pieces: literal text, or the number of a
// group whose match goes there.
struct TextMatcher::Compiled {
    struct Piece {
        std::string literal;
        int group = -1;
    };
    std::unique_ptr<pcre2_code, decltype(&pcre2_code_free)> code{nullptr, pcre2_code_free};
    std::unique_ptr<pcre2_match_context, decltype(&pcre2_match_context_free)> context{nullptr,
                                                                                     pcre2_match_context_free};
    std::vector<Piece> replacement;

    void AddLiteral(char c) {
        if (replacement.empty() || replacement.back().group >= 0) replacement.push_back({});
        replacement.back().literal += c;
    }
    Status ReadReplacement(std::string_view with, bool groups);
    std::string Replacement(std::string_view text, const PCRE2_SIZE* ovector, std::uint32_t pairs) const;
};

// $N or ${N}: the group's number and the length of the reference; a dollar
// sign before anything else is no reference.
static std::pair<int, std::size_t> GroupReference(std::string_view with, std::size_t pos) {
    if (pos + 1 < with.size() && with[pos + 1] >= '0' && with[pos + 1] <= '9') return {with[pos + 1] - '0', 2};
    if (pos + 1 >= with.size() || with[pos + 1] != '{') return {-1, 0};
    std::size_t end = with.find('}', pos + 2);
    if (end == std::string_view::npos || end == pos + 2 || end - pos > 5) return {-1, 0};
    int group = 0;
    for (std::size_t i = pos + 2; i < end; ++i) {
        if (with[i] < '0' || with[i] > '9') return {-1, 0};
        group = group * 10 + (with[i] - '0');
    }
    return {group, end - pos + 1};
}

Status TextMatcher::Compiled::ReadReplacement(std::string_view with, bool groups) {
    std::uint32_t captures = 0;
    pcre2_pattern_info(code.get(), PCRE2_INFO_CAPTURECOUNT, &captures);
    for (std::size_t i = 0; i < with.size();) {
        char escaped = with[i] == '\\' && i + 1 < with.size() ? EscapedCharacter(with[i + 1]) : 0;
        if (groups && with[i] == '\\' && i + 1 < with.size() && with[i + 1] == '$') escaped = '$';
        if (escaped) {
            AddLiteral(escaped);
            i += 2;
            continue;
        }
        if (groups && with.compare(i, 2, "$$") == 0) {
            AddLiteral('$');
            i += 2;
            continue;
        }
        auto [group, length] = groups && with[i] == '$' ? GroupReference(with, i) : std::pair<int, std::size_t>{-1, 0};
        if (group < 0) {
            AddLiteral(with[i++]);
            continue;
        }
        if (std::uint32_t(group) > captures)
            return MakeError(Error::Code::Refused, "the expression has no group " + std::to_string(group), i);
        replacement.push_back({{}, group});
        i += length;
    }
    return Done{};
}

std::string TextMatcher::Compiled::Replacement(std::string_view text, const PCRE2_SIZE* ovector,
                                               std::uint32_t pairs) const {
    std::string out;
    for (const Piece& piece : replacement) {
        if (piece.group < 0) {
            out += piece.literal;
            continue;
        }
        // A group that took no part in the match stands for nothing.
        auto group = static_cast<std::uint32_t>(piece.group);
        if (group < pairs && ovector[2 * group] != PCRE2_UNSET)
            out.append(text.substr(ovector[2 * group], ovector[2 * group + 1] - ovector[2 * group]));
    }
    return out;
}

Result<TextMatcher> TextMatcher::Compile(std::string_view find, std::string_view with, const FindOptions& options) {
    if (find.empty()) return MakeError(Error::Code::Refused, "there is nothing to find");
    std::string pattern = options.regularExpression ? std::string(find) : QuotedPattern(ReadEscapes(find));
    if (options.wholeWord) pattern = "\\b(?:" + pattern + ")\\b";
    // UCP: letters of every script are word characters and fold their case.
    std::uint32_t flags = PCRE2_UTF | PCRE2_UCP | PCRE2_MATCH_INVALID_UTF | (options.matchCase ? 0 : PCRE2_CASELESS);
    int error = 0;
    PCRE2_SIZE errorOffset = 0;
    auto compiled = std::make_unique<Compiled>();
    compiled->code.reset(pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(), flags, &error,
                                       &errorOffset, nullptr));
    if (!compiled->code) {
        // The offset is the user's: the word boundaries added before it are not.
        std::size_t offset = options.regularExpression ? errorOffset - (options.wholeWord ? 5 : 0) : 0;
        return MakeError(Error::Code::Refused, ErrorText(error), offset);
    }
    compiled->context.reset(pcre2_match_context_create(nullptr));
    pcre2_set_match_limit(compiled->context.get(), kMatchLimit);
    if (Status read = compiled->ReadReplacement(with, options.regularExpression); !read) return read.GetError();
    return TextMatcher(std::move(compiled));
}

TextMatcher::TextMatcher(std::unique_ptr<Compiled> compiled) : m_compiled(std::move(compiled)) {}
TextMatcher::TextMatcher(TextMatcher&&) noexcept = default;
TextMatcher& TextMatcher::operator=(TextMatcher&&) noexcept = default;
TextMatcher::~TextMatcher() = default;

// After an empty match the next one is tried at the same place, anchored
// and not empty; when there is none, one character further on.
std::vector<TextMatch> TextMatcher::Matches(std::string_view text) const {
    std::vector<TextMatch> matches;
    std::unique_ptr<pcre2_match_data, decltype(&pcre2_match_data_free)> data(
        pcre2_match_data_create_from_pattern(m_compiled->code.get(), nullptr), pcre2_match_data_free);
    auto subject = reinterpret_cast<PCRE2_SPTR>(text.data());
    std::size_t start = 0;
    std::uint32_t retry = 0;
    while (start <= text.size()) {
        int found = pcre2_match(m_compiled->code.get(), subject, text.size(), start, retry, data.get(),
                                m_compiled->context.get());
        if (found == PCRE2_ERROR_NOMATCH && retry != 0 && start < text.size()) {
            start += Utf8Length(text, start);
            retry = 0;
            continue;
        }
        if (found <= 0) break;
        const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data.get());
        // \K can put a match's start behind its end; such a match ends the search.
        if (ovector[1] < ovector[0] || ovector[0] < start) break;
        std::uint32_t pairs = pcre2_get_ovector_count(data.get());
        matches.push_back({ovector[0], ovector[1] - ovector[0], m_compiled->Replacement(text, ovector, pairs)});
        retry = ovector[1] == ovector[0] ? PCRE2_NOTEMPTY_ATSTART | PCRE2_ANCHORED : 0;
        start = ovector[1];
    }
    return matches;
}

} // namespace quillon
