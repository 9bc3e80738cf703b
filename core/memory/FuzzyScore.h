#pragma once
// How alike two source texts are, for the translation memory's fuzzy
// matches. Both texts are first normalised so that what a translator copies
// over mechanically does not count against a match:
//
//   a number (digits, with . or , between digits)       -> U+E000
//   a printf placeholder (%d, %-5.2f, %ls, %I64u) or a
//   FormatMessage insert (%1, %2!d!)                     -> U+E001
//   the hotkey '&' (the '&' before a character)          -> removed
//   "&&" and "%%"                                       -> "&" and "%"
//
// so "Page %1 of %2" and "Page %3 of %4" normalise to the same text.
//
// score = 100 * (1 - distance / max(length a, length b)), rounded down,
// where distance is the Levenshtein distance over the normalised texts'
// characters (code points), minus kNormalisedPenalty when the raw texts
// differ in what the normalisation took out (a number, a placeholder, the
// hotkey): an exact match always ranks above one that needs its numbers
// or hotkey checked.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quillon {

inline constexpr char32_t kNumberSymbol = U'\uE000';
inline constexpr char32_t kPlaceholderSymbol = U'\uE001';
inline constexpr int kNormalisedPenalty = 2;

struct NormalisedText {
    std::u32string text;   // the normalised characters
    std::string removed;   // what normalisation replaced or dropped, in order,
                           // with where the hotkey was: equal for texts that
                           // differ in nothing else
};

// `utf8` as code points; invalid UTF-8 bytes count as U+FFFD.
std::u32string DecodeUtf8(std::string_view utf8);

// Length of a placeholder at text[pos] == '%', 0 when there is none there.
// FormatMessage: %N (1 to 99) with an optional !format!; printf: flags,
// width, precision, a length modifier and a conversion letter.
std::size_t PlaceholderLength(std::u32string_view text, std::size_t pos);
// Length of a number at text[pos] (a digit): digits, with single '.' or ','
// between digits ("1,024", "3.5").
std::size_t NumberLength(std::u32string_view text, std::size_t pos);

// `utf8` normalised as above; invalid UTF-8 bytes count as U+FFFD.
NormalisedText Normalise(std::string_view utf8);
std::string ToUtf8(std::u32string_view text);

// The Levenshtein distance of a and b, or any value above `limit` once it is
// certain to exceed it (so a look-up stops early on hopeless candidates).
std::size_t EditDistance(std::u32string_view a, std::u32string_view b, std::size_t limit);

// The score of `candidate` for `query` (0 to 100), or -1 when it is below
// `threshold` (penalty included; the distance stops early past the bound).
int Score(const NormalisedText& query, const NormalisedText& candidate, int threshold);

} // namespace quillon
