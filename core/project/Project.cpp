#include "project/Project.h"

#include <array>
#include <ctime>
#include <filesystem>
#include <future>
#include <sys/stat.h>

#include "extract/Languages.h"
#include "extract/ResourceExtractor.h"
#include "io/FileIo.h"
#include "io/MappedFile.h"
#include "model/Archive.h"
#include "model/CountText.h"
#include "model/HashedFileInput.h"
#include "model/TextEscapes.h"
#include "model/TreeRoots.h"

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

namespace {

// The settings are paths and names: never a zero byte, which no path and no
// typed name can hold. The file has no header of its own, so this is what
// tells a project from another file that happens to parse (a module starts
// with "MZ", which reads as a 77-byte text full of zeros).
std::string SettingText(ArchiveReader& in, const char* what) {
    std::uint64_t start = in.Offset();
    std::string text = in.Text();
    if (text.find('\0') != std::string::npos)
        throw ArchiveError(std::string("the ") + what + " holds zero bytes: not a project file", start);
    return text;
}

} // namespace

void CProject::Load(ArchiveReader& in) {
    m_ResourceInfo.Clear();
    m_Dictionary.Empty();
    LoadSettings(in);
    LoadItems(in);
}

void CProject::LoadSettings(ArchiveReader& in) {
    std::uint64_t start = in.Offset();
    m_strModulePath = SettingText(in, "module path");
    if (m_strModulePath.empty()) throw ArchiveError("no module path: not a project file", start);
    m_strTargetPath = SettingText(in, "target path");
    m_strDictionaryPath = SettingText(in, "dictionary path");
    m_strTranslator = SettingText(in, "translator's name");
    m_strEMail = SettingText(in, "e-mail address");
    m_wTargetLanguage = in.Word();
}

void CProject::LoadItems(ArchiveReader& in) {
    m_ResourceInfo.Load(in);
    if (!in.AtEnd())
        in.Fail("the file goes on after the end of the project (" + CountOf(in.Remaining(), "more byte") +
                "): not a project file, or damaged");
}

bool CProject::IsProjectFile(const std::string& path) {
    auto file = MappedFile::Open(path);
    if (!file || file.Value().Size() == 0 || file.Value().Size() > kMaxInputFileSize) return false;
    HashedFileInput input(std::move(file).Value());
    ArchiveReader in(input);
    CProject probe;
    try {
        probe.LoadSettings(in);
        probe.LoadItems(in);
    } catch (const ArchiveError&) {
        return false;
    }
    return true;
}

std::uint32_t CProject::GetCodePage() const {
    return m_nCodePage != 0 ? m_nCodePage : DefaultCodePage(m_wTargetLanguage);
}

namespace {

std::optional<FileDigest> DigestOfFile(const std::string& path) {
    if (path.empty()) return std::nullopt;
    auto bytes = ReadWholeFile(path);
    if (!bytes) return std::nullopt;
    return FileDigest::Of(bytes.Value());
}

} // namespace

