#pragma once

#include <QFont>

// The font the windows are designed with ("MS Sans Serif" at the given pixel
// height), falling back to the system's sans-serif face where it is missing.
QFont DesignFont(int pixelSize, bool bold = false);
