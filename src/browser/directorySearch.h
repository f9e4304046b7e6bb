#pragma once

#include "searchRec.h"

#include <string>
#include <vector>

namespace browser {

// True for a name that ends in ".jpg" in any letter case.
bool MatchesPicturePattern(const std::string& name);

enum class EntrySizes { Read, Later };

// Every entry of the folder whose name matches the picture pattern, in the
// order the file system yields them: regular files, hidden files,
// sub-folders and anything else alike. Empty when the folder cannot be read.
// With EntrySizes::Later the sizes are left as TSearchRec::kSizeNotRead:
// reading them costs a system call per entry, most of a large folder's scan.
std::vector<TSearchRec> FindPictures(const std::string& folder,
                                     EntrySizes sizes = EntrySizes::Read);

// The size of an entry as the search reports it: a link's target, or the
// link itself when it dangles; 0 when the entry is gone.
std::int64_t EntrySize(const std::string& path);

} // namespace browser
