#include "check/TextFit.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cstdlib>
#include <array>
#include <functional>
#include <map>
#include <unordered_map>

#include "io/CodePage.h"
#include "model/ResourceItem.h"
#include "target/TextPreparation.h"
#include "templates/WindowStyles.h"

namespace quillon {

namespace {

// fonts-wine keeps its faces outside fontconfig's folders.
constexpr std::array kExtraFontDirs = {"/usr/share/wine/fonts"};
constexpr int kLargestPixelSize = 96;
constexpr int kNormalWeight = 400;
constexpr int kBoldFrom = 600;

// Linux families with the widths of the Windows dialog faces, best first;
// Liberation Sans (Arial's widths) and DejaVu Sans stand in when fonts-wine
// is missing. "MS Shell Dlg" is Microsoft Sans Serif on Windows, "MS Shell
// Dlg 2" Tahoma; an unknown face falls back to Tahoma, as the font mapper
// falls back to the shell font.
struct Substitutes {
    std::u16string_view face;
    std::array<const char*, 4> families;
};
constexpr std::array<const char*, 4> kTahoma = {"Tahoma", "MS Sans Serif", "Liberation Sans", "DejaVu Sans"};
constexpr std::array<const char*, 4> kSansSerif = {"MS Sans Serif", "Tahoma", "Liberation Sans", "DejaVu Sans"};
constexpr std::array kSubstitutes = {
    Substitutes{u"ms shell dlg", kSansSerif},
    Substitutes{u"ms sans serif", kSansSerif},
    Substitutes{u"microsoft sans serif", kSansSerif},
    Substitutes{u"ms shell dlg 2", kTahoma},
    Substitutes{u"tahoma", kTahoma},
    Substitutes{u"segoe ui", {"DejaVu Sans", "Liberation Sans", nullptr, nullptr}},
    Substitutes{u"arial", {"Liberation Sans", "DejaVu Sans", nullptr, nullptr}},
    Substitutes{u"times new roman", {"Liberation Serif", "DejaVu Serif", nullptr, nullptr}},
    Substitutes{u"courier new", {"Liberation Mono", "DejaVu Sans Mono", nullptr, nullptr}},
    Substitutes{u"courier", {"Liberation Mono", "DejaVu Sans Mono", nullptr, nullptr}},
};

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::u16string LowerTrimmed(std::u16string_view face) {
    while (!face.empty() && face.back() == u' ') face.remove_suffix(1);
    while (!face.empty() && face.front() == u' ') face.remove_prefix(1);
    std::u16string out(face);
    for (char16_t& c : out)
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    return out;
}

const std::array<const char*, 4>& SubstitutesOf(std::u16string_view face) {
    std::u16string key = LowerTrimmed(face);
    for (const Substitutes& known : kSubstitutes)
        if (key == known.face) return known.families;
    return kTahoma;
}

int PixelSizeOf(int pointSize) { return std::clamp(MulDiv(pointSize, 96, 72), 1, kLargestPixelSize); }

// Rounded to nearest, as the rasteriser scales design units.
int Scaled(long units, int pixelSize, int unitsPerEm) {
    return static_cast<int>((units * pixelSize + unitsPerEm / 2) / unitsPerEm);
}

// Code points of UTF-16 text; a lone surrogate stands for itself.
template <typename Visit> void ForEachCodePoint(std::u16string_view text, Visit visit) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        visit(c);
    }
}

} // namespace

// The font files found per face, and per file and pixel size the advances
// measured so far.
struct TextMeasure::Fonts {
    struct Found {
        std::string family;
        std::string file;
        int index = 0;
        bool emboldened = false; // bold asked for, the file is not
    };
    struct Sized {
        std::string family;
        FT_Face face = nullptr;
        int pixelSize = 0;
        int strike = -1;       // the bitmap size of a face without outlines
        int extraAdvance = 0;  // GDI's emboldening widens every character by a pixel
        std::unordered_map<char32_t, int> advances;
    };
    using Request = std::tuple<std::u16string, bool, bool>; // face, bold, italic

    FT_Library library = nullptr;
    FcConfig* config = nullptr;
    std::map<Request, std::vector<Found>> found;
    std::map<std::pair<std::string, int>, FT_Face> faces;          // per file and face index
    std::map<std::pair<Request, int>, std::optional<Sized>> sized; // per request and pixel size

    // Scanned here rather than added to the configuration, which may
    // reject bitmap fonts (Debian's does) such as Wine's MS Sans Serif.
    FcFontSet* extra = nullptr;

