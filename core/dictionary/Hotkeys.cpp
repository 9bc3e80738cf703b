#include "dictionary/Hotkeys.h"

#include <clocale>
#include <cwctype>
#include <locale.h>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "extract/Languages.h"
#include "extract/TextRules.h"
#include "model/TextEscapes.h"

namespace quillon {

namespace {

// Unicode letter classes and case from the C library's UTF-8 locale, which
// is built into glibc and independent of the user's locale; ASCII rules
// where it is missing.
struct UnicodeClasses {
    locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));

    bool IsLetterOrDigit(char32_t c) const {
        if (locale) return iswalnum_l(static_cast<wint_t>(c), locale) != 0;
        return c < 0x80 && std::isalnum(static_cast<int>(c));
    }
    char32_t Upper(char32_t c) const {
        if (locale) return static_cast<char32_t>(towupper_l(static_cast<wint_t>(c), locale));
        return c >= 'a' && c <= 'z' ? c - 32 : c;
    }
    char32_t Lower(char32_t c) const {
        if (locale) return static_cast<char32_t>(towlower_l(static_cast<wint_t>(c), locale));
        return c >= 'A' && c <= 'Z' ? c + 32 : c;
    }
};

const UnicodeClasses& Classes() {
    static const UnicodeClasses classes;
    return classes;
}

// The single byte that `unit` is in the code page, or `fallback` when it
// takes more than one byte or none.
std::uint8_t SingleByte(char16_t unit, const CodePage& codePage, std::uint8_t fallback) {
    std::size_t replaced = 0;
    std::string bytes = codePage.FromUtf16(std::u16string_view(&unit, 1), &replaced);
    return replaced == 0 && bytes.size() == 1 ? static_cast<std::uint8_t>(bytes[0]) : fallback;
}

bool EscapeAt(std::string_view text, std::size_t pos) { return EscapeLengthAt(text, pos) != 0; }

// Where the accelerator part of a menu text begins (its \t escape), or the end.
std::size_t AcceleratorStart(std::string_view text, const CodePage& codePage) {
    for (std::size_t pos = 0; pos < text.size();) {
        if (EscapeAt(text, pos)) {
            if (text[pos + 1] == 't') return pos;
            pos += 2;
            continue;
        }
        pos += codePage.CharLength(text, pos);
    }
    return text.size();
}

// Calls visit(pos) for each position that may carry a hotkey, until it returns true.
template <typename Visit>
std::size_t FindHotkeyPosition(std::string_view text, const CodePage& codePage, Visit&& visit) {
    const HotkeyAlphabet& alphabet = HotkeyAlphabet::Of(codePage);
    for (std::size_t pos = 0; pos < text.size();) {
        if (EscapeAt(text, pos)) {
            if (text[pos + 1] == 't') break;
            pos += 2;
            continue;
        }
        if (text[pos] == '&') {
            pos += pos + 1 < text.size() && text[pos + 1] == '&' ? 2 : 1;
            continue;
        }
        std::size_t length = codePage.CharLength(text, pos);
        auto c = static_cast<std::uint8_t>(text[pos]);
        if (length == 1 && alphabet.IsCharacter(c) && visit(pos)) return pos;
        pos += length;
    }
    return std::string_view::npos;
}

// Where the bracketed hotkey goes: before the dots, ellipsis, colon or
// spaces that end the text proper, which ends where the accelerator begins.
std::size_t BracketPosition(std::string_view text, const CodePage& codePage) {
    std::size_t end = AcceleratorStart(text, codePage);
    std::vector<std::size_t> starts;
    for (std::size_t pos = 0; pos < end; pos += codePage.CharLength(text, pos)) starts.push_back(pos);
    static const std::u16string_view trailing = u".:\u2026\uFF1A\u3002 ";
    while (!starts.empty()) {
        std::u16string unit = codePage.ToUtf16(text.substr(starts.back(), end - starts.back()));
        if (unit.size() != 1 || trailing.find(unit[0]) == std::u16string_view::npos) break;
        end = starts.back();
        starts.pop_back();
    }
    return end;
}

