#include "memory/MatchAdaptation.h"

#include <algorithm>
#include <map>
#include <optional>
#include <vector>

#include "io/CodePage.h"
#include "memory/FuzzyScore.h"

namespace quillon {

namespace {

enum class TokenSort { Number, Placeholder };

struct Token {
    std::size_t pos = 0;
    std::size_t length = 0;
    TokenSort sort = TokenSort::Number;
};

// Length of a .NET format item "{0}" at text[pos] == '{', 0 when there is none.
std::size_t FormatItemLength(std::u32string_view text, std::size_t pos) {
    std::size_t i = pos + 1;
    while (i < text.size() && IsAsciiDigit(text[i])) ++i;
    return i > pos + 1 && i < text.size() && text[i] == U'}' ? i + 1 - pos : 0;
}

std::vector<Token> Tokens(std::u32string_view text) {
    std::vector<Token> tokens;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t length = 0;
        TokenSort sort = TokenSort::Placeholder;
        if (text[i] == U'%' && i + 1 < text.size() && text[i + 1] == U'%') {
            i += 2; // a literal percent sign
            continue;
        }
        if (text[i] == U'%') length = PlaceholderLength(text, i);
        if (text[i] == U'{') length = FormatItemLength(text, i);
        if (IsAsciiDigit(text[i])) {
            length = NumberLength(text, i);
            sort = TokenSort::Number;
        }
        if (length == 0) {
            ++i;
            continue;
        }
        tokens.push_back(Token{i, length, sort});
        i += length;
    }
    return tokens;
}

std::vector<std::u32string> OfSort(std::u32string_view text, const std::vector<Token>& tokens, TokenSort sort) {
    std::vector<std::u32string> out;
    for (const Token& token : tokens)
        if (token.sort == sort) out.emplace_back(text.substr(token.pos, token.length));
    return out;
}

// What each token of the match's source stands for in the current source;
// nullopt for one that stands for two different tokens.
using TokenMap = std::map<std::u32string, std::optional<std::u32string>>;

void AddCorrespondence(TokenMap& map, const std::vector<std::u32string>& from, const std::vector<std::u32string>& to) {
    if (from.size() != to.size()) return; // counted differently: no order to go by
    for (std::size_t i = 0; i < from.size(); ++i) {
        auto [entry, added] = map.try_emplace(from[i], to[i]);
        if (!added && entry->second != to[i]) entry->second.reset();
    }
}

std::u32string ReplaceTokens(std::u32string_view source, std::u32string_view translation, std::u32string_view current) {
    std::vector<Token> sourceTokens = Tokens(source);
    std::vector<Token> currentTokens = Tokens(current);
    TokenMap map;
    for (TokenSort sort : {TokenSort::Number, TokenSort::Placeholder})
        AddCorrespondence(map, OfSort(source, sourceTokens, sort), OfSort(current, currentTokens, sort));
    std::u32string out;
    std::size_t copied = 0;
    for (const Token& token : Tokens(translation)) {
        auto found = map.find(std::u32string(translation.substr(token.pos, token.length)));
        if (found == map.end() || !found->second) continue;
        out.append(translation.substr(copied, token.pos - copied));
        out.append(*found->second);
        copied = token.pos + token.length;
    }
    out.append(translation.substr(copied));
    return out;
}

// Where the hotkey '&' is: the first '&' not doubled; npos without one.
std::size_t HotkeyMark(std::u32string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != U'&') continue;
        if (i + 1 < text.size() && text[i + 1] == U'&') {
            ++i;
            continue;
        }
        return i;
    }
    return std::u32string_view::npos;
}

char32_t FoldCase(char32_t c) { return c >= U'A' && c <= U'Z' ? c - U'A' + U'a' : c; }

