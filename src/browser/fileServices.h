#pragma once

#include "fileBytes.h"

#include <span>
#include <string>

namespace browser {

// Joins a folder and a name with one separator, always added, so the root
// folder "/" gives "//name".
std::string JoinPath(const std::string& folder, const std::string& name);

// Makes the folder the process's working directory; false (and nothing
// changed) when the system refuses.
bool ChangeDirectory(const std::string& folder);

// True only for an absolute path that names an existing directory, so a
// virtual name like "computer:///" never passes, whatever the working
// directory holds.
bool DirectoryExists(const std::string& path);

// The working directory's absolute path; empty when it is gone.
std::string CurrentDirectory();

// The path as the user should read it: relative names are resolved against
// the working directory.
std::string FullPath(const std::string& name);

// Files larger than this are not read: they cannot be pictures worth
// holding in memory, and reading them would stall the program.
constexpr long long kMaxFileSize = 512LL * 1024 * 1024;

// Reads a regular file whole. Throws Error "Cannot open file "<full path>".
// <reason>" when it cannot be opened, is a directory or something else that
// is not a regular file (a pipe, a device), or is too large.
FileBytes ReadWholeFile(const std::string& name);

// True when the file's content equals `bytes`, read piece by piece instead of
// whole. Throws as ReadWholeFile does when the file cannot be read.
bool FileHolds(const std::string& name, std::span<const unsigned char> bytes);

} // namespace browser