// The letter of the bracketed hotkey `hotkey` that ends the text proper at
// `end`, "(X)" or with the translator's marker "(&X)"; npos when there is
// none (a bracket with another letter or digit is text, as in "(2)").
// '(' is a whole character in every code page, so the letter after it is.
std::size_t BracketedLetter(std::string_view text, std::size_t end, std::uint16_t hotkey) {
    if (end < 3 || text[end - 1] != ')' || HotkeyByte(hotkey) == 0) return std::string_view::npos;
    std::size_t letter = end - 2;
    std::size_t open = text[letter - 1] == '&' && letter >= 2 ? letter - 2 : letter - 1;
    auto upper = [](unsigned char c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; };
    bool same = upper(static_cast<unsigned char>(text[letter])) == upper(HotkeyByte(hotkey));
    return text[open] == '(' && same ? letter : std::string_view::npos;
}

} // namespace

HotkeyAlphabet::HotkeyAlphabet(const CodePage& codePage) {
    const UnicodeClasses& classes = Classes();
    for (unsigned value = 0; value < 256; ++value) {
        auto c = static_cast<std::uint8_t>(value);
        m_upper[c] = m_lower[c] = c;
        std::string byte(1, static_cast<char>(c));
        if (value == 0 || codePage.CharLength(byte, 0) != 1) continue;
        if (codePage.Id() == kCodePageUtf8 && value >= 0x80) continue;
        std::u16string unit = codePage.ToUtf16(byte);
        if (unit.size() != 1 || unit[0] == u'\uFFFD') continue;
        // A lead byte of a double-byte code page decodes alone as nothing useful.
        if (codePage.IsMultiByte() && value >= 0x80 && SingleByte(unit[0], codePage, 0) != c) continue;
        m_character[c] = true;
        m_letterOrDigit[c] = classes.IsLetterOrDigit(unit[0]);
        auto upper = static_cast<char16_t>(classes.Upper(unit[0]));
        auto lower = static_cast<char16_t>(classes.Lower(unit[0]));
        m_upper[c] = SingleByte(upper, codePage, c);
        m_lower[c] = SingleByte(lower, codePage, c);
    }
}

const HotkeyAlphabet& HotkeyAlphabet::Of(const CodePage& codePage) {
    // Asked for at every text: each thread keeps its last answer and takes
    // the lock only for another code page. Alphabets live as long as the program.
    thread_local std::uint32_t lastId = 0;
    thread_local const HotkeyAlphabet* last = nullptr;
    if (last && lastId == codePage.Id()) return *last;
    static std::mutex guard;
    static std::map<std::uint32_t, std::unique_ptr<HotkeyAlphabet>> built;
    std::lock_guard lock(guard);
    auto& alphabet = built[codePage.Id()];
    if (!alphabet) alphabet = std::make_unique<HotkeyAlphabet>(codePage);
    lastId = codePage.Id();
    last = alphabet.get();
    return *alphabet;
}

std::size_t MarkedHotkeyPosition(std::string_view text, const CodePage& codePage) {
    if (text.find('&') == std::string_view::npos) return std::string_view::npos;
    for (std::size_t pos = 0; pos < text.size();) {
        if (EscapeAt(text, pos)) {
            if (text[pos + 1] == 't') break;
            pos += 2;
            continue;
        }
        if (text[pos] != '&') {
            pos += codePage.CharLength(text, pos);
            continue;
        }
        if (pos + 1 < text.size() && text[pos + 1] == '&') {
            pos += 2;
            continue;
        }
        // The first single '&' decides, as it does for Windows.
        std::size_t next = pos + 1;
        bool character = next < text.size() && text[next] != ' ' && !EscapeAt(text, next) &&
                         codePage.CharLength(text, next) == 1 &&
                         HotkeyAlphabet::Of(codePage).IsCharacter(static_cast<std::uint8_t>(text[next]));
        return character ? next : std::string_view::npos;
    }
    return std::string_view::npos;
}

