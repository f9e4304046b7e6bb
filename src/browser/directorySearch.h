#pragma once

#include "searchRec.h"

#include <string>
#include <vector>

namespace browser {

// True for a name that ends in ".jpg" in any letter case.
bool MatchesPicturePattern(const std::string& name);

// Every entry of the folder whose name matches the picture pattern, in the
// order the file system yields them: regular files, hidden files,
// sub-folders and anything else alike. Empty when the folder cannot be read.
std::vector<TSearchRec> FindPictures(const std::string& folder);

} // namespace browser
