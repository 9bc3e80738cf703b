#pragma once
// One translation project: the module, the target module's path, the
// dictionary file, the translator and the target language, the module's
// resource tree and the dictionary. The project file (.prj) is the project's
// archive record; the dictionary lives in its own file beside it.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "dictionary/Dictionary.h"
#include "extract/Progress.h"
#include "io/CodePage.h"
#include "io/FileGuards.h"
#include "io/Result.h"
#include "model/ResourceInfo.h"
#include "project/ProjectSideFile.h"

namespace quillon {

class ArchiveReader;
class MappedFile;
class ArchiveWriter;

// What opening a project does with a dictionary file it cannot read.
enum class DamagedDictionary {
    Refuse,      // the project does not open (the error names file and offset)
    OpenWithout, // it opens with an empty dictionary, and saving the project
                 // leaves the damaged file as it is
};

class CProject {
public:
    CProject() = default;
    CProject(CProject&&) noexcept = default;
    CProject& operator=(CProject&&) noexcept = default;
    CProject(const CProject&) = delete;
    CProject& operator=(const CProject&) = delete;

    // Record: module path, target path, dictionary path, translator, e-mail
    // (texts), WORD target language, then the resource info's record.
    void Store(ArchiveWriter& out, std::int64_t now) const;
    void Load(ArchiveReader& in);

    // Reads the project file at `path` and its dictionary. When there is no
    // project file there (or it is empty), builds the project from
    // m_strModulePath instead and loads the dictionary. A malformed project or
    // dictionary file is an error naming the file and offset, and leaves this
    // project exactly as it was.
    // With DamagedDictionary::Refuse, a damaged dictionary fails the open
    // and DictionaryWasDamaged() says so, so that a front end can ask to
    // open without it.
    Status Open(const std::string& path, IProgress* progress = nullptr,
                DamagedDictionary onDamage = DamagedDictionary::Refuse);
    // Whether the file at `path` reads as a whole project (its dictionary
    // is not read).
    static bool IsProjectFile(const std::string& path);
    bool DictionaryWasDamaged() const { return m_dictionaryDamaged; }
    // Writes the dictionary file (when a dictionary path is set and it was
    // read, or never existed), then the project file, then the side file,
    // each atomically. A failure leaves the old project file intact.
    Status Save(const std::string& path);
    // Writes the dictionary file alone (after a glossary import or a new
    // entry, or when the translator saves it) and records it in the side
    // file; a damaged file the project opened without is replaced only here.
    Status SaveDictionary(const std::string& path);

    // What Open noticed without refusing the project: a project or dictionary
    // file that differs from what Quillon last wrote, an unreadable side file,
    // or, for a project built from its module, the resources the scan skipped.
    const std::vector<std::string>& OpenWarnings() const { return m_openWarnings; }
    // The project and dictionary files that another program replaced or
    // changed since this project last read or wrote them (their paths).
    std::vector<std::string> ChangedOnDisk(const std::string& path) const;
    // The same for the dictionary alone.
    bool DictionaryChangedOnDisk(const std::string& path) const;

    // The dictionary file as a path usable from here: a relative path is
    // taken relative to the folder of the project file.
    std::string DictionaryFile(const std::string& projectPath) const { return FileBeside(projectPath, m_strDictionaryPath); }
    // `path` as the project file at `projectPath` reads it: a relative path
    // from the project file's folder.
    static std::string FileBeside(const std::string& projectPath, const std::string& path);

    // Scans `modulePath` into this project's tree (not the dictionary). False,
    // with nothing touched, when the path is empty or names no file. What
    // the scan could not read goes to `diagnostics` when it is given.
    bool ExtractFrom(const std::string& modulePath, IProgress* progress = nullptr,
                     std::vector<std::string>* diagnostics = nullptr);

    const std::string& GetModulePath() const { return m_strModulePath; }
    const std::string& GetTargetPath() const { return m_strTargetPath; }
    const std::string& GetDictionaryPath() const { return m_strDictionaryPath; }
    const std::string& GetTranslator() const { return m_strTranslator; }
    const std::string& GetEMail() const { return m_strEMail; }

    // The code page of the project's texts: the override when one is set,
    // else the default ANSI code page of the target language.
    std::uint32_t GetCodePage() const;
    // Characters the last extraction could not hold in the code page.
    std::size_t ReplacedCharacters() const { return m_nReplaced; }

    std::string m_strModulePath;
    std::string m_strTargetPath;
    std::string m_strDictionaryPath;
    std::string m_strTranslator;
    std::string m_strEMail;
    std::uint16_t m_wTargetLanguage = 0;
    bool m_bLoaded = false;          // not stored
    std::uint32_t m_nCodePage = 0;   // override, 0 = follow the target language; kept in the side file
    CResourceInfo m_ResourceInfo;
    CDictonary m_Dictionary;

private:
    // The settings, then the items with the resource info's record.
    void LoadSettings(ArchiveReader& in);
    void LoadItems(ArchiveReader& in);
    // Reads the project file and, into `dictionary`, the dictionary it names.
    Status LoadFile(MappedFile file, const std::string& path, Result<DictionaryFileRead>& dictionary);
    // Scans this project's module into `fresh` with this project's settings.
    Status ExtractInto(CProject& fresh, IProgress* progress) const;
    Status SaveDictionaryFile(const std::string& path);
    // Compares the files with what the side file recorded and takes the
    // code page override and the previous texts of changed items from it.
    void ReadSideFile(const std::string& path);
    Status WriteSideFile(const std::string& path) const;

    std::size_t m_nReplaced = 0;
    bool m_dictionaryDamaged = false; // the last Open met a damaged dictionary
    bool m_keepDictionaryFile = false; // opened without it: Save leaves the file alone
    std::vector<std::string> m_openWarnings;
    // The files as this project last read or wrote them.
    std::optional<FileDigest> m_projectOnDisk;
    std::optional<FileDigest> m_dictionaryOnDisk;
    std::string m_dictionaryOnDiskFile; // the file m_dictionaryOnDisk is of
};

// The project saved at `projectPath` keeps four files of its own: itself, its
// side file, its module and its dictionary. No other file a command reads or
// writes (a target, a new module, a glossary) may be one of them.
Status CheckDistinctFromProject(const CProject& project, const std::string& projectPath, RoleAndPath other);

// A project file a user opens: one that can be read and holds something. An
// empty file is no project (Open would build one from the module it names,
// which an empty file does not).
Status CheckProjectToOpen(const std::string& path);

// What an existing file holds, read as each kind of file Quillon writes.
enum class FileHolds { Nothing, Module, Project, Dictionary, SomethingElse };
FileHolds WhatFileHolds(const std::string& path);

// `path` may be replaced by a file of `kind` (Module, Project or Dictionary)
// only when it does not exist, is empty or holds that kind already: a
// project is never written over a module or a dictionary, a target never
// over a project, whatever the user answered to "replace it?".
Status CheckReplacesItsKind(const std::string& path, FileHolds kind, std::string_view role);

// A target path a build may write: a file that can be written, none of the
// project's own files, and no file but a module (CheckReplacesItsKind).
Status CheckTargetPath(const CProject& project, const std::string& projectPath, const std::string& targetPath);

// A path the project's dictionary may be saved under: a file that can be
// written and not the project, its side file, its module or its target.
Status CheckDictionaryPath(const CProject& project, const std::string& projectPath, const std::string& dictionaryPath);

} // namespace quillon
