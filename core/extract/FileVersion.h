#pragma once
// What a module says about itself: fixed file version, first language and
// code page of its translation table, the standard version strings and
// descriptions of its operating system and file type. Read from the file's
// own version resource; no module is loaded.

#include <array>
#include <cstdint>
#include <string>

#include "io/CodePage.h"

namespace quillon {

class ResourceModule;

class CFileVersion {
public:
    CFileVersion() = default;
    explicit CFileVersion(CodePage codePage) : m_codePage(std::move(codePage)) {}
    virtual ~CFileVersion() = default;

    // A different name (case-sensitive) makes the record load again.
    void SetFileName(const std::string& path);
    bool Load();
    // Loads from a module already in memory (same rules as Load).
    bool LoadFrom(const ResourceModule& module);

    bool IsValid();
    bool GetLanguage(std::uint16_t& language);
    bool GetCodePage(std::uint16_t& codePage);
    bool GetFixedFileInfo(std::array<std::uint32_t, 13>& fixed);
    bool GetVersion(std::string& version);
    bool GetCompanyName(std::string& text) { return Get(m_strCompanyName, text); }
    bool GetLegalCopyright(std::string& text) { return Get(m_strLegalCopyright, text); }
    bool GetFileDescription(std::string& text) { return Get(m_strFileDescription, text); }
    bool GetFileVersion(std::string& text) { return Get(m_strFileVersion, text); }
    bool GetInternalName(std::string& text) { return Get(m_strInternalName, text); }
    bool GetOriginalFileName(std::string& text) { return Get(m_strOriginalFileName, text); }
    bool GetProductName(std::string& text) { return Get(m_strProductName, text); }
    bool GetProductVersion(std::string& text) { return Get(m_strProductVersion, text); }
    bool GetOS(std::string& text) { return Get(m_strOS, text); }
    bool GetFileType(std::string& text) { return Get(m_strFileType, text); }
    // English name of the module's language, "" when loading failed.
    std::string GetLanguageName();

    // Fixed-information word indexes.
    static constexpr std::size_t kFileVersionMS = 2;
    static constexpr std::size_t kFileVersionLS = 3;
    static constexpr std::size_t kFileOS = 8;
    static constexpr std::size_t kFileType = 9;
    static constexpr std::size_t kFileSubtype = 10;

private:
    bool Get(const std::string& member, std::string& out);
    void Describe();

    CodePage m_codePage;
    std::uint16_t m_wLanguageId = 0;
    std::uint16_t m_wCodePage = 0;
    std::array<std::uint32_t, 13> m_FixedFileInfo{};
    std::string m_strFileName;
    std::string m_strCompanyName;
    std::string m_strLegalCopyright;
    std::string m_strFileDescription;
    std::string m_strFileVersion;
    std::string m_strInternalName;
    std::string m_strOriginalFileName;
    std::string m_strProductName;
    std::string m_strProductVersion;
    std::string m_strVersion;
    std::string m_strOS;
    std::string m_strFileType;
    bool m_bValid = false;
};

} // namespace quillon
