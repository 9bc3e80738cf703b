#include <gtest/gtest.h>

#include <iconv.h>

#include <string>
#include <vector>

#include "io/CodePage.h"
#include "io/Utf8.h"

using namespace quillon;

// Characters of double-byte and UTF-8 texts are kept whole; a code page
// without a converter says so.
TEST(CodePage, MultiByteCharactersStayWholeAndUnknownCodePagesAreSaid) {
    CodePage japanese(932);
    std::string text = japanese.FromUtf16(u"A日本");
    EXPECT_EQ(japanese.CharLength(text, 1), 2u);
    EXPECT_EQ(japanese.CharLength(text, 3), 2u);
    // A lead byte at the very end has no trail byte to claim.
    EXPECT_EQ(japanese.CharLength(text.substr(0, 4), 3), 1u);
    EXPECT_EQ(japanese.ToUtf16(text), u"A日本");
    // Cutting to a buffer never splits a character.
    EXPECT_EQ(CutToBuffer(text, 4, japanese), "A" + japanese.FromUtf16(u"日"));
    EXPECT_EQ(CutToBuffer("ab\xE2\x82\xAC" "c", 4, CodePage(kCodePageUtf8)), "ab"); // ab€c
    EXPECT_EQ(CutToBuffer("ab\xE2\x82\xAC" "c", 5, CodePage(kCodePageUtf8)), "ab\xE2\x82\xAC");
    EXPECT_FALSE(CodePage(12345).Supported());
}

TEST(CodePage, Utf8IsWrittenAndReadWithoutLoss) {
    CodePage utf8(kCodePageUtf8);
    std::u16string text = u"aä€日\U0001F600";
    std::string bytes = utf8.FromUtf16(text);
    EXPECT_EQ(bytes, "a\xC3\xA4\xE2\x82\xAC\xE6\x97\xA5\xF0\x9F\x98\x80");
    EXPECT_EQ(utf8.ToUtf16(bytes), text);
    std::size_t replaced = 0;
    EXPECT_EQ(utf8.FromUtf16(u"x\xDC00", &replaced), "x?"); // a lone low surrogate
    EXPECT_EQ(replaced, 1u);
    // Invalid, overlong and surrogate encodings read as U+FFFD, and the same
    // bytes are what the check for UTF-8 refuses and the repair replaces.
    const std::string_view invalid = "a\xFF" "b\xC0\xAF" "c\xED\xA0\x80";
    EXPECT_EQ(utf8.ToUtf16(invalid), u"a\uFFFDb\uFFFD\uFFFDc\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(ValidUtf8(std::string(invalid)), utf8.ToUtf8(invalid));
    for (std::string_view bad : {invalid, std::string_view("\xF4\x90\x80\x80"), std::string_view("cut \xE2\x82")})
        EXPECT_FALSE(IsValidUtf8(bad)) << bad;
    EXPECT_TRUE(IsValidUtf8(bytes));
    EXPECT_EQ(ValidUtf8(bytes), bytes);
    EXPECT_EQ(CodePage(1252).ToUtf8("\xE4\x80"), "\xC3\xA4\xE2\x82\xAC");
    EXPECT_EQ(CodePage(1252).FromUtf8("\xC3\xA4\xE2\x82\xAC"), "\xE4\x80");
}

namespace {

// `in` converted by `cd` as one piece, as the reference for the tables and
// shortcuts CodePage takes for the Windows code pages; empty when the
// converter refuses it.
std::string ThroughIconv(iconv_t cd, std::string in) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char buffer[16];
    char* inPtr = in.data();
    std::size_t inLeft = in.size();
    char* outPtr = buffer;
    std::size_t outLeft = sizeof buffer;
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) return {};
    iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
    return std::string(buffer, static_cast<std::size_t>(outPtr - buffer));
}

} // namespace

