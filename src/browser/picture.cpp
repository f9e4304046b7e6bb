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
    std::vector<unsigned char> bytes = ReadWholeFile(fileName);
    std::unique_ptr<TJPEGImage> graphic = preloads ? preloads->Take(path, bytes) : nullptr;
    if (!graphic)
        graphic = std::make_unique<TJPEGImage>(std::move(bytes));
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
