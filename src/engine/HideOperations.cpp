// Work of the hide and show operations (filled in by the hiding work).
#include <stdexcept>

#include "engine/Operations.h"

namespace tellvane {

void THide::Work(const std::string&) { throw std::logic_error("hiding is not built yet"); }
void TShow::Work(const std::string&) { throw std::logic_error("showing is not built yet"); }

}  // namespace tellvane
