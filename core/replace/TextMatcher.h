#pragma once
// Finding a text in translations for Find and Replace: plain text, whole
// words or a regular expression, with or without case. Regular expressions
// are PCRE2's, the dialect of the desktop's filter bar, so a pattern finds
// the same in the window and on the command line.
//
// Texts are matched in the module's form, as UTF-8: a line break is one
// character, not the two of its escape \n, so no match can begin or end in
// the middle of an escape and a search for "n" never turns "\n" into
// something else. What the user types keeps the tree's escapes: \n, \r, \t
// and \\ in a plain text or a replacement are a line break, a carriage
// return, a tab and a backslash, as they are in a regular expression.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "io/Result.h"

namespace quillon {

struct FindOptions {
    bool matchCase = false;
    bool wholeWord = false;
    bool regularExpression = false;
};

// One match within a text: bytes of the UTF-8 text, and what it becomes.
struct TextMatch {
    std::size_t offset = 0;
    std::size_t length = 0;
    std::string replacement; // UTF-8, in the module's form
    bool operator==(const TextMatch&) const = default;
};

class TextMatcher {
public:
    // `find` and `with` in UTF-8. With a regular expression, $1 to $9 and
    // ${N} in `with` stand for the groups ($0 for the whole match) and $$ for
    // a dollar sign. An empty `find`, a pattern that does not compile and a
    // replacement naming a group the pattern does not have are errors
    // (Refused) whose offset is where in the pattern or replacement it went
    // wrong.
    static Result<TextMatcher> Compile(std::string_view find, std::string_view with, const FindOptions& options);

    TextMatcher(TextMatcher&&) noexcept;
    TextMatcher& operator=(TextMatcher&&) noexcept;
    ~TextMatcher();

    // Every match in `text` (UTF-8), from left to right, none overlapping
    // another; an empty match (of "^" or "x*") at most once at each place.
    std::vector<TextMatch> Matches(std::string_view text) const;

private:
    struct Compiled;
    explicit TextMatcher(std::unique_ptr<Compiled> compiled);
    std::unique_ptr<Compiled> m_compiled;
};

} // namespace quillon
