#include "project/Project.h"

#include <ctime>
#include <filesystem>

#include "extract/Languages.h"
#include "extract/ResourceExtractor.h"
#include "io/FileIo.h"
#include "model/Archive.h"

namespace quillon {

void CProject::Store(ArchiveWriter& out, std::int64_t now) const {
    out.Text(m_strModulePath);
    out.Text(m_strTargetPath);
    out.Text(m_strDictionaryPath);
    out.Text(m_strTranslator);
    out.Text(m_strEMail);
    out.Word(m_wTargetLanguage);
    m_ResourceInfo.Store(out, now);
}

void CProject::Load(ArchiveReader& in) {
    m_ResourceInfo.Clear();
    m_Dictionary.Empty();
    m_strModulePath = in.Text();
    m_strTargetPath = in.Text();
    m_strDictionaryPath = in.Text();
    m_strTranslator = in.Text();
    m_strEMail = in.Text();
    m_wTargetLanguage = in.Word();
    m_ResourceInfo.Load(in);
}

std::uint32_t CProject::GetCodePage() const {
    return m_nCodePage != 0 ? m_nCodePage : DefaultCodePage(m_wTargetLanguage);
}

Status CProject::Open(const std::string& path, IProgress* progress) {
    auto bytes = path.empty() ? Result<std::vector<std::uint8_t>>(MakeError(Error::Code::NotFound, "no path"))
                              : ReadWholeFile(path);
    // Only a missing (or empty) project file means "build it from the module";
    // one that cannot be read is an error, or a later save would replace it.
    if (!bytes && !path.empty() && FileExists(path)) return bytes.GetError();
    // Everything is read into a fresh project first, so a malformed file
    // never leaves a half-read project behind.
    CProject fresh;
    fresh.m_nCodePage = m_nCodePage;
    try {
        if (bytes && !bytes.Value().empty()) {
            ArchiveReader in(bytes.Value());
            try {
                fresh.Load(in);
            } catch (const ArchiveError& error) {
                throw error.InFile(path);
            }
        } else {
            if (!FileExists(m_strModulePath))
                return MakeError(Error::Code::NotFound, "no project file at '" + path + "' and no module at '" +
                                                           m_strModulePath + "'");
            fresh.m_strModulePath = m_strModulePath;
            fresh.m_strTargetPath = m_strTargetPath;
            fresh.m_strDictionaryPath = m_strDictionaryPath;
            fresh.m_strTranslator = m_strTranslator;
            fresh.m_strEMail = m_strEMail;
            fresh.m_wTargetLanguage = m_wTargetLanguage;
            CResourceExtractor extractor(m_strModulePath, fresh.m_ResourceInfo, CodePage(fresh.GetCodePage()), progress);
            extractor.Extract();
            if (!extractor.Report().loaded) return MakeError(Error::Code::NotModule, extractor.Report().error);
            fresh.m_nReplaced = extractor.Report().replacedCharacters;
        }
        fresh.m_Dictionary.Load(fresh.DictionaryFile(path));
    } catch (const ArchiveError& error) {
        return MakeError(Error::Code::Malformed, error.Reason(), error.Offset());
    }
    fresh.m_bLoaded = m_bLoaded;
    *this = std::move(fresh);
    return Done{};
}

// The dictionary goes first: when it cannot be written, the project file is
// not replaced either, and each file is written atomically.
Status CProject::Save(const std::string& path) const {
    Status dictionary = m_Dictionary.Save(DictionaryFile(path));
    if (!dictionary) {
        Error error = dictionary.GetError();
        error.message = "the dictionary could not be saved, so the project was not saved either: " + error.message;
        return error;
    }
    ArchiveWriter out;
    Store(out, static_cast<std::int64_t>(std::time(nullptr)));
    return WriteFileAtomically(path, out.Data());
}

std::string CProject::DictionaryFile(const std::string& projectPath) const {
    std::filesystem::path dictionary(m_strDictionaryPath);
    if (m_strDictionaryPath.empty() || dictionary.is_absolute() || projectPath.empty()) return m_strDictionaryPath;
    return (std::filesystem::path(projectPath).parent_path() / dictionary).string();
}

bool CProject::ExtractFrom(const std::string& modulePath, IProgress* progress) {
    if (modulePath.empty() || !FileExists(modulePath)) return false;
    CResourceExtractor extractor(modulePath, m_ResourceInfo, CodePage(GetCodePage()), progress);
    bool result = extractor.Extract();
    m_strModulePath = modulePath;
    m_nReplaced = extractor.Report().replacedCharacters;
    return result && extractor.Report().loaded;
}

} // namespace quillon
