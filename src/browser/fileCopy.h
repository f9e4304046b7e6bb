#pragma once

#include <span>
#include <string>

namespace browser {

// Writes the bytes as the file `destination`, replacing a file of that name.
// The bytes go to a new temporary file beside it, are flushed to disk and
// only then renamed over the destination, so a failure at any point leaves
// the previous file exactly as it was and no temporary file behind.
// Throws Error "Cannot create file "<path>". <reason>" when the file cannot
// be created, "Cannot write file "<path>". <reason>" when writing or
// finishing it fails.
void SaveFileReplacing(const std::string& destination, std::span<const unsigned char> bytes);

} // namespace browser
