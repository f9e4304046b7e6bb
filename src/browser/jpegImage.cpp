#include "jpegImage.h"

#include "error.h"

#include <new>

namespace browser {

TJPEGImage::TJPEGImage(FileBytes bytes) : bytes_(std::move(bytes)) {
    if (!bytes_.empty())
        header_ = ReadJpegHeader(bytes_.data(), bytes_.size());
}

bool TJPEGImage::DecodeNow(const std::atomic<bool>* cancel) {
    if (state_ != DecodeState::NotYet)
        return true;
    if (bytes_.empty()) {
        state_ = DecodeState::FailureReported; // nothing to draw, nothing to report
        return true;
    }
    try {
        auto pixels = std::make_unique<DecodedPixels>();
        DecodeJpeg(bytes_.data(), bytes_.size(), header_, *pixels, cancel);
        pixels_ = std::move(pixels);
        state_ = DecodeState::Done;
    } catch (const DecodeCancelled&) {
        return false;
    } catch (const Error& error) {
        failure_ = error.what();
        state_ = DecodeState::Failed;
    } catch (const std::bad_alloc&) {
        failure_ = "Out of memory";
        state_ = DecodeState::Failed;
    }
    return true;
}

const DecodedPixels* TJPEGImage::Pixels() {
    DecodeNow();
    if (state_ == DecodeState::Failed) {
        state_ = DecodeState::FailureReported;
        throw Error(failure_);
    }
    return pixels_.get();
}

} // namespace browser
