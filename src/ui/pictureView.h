#pragma once

#include "picture.h"

#include <QWidget>

#include <string>

// Shows the picture object's graphic at natural size (one picture pixel per
// device pixel) at its top-left corner, sizing itself to the picture.
class PictureView : public QWidget {
    Q_OBJECT
public:
    explicit PictureView(QWidget* parent = nullptr);

    // Loads a file into the picture object, using a preloaded picture when
    // there is one; on success takes the picture's size and repaints. Throws
    // browser::Error and keeps the previous picture.
    void LoadPicture(const std::string& fileName, browser::Preloader* preloads = nullptr);

    browser::TPicture& Picture() { return picture_; }
    const browser::TPicture& Picture() const { return picture_; }

signals:
    // A picture whose data failed to decode on its first draw.
    void DecodeFailed(const QString& message);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void sizeToPicture();

    browser::TPicture picture_;
    browser::Preloader* preloads_ = nullptr;
};