Status CProject::Open(const std::string& path, IProgress* progress, DamagedDictionary onDamage) {
    m_dictionaryDamaged = false;
    auto file = path.empty() ? Result<MappedFile>(MakeError(Error::Code::NotFound, "no path")) : MappedFile::Open(path);
    // Only a missing (or empty) project file means "build it from the module";
    // one that cannot be read is an error, or a later save would replace it.
    if (!file && !path.empty() && FileExists(path)) return file.GetError();
    if (file && file.Value().Size() > kMaxInputFileSize)
        return MakeError(Error::Code::Io, "'" + path + "' is larger than 1 GiB");
    // Everything is read into a fresh project first, so a malformed file
    // never leaves a half-read project behind.
    CProject fresh;
    fresh.m_nCodePage = m_nCodePage;
    fresh.m_bLoaded = m_bLoaded;
    Result<DictionaryFileRead> read = DictionaryFileRead{};
    if (!file || file.Value().Size() == 0) {
        if (Status extracted = ExtractInto(fresh, progress); !extracted) return extracted;
        read = fresh.m_Dictionary.Load(fresh.DictionaryFile(path));
    } else if (Status loaded = fresh.LoadFile(std::move(file).Value(), path, read); !loaded) {
        return loaded;
    }
    std::string dictionaryFile = fresh.DictionaryFile(path);
    if (!read && read.GetError().code == Error::Code::Malformed) {
        if (onDamage == DamagedDictionary::Refuse) {
            m_dictionaryDamaged = true;
            return read.GetError();
        }
        fresh.m_Dictionary = CDictonary();
        fresh.m_keepDictionaryFile = true;
        fresh.m_openWarnings.push_back(read.GetError().Describe() +
                                       "; the project opens without its dictionary, and saving the project leaves "
                                       "that file as it is (save the dictionary to replace it)");
        // The damaged file as it is now is what later changes are measured against.
        fresh.m_dictionaryOnDisk = DigestOfFile(dictionaryFile);
        fresh.m_dictionaryOnDiskFile = dictionaryFile;
        if (fresh.m_projectOnDisk) fresh.ReadSideFile(path);
        *this = std::move(fresh);
        return Done{};
    }
    if (!read) return read.GetError();
    // The digest of the very bytes read, so a change made after the read is
    // never taken for what was read.
    if (read.Value().exists) fresh.m_dictionaryOnDisk = FileDigest{read.Value().size, read.Value().hash};
    fresh.m_dictionaryOnDiskFile = dictionaryFile;
    // A project read from its file had its dictionary written beside it:
    // one that is gone now is said, not silently replaced by an empty one.
    if (fresh.m_projectOnDisk && !read.Value().exists && !dictionaryFile.empty())
        fresh.m_openWarnings.push_back("the dictionary '" + dictionaryFile +
                                       "' does not exist; the project opens with an empty dictionary, which its next "
                                       "save writes there");
    if (fresh.m_projectOnDisk) fresh.ReadSideFile(path);
    *this = std::move(fresh);
    return Done{};
}

// The settings come first in the file and name the dictionary, which is read
// on a second thread while this one reads the items: the two took about as
// long as each other, one after the other.
Status CProject::LoadFile(MappedFile file, const std::string& path, Result<DictionaryFileRead>& dictionary) {
    HashedFileInput input(std::move(file));
    ArchiveReader in(input);
    auto failed = [&](const ArchiveError& error) {
        if (const auto& unread = input.ReadError()) return MakeError(unread->code, unread->Describe());
        return MakeError(Error::Code::Malformed, "'" + path + "': " + error.Reason(), error.Offset());
    };
    try {
        LoadSettings(in);
    } catch (const ArchiveError& error) {
        return failed(error);
    }
    // Either policy: where no thread can be started, it is read on this one.
    auto read = [this, dictionaryPath = DictionaryFile(path)] { return m_Dictionary.Load(dictionaryPath); };
    auto dictionaryRead = std::async(std::launch::async | std::launch::deferred, read);
    Status items = Done{};
    try {
        LoadItems(in);
    } catch (const ArchiveError& error) {
        items = failed(error);
    }
    dictionary = dictionaryRead.get();
    if (!items) return items;
    m_projectOnDisk = FileDigest{input.Done(), input.Hash()};
    return Done{};
}

Status CProject::ExtractInto(CProject& fresh, IProgress* progress) const {
    if (!FileExists(m_strModulePath))
        return MakeError(Error::Code::NotFound, "no project file, and no module at '" + m_strModulePath + "'");
    fresh.m_strModulePath = m_strModulePath;
    fresh.m_strTargetPath = m_strTargetPath;
    fresh.m_strDictionaryPath = m_strDictionaryPath;
    fresh.m_strTranslator = m_strTranslator;
    fresh.m_strEMail = m_strEMail;
    fresh.m_wTargetLanguage = m_wTargetLanguage;
    CResourceExtractor extractor(m_strModulePath, fresh.m_ResourceInfo, CodePage(fresh.GetCodePage()), progress);
    if (Status scanned = extractor.Extract(); !scanned) return scanned;
    fresh.m_nReplaced = extractor.Report().replacedCharacters;
    // What the scan skipped is not in the project: the translator hears of it now.
    fresh.m_openWarnings = extractor.Report().diagnostics;
    return Done{};
}

