#pragma once
// The fonts the windows were designed with, and the nearest faces a Linux desktop has.
#include <QFont>

namespace tellvane {

// "Microsoft Sans Serif" / "MS Sans Serif" 8 points at 96 dpi (11 pixels).
QFont DialogFont(int pixelSize = 11);
// "Tahoma" 8 points at 96 dpi.
QFont TahomaFont(int pixelSize = 11);
QFont BoldFont(const QFont& base);

}  // namespace tellvane