std::size_t HotkeyPosition(std::string_view text, std::uint8_t c, const CodePage& codePage) {
    if (c == 0) return std::string_view::npos;
    if (std::size_t marked = MarkedHotkeyPosition(text, codePage);
        marked != std::string_view::npos && static_cast<std::uint8_t>(text[marked]) == c)
        return marked;
    return FindHotkeyPosition(text, codePage, [&](std::size_t pos) { return static_cast<std::uint8_t>(text[pos]) == c; });
}

HotkeyText ReadMarkedText(std::string text, const CodePage& codePage) {
    std::size_t marked = MarkedHotkeyPosition(text, codePage);
    // A '&' before what cannot carry a hotkey reads as extraction reads it.
    if (marked == std::string::npos) return SplitHotkey(std::move(text), codePage);
    auto c = static_cast<std::uint8_t>(text[marked]);
    auto hotkey = static_cast<std::uint16_t>(static_cast<std::int16_t>(static_cast<signed char>(c)));
    // A text whose first '&' is doubled is kept whole, as extraction keeps it.
    if (OwnHotkeyMarker(text, codePage) != std::string::npos) return {std::move(text), hotkey};
    std::string bare = text;
    bare.erase(marked - 1, 1);
    if (HotkeyPosition(bare, c, codePage) == marked - 1) return {std::move(bare), hotkey};
    return {std::move(text), hotkey};
}

std::string MarkHotkey(std::string_view text, std::uint16_t hotkey, const CodePage& codePage, std::uint8_t* carrier) {
    std::string marked(text);
    std::uint8_t carried = 0;
    auto singleByte = [&](std::size_t pos) {
        return codePage.CharLength(marked, pos) == 1 ? static_cast<std::uint8_t>(marked[pos]) : std::uint8_t{0};
    };
    std::uint8_t c = HotkeyByte(hotkey);
    std::size_t own = OwnHotkeyMarker(marked, codePage);
    std::size_t placed = MarkedHotkeyPosition(marked, codePage);
    if (own != std::string::npos) {
        carried = singleByte(own + 1);
    } else if (placed != std::string::npos && (c == 0 || static_cast<std::uint8_t>(marked[placed]) == c)) {
        carried = singleByte(placed);
    } else {
        if (placed != std::string::npos) marked.erase(placed - 1, 1); // it marks another character
        if (std::size_t at = HotkeyPosition(marked, c, codePage); at != std::string::npos) {
            marked.insert(at, 1, '&');
            carried = c;
        }
    }
    if (carrier) *carrier = carried;
    return marked;
}

bool HotkeyEligible(const CResourceItem& item) {
    return !(item.m_dwState & RIS_FIXED) && item.IsTranslated() && item.m_chHotkey != 0;
}

std::uint16_t HotkeyToWrite(const CResourceItem& item) {
    return item.IsTranslated() && item.m_chTransHotkey != 0 ? item.m_chTransHotkey : item.m_chHotkey;
}

std::uint8_t TargetHotkey(const CResourceItem& item, const CodePage& codePage) {
    std::uint8_t carrier = 0;
    MarkHotkey(item.GetTargetText(), HotkeyToWrite(item), codePage, &carrier);
    return carrier;
}

std::vector<HotkeyClash> DuplicateHotkeys(const CResourceItem& level, const CodePage& codePage) {
    const HotkeyAlphabet& alphabet = HotkeyAlphabet::Of(codePage);
    std::vector<HotkeyClash> clashes;
    std::map<std::uint8_t, std::size_t> index; // upper-case hotkey -> its entry in `clashes`
    for (const auto& child : level.GetChildren()) {
        std::uint8_t hotkey = TargetHotkey(*child, codePage);
        if (hotkey == 0) continue;
        auto [found, added] = index.emplace(alphabet.Upper(hotkey), clashes.size());
        if (added) clashes.push_back({alphabet.Upper(hotkey), {}});
        clashes[found->second].items.push_back(child.get());
    }
    std::erase_if(clashes, [](const HotkeyClash& clash) { return clash.items.size() < 2; });
    return clashes;
}

HotkeyConvention HotkeyConventionOf(std::uint16_t language) {
    switch (PrimaryLanguage(language)) {
    case 0x04: // Chinese
    case 0x11: // Japanese
    case 0x12: // Korean
        return HotkeyConvention::LatinInBrackets;
    default: return HotkeyConvention::InText;
    }
}