namespace {

// A project saved before backslashes were escaped: its texts take today's
// form, in which they build exactly as they did. Returns how many items changed.
std::size_t EscapeLoneBackslashes(CResourceInfo& tree, const CodePage& codePage) {
    std::size_t changed = 0;
    WalkItems(tree, [&](const ItemVisit<CResourceItem>& visit) {
        CResourceItem& item = visit.item;
        if (!HoldsEscapedText(item.GetKind())) return;
        std::string text = EscapeLoneBackslashes(item.GetText(), codePage);
        std::string translation = EscapeLoneBackslashes(item.GetTranslation(), codePage);
        if (text == item.GetText() && translation == item.GetTranslation()) return;
        ++changed;
        item.SetText(std::move(text));
        item.SetTranslationText(std::move(translation));
    });
    for (auto& [path, previous] : tree.m_previous) {
        previous.text = EscapeLoneBackslashes(previous.text, codePage);
        previous.translation = EscapeLoneBackslashes(previous.translation, codePage);
    }
    return changed;
}

} // namespace

void CProject::ReadSideFile(const std::string& path) {
    ProjectSideFile side = ProjectSideFile::Read(path, m_openWarnings);
    // A code page given for this run wins over the one the project was made with.
    if (auto codePage = side.CodePageOverride(); codePage && m_nCodePage == 0) {
        if (CodePage(*codePage).Supported())
            m_nCodePage = *codePage;
        else
            m_openWarnings.push_back("the project's texts are in code page " + std::to_string(*codePage) +
                                     ", which this system cannot convert; the target language's default is used");
    }
    m_ResourceInfo.m_previous = side.Previous(CodePage(GetCodePage()));
    // Nothing tells a project of an older version from one that lost its
    // side file: the texts are read the older way, and the translator is told.
    if (!side.EscapesBackslashes())
        if (std::size_t changed = EscapeLoneBackslashes(m_ResourceInfo, CodePage(GetCodePage())); changed != 0)
            m_openWarnings.push_back(
                "the side file '" + ProjectSideFile::PathFor(path) + "' does not say that this project's backslashes "
                "are escaped, so " + CountOf(changed, "text") + " with backslashes " + (changed == 1 ? "was" : "were") +
                " read as an older version of Quillon wrote them; if this version saved the project, put its side "
                "file back before saving");
    m_ResourceInfo.m_scanWarnings = side.Warnings();
    m_ResourceInfo.ForgetHandledChanges();
    if (auto recorded = side.Project(path); recorded && *recorded != *m_projectOnDisk)
        m_openWarnings.push_back("'" + path +
                                 "' is not the file Quillon last saved: another program changed it, or it is damaged");
    // (A dictionary that is gone was said already.)
    if (auto recorded = side.Dictionary(m_strDictionaryPath); recorded && m_dictionaryOnDisk && recorded != m_dictionaryOnDisk)
        m_openWarnings.push_back("the dictionary '" + DictionaryFile(path) +
                                 "' changed since this project was last saved: by another project that shares it, "
                                 "by another program, or by damage");
}

Status CProject::WriteSideFile(const std::string& path) const {
    // Another project's side file stays as it is (also when only the dictionary is saved).
    if (Status free = CheckSideFileIsFree(path); !free) return free;
    std::vector<std::string> ignored; // a damaged side file is simply written anew
    ProjectSideFile side = ProjectSideFile::Read(path, ignored);
    if (m_projectOnDisk) side.SetProject(path, *m_projectOnDisk);
    side.SetCodePageOverride(m_nCodePage);
    side.SetEscapesBackslashes();
    side.SetWarnings(m_ResourceInfo.m_scanWarnings);
    side.SetPrevious(m_ResourceInfo.OpenPrevious(), CodePage(GetCodePage()));
    if (!m_strDictionaryPath.empty() && m_dictionaryOnDisk && m_dictionaryOnDiskFile == DictionaryFile(path))
        side.SetDictionary(m_strDictionaryPath, *m_dictionaryOnDisk);
    Status written = side.Write(path);
    if (!written) {
        Error error = written.GetError();
        error.message = "the project was saved, but not its side file: " + error.message;
        return error;
    }
    return Done{};
}

