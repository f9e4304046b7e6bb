#include "designFont.h"

#include <QFontDatabase>
#include <QStringList>

namespace {

QString designFamily() {
    // The font database would answer any name with some face; ask for the
    // first one that is really there.
    for (const char* family : {"MS Sans Serif", "Liberation Sans", "Arial"}) {
        if (QFontDatabase::hasFamily(QLatin1String(family)))
            return QLatin1String(family);
    }
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
}

} // namespace

QFont DesignFont(int pixelSize, bool bold) {
    static const QString family = designFamily();
    QFont font(family);
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}
