#include <gtest/gtest.h>

#include "io/CodePage.h"

using namespace quillon;

TEST(CodePage, ConvertsWesternTextAndCountsWhatItCannotHold) {
    CodePage western(1252);
    std::size_t replaced = 0;
    EXPECT_EQ(western.FromUtf16(u"Grüße €", &replaced), "Gr\xFC\xDF" "e \x80");
    EXPECT_EQ(replaced, 0u);
    EXPECT_EQ(western.FromUtf16(u"A\u65E5B\u672C", &replaced), "A?B?");
    EXPECT_EQ(replaced, 2u);
    EXPECT_EQ(western.ToUtf16("Gr\xFC\xDF" "e \x80"), u"Grüße €");
}

TEST(CodePage, LoneSurrogateAndSupplementaryCharacterBecomeOneQuestionMarkEach) {
    CodePage western(1252);
    std::size_t replaced = 0;
    std::u16string text = u"a";
    text += char16_t(0xD800); // unpaired
    text += u"b\U0001F600c";
    EXPECT_EQ(western.FromUtf16(text, &replaced), "a?b?c");
    EXPECT_EQ(replaced, 2u);
}

TEST(CodePage, DoubleByteCodePagesKnowTheirCharacterLengths) {
    CodePage japanese(932);
    std::string text = japanese.FromUtf16(u"A日本");
    ASSERT_EQ(text.size(), 5u);
    EXPECT_EQ(japanese.CharLength(text, 0), 1u);
    EXPECT_EQ(japanese.CharLength(text, 1), 2u);
    EXPECT_EQ(japanese.CharLength(text, 3), 2u);
    // A lead byte at the very end has no trail byte to claim.
    EXPECT_EQ(japanese.CharLength(text.substr(0, 4), 3), 1u);
    EXPECT_EQ(japanese.ToUtf16(text), u"A日本");
}

TEST(CodePage, CuttingNeverSplitsAMultiByteCharacter) {
    CodePage utf8(kCodePageUtf8);
    std::string text = "ab\xE2\x82\xAC" "c"; // ab€c
    EXPECT_EQ(CutToBuffer(text, 4, utf8), "ab");
    EXPECT_EQ(CutToBuffer(text, 5, utf8), "ab\xE2\x82\xAC");
    CodePage western(1252);
    EXPECT_EQ(CutToBuffer("abcdef", 3, western), "abc");
}

TEST(CodePage, UnknownCodePageIsReportedUnsupported) {
    EXPECT_FALSE(CodePage(12345).Supported());
    EXPECT_TRUE(CodePage(1250).Supported());
    EXPECT_TRUE(CodePage(950).Supported());
}

TEST(CodePage, Utf8IsWrittenAndReadWithoutLoss) {
    CodePage utf8(kCodePageUtf8);
    std::u16string text = u"aä€日\U0001F600";
    std::string bytes = utf8.FromUtf16(text);
    EXPECT_EQ(bytes, "a\xC3\xA4\xE2\x82\xAC\xE6\x97\xA5\xF0\x9F\x98\x80");
    EXPECT_EQ(utf8.ToUtf16(bytes), text);
    std::size_t replaced = 0;
    std::u16string lone = u"x";
    lone += char16_t(0xDC00);
    EXPECT_EQ(utf8.FromUtf16(lone, &replaced), "x?");
    EXPECT_EQ(replaced, 1u);
    // Invalid, overlong and surrogate encodings read as U+FFFD.
    EXPECT_EQ(utf8.ToUtf16("a\xFF" "b\xC0\xAF" "c\xED\xA0\x80"), u"a\uFFFDb\uFFFD\uFFFDc\uFFFD\uFFFD\uFFFD");
    CodePage western(1252);
    EXPECT_EQ(western.ToUtf8("\xE4\x80"), "\xC3\xA4\xE2\x82\xAC");
    EXPECT_EQ(western.FromUtf8("\xC3\xA4\xE2\x82\xAC"), "\xE4\x80");
}
