#include "pictureView.h"

#include <QImage>
#include <QPaintEvent>
#include <QPainter>

#include <cmath>
#include <exception>

namespace {

QImage wrap(const browser::DecodedPixels& pixels) {
    const auto format = pixels.Format == browser::PixelFormat::Rgb32 ? QImage::Format_RGB32
                                                                     : QImage::Format_Grayscale8;
    return QImage(pixels.Buffer.Data(), pixels.Width, pixels.Height,
                  static_cast<qsizetype>(pixels.Stride), format);
}

} // namespace

PictureView::PictureView(QWidget* parent) : QWidget(parent) {}

void PictureView::LoadPicture(const std::string& fileName, browser::Preloader* preloads) {
    picture_.Load(fileName, preloads);
    preloads_ = preloads;
    sizeToPicture();
    update();
}

void PictureView::sizeToPicture() {
    const browser::TJPEGImage* graphic = picture_.Graphic();
    const qreal ratio = devicePixelRatioF();
    const int width = graphic ? static_cast<int>(std::ceil(graphic->Width() / ratio)) : 0;
    const int height = graphic ? static_cast<int>(std::ceil(graphic->Height() / ratio)) : 0;
    setFixedSize(width, height);
}

void PictureView::paintEvent(QPaintEvent* event) {
    browser::TJPEGImage* graphic = picture_.Graphic();
    if (graphic == nullptr)
        return;
    const browser::DecodedPixels* pixels = nullptr;
    try {
        if (preloads_ != nullptr && !graphic->Decoded()) {
            const browser::Preloader::DirectDecode holdBackgroundWork(*preloads_);
            pixels = graphic->Pixels();
        } else {
            pixels = graphic->Pixels();
        }
    } catch (const std::exception& error) {
        // Never open a box from inside a paint: the window reports it later.
        emit DecodeFailed(QString::fromLocal8Bit(error.what()));
        return;
    }
    if (pixels == nullptr)
        return;
    QImage image = wrap(*pixels);
    image.setDevicePixelRatio(devicePixelRatioF());
    QPainter painter(this);
    painter.setClipRegion(event->region());
    painter.drawImage(QPoint(0, 0), image);
}