namespace {

class HotkeyChooser {
public:
    HotkeyChooser(const CResourceItem& item, const UsedHotkeys& used, const CodePage& codePage)
        : m_text(item.GetTranslation()), m_used(used), m_codePage(codePage), m_alphabet(HotkeyAlphabet::Of(codePage)) {}

    // `c` or its other case, where it can carry the hotkey and is free.
    std::uint8_t EitherCase(std::uint8_t c, bool lettersOnly) const {
        if (c == 0 || IsUsed(c) || (lettersOnly && !m_alphabet.IsLetterOrDigit(c))) return 0;
        for (std::uint8_t candidate : {c, m_alphabet.Lower(c), m_alphabet.Upper(c)})
            if (HotkeyOccursIn(m_text, candidate, m_codePage)) return candidate;
        return 0;
    }

    std::uint8_t FirstFreeLetter() const {
        std::size_t pos = FindHotkeyPosition(m_text, m_codePage, [&](std::size_t at) {
            auto c = static_cast<std::uint8_t>(m_text[at]);
            return m_alphabet.IsLetterOrDigit(c) && !IsUsed(c);
        });
        return pos == std::string::npos ? 0 : static_cast<std::uint8_t>(m_text[pos]);
    }

    // A free Latin letter or digit for the bracket, the source's first.
    std::uint8_t BracketLetter(std::uint8_t source) const {
        auto upper = static_cast<std::uint8_t>(source >= 'a' && source <= 'z' ? source - 32 : source);
        bool latin = (upper >= 'A' && upper <= 'Z') || (upper >= '0' && upper <= '9');
        if (latin && !IsUsed(upper)) return upper;
        for (std::uint8_t c : std::string_view("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"))
            if (!IsUsed(c)) return c;
        return 0;
    }

private:
    bool IsUsed(std::uint8_t c) const { return m_used.count(m_alphabet.Upper(c)) != 0; }

    const std::string& m_text;
    const UsedHotkeys& m_used;
    const CodePage& m_codePage;
    const HotkeyAlphabet& m_alphabet;
};

} // namespace

void AssignHotkey(CResourceItem& item, UsedHotkeys& used, const CodePage& codePage, HotkeyConvention convention) {
    HotkeyChooser chooser(item, used, codePage);
    std::uint8_t c = chooser.EitherCase(HotkeyByte(item.m_chTransHotkey), false);
    if (c == 0) c = chooser.EitherCase(HotkeyByte(item.m_chHotkey), true);
    if (c == 0) c = chooser.FirstFreeLetter();
    if (c == 0 && convention == HotkeyConvention::LatinInBrackets) {
        c = chooser.BracketLetter(HotkeyByte(item.m_chHotkey));
        if (c != 0) {
            // A bracketed letter that is taken gives way, rather than a second bracket after it.
            std::string translation = item.GetTranslation();
            std::size_t end = BracketPosition(translation, codePage);
            std::size_t letter = BracketedLetter(translation, end, item.m_chTransHotkey);
            if (letter == std::string::npos) letter = BracketedLetter(translation, end, item.m_chHotkey);
            if (letter != std::string::npos)
                translation[letter] = static_cast<char>(c);
            else
                translation.insert(end, std::string("(") + static_cast<char>(c) + ")");
            item.SetTranslationText(std::move(translation));
        }
    }
    // A '&' the translator placed before another character no longer marks it.
    const std::string& text = item.GetTranslation();
    if (std::size_t placed = MarkedHotkeyPosition(text, codePage);
        placed != std::string::npos && OwnHotkeyMarker(text, codePage) == std::string::npos &&
        static_cast<std::uint8_t>(text[placed]) != c) {
        std::string unmarked = text;
        unmarked.erase(placed - 1, 1);
        item.SetTranslationText(std::move(unmarked));
    }
    item.m_chTransHotkey = c != 0 ? c : kHotkeyNone;
    if (c != 0) used.insert(HotkeyAlphabet::Of(codePage).Upper(c));
}

} // namespace quillon
