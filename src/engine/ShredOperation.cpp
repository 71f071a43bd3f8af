// Work of the shred operation (filled in by the shredding work).
#include <stdexcept>

#include "engine/Operations.h"

namespace tellvane {

void TShred::Work(const std::string&) { throw std::logic_error("shredding is not built yet"); }

}  // namespace tellvane
