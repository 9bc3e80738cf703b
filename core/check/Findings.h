#pragma once
// What the checks find. Every finding has a severity, a stable code that
// scripts and the README name, the address of its item and a message in
// UTF-8. The codes are listed once, in CheckCodes().

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

class CResourceItem;

// Errors make a target that does not work (a lost placeholder, a hotkey that
// cannot be typed); warnings make one that may read wrong; notes are what is
// still to do.
enum class Severity { Error, Warning, Note };

enum class CheckCode {
    PlaceholderMissing,
    PlaceholderAdded,
    PlaceholderOrder,
    HotkeyMissing,
    HotkeyDuplicate,
    HotkeyDropped,
    HotkeyNotLetter,
    Unencodable,
    TooLong,
    LineBreaks,
    Spaces,
    Colon,
    Ellipsis,
    DoesNotFit,
    NotWritten,
    Spelling,
    Untranslated,
};

struct CheckCodeInfo {
    CheckCode code;
    std::string_view name; // "placeholder-missing"
    Severity severity;
    std::string_view summary; // one line for the README and --help
};

std::span<const CheckCodeInfo> CheckCodes();
const CheckCodeInfo& InfoOf(CheckCode code);
std::string_view SeverityName(Severity severity); // "error", "warning", "note"

struct Finding {
    CheckCode code;
    Severity severity;
    std::string path;                    // the item's address
    const CResourceItem* item = nullptr; // valid while the tree is unchanged
    std::string message;                 // UTF-8
};

struct FindingCounts {
    std::size_t errors = 0;
    std::size_t warnings = 0;
    std::size_t notes = 0;
};
FindingCounts CountFindings(std::span<const Finding> findings);

} // namespace quillon
