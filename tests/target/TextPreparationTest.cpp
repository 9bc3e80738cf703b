#include <gtest/gtest.h>

#include "extract/TextRules.h"
#include "target/TextPreparation.h"

using namespace quillon;

// The escapes of the tree become controls again, character by character: a
// double-byte character whose second byte is the byte of '\' is no escape.
TEST(TextPreparation, EscapesAreReadCharacterByCharacter) {
    struct Case {
        std::uint32_t codePage;
        std::u16string text;    // as the translator wrote it, escapes included
        std::uint16_t hotkey;
        std::u16string written; // what the module gets
    } cases[] = {
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
    for (const Case& c : cases) {
        CodePage codePage(c.codePage);
        std::string stored = codePage.FromUtf16(c.text);
        EXPECT_EQ(codePage.ToUtf16(PrepareText(stored, c.hotkey, codePage)), c.written)
            << c.codePage << " " << codePage.ToUtf8(stored);
    }
}

// Enter in the Translate dialog gives a bare line break; the translation
// takes the line breaks of its source, never splitting a double-byte character.
TEST(TextRules, TypedLineBreaksFollowTheSource) {
    struct Case {
        std::uint32_t codePage;
        const char* source;
        std::u16string typed;
        std::u16string stored;
    } cases[] = {
        {1252, "Line one\\r\\nLine two", u"Zeile eins\\nZeile zwei", u"Zeile eins\\r\\nZeile zwei"},
        {1252, "No break", u"Erste\\nZweite", u"Erste\\r\\nZweite"},
        {1252, "Bare\\nbreak", u"Nur\\nLF", u"Nur\\nLF"},
        {1252, "Bare\\nbreak", u"Mit\\r\\nCR", u"Mit\\nCR"},
        {932, "a\\r\\nb", u"ソn\\n表示", u"ソn\\r\\n表示"},
    };
    for (const Case& c : cases) {
        CodePage codePage(c.codePage);
        std::string stored = FollowLineBreaks(c.source, codePage.FromUtf16(c.typed), codePage);
        EXPECT_EQ(codePage.ToUtf16(stored), c.stored) << c.source;
    }
}
