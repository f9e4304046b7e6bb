#pragma once

#include "jpegImage.h"
#include "preloader.h"

#include <memory>
#include <string>

namespace browser {

// The picture on show: at most one graphic, replaced only by a load that
// fully succeeds.
class TPicture {
public:
    // Loads a file by name (relative names against the working directory).
    // The kind is chosen by the extension: "jpg" and "jpeg" in any case.
    // Throws Error and keeps the previous graphic on any failure. With
    // `preloads`, a preloaded picture whose bytes equal the file's is used
    // instead of decoding again, and the picture it replaces is offered back.
    void Load(const std::string& fileName, Preloader* preloads = nullptr);

    // Writes the kept bytes, unchanged, as the file `fileName`, replacing a
    // file of that name. Writes nothing before any load. Throws Error.
    void Save(const std::string& fileName) const;

    TJPEGImage* Graphic() const { return graphic_.get(); }
    // The name the graphic on show was loaded from; empty before any load.
    const std::string& LoadedName() const { return loadedName_; }

private:
    std::unique_ptr<TJPEGImage> graphic_;
    std::string loadedName_;
    std::string loadedPath_; // absolute, as it was when loaded
};

// True when the name's extension (text after the last ".") is a JPEG one.
bool IsJpegExtension(const std::string& fileName);

} // namespace browser
