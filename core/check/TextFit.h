#pragma once
// Whether a control's text fits its control, measured the way the dialog
// manager lays it out: the template's rectangle in dialog units turned into
// pixels with the base units of the dialog font, and the text measured with
// FreeType in a Linux font whose widths match the Windows face's (Wine's
// Tahoma and MS Sans Serif, the Liberation families). The check engine and
// the dialog preview both ask this, so they cannot disagree.

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "extract/DialogTemplate.h"

namespace quillon {

class CResourceItem;
class CodePage;

// A font as a dialog template asks for it.
struct FontSpec {
    std::u16string face; // the Windows face: "MS Shell Dlg", "Segoe UI", ...
    int pointSize = 8;
    int weight = 400;
    bool italic = false;
};

struct DialogMetrics {
    int pixelSize = 0;     // the em height at 96 DPI: pt * 96 / 72
    DialogBaseUnits units; // average character width and text height, measured
};

// Fonts found through fontconfig (with Wine's font folder added) and read
// with FreeType; faces are cached per file and pixel size. One instance is
// shared by the whole program and is safe to call from any thread.
class TextMeasure {
public:
    static TextMeasure& Shared();
    ~TextMeasure();
    TextMeasure(const TextMeasure&) = delete;
    TextMeasure& operator=(const TextMeasure&) = delete;

    // The family of the Linux font that stands in for `font` at its size;
    // nothing when none of its substitutes is installed.
    std::optional<std::string> SubstituteFamily(const FontSpec& font);
    // Base units as Windows derives them from the dialog font.
    std::optional<DialogMetrics> MetricsFor(const FontSpec& font);
    // The width in pixels of `text` drawn on one line: the sum of the
    // characters' advances. With `hotkeyPrefix` a single '&' is not drawn
    // and "&&" draws one '&', as DrawText without DT_NOPREFIX does.
    std::optional<int> TextWidth(const FontSpec& font, std::u16string_view text, bool hotkeyPrefix = true);

private:
    TextMeasure();
    struct Fonts;
    std::mutex m_mutex;
    std::unique_ptr<Fonts> m_fonts;
};

// What a control leaves its text, taken from its class and styles; in
// pixels, like the control's size.
struct ControlBox {
    std::u16string className; // "Button", "Static", ... (ControlClassName)
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    int width = 0;
    int height = 0;
};

struct TextFit {
    bool fits = true;
    int width = 0;      // of the widest line or word, in pixels
    int room = 0;       // the width the control leaves the text
    int lines = 1;      // after word wrap, for controls that wrap
    int roomLines = 1;  // lines the control's height holds
};

// Nothing for controls whose text is not measured here: edits, lists,
// owner-drawn buttons, statics that cut their text with an ellipsis.
// `lineHeight` is the dialog font's text height (the y base unit).
std::optional<TextFit> FitControlText(TextMeasure& measure, const FontSpec& font, int lineHeight, const ControlBox& box,
                                      std::u16string_view text);

// The dialog font of a template: the message font for point size 0x7FFF;
// nothing without DS_SETFONT (the raster system font has no substitute).
std::optional<FontSpec> DialogFont(const DialogTemplate& dialog);

// The item of `dialog` that holds the text of control `index`: the children
// are the controls in template order, but a tree merged with another version
// of the module may differ, so the ID decides when the position does not match.
const CResourceItem* ControlItem(const CResourceItem& dialog, std::size_t index, std::uint32_t id);

struct FitProblem {
    const CResourceItem* item = nullptr; // the control's item
    TextFit fit;
    std::string message; // UTF-8
};

// A translation not yet applied: `item` of the dialog measured as `as` says.
struct FitCandidate {
    const CResourceItem* item = nullptr;
    const CResourceItem* as = nullptr;
};

// Each translated control of `dialog` whose translation does not fit;
// untranslated controls show the module's own text and are never reported.
// With a candidate, only its control, with the candidate's translation.
// Nothing when the template cannot be read or no substitute font is installed.
std::vector<FitProblem> FitProblems(const CResourceItem& dialog, const CodePage& codePage,
                                    TextMeasure& measure = TextMeasure::Shared(),
                                    std::optional<FitCandidate> candidate = std::nullopt);

} // namespace quillon