    Fonts() {
        if (FT_Init_FreeType(&library) != 0) library = nullptr;
        config = FcInitLoadConfigAndFonts();
        extra = FcFontSetCreate();
        FcStrSet* subdirs = FcStrSetCreate();
        for (const char* dir : kExtraFontDirs)
            if (extra && subdirs)
                FcDirScan(extra, subdirs, nullptr, nullptr, reinterpret_cast<const FcChar8*>(dir), FcTrue);
        if (subdirs) FcStrSetDestroy(subdirs);
    }
    ~Fonts() {
        for (auto& [key, face] : faces) FT_Done_Face(face);
        if (library) FT_Done_FreeType(library);
        if (extra) FcFontSetDestroy(extra);
        if (config) FcConfigDestroy(config);
    }

    static bool HasFamily(FcPattern* font, const char* family) {
        FcChar8* name = nullptr;
        for (int i = 0; FcPatternGetString(font, FC_FAMILY, i, &name) == FcResultMatch; ++i)
            if (Lower(reinterpret_cast<const char*>(name)) == Lower(family)) return true;
        return false;
    }

    static std::optional<Found> FoundIn(FcPattern* font, const char* family, bool bold) {
        FcChar8* file = nullptr;
        int index = 0, weight = FC_WEIGHT_REGULAR;
        if (FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch) return std::nullopt;
        FcPatternGetInteger(font, FC_INDEX, 0, &index);
        FcPatternGetInteger(font, FC_WEIGHT, 0, &weight);
        return Found{family, reinterpret_cast<const char*>(file), index, bold && weight < FC_WEIGHT_DEMIBOLD};
    }

    // The extra fonts of `family` closest in slant, then in weight.
    std::optional<Found> MatchExtra(const char* family, bool bold, bool italic) const {
        FcPattern* best = nullptr;
        int bestScore = 0;
        for (int i = 0; extra && i < extra->nfont; ++i) {
            FcPattern* font = extra->fonts[i];
            if (!HasFamily(font, family)) continue;
            int weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
            FcPatternGetInteger(font, FC_WEIGHT, 0, &weight);
            FcPatternGetInteger(font, FC_SLANT, 0, &slant);
            int score = std::abs(weight - (bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR)) +
                        ((slant != FC_SLANT_ROMAN) != italic ? 1000 : 0);
            if (!best || score < bestScore) best = font, bestScore = score;
        }
        return best ? FoundIn(best, family, bold) : std::nullopt;
    }

