#include "extract/FileVersion.h"

#include <cstdio>

#include "extract/Languages.h"
#include "io/ByteReader.h"
#include "pe/ResourceModule.h"
#include "pe/VersionEntries.h"

namespace quillon {

namespace {

constexpr std::uint16_t kVersionInfoId = 1;

const char* FileTypeName(std::uint32_t type, std::uint32_t subtype) {
    switch (type) {
    case 0: return "Unknown type";
    case 1: return "Application";
    case 2: return "Dynamic link library";
    case 5: return "Virtual device";
    case 7: return "Static link library";
    case 3: {
        static const char* const drivers[] = {"Unknown driver",  "Printer driver", "Keyboard driver",
                                              "Language driver", "Display driver", "Mouse driver",
                                              "Network driver",  "System driver",  "Installable driver",
                                              "Sound driver"};
        return subtype < 10 ? drivers[subtype] : nullptr;
    }
    case 4: {
        static const char* const fonts[] = {"Unknown font", "Raster font", "Vector font", "Truetype font"};
        return subtype < 4 ? fonts[subtype] : nullptr;
    }
    default: return nullptr;
    }
}

const char* OsName(std::uint32_t os) {
    switch (os) {
    case 0: return "Unknown OS";
    case 0x10000: return "MS-DOS";
    case 0x10001: return "16-bit windows running on MS-DOS";
    case 0x10004: return "Win32 API running on MS-DOS";
    case 0x20000: return "16-bit OS/2";
    case 0x20002: return "16-bit Presentation manager running on 16-bit OS/2";
    case 0x30000: return "32-bit OS/2";
    case 0x40000: return "Windows NT";
    case 0x40004: return "Win32 API on Windows NT";
    default: return nullptr;
    }
}

} // namespace

void CFileVersion::SetFileName(const std::string& path) {
    if (path != m_strFileName) m_bValid = false;
    m_strFileName = path;
}

bool CFileVersion::Load() {
    if (m_strFileName.empty()) return false;
    auto module = ResourceModule::Open(m_strFileName);
    return module && LoadFrom(module.Value());
}

bool CFileVersion::LoadFrom(const ResourceModule& module) {
    m_bValid = false;
    // The version functions read the resource named 1; fall back to the first integer name.
    auto bytes = module.Find(kTypeVersion, kVersionInfoId);
    if (!bytes)
        for (const ResourceId& name : module.EnumerateNames(kTypeVersion))
            if (!name.named && (bytes = module.Find(kTypeVersion, name.id))) break;
    if (!bytes) return false;
    auto root = ParseVersionEntries(*bytes);
    if (!root || root->value.size() < m_FixedFileInfo.size() * 4) return false;
    for (std::size_t i = 0; i < m_FixedFileInfo.size(); ++i) m_FixedFileInfo[i] = *ByteReader::U32At(root->value, 4 * i);

    m_wLanguageId = 0;
    m_wCodePage = 0;
    if (auto translation = ReadVersionTranslation(*bytes)) {
        m_wLanguageId = translation->language;
        m_wCodePage = translation->codePage;
    }
    char table[16];
    std::snprintf(table, sizeof table, "%04x%04x", m_wLanguageId, m_wCodePage);
    auto query = [&](const char* key) {
        std::string path = std::string("\\StringFileInfo\\") + table + "\\" + key;
        const VersionEntry* entry = FindVersionEntry(*root, std::u16string(path.begin(), path.end()));
        return entry ? m_codePage.FromUtf16(entry->Text()) : std::string();
    };
    m_strCompanyName = query("CompanyName");
    m_strLegalCopyright = query("LegalCopyRight");
    m_strProductName = query("ProductName");
    m_strProductVersion = query("ProductVersion");
    m_strOriginalFileName = query("OriginalFileName");
    m_strFileDescription = query("FileDescription");
    m_strFileVersion = query("FileVersion");
    m_strInternalName = query("InternalName");
    Describe();
    m_bValid = true;
    return true;
}

void CFileVersion::Describe() {
    char version[64];
    std::uint32_t ms = m_FixedFileInfo[kFileVersionMS];
    std::uint32_t ls = m_FixedFileInfo[kFileVersionLS];
    std::snprintf(version, sizeof version, "%d.%d.%d.%d", static_cast<int>(ms >> 16), static_cast<int>(ms & 0xFFFF),
                  static_cast<int>(ls >> 16), static_cast<int>(ls & 0xFFFF));
    m_strVersion = version;
    if (const char* type = FileTypeName(m_FixedFileInfo[kFileType], m_FixedFileInfo[kFileSubtype])) m_strFileType = type;
    if (const char* os = OsName(m_FixedFileInfo[kFileOS])) m_strOS = os;
}

bool CFileVersion::IsValid() { return m_bValid || Load(); }

bool CFileVersion::Get(const std::string& member, std::string& out) {
    out.clear();
    if (!IsValid()) return false;
    out = member;
    return true;
}

bool CFileVersion::GetLanguage(std::uint16_t& language) {
    language = 0;
    if (!IsValid()) return false;
    language = m_wLanguageId;
    return true;
}

bool CFileVersion::GetCodePage(std::uint16_t& codePage) {
    codePage = 0;
    if (!IsValid()) return false;
    codePage = m_wCodePage;
    return true;
}

bool CFileVersion::GetFixedFileInfo(std::array<std::uint32_t, 13>& fixed) {
    fixed.fill(0);
    if (!IsValid()) return false;
    fixed = m_FixedFileInfo;
    return true;
}

bool CFileVersion::GetVersion(std::string& version) { return Get(m_strVersion, version); }

std::string CFileVersion::GetLanguageName() { return IsValid() ? LanguageName(m_wLanguageId) : std::string(); }

} // namespace quillon
