#include "designFont.h"

#include <QStringList>

QFont DesignFont(int pixelSize, bool bold) {
    QFont font;
    font.setFamilies(QStringList()
                     << QStringLiteral("MS Sans Serif") << QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}