    std::optional<Found> Match(const char* family, bool bold, bool italic) const {
        if (!config) return MatchExtra(family, bold, italic);
        FcPattern* pattern = FcPatternCreate();
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
        FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
        FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
        FcConfigSubstitute(config, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        FcPattern* match = FcFontMatch(config, pattern, &result);
        FcPatternDestroy(pattern);
        if (!match) return MatchExtra(family, bold, italic);
        // fontconfig always answers with some font; only the family asked
        // for has the widths this table counts on.
        std::optional<Found> out = HasFamily(match, family) ? FoundIn(match, family, bold) : std::nullopt;
        FcPatternDestroy(match);
        return out ? out : MatchExtra(family, bold, italic);
    }

    // Every installed substitute of the face, best first.
    const std::vector<Found>& Resolve(const Request& request) {
        auto cached = found.find(request);
        if (cached != found.end()) return cached->second;
        std::vector<Found> result;
        for (const char* family : SubstitutesOf(std::get<0>(request))) {
            if (!family) break;
            if (auto match = Match(family, std::get<1>(request), std::get<2>(request))) result.push_back(*match);
        }
        return found.emplace(request, std::move(result)).first->second;
    }

    // The first substitute usable at the font's pixel size: any outline
    // font, or a bitmap font (Wine's MS Sans Serif has the raster font's
    // strikes) with a strike of that size.
    Sized* SizedFont(const FontSpec& font) {
        Request request{LowerTrimmed(font.face), font.weight >= kBoldFrom, font.italic};
        int pixelSize = PixelSizeOf(font.pointSize);
        auto key = std::make_pair(request, pixelSize);
        auto cached = sized.find(key);
        if (cached == sized.end()) cached = sized.emplace(key, Size(Resolve(request), pixelSize)).first;
        return cached->second ? &*cached->second : nullptr;
    }

    std::optional<Sized> Size(const std::vector<Found>& candidates, int pixelSize) {
        for (const Found& file : candidates) {
            FT_Face face = library ? Face(file) : nullptr;
            if (!face) continue;
            int strike = FT_IS_SCALABLE(face) ? -1 : StrikeFor(face, pixelSize);
            if (FT_IS_SCALABLE(face) || strike >= 0)
                return Sized{file.family, face, pixelSize, strike, file.emboldened ? 1 : 0, {}};
        }
        return std::nullopt;
    }

    // A raster font's size is its cell height, a quarter or so above the
    // em height Windows asks for: 13 for 11 pixels (8 points).
    static int StrikeFor(FT_Face face, int pixelSize) {
        int best = -1;
        for (int i = 0; i < face->num_fixed_sizes; ++i) {
            int cell = face->available_sizes[i].height;
            if (cell >= pixelSize && cell * 4 <= pixelSize * 5 && (best < 0 || cell > face->available_sizes[best].height))
                best = i;
        }
        return best;
    }

    FT_Face Face(const Found& file) {
        auto key = std::make_pair(file.file, file.index);
        auto cached = faces.find(key);
        if (cached != faces.end()) return cached->second;
        FT_Face face = nullptr;
        if (FT_New_Face(library, file.file.c_str(), file.index, &face) != 0) {
            if (face) FT_Done_Face(face);
            return nullptr;
        }
        if (FT_IS_SCALABLE(face) ? face->units_per_EM == 0 : face->num_fixed_sizes == 0) {
            FT_Done_Face(face);
            return nullptr;
        }
        return faces.emplace(key, face).first->second;
    }

    // Outline advances scaled and rounded per character, as GDI lays out
    // text without kerning; a bitmap strike's advances as they are. A
    // character the font lacks takes its missing glyph's advance.
    static int Advance(Sized& font, char32_t c) {
        auto cached = font.advances.find(c);
        if (cached != font.advances.end()) return cached->second;
        FT_Fixed advance = 0;
        FT_UInt glyph = FT_Get_Char_Index(font.face, c);
        int pixels = 0;
        if (font.strike >= 0) {
            // Faces are shared between sizes: select this one's strike.
            if (FT_Select_Size(font.face, font.strike) == 0 &&
                FT_Get_Advance(font.face, glyph, FT_LOAD_DEFAULT, &advance) == 0)
                pixels = static_cast<int>((advance + 0x8000) >> 16);
        } else if (FT_Get_Advance(font.face, glyph, FT_LOAD_NO_SCALE, &advance) == 0) {
            pixels = Scaled(advance, font.pixelSize, font.face->units_per_EM);
        }
        pixels += font.extraAdvance;
        font.advances.emplace(c, pixels);
        return pixels;
    }

    // Windows' text height: the OS/2 table's Windows ascent and descent,
    // each scaled and rounded; a strike's cell height.
    static int Height(const Sized& font) {
        FT_Face face = font.face;
        if (font.strike >= 0) return face->available_sizes[font.strike].height;
        int unitsPerEm = face->units_per_EM;
        auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0)
            return Scaled(os2->usWinAscent, font.pixelSize, unitsPerEm) +
                   Scaled(os2->usWinDescent, font.pixelSize, unitsPerEm);
        return Scaled(face->ascender, font.pixelSize, unitsPerEm) + Scaled(-face->descender, font.pixelSize, unitsPerEm);
    }
};

TextMeasure& TextMeasure::Shared() {
    static TextMeasure shared;
    return shared;
}

TextMeasure::TextMeasure() : m_fonts(std::make_unique<Fonts>()) {}
TextMeasure::~TextMeasure() = default;

std::optional<std::string> TextMeasure::SubstituteFamily(const FontSpec& font) {
    std::lock_guard lock(m_mutex);
    Fonts::Sized* sized = m_fonts->SizedFont(font);
    if (!sized) return std::nullopt;
    return sized->family;
}

