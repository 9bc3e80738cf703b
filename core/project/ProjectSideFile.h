#pragma once
// Beside a project "name.prj" Quillon keeps "name.quillon": a JSON text with
// what the project file's fixed layout cannot hold. It records the size and
// XXH3 hash of the project and dictionary files as Quillon last wrote them, so
// damage and changes made by other programs are noticed when the project is
// opened. The file is optional: a project without one opens as before, and
// keys this version does not know are kept when it is rewritten.
//
//   { "format": "Quillon project side file", "version": 1,
//     "project":    { "file": "name.prj", "size": 492, "xxh3_128": "..." },
//     "dictionary": { "file": "/path/name.dic", "size": 90, "xxh3_128": "..." },
//     "codePage":   65001,
//     "backslashEscapes": true,
//     "previous":   { "strings/2": { "text": "Old text", "translation": "Alter Text" } },
//     "scanWarnings": { "dialogs/200": [ "dialog 200: ... (kept what was read before)" ] } }
//
// "previous" holds, by item path, what the items an update marked as changed
// held before it, in UTF-8.

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "io/CodePage.h"
#include "io/Result.h"
#include "model/ResourceInfo.h"

namespace quillon {

struct FileDigest {
    std::uint64_t size = 0;
    std::string hash; // XXH3, 128 bits, hex

    static FileDigest Of(std::span<const std::uint8_t> bytes);
    bool operator==(const FileDigest&) const = default;
};

class ProjectSideFile {
public:
    static constexpr const char* kExtension = ".quillon";

    // "folder/name.quillon" for "folder/name.prj" (the project's extension,
    // whatever it is, is replaced).
    static std::string PathFor(const std::string& projectPath);

    // The side file of the project at `projectPath`. Missing: an empty one.
    // Unreadable, not ours, or another project's: an empty one and a warning
    // in `warnings`.
    static ProjectSideFile Read(const std::string& projectPath, std::vector<std::string>& warnings);

    // Projects whose names differ only in their extensions ("app.prj" and
    // "app.one") would share "app.quillon". The file name of the other
    // project when the side file at `projectPath`'s place records one and
    // that project is still there beside it; nothing when it is free for
    // this project (also when its project was renamed to this one).
    static std::optional<std::string> OtherProjectOf(const std::string& projectPath);

    // The digest recorded for the project file, when it was recorded for a
    // project of that file name.
    std::optional<FileDigest> Project(const std::string& projectPath) const;
    // The digest recorded for the dictionary, when it was recorded for `dictionaryFile`.
    std::optional<FileDigest> Dictionary(const std::string& dictionaryFile) const;

    void SetProject(const std::string& projectPath, const FileDigest& digest);
    void SetDictionary(const std::string& dictionaryFile, const FileDigest& digest);

    // The code page the project's texts were read in, when it is not the
    // target language's default (a project made with an override).
    std::optional<std::uint32_t> CodePageOverride() const;
    void SetCodePageOverride(std::uint32_t codePage); // 0: none

    // Whether the project's texts write a backslash as \\ (every project
    // this version saves does; older ones hold them in the older form).
    bool EscapesBackslashes() const;
    void SetEscapesBackslashes();

    // The previous texts of changed items, in `codePage` (the project's).
    PreviousSources Previous(const CodePage& codePage) const;
    void SetPrevious(const PreviousSources& previous, const CodePage& codePage);

    // The last scan's warnings about resources it read in part (UTF-8).
    ScanWarnings Warnings() const;
    void SetWarnings(const ScanWarnings& warnings);

    Status Write(const std::string& projectPath) const;

private:
    // The project file name recorded, when it is not `projectPath`'s and
    // that project is beside it.
    std::optional<std::string> OwnerBeside(const std::string& projectPath) const;
    std::optional<FileDigest> Recorded(const char* key, const std::string& file) const;
    void Record(const char* key, const std::string& file, const FileDigest& digest);

    nlohmann::json m_data = nlohmann::json::object();
};

// Refused when the project at `projectPath` would take over the side file of
// another project beside it (ProjectSideFile::OtherProjectOf).
Status CheckSideFileIsFree(const std::string& projectPath);

} // namespace quillon
