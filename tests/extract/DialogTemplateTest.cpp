// The scan, the preview's reader and the target writer read one template
// alike, in both layouts and with either kind of font: a named face, or the
// system's message font (point size 0x7FFF), after which the dialog manager
// reads nothing of the font.

#include <gtest/gtest.h>

#include "target/TemplateWriters.h"
#include "extract/DialogTemplate.h"
#include "extract/Scans.h"
#include "io/ByteWriter.h"
#include "support/ResultChecks.h"
#include "support/PeBuilder.h"

using namespace quillon;
using namespace quillon::testing;

namespace {

struct Layout { const char* name; bool extended, messageFont; };

// Caption "Fonts" and two push buttons, "&Yes" (ID 6) and "&No" (ID 7). With
// the message font the caption's length puts the first control right after
// the point size, with no padding a misreading could take for an empty face.
std::vector<std::uint8_t> TwoButtonTemplate(const Layout& layout) {
    constexpr std::uint32_t kStyle = 0x80C00000 /* WS_POPUP | WS_CAPTION */ | kDsSetFont;
    ByteWriter out;
    // The extended header: signature, help ID and extended style before the style; the standard one: the style,
    // then the extended style.
    if (layout.extended)
        for (std::uint32_t value : {kExtendedDialogSignature, 0u, 0u}) out.U32(value);
    out.U32(kStyle);
    if (!layout.extended) out.U32(0);
    for (std::uint16_t value : {2, 0, 0, 120, 40, 0, 0}) out.U16(value); // count, rectangle, no menu, default class
    out.Utf16z(layout.messageFont ? u"Message fonts" : u"Fonts");
    out.U16(layout.messageFont ? kMessageFontPointSize : 9);
    if (layout.extended && !layout.messageFont) {
        out.U16(700);
        out.U8(1);    // italic
        out.U8(0xCC); // Cyrillic
    }
    if (!layout.messageFont) out.Utf16z(u"Segoe UI");
    for (auto [id, title] : {std::pair<std::uint16_t, std::u16string_view>{6, u"&Yes"}, {7, u"&No"}}) {
        out.PadTo(4);
        if (layout.extended) out.U32(0); // help id
        out.U32(layout.extended ? 0 : 0x50010000);
        out.U32(layout.extended ? 0x50010000 : 0);
        for (std::uint16_t value : {10, 10, 40, 14}) out.U16(value);
        if (layout.extended)
            out.U32(id);
        else
            out.U16(id);
        for (std::uint16_t value : {0xFFFF, 0x0080}) out.U16(value); // class BUTTON
        out.Utf16z(title);
        out.U16(0);
    }
    return out.Take();
}

// The scan of a module whose one resource is `bytes` as dialog 100.
std::unique_ptr<Scan> ScanDialog(std::span<const std::uint8_t> bytes) {
    return ScanBytes(
        BuildPeWithResources({{ResourceId::Integer(5), ResourceId::Integer(100), 0x0409, {bytes.begin(), bytes.end()}}}));
}

const Layout kLayouts[] = {
    {"StandardMessageFont", false, true},
    {"ExtendedMessageFont", true, true},
    {"StandardNamedFont", false, false},
    {"ExtendedNamedFont", true, false},
};

class DialogReaders : public ::testing::TestWithParam<Layout> {};

} // namespace

TEST_P(DialogReaders, ScanPreviewAndWriterReadTheSameControlsAndTheSameCut) {
    std::vector<std::uint8_t> bytes = TwoButtonTemplate(GetParam());
    CodePage codePage(1252);

    auto scanned = ScanDialog(bytes);
    EXPECT_TRUE(scanned->report.diagnostics.empty());
    const std::string yes = std::string(GetParam().messageFont ? "100 \"Message fonts\" 1\n" : "100 \"Fonts\" 1\n") +
                            "  6 \"Yes\" &Y 1\n";
    EXPECT_EQ(Outline(scanned->info.m_Dialogs), yes + "  7 \"No\" &N 1\n");
    CResourceItem& dialog = *scanned->info.m_Dialogs.GetChildren().at(0);

    auto preview = ParseDialogTemplate(bytes);
    ASSERT_TRUE(preview);
    EXPECT_EQ(preview->pointSize, GetParam().messageFont ? kMessageFontPointSize : 9);
    EXPECT_EQ(preview->face, GetParam().messageFont ? u"" : u"Segoe UI");
    EXPECT_EQ(preview->italic, GetParam().extended && !GetParam().messageFont);
    ASSERT_EQ(preview->controls.size(), 2u);
    EXPECT_EQ(preview->controls[1].title.text, u"&No");

    // Untranslated, the template comes back byte for byte; translated, only
    // the texts change and the font keeps its fields.
    auto same = WriteDialog(dialog, WriteContext{codePage});
    ASSERT_TRUE(same) << same.GetError().Describe();
    EXPECT_EQ(same.Value(), bytes);
    dialog.GetChildren().at(0)->SetTranslation("Ja", 'J');
    auto translated = WriteDialog(dialog, WriteContext{codePage});
    ASSERT_TRUE(translated) << translated.GetError().Describe();
    auto reread = ParseDialogTemplate(translated.Value());
    ASSERT_TRUE(reread);
    EXPECT_EQ(reread->controls[0].title.text, u"&Ja");
    reread->controls[0].title = preview->controls[0].title;
    EXPECT_EQ(*reread, *preview);

    // A copy cut inside the second control's title: the scan keeps the first
    // control, the preview refuses the copy, and the writer will not pair it
    // with a tree that holds fewer controls than it counts. (Where the walk
    // stopped is DialogFault's and DamagedTemplates' part.)
    std::span<const std::uint8_t> cut = std::span(bytes).first(bytes.size() - 6);
    auto partial = ScanDialog(cut);
    EXPECT_EQ(Outline(partial->info.m_Dialogs), yes);
    EXPECT_FALSE(ParseDialogTemplate(cut));
    EXPECT_EQ(FailureOf(WriteDialog(*partial->info.m_Dialogs.GetChildren().at(0), WriteContext{codePage})).message,
              "dialog 100: the template has 2 controls, the project 1");
}

INSTANTIATE_TEST_SUITE_P(Layouts, DialogReaders, ::testing::ValuesIn(kLayouts),
                         [](const auto& info) { return std::string(info.param.name); });