std::optional<DialogMetrics> TextMeasure::MetricsFor(const FontSpec& font) {
    // The dialog manager measures the face at normal weight.
    FontSpec normal = font;
    normal.weight = kNormalWeight;
    std::optional<int> width52 = TextWidth(normal, u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", false);
    std::lock_guard lock(m_mutex);
    Fonts::Sized* sized = m_fonts->SizedFont(normal);
    if (!width52 || !sized) return std::nullopt;
    return DialogMetrics{sized->pixelSize, BaseUnitsFromMetrics(*width52, Fonts::Height(*sized))};
}

std::optional<int> TextMeasure::TextWidth(const FontSpec& font, std::u16string_view text, bool hotkeyPrefix) {
    std::lock_guard lock(m_mutex);
    Fonts::Sized* sized = m_fonts->SizedFont(font);
    if (!sized) return std::nullopt;
    int width = 0;
    bool afterPrefix = false;
    ForEachCodePoint(text, [&](char32_t c) {
        if (hotkeyPrefix && c == U'&' && !afterPrefix) {
            afterPrefix = true; // the next character is drawn, even a second '&'
            return;
        }
        afterPrefix = false;
        if (c == U'\t') c = U' ';
        if (c < 0x20) return;
        width += Fonts::Advance(*sized, c);
    });
    return width;
}

// Fit rules ----------------------------------------------------------------

namespace {

using namespace quillon::win32;

// Push buttons centre their text inside a 3-pixel bevel and focus margin;
// check boxes and radio buttons draw a 13-pixel box and a 3-pixel gap
// before it; a group box's caption starts 8 pixels in and must leave the
// frame's corner on the right as well.
constexpr int kPushButtonMargins = 2 * 3;
constexpr int kPushButtonMarginsY = 2 * 2;
constexpr int kCheckBoxText = 13 + 3;
constexpr int kGroupBoxMargins = 2 * 8;

// How a control lays out its text.
struct Layout {
    int marginsX = 0;
    int marginsY = 0;
    bool wraps = false;
    bool hotkeyPrefix = true;
};

bool SameClass(std::u16string_view className, std::u16string_view lowerName) {
    return LowerTrimmed(className) == lowerName;
}

std::optional<Layout> ButtonLayout(std::uint32_t style) {
    std::uint32_t type = style & BS_TYPEMASK;
    bool wraps = style & BS_MULTILINE;
    bool checkOrRadio = type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON ||
                        type == BS_3STATE || type == BS_AUTO3STATE || type == BS_AUTORADIOBUTTON;
    if (type == BS_GROUPBOX) return Layout{kGroupBoxMargins, 0, false};
    if (checkOrRadio && !(style & BS_PUSHLIKE)) return Layout{kCheckBoxText, 0, wraps};
    if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || checkOrRadio)
        return Layout{kPushButtonMargins, kPushButtonMarginsY, wraps};
    return std::nullopt; // owner-drawn, user, split and command-link buttons
}

std::optional<Layout> StaticLayout(std::uint32_t style, std::uint32_t exStyle) {
    std::uint32_t type = style & SS_TYPEMASK;
    bool text = type <= SS_RIGHT || type == SS_SIMPLE || type == SS_LEFTNOWORDWRAP;
    // An ellipsis style shortens the text on purpose.
    if (!text || (style & SS_ELLIPSISMASK)) return std::nullopt;
    bool thinEdge = (style & (SS_SUNKEN | WS_BORDER)) || (exStyle & WS_EX_STATICEDGE);
    int border = (exStyle & WS_EX_CLIENTEDGE) ? 2 * 2 : thinEdge ? 2 : 0;
    bool wraps = type <= SS_RIGHT && !(style & SS_CENTERIMAGE);
    return Layout{border, border, wraps, !(style & SS_NOPREFIX)};
}

std::optional<Layout> LayoutOf(const ControlBox& box) {
    if (SameClass(box.className, u"button")) return ButtonLayout(box.style);
    if (SameClass(box.className, u"static")) return StaticLayout(box.style, box.exStyle);
    return std::nullopt;
}

std::vector<std::u16string_view> SplitLines(std::u16string_view text) {
    std::vector<std::u16string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != u'\r' && text[i] != u'\n') continue;
        lines.push_back(text.substr(start, i - start));
        if (i + 1 < text.size() && text[i] == u'\r' && text[i + 1] == u'\n') ++i;
        start = i + 1;
    }
    return lines;
}

struct Measured {
    int widest = 0; // the widest line, or for wrapped text the widest word
    int lines = 0;
};

// DrawText's word break, greedily: words go on a line while they fit, and
// a word wider than the room takes a line of its own (and is too wide).
Measured Wrap(std::u16string_view line, int room, const std::function<int(std::u16string_view)>& width) {
    Measured out{0, 1};
    int used = 0;
    std::size_t start = 0;
    while (start <= line.size()) {
        std::size_t end = std::min(line.find(u' ', start), line.size());
        std::u16string_view word = line.substr(start, end - start);
        if (!word.empty()) {
            int wordWidth = width(word);
            out.widest = std::max(out.widest, wordWidth);
            int withSpace = used == 0 ? wordWidth : used + width(u" ") + wordWidth;
            if (used != 0 && withSpace > room) {
                ++out.lines;
                used = wordWidth;
            } else {
                used = withSpace;
            }
        }
        start = end + 1;
    }
    return out;
}

} // namespace

