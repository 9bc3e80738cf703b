#include <gtest/gtest.h>

#include "model/TextEscapes.h"

using namespace quillon;

namespace {

struct EscapeCase {
    const char* what;
    std::uint32_t codePage;
    std::string module; // as the module holds it
    std::string tree;   // as the tree holds it
};

// A double-byte character whose second byte is that of '\' ("ソ" in 932).
const std::string kSo = "\x83\x5C";

} // namespace

TEST(TextEscapes, ModuleTextsTakeTheTreeFormAndComeBackUnchanged) {
    const EscapeCase cases[] = {
        {"path spelling escapes", 1252, "C:\\temp\\new\\report.txt", "C:\\\\temp\\\\new\\\\report.txt"},
        {"UNC path", 1252, "\\\\server\\root", "\\\\\\\\server\\\\root"},
        {"controls", 1252, "a\r\nb\tc", "a\\r\\nb\\tc"},
        {"backslash before a line break", 1252, "end \\\nnext", "end \\\\\\nnext"},
        {"double-byte character ending in '\\'", 932, kSo + "nt", kSo + "nt"},
        {"double-byte character, then a line break", 932, kSo + "\n", kSo + "\\n"},
        {"nothing to escape", 1252, "Open", "Open"},
    };
    for (const EscapeCase& c : cases) {
        CodePage codePage(c.codePage);
        EXPECT_EQ(EscapeText(c.module, codePage), c.tree) << c.what;
        EXPECT_EQ(EscapeText(std::string(c.module), codePage), c.tree) << c.what << " (handed over)";
        EXPECT_EQ(UnescapeText(c.tree, codePage), c.module) << c.what;
    }
}

// Before backslashes were escaped, "\t" was a tab and any other backslash
// stood for itself; converted texts must build exactly as they did (here:
// texts that form read without loss).
TEST(TextEscapes, OlderProjectTextsKeepWhatTheyBuiltAs) {
    const struct { const char* what; std::uint32_t codePage; std::string module; } cases[] = {
        {"tab", 1252, "C:\ttemp"},
        {"lone backslash", 1252, "50\\%"},
        {"two backslashes", 1252, "\\\\server"},
        {"backslash before a line break", 1252, "\\\n"},
        {"double-byte character ending in '\\'", 932, kSo + "n"},
    };
    for (const auto& c : cases) {
        CodePage codePage(c.codePage);
        // The older form of the text is what the older scan wrote: controls escaped, backslashes not.
        std::string older = EscapeTypedControls(c.module);
        EXPECT_EQ(UnescapeText(EscapeLoneBackslashes(older, codePage), codePage), c.module) << c.what;
    }
}
