#pragma once
// What a path must be before Quillon reads or writes it. Every front end
// checks the files a command names here, so a mistyped argument is refused
// with a message instead of destroying a file or waiting forever.

#include <initializer_list>
#include <string>
#include <string_view>

#include "io/Result.h"

namespace quillon {

// A path a file is read from: a name, and a regular file (through links).
// `role` names the file in messages ("module", "glossary").
Status CheckInputFile(const std::string& path, std::string_view role);

// A path a file is written to: a name that is more than an extension, in an
// existing folder; when a file is there already, a regular one the user may
// write.
Status CheckOutputFile(const std::string& path, std::string_view role);

struct RoleAndPath {
    std::string_view role;
    std::string path;
};

// The files of one command are different files: existing ones are compared
// by device and inode (so links and other spellings of a path are seen
// through), files still to be made by their normalised absolute paths.
// Empty paths (an optional file not given) are left out.
Status CheckDistinctFiles(std::initializer_list<RoleAndPath> files);

} // namespace quillon
