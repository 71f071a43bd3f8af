#pragma once
// The order in which the desktop's file managers list a folder: names compared without regard
// to case, runs of digits by their number ("a9" before "a10").
#include <string>

namespace tellvane {

// True when NAME A comes before B. Letters are folded for Latin, Greek and Cyrillic; other
// characters compare by code point. Names equal in that order fall back to their bytes, so
// the order is total and the same on every run.
bool NameOrderLess(const std::string& a, const std::string& b);

}  // namespace tellvane