// The dictionary goes first: when it cannot be written, the project file is
// not replaced either, and each file is written atomically.
Status CProject::Save(const std::string& path) {
    if (Status free = CheckSideFileIsFree(path); !free) return free;
    bool keepDictionary = m_keepDictionaryFile && DictionaryFile(path) == m_dictionaryOnDiskFile;
    if (Status dictionary = keepDictionary ? Status(Done{}) : SaveDictionaryFile(path); !dictionary) {
        Error error = dictionary.GetError();
        error.message = "the dictionary could not be saved, so the project was not saved either: " + error.message;
        return error;
    }
    ArchiveWriter out;
    const auto now = static_cast<std::int64_t>(std::time(nullptr));
    Store(out, now);
    // The side file is written before the project: renaming the project is
    // the last write of a save, so a command that locks the new project file
    // can never have its side file overwritten by this save.
    std::optional<FileDigest> before = m_projectOnDisk;
    m_projectOnDisk = FileDigest::Of(out.Data());
    Status side = WriteSideFile(path);
    if (Status written = WriteFileAtomically(path, out.Data()); !written) {
        m_projectOnDisk = before;
        if (side) WriteSideFile(path); // it must describe the project that stays
        return written;
    }
    m_ResourceInfo.m_timeSaved = now; // as the file now says
    return side;
}

Status CProject::SaveDictionary(const std::string& path) {
    if (Status saved = SaveDictionaryFile(path); !saved) return saved;
    m_keepDictionaryFile = false;
    // A project never saved has no side file yet; its first save writes one.
    return path.empty() || !FileExists(path) ? Status(Done{}) : WriteSideFile(path);
}

Status CProject::SaveDictionaryFile(const std::string& path) {
    std::string dictionaryFile = DictionaryFile(path);
    if (dictionaryFile.empty()) return Done{};
    ArchiveWriter out;
    m_Dictionary.Store(out);
    FileDigest digest = FileDigest::Of(out.Data());
    // A dictionary that did not change is not written: a shared, read-only
    // team dictionary must not keep the project from being saved.
    if (dictionaryFile == m_dictionaryOnDiskFile && m_dictionaryOnDisk == digest && DigestOfFile(dictionaryFile) == digest)
        return Done{};
    if (Status written = WriteFileAtomically(dictionaryFile, out.Data()); !written) return written;
    m_dictionaryOnDisk = digest;
    m_dictionaryOnDiskFile = dictionaryFile;
    return Done{};
}

std::vector<std::string> CProject::ChangedOnDisk(const std::string& path) const {
    std::vector<std::string> changed;
    if (m_projectOnDisk && DigestOfFile(path) != m_projectOnDisk) changed.push_back(path);
    if (DictionaryChangedOnDisk(path)) changed.push_back(DictionaryFile(path));
    return changed;
}

bool CProject::DictionaryChangedOnDisk(const std::string& path) const {
    std::string dictionaryFile = DictionaryFile(path);
    // A dictionary that was missing when it was read and exists now changed too.
    return !dictionaryFile.empty() && dictionaryFile == m_dictionaryOnDiskFile &&
           DigestOfFile(dictionaryFile) != m_dictionaryOnDisk;
}

std::string CProject::FileBeside(const std::string& projectPath, const std::string& path) {
    std::filesystem::path file(path);
    if (path.empty() || file.is_absolute() || projectPath.empty()) return path;
    return (std::filesystem::path(projectPath).parent_path() / file).string();
}

