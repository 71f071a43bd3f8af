#include "ui/UiFonts.h"

#include <QStringList>

namespace tellvane {

namespace {

QFont MakeFont(const QStringList& families, int pixelSize) {
    QFont font;
    font.setFamilies(families);
    font.setPixelSize(pixelSize);
    font.setWeight(QFont::Normal);
    return font;
}

}  // namespace

// The designed faces first; then faces with the same narrow metrics, so that the fixed layouts
// keep their texts inside their boxes.
QFont DialogFont(int pixelSize) {
    return MakeFont({"Microsoft Sans Serif", "MS Sans Serif", "Liberation Sans", "Arimo", "Nimbus Sans",
                     "Arial", "DejaVu Sans"},
                    pixelSize);
}

QFont TahomaFont(int pixelSize) {
    return MakeFont({"Tahoma", "Liberation Sans", "Arimo", "Nimbus Sans", "Arial", "DejaVu Sans"}, pixelSize);
}

QFont BoldFont(const QFont& base) {
    QFont font = base;
    font.setBold(true);
    return font;
}

}  // namespace tellvane
