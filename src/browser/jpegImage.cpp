#include "jpegImage.h"

namespace browser {

TJPEGImage::TJPEGImage(std::vector<unsigned char> bytes) : bytes_(std::move(bytes)) {
    if (!bytes_.empty())
        header_ = ReadJpegHeader(bytes_.data(), bytes_.size());
}

const DecodedPixels* TJPEGImage::Pixels() {
    if (state_ == DecodeState::NotYet) {
        if (bytes_.empty()) {
            state_ = DecodeState::Failed;
            return nullptr;
        }
        state_ = DecodeState::Failed; // stays so if the decode throws
        auto pixels = std::make_unique<DecodedPixels>();
        DecodeJpeg(bytes_.data(), bytes_.size(), *pixels);
        pixels_ = std::move(pixels);
        state_ = DecodeState::Done;
    }
    return pixels_.get();
}

} // namespace browser
