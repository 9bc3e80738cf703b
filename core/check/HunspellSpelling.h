#pragma once
// The spelling check's dictionary: the Hunspell dictionary of the target
// language as the system has it installed, plus the words of the project's
// own dictionary, which name things Hunspell cannot know.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "check/ProjectChecks.h"

struct Hunhandle;

namespace quillon {

class CDictonary;

// The words of a UTF-8 text worth looking up, in order, each once. Words are
// runs of letters (any script) with apostrophes inside; hyphens and other
// punctuation separate them. Left out: runs that contain a digit, the run
// right after '%' (a placeholder: %s, %1, %2!d!), single letters, words in
// capitals of up to four letters (abbreviations: OK, PDF) and the text after
// the last tab when it has no space (a menu's accelerator: Strg+O).
std::vector<std::string> SpellingWords(std::string_view utf8);

// The folders Hunspell dictionaries are installed in on Debian.
std::span<const std::string> SystemSpellingFolders();

// The dictionary files (without .aff/.dic) for a language in `folders`, the
// preferred one first: the language's main locale (de_DE for German), then
// the bare language (de), then its other locales (de_AT, de_CH) by name.
std::vector<std::string> SpellingDictionaries(std::uint16_t language, std::span<const std::string> folders);

class HunspellSpelling final : public ISpelling {
public:
    // Null when the files cannot be read as a Hunspell dictionary.
    static std::unique_ptr<HunspellSpelling> Open(const std::string& basePath);
    ~HunspellSpelling() override;
    HunspellSpelling(const HunspellSpelling&) = delete;
    HunspellSpelling& operator=(const HunspellSpelling&) = delete;

    // Looks words up one at a time: Hunspell keeps state while it looks, so
    // one object serves one thread.
    std::vector<std::string> Unknown(std::string_view text) const override;
    bool Knows(std::string_view utf8Word) const;
    // Makes the words of `utf8` known for as long as this object lives.
    void AddWords(std::string_view utf8);
    // The translations of every entry (texts in `codePage`, escapes as the
    // tree writes them).
    void AddTranslations(const CDictonary& dictionary, const CodePage& codePage);

    const std::string& Encoding() const { return m_encoding; }

private:
    HunspellSpelling(Hunhandle* handle, std::string encoding);
    // The word in the dictionary's encoding; empty when it cannot hold it.
    std::string ToDictionary(std::string_view utf8Word) const;

    Hunhandle* m_handle;
    std::string m_encoding; // as iconv names it
};

// The spelling of `language` (a Windows language identifier) from the first
// dictionary the folders hold, knowing the translations of `knownWords` (in
// `codePage`) as well; null when no dictionary for the language is installed.
std::unique_ptr<HunspellSpelling> OpenSpelling(std::uint16_t language, const CDictonary* knownWords,
                                               const CodePage& codePage,
                                               std::span<const std::string> folders = SystemSpellingFolders());

} // namespace quillon
