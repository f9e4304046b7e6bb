#pragma once

#include <QFont>

// The font the windows are designed with ("MS Sans Serif" at the given pixel
// height). Where it is missing, a face of Arial's metrics comes closest to its
// widths, so the designed texts fit their boxes; then any sans-serif face.
QFont DesignFont(int pixelSize, bool bold = false);
