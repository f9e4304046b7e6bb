#pragma once

#include "photoFixtures.h"
#include "report.h"

#include <string>
#include <vector>

namespace bench {

// Stepping to the next picture in the main window with its neighbours
// preloaded, from the click on ">" to the picture painted, against the same
// step without preloading: reading, decoding and painting a picture in a
// picture view of the same size (alternating between `coldFiles`).
// Makes the process's application object.
Row MeasureNextPicture(int& argc, char** argv, const std::string& folder,
                       const std::vector<std::string>& coldFiles, const PictureSize& size,
                       int runs);

} // namespace bench
