#include "project/ProjectSideFile.h"

#include <filesystem>

#include "io/Digest.h"
#include "io/FileIo.h"

namespace quillon {

namespace {
constexpr const char* kFormat = "Quillon project side file";
constexpr int kVersion = 1;
// A side file is a few hundred bytes, plus the previous texts of the items an
// update changed; anything far larger is not ours.
constexpr std::size_t kMaxSideFileSize = 64 << 20;
} // namespace

FileDigest FileDigest::Of(std::span<const std::uint8_t> bytes) { return FileDigest{bytes.size(), ContentHashHex(bytes)}; }

std::string ProjectSideFile::PathFor(const std::string& projectPath) {
    // One side file for a project however it is reached: beside the file its
    // links lead to. A project named "x.quillon" gets "x.quillon.quillon", not
    // itself.
    auto resolved = FollowLinks(projectPath);
    std::filesystem::path project(resolved ? resolved.Value() : projectPath);
    if (project.extension() == kExtension) return project.string() + kExtension;
    return project.replace_extension(kExtension).string();
}

namespace {

std::string ProjectFileName(const std::string& projectPath) {
    auto resolved = FollowLinks(projectPath);
    return std::filesystem::path(resolved ? resolved.Value() : projectPath).filename().string();
}

} // namespace

namespace {

// The side file's JSON; nothing (and a warning) when it is missing, too
// large, unreadable or not ours.
std::optional<nlohmann::json> ReadJson(const std::string& path, std::vector<std::string>& warnings) {
    if (!FileExists(path)) return std::nullopt;
    std::error_code unknown;
    if (std::filesystem::file_size(path, unknown) > kMaxSideFileSize && !unknown) {
        warnings.push_back("the side file '" + path + "' is too large to be one Quillon wrote and is ignored");
        return std::nullopt;
    }
    auto bytes = ReadWholeFile(path);
    if (!bytes || bytes.Value().size() > kMaxSideFileSize) {
        warnings.push_back("the side file '" + path + "' cannot be read and is ignored" +
                           (bytes ? std::string() : ": " + bytes.GetError().Describe()));
        return std::nullopt;
    }
    nlohmann::json data = nlohmann::json::parse(bytes.Value().begin(), bytes.Value().end(), nullptr, false);
    auto format = data.is_object() ? data.find("format") : data.end();
    if (!data.is_object() || format == data.end() || !format->is_string() || *format != kFormat) {
        warnings.push_back("the side file '" + path + "' is not one Quillon wrote and is ignored");
        return std::nullopt;
    }
    return data;
}

} // namespace

ProjectSideFile ProjectSideFile::Read(const std::string& projectPath, std::vector<std::string>& warnings) {
    ProjectSideFile side;
    std::string path = PathFor(projectPath);
    auto data = ReadJson(path, warnings);
    if (!data) return side;
    side.m_data = std::move(*data);
    if (auto other = side.OwnerBeside(projectPath)) {
        warnings.push_back("the side file '" + path + "' belongs to the project '" + *other + "' and is ignored");
        return ProjectSideFile();
    }
    return side;
}

std::optional<std::string> ProjectSideFile::OwnerBeside(const std::string& projectPath) const {
    auto project = m_data.find("project");
    if (project == m_data.end() || !project->is_object()) return std::nullopt;
    auto file = project->find("file");
    if (file == project->end() || !file->is_string()) return std::nullopt;
    const std::string owner = file->get<std::string>();
    if (owner == ProjectFileName(projectPath)) return std::nullopt;
    std::filesystem::path beside = std::filesystem::path(PathFor(projectPath)).parent_path() / owner;
    return FileExists(beside.string()) ? std::optional<std::string>(owner) : std::nullopt;
}

std::optional<std::string> ProjectSideFile::OtherProjectOf(const std::string& projectPath) {
    std::vector<std::string> ignored;
    auto data = ReadJson(PathFor(projectPath), ignored);
    if (!data) return std::nullopt;
    ProjectSideFile side;
    side.m_data = std::move(*data);
    return side.OwnerBeside(projectPath);
}

std::optional<FileDigest> ProjectSideFile::Recorded(const char* key, const std::string& file) const {
    auto found = m_data.find(key);
    if (found == m_data.end() || !found->is_object()) return std::nullopt;
    const nlohmann::json& entry = *found;
    auto name = entry.find("file");
    auto size = entry.find("size");
    auto hash = entry.find("xxh3_128");
    if (name == entry.end() || !name->is_string() || *name != file || size == entry.end() ||
        !size->is_number_unsigned() || hash == entry.end() || !hash->is_string())
        return std::nullopt;
    return FileDigest{size->get<std::uint64_t>(), hash->get<std::string>()};
}

void ProjectSideFile::Record(const char* key, const std::string& file, const FileDigest& digest) {
    m_data["format"] = kFormat;
    m_data["version"] = kVersion;
    m_data[key] = {{"file", file}, {"size", digest.size}, {"xxh3_128", digest.hash}};
}

// The project is named by its file name only: a project folder that is moved
// or copied keeps its side file valid.
std::optional<FileDigest> ProjectSideFile::Project(const std::string& projectPath) const {
    return Recorded("project", ProjectFileName(projectPath));
}

std::optional<FileDigest> ProjectSideFile::Dictionary(const std::string& dictionaryFile) const {
    return Recorded("dictionary", dictionaryFile);
}

void ProjectSideFile::SetProject(const std::string& projectPath, const FileDigest& digest) {
    Record("project", ProjectFileName(projectPath), digest);
}

void ProjectSideFile::SetDictionary(const std::string& dictionaryFile, const FileDigest& digest) {
    Record("dictionary", dictionaryFile, digest);
}

std::optional<std::uint32_t> ProjectSideFile::CodePageOverride() const {
    auto found = m_data.find("codePage");
    if (found == m_data.end() || !found->is_number_unsigned()) return std::nullopt;
    auto codePage = found->get<std::uint64_t>();
    if (codePage == 0 || codePage > 0xFFFF) return std::nullopt;
    return static_cast<std::uint32_t>(codePage);
}

void ProjectSideFile::SetCodePageOverride(std::uint32_t codePage) {
    if (codePage == 0) {
        m_data.erase("codePage");
        return;
    }
    m_data["format"] = kFormat;
    m_data["version"] = kVersion;
    m_data["codePage"] = codePage;
}

bool ProjectSideFile::EscapesBackslashes() const {
    auto found = m_data.find("backslashEscapes");
    return found != m_data.end() && found->is_boolean() && found->get<bool>();
}

void ProjectSideFile::SetEscapesBackslashes() {
    m_data["format"] = kFormat;
    m_data["version"] = kVersion;
    m_data["backslashEscapes"] = true;
}

PreviousSources ProjectSideFile::Previous(const CodePage& codePage) const {
    PreviousSources previous;
    auto found = m_data.find("previous");
    if (found == m_data.end() || !found->is_object()) return previous;
    for (const auto& [path, entry] : found->items()) {
        if (!entry.is_object()) continue;
        auto text = entry.find("text");
        auto translation = entry.find("translation");
        if (text == entry.end() || !text->is_string() || translation == entry.end() || !translation->is_string())
            continue;
        previous.emplace(path, PreviousSource{codePage.FromUtf8(text->get<std::string>()),
                                              codePage.FromUtf8(translation->get<std::string>())});
    }
    return previous;
}

void ProjectSideFile::SetPrevious(const PreviousSources& previous, const CodePage& codePage) {
    if (previous.empty()) {
        m_data.erase("previous");
        return;
    }
    nlohmann::json entries = nlohmann::json::object();
    for (const auto& [path, source] : previous)
        entries[path] = {{"text", codePage.ToUtf8(source.text)}, {"translation", codePage.ToUtf8(source.translation)}};
    m_data["format"] = kFormat;
    m_data["version"] = kVersion;
    m_data["previous"] = std::move(entries);
}

ScanWarnings ProjectSideFile::Warnings() const {
    ScanWarnings warnings;
    auto found = m_data.find("scanWarnings");
    if (found == m_data.end() || !found->is_object()) return warnings;
    for (const auto& [path, messages] : found->items()) {
        if (!messages.is_array()) continue;
        for (const auto& message : messages)
            if (message.is_string()) warnings[path].push_back(message.get<std::string>());
    }
    return warnings;
}

void ProjectSideFile::SetWarnings(const ScanWarnings& warnings) {
    if (warnings.empty()) {
        m_data.erase("scanWarnings");
        return;
    }
    m_data["format"] = kFormat;
    m_data["version"] = kVersion;
    m_data["scanWarnings"] = warnings;
}

Status ProjectSideFile::Write(const std::string& projectPath) const {
    std::string text = m_data.dump(2) + "\n";
    return WriteFileAtomically(PathFor(projectPath),
                               {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

Status CheckSideFileIsFree(const std::string& projectPath) {
    auto other = ProjectSideFile::OtherProjectOf(projectPath);
    if (!other) return Done{};
    return MakeError(Error::Code::Refused, "'" + ProjectSideFile::PathFor(projectPath) +
                                               "' keeps what the project '" + *other +
                                               "' cannot hold in its file; give this project another name");
}

} // namespace quillon
