#pragma once
// How the tree writes what a text cannot show as it is: CR, LF and tab as
// the two-character escapes \r, \n and \t, and a backslash of the module's
// own as \\, so that "C:\new" in a module is never built as "C:" and a line
// break. Texts are read character by character in their code page: a
// double-byte character whose second byte is that of '\' is one character,
// never the start of an escape.

#include <cstddef>
#include <string>
#include <string_view>

#include "io/CodePage.h"
#include "model/ItemKind.h"

namespace quillon {

// Whether items of `kind` hold escaped texts: strings, menus and dialog
// controls do; dialog captions and version values are kept as they are.
bool HoldsEscapedText(ItemKind kind);

// 2 where an escape (\r, \n, \t or \\) starts at `pos`, 0 elsewhere. `pos`
// must be the start of a character.
std::size_t EscapeLengthAt(std::string_view text, std::size_t pos);

// The two-character escape the tree writes for `c`, or null for a character
// that stands for itself.
constexpr const char* EscapeFor(char c) {
    switch (c) {
    case '\r': return "\\r";
    case '\n': return "\\n";
    case '\t': return "\\t";
    case '\\': return "\\\\";
    default: return nullptr;
    }
}

// A module's text as the tree holds it.
std::string EscapeText(std::string_view text, const CodePage& codePage);
// The same for a text the caller gives up: one without anything to escape,
// most of them, is handed back without a copy.
std::string EscapeText(std::string&& text, const CodePage& codePage);

// The tree's text as the module holds it: each escape becomes its character;
// a backslash before any other character stays as it is.
std::string UnescapeText(std::string_view text, const CodePage& codePage);

// Text typed where translators write escapes themselves (the Translate
// dialog, glossaries): only the controls it holds, line breaks typed with
// Enter, become escapes; its backslashes are the translator's own escapes.
std::string EscapeTypedControls(std::string_view text);

// A text of a project saved before backslashes were escaped: there a
// backslash that did not begin \r, \n or \t stood for itself. It becomes \\,
// so the text builds exactly as it did.
std::string EscapeLoneBackslashes(std::string_view text, const CodePage& codePage);

} // namespace quillon