bool CProject::ExtractFrom(const std::string& modulePath, IProgress* progress, std::vector<std::string>* diagnostics) {
    if (modulePath.empty() || !FileExists(modulePath)) return false;
    CResourceExtractor extractor(modulePath, m_ResourceInfo, CodePage(GetCodePage()), progress);
    Status scanned = extractor.Extract();
    m_strModulePath = modulePath;
    m_nReplaced = extractor.Report().replacedCharacters;
    if (diagnostics) {
        const std::vector<std::string>& found = extractor.Report().diagnostics;
        diagnostics->insert(diagnostics->end(), found.begin(), found.end());
    }
    return scanned.Ok();
}

Status CheckDistinctFromProject(const CProject& project, const std::string& projectPath, RoleAndPath other) {
    return CheckDistinctFiles({{"project", projectPath},
                               {"project's side file", projectPath.empty() ? "" : ProjectSideFile::PathFor(projectPath)},
                               {"module", project.m_strModulePath},
                               {"dictionary", project.DictionaryFile(projectPath)},
                               std::move(other)});
}

Status CheckDictionaryPath(const CProject& project, const std::string& projectPath, const std::string& dictionaryPath) {
    if (Status writable = CheckOutputFile(dictionaryPath, "dictionary"); !writable) return writable;
    std::string sideFile = projectPath.empty() ? "" : ProjectSideFile::PathFor(projectPath);
    if (Status distinct = CheckDistinctFiles({{"project", projectPath},
                                              {"project's side file", sideFile},
                                              {"module", project.m_strModulePath},
                                              {"target", project.m_strTargetPath},
                                              {"dictionary", dictionaryPath}});
        !distinct)
        return distinct;
    return CheckReplacesItsKind(dictionaryPath, FileHolds::Dictionary, "dictionary");
}

Status CheckProjectToOpen(const std::string& path) {
    if (Status readable = CheckInputFile(path, "project"); !readable) return readable;
    std::error_code unknown;
    if (std::filesystem::file_size(path, unknown) == 0 && !unknown)
        return MakeError(Error::Code::Malformed, "'" + path + "' is empty: it is not a project file");
    return Done{};
}

FileHolds WhatFileHolds(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size == 0) return FileHolds::Nothing;
    if (auto file = MappedFile::Open(path)) {
        std::array<std::uint8_t, 2> start{};
        auto read = file.Value().ReadInto(0, start);
        if (read && read.Value() == start.size() && start[0] == 'M' && start[1] == 'Z') return FileHolds::Module;
    }
    if (CProject::IsProjectFile(path)) return FileHolds::Project;
    CDictonary dictionary;
    if (auto read = dictionary.Load(path); read && read.Value().exists) return FileHolds::Dictionary;
    return FileHolds::SomethingElse;
}

namespace {

std::string_view Described(FileHolds holds) {
    switch (holds) {
    case FileHolds::Nothing: return "nothing";
    case FileHolds::Module: return "a module";
    case FileHolds::Project: return "a Quillon project";
    case FileHolds::Dictionary: return "a dictionary";
    case FileHolds::SomethingElse: break;
    }
    return "no file Quillon writes";
}

} // namespace

Status CheckReplacesItsKind(const std::string& path, FileHolds kind, std::string_view role) {
    FileHolds holds = WhatFileHolds(path);
    if (holds == FileHolds::Nothing || holds == kind) return Done{};
    return MakeError(Error::Code::Refused, "'" + path + "' is " + std::string(Described(holds)) + ", not " +
                                               std::string(Described(kind)) + ": the " + std::string(role) +
                                               " was not written over it");
}

Status CheckTargetPath(const CProject& project, const std::string& projectPath, const std::string& targetPath) {
    if (Status writable = CheckOutputFile(targetPath, "target"); !writable) return writable;
    if (Status distinct = CheckDistinctFromProject(project, projectPath, {"target", targetPath}); !distinct)
        return distinct;
    return CheckReplacesItsKind(targetPath, FileHolds::Module, "target");
}

} // namespace quillon
