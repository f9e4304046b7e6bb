#pragma once

#include "fileBytes.h"
#include "jpegCodec.h"
#include "pixelBuffer.h"

#include <atomic>
#include <memory>
#include <string>

namespace browser {

// A JPEG picture as loaded: the file's bytes exactly as read, the facts of
// its header, and, once drawn, its decoded pixels.
class TJPEGImage {
public:
    // Keeps the bytes and parses the header, unless there are none (an empty
    // file is an empty picture). Throws Error when the header is bad.
    explicit TJPEGImage(FileBytes bytes);

    const FileBytes& Bytes() const { return bytes_; }
    bool Empty() const { return bytes_.empty(); }
    int Width() const { return header_.Width; }
    int Height() const { return header_.Height; }
    bool Grayscale() const { return header_.Grayscale; }
    bool MultipleScans() const { return header_.MultipleScans; }

    // Decodes now unless done before, without reporting a failure; it is
    // kept for Pixels() to report. Returns false, leaving the picture as it
    // was, when `cancel` stopped it.
    bool DecodeNow(const std::atomic<bool>* cancel = nullptr);
    bool DecodedWell() const { return state_ == DecodeState::Done; }
    bool Decoded() const { return state_ != DecodeState::NotYet; }

    // The pixels to draw. Decodes on the first call and keeps the result.
    // A failed decode throws Error once; later calls return nullptr, as they
    // do for an empty picture.
    const DecodedPixels* Pixels();

private:
    enum class DecodeState { NotYet, Done, Failed, FailureReported };

    FileBytes bytes_;
    JpegHeader header_;
    DecodeState state_ = DecodeState::NotYet;
    std::unique_ptr<DecodedPixels> pixels_;
    std::string failure_;
};

} // namespace browser
