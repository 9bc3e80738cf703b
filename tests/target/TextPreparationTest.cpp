#include <gtest/gtest.h>

#include "extract/TextRules.h"
#include "target/TextPreparation.h"

using namespace quillon;

// The escapes of the tree become controls again, character by character: a
// double-byte character whose second byte is the byte of '\' is no escape.
TEST(TextPreparation, EscapesAreReadCharacterByCharacter) {
    // Code page, the text as the translator wrote it (escapes included), its hotkey, what the module gets.
    const std::tuple<std::uint32_t, std::u16string, std::uint16_t, std::u16string> cases[] = {
        {932, u"ソnt", 0, u"ソnt"},             // ソ is 0x83 0x5C in 932
        {932, u"表示\\n次", 0, u"表示\n次"},
        {932, u"ソ\\nO", 'O', u"ソ\n&O"},
        {1252, u"Open\\tCtrl+O", 'O', u"&Open\tCtrl+O"},
        {1252, u"Laden\\tStrg+O", 'O', u"Laden\tStrg+O"}, // never in the accelerator
        {936, u"乗\\r\\n", 0, u"乗\r\n"},
        // A text whose first '&' is doubled was kept whole: it keeps its
        // own '&' and gets none before the hotkey it is written with.
        {1252, u"Speichern && &Beenden", 'S', u"Speichern && &Beenden"},
        {932, u"保存 && 終了(&S)", 'S', u"保存 && 終了(&S)"},
        {1252, u"Save && Exit", 'x', u"Save && E&xit"},
        {1252, u"Tom && Jerry", 'T', u"&Tom && Jerry"},
    };
    for (const auto& [page, text, hotkey, written] : cases) {
        CodePage codePage(page);
        std::string stored = codePage.FromUtf16(text);
        EXPECT_EQ(codePage.ToUtf16(PrepareText(stored, hotkey, codePage)), written)
            << page << " " << codePage.ToUtf8(stored);
    }
}

// Enter in the Translate dialog gives a bare line break; the translation
// takes the line breaks of its source, never splitting a double-byte character.
TEST(TextRules, TypedLineBreaksFollowTheSource) {
    // Code page, the source, the translation as typed, as stored.
    const std::tuple<std::uint32_t, const char*, std::u16string, std::u16string> cases[] = {
        {1252, "Line one\\r\\nLine two", u"Zeile eins\\nZeile zwei", u"Zeile eins\\r\\nZeile zwei"},
        {1252, "No break", u"Erste\\nZweite", u"Erste\\r\\nZweite"},
        {1252, "Bare\\nbreak", u"Nur\\nLF", u"Nur\\nLF"},
        {1252, "Bare\\nbreak", u"Mit\\r\\nCR", u"Mit\\nCR"},
        {932, "a\\r\\nb", u"ソn\\n表示", u"ソn\\r\\n表示"},
    };
    for (const auto& [page, source, typed, stored] : cases) {
        CodePage codePage(page);
        EXPECT_EQ(codePage.ToUtf16(FollowLineBreaks(source, codePage.FromUtf16(typed), codePage)), stored) << source;
    }
}