// The first `letter` outside "&&" pairs: the same case first, else any case.
std::size_t FindLetter(std::u32string_view text, char32_t letter) {
    std::size_t folded = std::u32string_view::npos;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == U'&') {
            ++i; // a literal '&' and the character it doubles
            continue;
        }
        if (text[i] == letter) return i;
        if (folded == std::u32string_view::npos && FoldCase(text[i]) == FoldCase(letter)) folded = i;
    }
    return folded;
}

std::u32string PlaceHotkey(std::u32string translation, std::u32string_view current) {
    std::size_t currentMark = HotkeyMark(current);
    std::size_t mark = HotkeyMark(translation);
    std::u32string bare = translation;
    if (mark != std::u32string::npos) bare.erase(mark, 1);
    if (currentMark == std::u32string_view::npos || currentMark + 1 >= current.size()) return bare;
    std::size_t letter = FindLetter(bare, current[currentMark + 1]);
    if (letter == std::u32string::npos) return translation; // the match's own hotkey stays
    bare.insert(letter, 1, U'&');
    return bare;
}

bool IsWordByte(char c) {
    auto byte = static_cast<unsigned char>(c);
    return byte >= 0x80 || (byte >= '0' && byte <= '9') || ((byte | 0x20) >= 'a' && (byte | 0x20) <= 'z');
}

std::vector<TextRun> Runs(std::string_view text) {
    std::vector<TextRun> runs;
    for (std::size_t i = 0; i < text.size();) {
        bool word = IsWordByte(text[i]);
        std::size_t end = i;
        while (end < text.size() && IsWordByte(text[end]) == word) ++end;
        runs.push_back(TextRun{i, end - i, word});
        i = end;
    }
    return runs;
}

std::vector<std::string_view> Words(std::string_view text, const std::vector<TextRun>& runs) {
    std::vector<std::string_view> words;
    for (const TextRun& run : runs)
        if (run.differs) words.push_back(text.substr(run.begin, run.length));
    return words;
}

} // namespace

std::vector<TextRun> DifferingWords(std::string_view text, std::string_view other) {
    // Runs() marks words as `differs` until the common sequence clears them.
    std::vector<TextRun> runs = Runs(text);
    std::vector<std::string_view> a = Words(text, runs);
    std::vector<std::string_view> b = Words(other, Runs(other));
    // Longest common subsequence table, from the ends: UI texts have few words.
    std::vector<std::vector<std::size_t>> common(a.size() + 1, std::vector<std::size_t>(b.size() + 1, 0));
    for (std::size_t i = a.size(); i-- > 0;)
        for (std::size_t j = b.size(); j-- > 0;)
            common[i][j] = a[i] == b[j] ? common[i + 1][j + 1] + 1 : std::max(common[i + 1][j], common[i][j + 1]);
    std::vector<bool> kept(a.size(), false);
    for (std::size_t i = 0, j = 0; i < a.size() && j < b.size();) {
        if (a[i] == b[j]) {
            kept[i++] = true;
            ++j;
        } else if (common[i + 1][j] >= common[i][j + 1]) {
            ++i;
        } else {
            ++j;
        }
    }
    std::size_t word = 0;
    for (TextRun& run : runs)
        if (run.differs) run.differs = !kept[word++];
    return runs;
}

std::string AdaptTranslation(const MatchTexts& texts, bool hotkeys) {
    std::u32string current = DecodeUtf8(texts.currentSource);
    std::u32string adapted = ReplaceTokens(DecodeUtf8(texts.source), DecodeUtf8(texts.translation), current);
    if (hotkeys) {
        adapted = PlaceHotkey(std::move(adapted), current);
    } else if (HotkeyMark(DecodeUtf8(texts.source)) != std::u32string::npos &&
               HotkeyMark(current) == std::u32string::npos) {
        // A match from a menu or a dialog brings a hotkey that a string has no use for.
        if (std::size_t mark = HotkeyMark(adapted); mark != std::u32string::npos) adapted.erase(mark, 1);
    }
    return ToUtf8(adapted);
}

} // namespace quillon
