#include "picture.h"

#include "error.h"
#include "fileCopy.h"
#include "fileServices.h"

#include <strings.h>

namespace browser {
namespace {

std::string extensionOf(const std::string& fileName) {
    const auto slash = fileName.rfind('/');
    const auto dot = fileName.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    return fileName.substr(dot + 1);
}

} // namespace

bool IsJpegExtension(const std::string& fileName) {
    const std::string extension = extensionOf(fileName);
    return ::strcasecmp(extension.c_str(), "jpg") == 0 ||
           ::strcasecmp(extension.c_str(), "jpeg") == 0;
}

void TPicture::Load(const std::string& fileName, Preloader* preloads) {
    if (!IsJpegExtension(fileName))
        throw Error("Unknown picture file extension (." + extensionOf(fileName) + ")");
    std::string path = FullPath(fileName);
    // The file is read at every load; a preloaded picture is used only when
    // the file still holds exactly its bytes.
    std::unique_ptr<TJPEGImage> graphic;
    if (preloads != nullptr) {
        graphic = preloads->Take(
            path, [&fileName](const FileBytes& kept) { return FileHolds(fileName, kept); });
    }
    if (!graphic)
        graphic = std::make_unique<TJPEGImage>(ReadWholeFile(fileName));
    std::string name = fileName;

    if (preloads && graphic_)
        preloads->Keep(loadedPath_, std::move(graphic_));
    graphic_ = std::move(graphic);
    loadedName_ = std::move(name);
    loadedPath_ = std::move(path);
}

void TPicture::Save(const std::string& fileName) const {
    if (graphic_)
        SaveFileReplacing(fileName, graphic_->Bytes());
}

} // namespace browser
