#pragma once
// The eleven wiping methods as one table: each is a class name (the key of its description), the
// text of its choice and its passes. None needs code of its own.
#include <array>
#include <string_view>

#include "shred/ShredAlgorithms.h"

namespace tellvane {

// In the order of the choices; the index is the choice's index.
inline constexpr std::array<TShredMethod, 11> ShredMethodTable{{
    {"TZeroPass", "Quick shred by filling with zero's", "00"},
    {"TRandPass", "Fast shred, space filled by random characters", "R"},
    {"TAntiSoftRecover", "Anti-software recovery tools", "C 00"},
    {"TNAVSOMF", "NAVSO P-5239-26", "FF FFFFFFFD R"},
    {"TNAVSORL", "NAVSO P-5239-26 with RLL encoding scheme", "R FFFFFFE4 R"},
    {"TVSITR", "German VSITR algorithm", "00 FF 00 FF 00 FF AA"},
    {"TGOST", "Russian military standards GOST P50739-95", "R R R 00 00 00"},
    {"TSchneier", "B. Schneier's algorithm", "R 00 R R R R R"},
    {"TDOD", "DOD 5220.22-M", "C I R C C I R"},
    {"TBEYNDDOD", "3+7+3 Beyond DoD Standards", "C C C  C I R C C I R  C C C"},
    {"TGUTMANN", "Guttman algorithm",
     "R R R R 55 AA 924924 492492 249249 "
     "00 11 22 33 44 55 66 77 88 99 AA BB CC DD EE FF "
     "924924 492492 249249 6DB6DB B6DB6D DB6DB6 R R R R"},
}};

// The method of that class name (exact case); throws std::invalid_argument when there is none.
const TShredMethod& FindShredMethod(std::string_view className);

}  // namespace tellvane