TEST(CodePage, SingleByteWindowsCodePagesConvertEveryCharacterAsTheConverterDoes) {
    for (std::uint32_t id : {874u, 1250u, 1251u, 1252u, 1253u, 1254u, 1256u, 1257u}) {
        SCOPED_TRACE("code page " + std::to_string(id));
        CodePage page(id);
        const std::string name = "CP" + std::to_string(id);
        iconv_t toUtf16 = iconv_open("UTF-16LE", name.c_str()), fromUtf16 = iconv_open(name.c_str(), "UTF-16LE");
        // Each byte on its own: U+FFFD when it decodes to nothing alone.
        std::string everyByte;
        std::u16string expectedUnits;
        for (int byte = 0; byte < 256; ++byte) {
            everyByte.push_back(static_cast<char>(byte));
            std::string unit = ThroughIconv(toUtf16, std::string(1, static_cast<char>(byte)));
            if (unit.size() != 2) unit = "\xFD\xFF"; // U+FFFD, as UTF-16LE
            auto low = static_cast<std::uint8_t>(unit[0]), high = static_cast<std::uint8_t>(unit[1]);
            expectedUnits.push_back(static_cast<char16_t>(low | high << 8));
        }
        EXPECT_EQ(page.ToUtf16(everyByte), expectedUnits);
        // Every unit outside the surrogates, in one text; the count of '?'
        // must be the units the reference has no byte for.
        std::u16string everyUnit;
        std::string expectedBytes;
        std::size_t expectedReplaced = 0;
        for (std::uint32_t unit = 1; unit < 0x10000; ++unit) {
            if (unit >= 0xD800 && unit < 0xE000) continue;
            everyUnit.push_back(static_cast<char16_t>(unit));
            std::string bytes = ThroughIconv(fromUtf16, {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)});
            expectedBytes += bytes.empty() ? "?" : bytes;
            expectedReplaced += bytes.empty() && unit != '?';
        }
        iconv_close(toUtf16);
        iconv_close(fromUtf16);
        std::size_t replaced = 0;
        EXPECT_EQ(page.FromUtf16(everyUnit, &replaced), expectedBytes);
        EXPECT_EQ(replaced, expectedReplaced);
    }
}

// The single-byte Windows code pages and UTF-8 convert without opening a
// converter, which the statically linked quillon-cli cannot load; the others
// say so first.
TEST(CodePage, OnlyCodePagesWithoutATableOpenAConverter) {
    static std::vector<std::uint32_t> opened;
    opened.clear();
    CodePage::SetBeforeConverter([](std::uint32_t codePage) { opened.push_back(codePage); });
    for (std::uint32_t id : {874u, 1250u, 1252u, 1257u, kCodePageUtf8, 932u, 1255u, 437u}) {
        CodePage page(id);
        EXPECT_TRUE(page.Supported()) << id;
        page.ToUtf16(page.FromUtf16(u"äก日"));
    }
    CodePage::SetBeforeConverter(nullptr);
    EXPECT_EQ(opened, (std::vector<std::uint32_t>{932, 1255, 437}));
}

TEST(CodePage, SupplementaryCharactersAndLoneSurrogatesAreReplacedOrDroppedAsTheConverterDoes) {
    // Tag characters vanish in the converter; other supplementary ones and an
    // unpaired surrogate are one '?' each.
    const std::u16string text = u"A\U000E0041B\U0001F600C\U000E007FD\xD800" u"E";
    for (std::uint32_t id : {1252u, 1251u, 932u, 1258u}) {
        SCOPED_TRACE("code page " + std::to_string(id));
        std::size_t replaced = 0;
        EXPECT_EQ(CodePage(id).FromUtf16(text, &replaced), "AB?CD?E");
        EXPECT_EQ(replaced, 2u);
    }
}

TEST(CodePage, ConverterThatConsumesAnInvalidSequenceStopsAtTheEnd) {
    // The Korean converter takes both bytes of A2 E8 and then calls them
    // invalid; the conversion must not step past the text (ASan watches).
    CodePage korean(949);
    if (!korean.Supported()) GTEST_SKIP() << "no Korean converter";
    EXPECT_TRUE(korean.ToUtf16("\xA2\xE8").ends_with(u'\uFFFD')) << "the bytes read as U+FFFD";
}