std::optional<TextFit> FitControlText(TextMeasure& measure, const FontSpec& font, int lineHeight, const ControlBox& box,
                                      std::u16string_view text) {
    std::optional<Layout> layout = LayoutOf(box);
    if (!layout || text.empty() || lineHeight <= 0) return std::nullopt;
    bool failed = false;
    auto width = [&](std::u16string_view part) {
        std::optional<int> measured = measure.TextWidth(font, part, layout->hotkeyPrefix);
        failed = failed || !measured;
        return measured.value_or(0);
    };
    TextFit fit;
    fit.room = box.width - layout->marginsX;
    fit.roomLines = std::max(1, (box.height - layout->marginsY) / lineHeight);
    // Text that wraps in a control one line high shows only that line.
    bool wraps = layout->wraps && fit.roomLines > 1;
    fit.lines = 0;
    for (std::u16string_view line : SplitLines(text)) {
        Measured measured = wraps ? Wrap(line, fit.room, width) : Measured{width(line), 1};
        fit.width = std::max(fit.width, measured.widest);
        fit.lines += measured.lines;
    }
    if (failed) return std::nullopt;
    fit.fits = fit.width <= fit.room && fit.lines <= fit.roomLines;
    return fit;
}

std::optional<FontSpec> DialogFont(const DialogTemplate& dialog) {
    if (!dialog.hasFont) return std::nullopt;
    if (dialog.pointSize == kMessageFontPointSize) return FontSpec{u"Segoe UI", 9, kNormalWeight, false};
    return FontSpec{dialog.face, dialog.pointSize, dialog.weight == 0 ? kNormalWeight : dialog.weight, dialog.italic};
}

const CResourceItem* ControlItem(const CResourceItem& dialog, std::size_t index, std::uint32_t id) {
    const auto& children = dialog.GetChildren();
    std::int32_t treeId = static_cast<std::uint16_t>(id);
    if (index < children.size() && children[index]->m_nID == treeId) return children[index].get();
    if (treeId == 0xFFFF) return nullptr;
    for (const auto& child : children)
        if (child->m_nID == treeId) return child.get();
    return nullptr;
}

namespace {

std::string FitMessage(const TextFit& fit, int lineHeight) {
    if (fit.width > fit.room)
        return "the text is " + std::to_string(fit.width) + " px wide, the control has room for " +
               std::to_string(fit.room) + " px";
    return "the text takes " + std::to_string(fit.lines) + " lines (" + std::to_string(fit.lines * lineHeight) +
           " px), the control has room for " + std::to_string(fit.roomLines) + " (" +
           std::to_string(fit.roomLines * lineHeight) + " px)";
}

} // namespace

std::vector<FitProblem> FitProblems(const CResourceItem& dialog, const CodePage& codePage, TextMeasure& measure,
                                    std::optional<FitCandidate> candidate) {
    std::vector<FitProblem> problems;
    std::optional<DialogTemplate> parsed = ParseDialogTemplate(dialog.GetData());
    std::optional<FontSpec> font = parsed ? DialogFont(*parsed) : std::nullopt;
    std::optional<DialogMetrics> metrics = font ? measure.MetricsFor(*font) : std::nullopt;
    if (!metrics) return problems;
    // Windows' own base units where they are known keep the rooms equal to
    // Windows' whatever the substitute measures.
    DialogBaseUnits units = KnownBaseUnits(font->face, font->pointSize).value_or(metrics->units);
    for (std::size_t i = 0; i < parsed->controls.size(); ++i) {
        const DialogControlTemplate& control = parsed->controls[i];
        const CResourceItem* item = ControlItem(dialog, i, control.id);
        if (candidate && item != candidate->item) continue;
        if (candidate) item = candidate->as;
        if (!item || !item->IsTranslatable() || !item->IsTranslated() || control.title.isOrdinal) continue;
        PixelRect pixels = DialogUnitsToPixels(control.x, control.y, control.cx, control.cy, units);
        ControlBox box{ControlClassName(control.windowClass), control.style, control.exStyle, pixels.width,
                       pixels.height};
        std::u16string text = TextToWrite(*item, control.title.text, TextRule::Control, codePage);
        std::optional<TextFit> fit = FitControlText(measure, *font, units.y, box, text);
        if (fit && !fit->fits) problems.push_back({candidate ? candidate->item : item, *fit, FitMessage(*fit, units.y)});
    }
    return problems;
}

} // namespace quillon
