#pragma once
// A memory match's translation fitted to the text being translated. The
// match was stored for a source that differs from the current one, often
// only in what a translator copies over mechanically: its numbers, its
// placeholders and where its hotkey is. Those are carried over where the
// correspondence is unambiguous; everything else is left as the match has it.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

struct MatchTexts {
    std::string_view source;        // the match's source, UTF-8, hotkey '&' in place
    std::string_view translation;   // the match's translation, the same form
    std::string_view currentSource; // the source being translated, the same form
};

// Numbers, printf placeholders, FormatMessage inserts (%1, %2!d!) and .NET
// items ({0}) are each taken in order: when the match's source and the current
// source hold as many of a sort, the i-th one of the match's source stands for
// the i-th one of the current source, and the translation's occurrences of it
// are replaced (a token that stands for two different ones is left alone).
// With `hotkeys`, the translation's hotkey '&' moves before the first
// occurrence of the current source's hotkey letter (the same case first) when
// the translation has that letter, and is dropped when the current source has
// no hotkey. Without, '&' is a character like any other.
std::string AdaptTranslation(const MatchTexts& texts, bool hotkeys);

// A run of a text's bytes: a word (letters and digits) or what lies between words.
struct TextRun {
    std::size_t begin = 0;
    std::size_t length = 0;
    bool differs = false; // a word `other` does not have in this place
};

// `text` (UTF-8) cut into words and the runs between them, in order; a word
// differs when it is not in a longest common sequence of the two texts'
// words, so a translator sees what a match's source has that the current
// source lacks.
std::vector<TextRun> DifferingWords(std::string_view text, std::string_view other);

} // namespace quillon
