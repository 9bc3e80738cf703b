#pragma once
// Importing glossaries exported by other tools into a dictionary: a
// tab-separated text glossary and a Microsoft glossary (comma- or
// tab-separated). Every usable line becomes an entry for all kinds unless the
// dictionary already knows the source text; every other line with text is
// named in the report, with the reason it was left out.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "dictionary/Dictionary.h"
#include "extract/Progress.h"
#include "io/CodePage.h"
#include "io/Result.h"

namespace quillon {

enum class GlossaryFormat { Text, Microsoft };

// How the file's bytes were read: a byte-order mark decides; without one,
// zero bytes in every other place mean UTF-16, and text that is valid UTF-8
// in more lines than it is not means UTF-8; anything else is the project's
// code page.
enum class GlossaryEncoding { CodePage, Utf8, Utf16Le, Utf16Be };

// The longest line an import reads, in bytes of the file (line ending not
// counted). A line holds two texts, each at most 65,535 UTF-16 units (the
// longest string resource), which is under 400 KiB in UTF-8; anything much
// longer is no glossary line, and reading it would only cost memory.
inline constexpr std::size_t kMaxGlossaryLineBytes = 1024 * 1024;

// A report names this many skipped lines and only counts the others: a file
// with more bad lines than that is no glossary, and a list of all its lines
// would cost more memory than the file.
inline constexpr std::size_t kMaxListedSkippedLines = 1000;

enum class GlossarySkip {
    FewerThanThreeFields, // no translation at all
    NoSource,             // empty once its ampersand is gone
    NoTranslation,
    UnclosedQuote,        // Microsoft glossaries: a quoted field runs past the line's end
    InvalidUtf8,          // a UTF-8 file with bytes that are no UTF-8 in this line
    InvalidUtf16,         // an unpaired surrogate
    NulCharacter,
    TooLong,              // longer than kMaxGlossaryLineBytes
    NotInCodePage,        // a character the project's code page cannot hold
};

struct GlossarySkippedLine {
    std::size_t line = 0; // from 1, as an editor counts them
    GlossarySkip reason = GlossarySkip::FewerThanThreeFields;
    std::string characters; // NotInCodePage: those characters, in UTF-8

    bool operator==(const GlossarySkippedLine&) const = default;
};

struct GlossaryReport {
    GlossaryEncoding encoding = GlossaryEncoding::CodePage;
    bool byteOrderMark = false;
    std::uint32_t codePage = kDefaultCodePage; // the project's, which the entries are stored in
    std::size_t lines = 0;        // lines in the file, blank ones included
    std::size_t entries = 0;      // lines with text: imported + duplicates + skippedLines
    std::size_t imported = 0;     // entries added
    std::size_t duplicates = 0;   // usable lines whose source text was already in the dictionary
    std::size_t skippedLines = 0; // all lines left out; `skipped` names the first kMaxListedSkippedLines
    std::vector<GlossarySkippedLine> skipped;

    // "code page 1252", "UTF-16LE without byte-order mark"...
    std::string EncodingName() const;
    // Why a line was left out, in UTF-8: "no translation (fewer than three fields)".
    std::string Reason(const GlossarySkippedLine& line) const;
    // "line 7: " and the reason.
    std::string Describe(const GlossarySkippedLine& line) const;
};

// `file` is the glossary's bytes. Lines end with CR, LF or CR LF; each line
// is converted to `codePage`, and a line that cannot be read or converted
// whole is skipped and reported, never imported with replaced characters.
// A file that is mostly control characters (a spreadsheet or other binary
// file picked by mistake) is refused before anything is imported. Lines are
// read one at a time, so the import needs little memory besides the file
// and the entries it adds. When `progress` asks to stop, the import ends
// with Error::Code::Cancelled and the entries added until then stay in
// `dictionary`: a caller that offers stopping keeps a copy to go back to.
Result<GlossaryReport> ImportGlossary(std::span<const std::uint8_t> file, GlossaryFormat format,
                                      CDictonary& dictionary, const CodePage& codePage,
                                      IProgress* progress = nullptr);

} // namespace quillon
