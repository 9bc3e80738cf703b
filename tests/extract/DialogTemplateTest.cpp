// Dialog templates whose font is the system's message font (point size
// 0x7FFF): the dialog manager reads nothing of the font after the size, and
// the scan, the preview's reader and the target writer must walk them alike.

#include <gtest/gtest.h>

#include "target/TemplateWriters.h"
#include "extract/DialogTemplate.h"
#include "extract/TemplateParsers.h"
#include "io/ByteWriter.h"

using namespace quillon;

namespace {

void Utf16z(ByteWriter& out, std::u16string_view text) {
    for (char16_t unit : text) out.U16(unit);
    out.U16(0);
}

// Caption "Message fonts" and two push buttons, "&Yes" (ID 6) and "&No" (ID 7).
// The caption's length puts the first control right after the point size,
// with no padding a misreading could take for an empty face.
std::vector<std::uint8_t> MessageFontTemplate(bool extended) {
    constexpr std::uint32_t kStyle = 0x80C00000 /* WS_POPUP | WS_CAPTION */ | kDsSetFont;
    ByteWriter out;
    if (extended) {
        out.U32(0xFFFF0001);
        out.U32(0); // help id
        out.U32(0); // extended style
        out.U32(kStyle);
    } else {
        out.U32(kStyle);
        out.U32(0);
    }
    out.U16(2);
    for (std::uint16_t value : {0, 0, 120, 40}) out.U16(value);
    out.U16(0); // no menu
    out.U16(0); // default class
    Utf16z(out, u"Message fonts");
    out.U16(kMessageFontPointSize);
    std::uint16_t id = 6;
    for (std::u16string_view title : {u"&Yes", u"&No"}) {
        out.PadTo(4);
        if (extended) out.U32(0); // help id
        out.U32(extended ? 0 : 0x50010000);
        out.U32(extended ? 0x50010000 : 0);
        for (std::uint16_t value : {10, 10, 40, 14}) out.U16(value);
        if (extended)
            out.U32(id++);
        else
            out.U16(id++);
        out.U16(0xFFFF);
        out.U16(0x0080);
        Utf16z(out, title);
        out.U16(0);
    }
    return out.Take();
}

struct Scanned {
    CResourceItem dialogs;
    std::vector<std::string> diagnostics;
};

std::unique_ptr<Scanned> Scan(std::span<const std::uint8_t> bytes, const CodePage& codePage) {
    auto scanned = std::make_unique<Scanned>();
    TemplateText text(codePage);
    ParseContext context{text, scanned->diagnostics};
    TreeRoot root(scanned->dialogs);
    ParseDialog(bytes, 100, root, context);
    return scanned;
}

} // namespace

class MessageFontDialog : public ::testing::TestWithParam<bool> {};

TEST_P(MessageFontDialog, ScanPreviewAndWriterReadTheControlsAfterThePointSize) {
    std::vector<std::uint8_t> bytes = MessageFontTemplate(GetParam());
    CodePage codePage(1252);

    auto scanned = Scan(bytes, codePage);
    EXPECT_TRUE(scanned->diagnostics.empty());
    ASSERT_EQ(scanned->dialogs.GetCount(), 1u);
    CResourceItem& dialog = *scanned->dialogs.GetChildren()[0];
    EXPECT_EQ(dialog.m_strText, "Message fonts");
    ASSERT_EQ(dialog.GetCount(), 2u);
    EXPECT_EQ(dialog.GetChildren()[0]->m_strText, "Yes");
    EXPECT_EQ(dialog.GetChildren()[0]->m_chHotkey, 'Y');
    EXPECT_EQ(dialog.GetChildren()[1]->m_nID, 7);

    auto preview = ParseDialogTemplate(bytes);
    ASSERT_TRUE(preview);
    EXPECT_EQ(preview->pointSize, kMessageFontPointSize);
    EXPECT_TRUE(preview->face.empty());
    ASSERT_EQ(preview->controls.size(), 2u);
    EXPECT_EQ(preview->controls[1].title.text, u"&No");

    // Untranslated, the template comes back byte for byte; translated, only
    // the texts change and the point size still ends the font.
    auto same = WriteDialog(dialog, WriteContext{codePage});
    ASSERT_TRUE(same) << same.GetError().Describe();
    EXPECT_EQ(same.Value(), bytes);
    dialog.GetChildren()[0]->SetTranslation("Ja", 'J');
    auto translated = WriteDialog(dialog, WriteContext{codePage});
    ASSERT_TRUE(translated) << translated.GetError().Describe();
    auto reread = ParseDialogTemplate(translated.Value());
    ASSERT_TRUE(reread);
    EXPECT_EQ(reread->pointSize, kMessageFontPointSize);
    EXPECT_EQ(reread->controls[0].title.text, u"&Ja");
    EXPECT_EQ(reread->controls[1].title.text, u"&No");
}

INSTANTIATE_TEST_SUITE_P(Layouts, MessageFontDialog, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Extended" : "Standard"; });
