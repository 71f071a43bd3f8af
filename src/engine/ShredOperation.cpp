// Work of the shred operation: the chosen wiping method overwrites and removes the file itself.
#include <stdexcept>

#include "engine/Operations.h"
#include "shred/ShredAlgorithms.h"

namespace tellvane {

void TShred::Work(const std::string& fileName) {
    if (Algo == nullptr) throw std::logic_error("A shred operation needs a wiping method");
    Algo->Shred(fileName, OnHalt, OnProgress);
}

}  // namespace tellvane
