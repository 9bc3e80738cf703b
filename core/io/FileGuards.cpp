#include "io/FileGuards.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace quillon {

namespace {

std::string Quoted(std::string_view role, const std::string& path) {
    return "the " + std::string(role) + " '" + path + "'";
}

const char* KindOf(mode_t mode) {
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISSOCK(mode)) return "a socket";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    return "not a regular file";
}

Status CheckName(const std::string& path, std::string_view role) {
    if (path.empty()) return MakeError(Error::Code::Refused, "the " + std::string(role) + " path is empty");
    std::string name = std::filesystem::path(path).filename().string();
    if (name.empty() || name == "." || name == "..")
        return MakeError(Error::Code::Refused, Quoted(role, path) + " names a folder, not a file");
    // ".prj" alone is an extension without a name: a hidden file nobody meant.
    if (name.front() == '.' && name.find('.', 1) == std::string::npos)
        return MakeError(Error::Code::Refused, Quoted(role, path) + " has no name before its extension");
    // A lock or a temporary of a save in progress: replacing a lock file
    // would let two writers at once.
    if (name.front() == '.' && name.find(".quillon-") != std::string::npos)
        return MakeError(Error::Code::Refused, Quoted(role, path) + " is a file Quillon keeps beside another one");
    return Done{};
}

} // namespace

Status CheckInputFile(const std::string& path, std::string_view role) {
    if (path.empty()) return MakeError(Error::Code::Refused, "the " + std::string(role) + " path is empty");
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return MakeError(errno == ENOENT ? Error::Code::NotFound : Error::Code::Io,
                         "cannot open " + Quoted(role, path) + ": " + std::strerror(errno));
    if (!S_ISREG(info.st_mode))
        return MakeError(Error::Code::Refused, Quoted(role, path) + " is " + KindOf(info.st_mode) + ", not a file");
    return Done{};
}

Status CheckOutputFile(const std::string& path, std::string_view role) {
    if (Status named = CheckName(path, role); !named) return named;
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) {
        if (!S_ISREG(info.st_mode))
            return MakeError(Error::Code::Refused,
                             Quoted(role, path) + " is " + KindOf(info.st_mode) + "; only a file can be written there");
        if ((info.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0)
            return MakeError(Error::Code::Refused, Quoted(role, path) + " is read-only; it is not replaced");
        return Done{};
    }
    std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (folder.empty()) folder = ".";
    struct stat folderInfo {};
    if (::stat(folder.c_str(), &folderInfo) != 0 || !S_ISDIR(folderInfo.st_mode))
        return MakeError(Error::Code::NotFound, "the folder of " + Quoted(role, path) + " does not exist");
    return Done{};
}

namespace {

struct Identity {
    std::optional<std::pair<dev_t, ino_t>> inode;
    std::string normalised;
};

Identity IdentityOf(const std::string& path) {
    Identity identity;
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) identity.inode = std::make_pair(info.st_dev, info.st_ino);
    std::error_code failed;
    std::filesystem::path absolute = std::filesystem::weakly_canonical(std::filesystem::absolute(path, failed), failed);
    identity.normalised = failed ? path : absolute.string();
    return identity;
}

bool Same(const Identity& a, const Identity& b) {
    if (a.inode && b.inode) return *a.inode == *b.inode;
    return a.normalised == b.normalised;
}

} // namespace

Status CheckDistinctFiles(std::initializer_list<RoleAndPath> files) {
    std::vector<std::pair<const RoleAndPath*, Identity>> seen;
    for (const RoleAndPath& file : files) {
        if (file.path.empty()) continue;
        Identity identity = IdentityOf(file.path);
        for (const auto& [other, otherIdentity] : seen)
            if (Same(identity, otherIdentity))
                return MakeError(Error::Code::Refused, "'" + file.path + "' would be both the " + std::string(other->role) +
                                                           " and the " + std::string(file.role) +
                                                           "; they must be different files");
        seen.emplace_back(&file, std::move(identity));
    }
    return Done{};
}

} // namespace quillon
