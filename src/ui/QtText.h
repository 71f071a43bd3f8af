#pragma once
// Text crosses between the core (UTF-8 std::string) and Qt (QString) only through these.
#include <QString>

#include <string>

namespace tellvane {

inline QString Q(const std::string& text) { return QString::fromStdString(text); }
inline std::string S(const QString& text) { return text.toStdString(); }

}  // namespace tellvane
