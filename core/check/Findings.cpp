#include "check/Findings.h"

#include <array>

namespace quillon {

namespace {

constexpr std::array kCodes = {
    CheckCodeInfo{CheckCode::PlaceholderMissing, "placeholder-missing", Severity::Error,
                  "a placeholder of the source (%s, %1, %2!d!) is not in the translation"},
    CheckCodeInfo{CheckCode::PlaceholderAdded, "placeholder-added", Severity::Error,
                  "the translation has a placeholder the source does not have"},
    CheckCodeInfo{CheckCode::PlaceholderOrder, "placeholder-order", Severity::Error,
                  "printf placeholders (%s, %d) in another order; only numbered ones (%1) may move"},
    CheckCodeInfo{CheckCode::HotkeyMissing, "hotkey-missing", Severity::Error,
                  "the hotkey is not a character of its own in the translation"},
    CheckCodeInfo{CheckCode::HotkeyDuplicate, "hotkey-duplicate", Severity::Error,
                  "two items of one menu level or dialog share a hotkey"},
    CheckCodeInfo{CheckCode::HotkeyDropped, "hotkey-dropped", Severity::Warning,
                  "the source has a hotkey and the translation none"},
    CheckCodeInfo{CheckCode::HotkeyNotLetter, "hotkey-not-letter", Severity::Warning,
                  "the hotkey is a space or punctuation"},
    CheckCodeInfo{CheckCode::Unencodable, "unencodable", Severity::Error,
                  "the translation has bytes that are no character of the project's code page"},
    CheckCodeInfo{CheckCode::TooLong, "too-long", Severity::Error,
                  "the text is longer than its resource can hold (65535 UTF-16 units)"},
    CheckCodeInfo{CheckCode::LineBreaks, "line-breaks", Severity::Warning,
                  "the translation breaks lines with \\n where the source uses \\r\\n, or the other way, or loses or adds "
                  "a leading or trailing line break"},
    CheckCodeInfo{CheckCode::Spaces, "spaces", Severity::Warning,
                  "leading or trailing spaces differ from the source's"},
    CheckCodeInfo{CheckCode::Colon, "colon", Severity::Warning, "a trailing colon lost or added"},
    CheckCodeInfo{CheckCode::Ellipsis, "ellipsis", Severity::Warning, "a trailing ellipsis lost or added"},
    CheckCodeInfo{CheckCode::DoesNotFit, "does-not-fit", Severity::Warning,
                  "a dialog control's translation is wider or taller than the control, measured in the dialog's font"},
    CheckCodeInfo{CheckCode::NotWritten, "not-written", Severity::Warning,
                  "a translated value of a version table the module has for the target language, which the "
                  "translated table of its own language replaces"},
    CheckCodeInfo{CheckCode::Spelling, "spelling", Severity::Note,
                  "a word the target language's spelling dictionary does not know"},
    CheckCodeInfo{CheckCode::Untranslated, "untranslated", Severity::Note, "the item is not translated yet"},
};

} // namespace

std::span<const CheckCodeInfo> CheckCodes() { return kCodes; }

const CheckCodeInfo& InfoOf(CheckCode code) { return kCodes[static_cast<std::size_t>(code)]; }

std::string_view SeverityName(Severity severity) {
    switch (severity) {
    case Severity::Error: return "error";
    case Severity::Warning: return "warning";
    case Severity::Note: break;
    }
    return "note";
}

FindingCounts CountFindings(std::span<const Finding> findings) {
    FindingCounts counts;
    for (const Finding& finding : findings) {
        if (finding.severity == Severity::Error) ++counts.errors;
        else if (finding.severity == Severity::Warning) ++counts.warnings;
        else ++counts.notes;
    }
    return counts;
}

} // namespace quillon
