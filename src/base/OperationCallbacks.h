#pragma once
// The callbacks an operation hands to the algorithm it runs, and the item kinds of a run.
#include <cstdint>
#include <functional>
#include <set>
#include <string>

namespace tellvane {

// True when the running operation must stop; asked before every chunk.
using THaltOperationCallback = std::function<bool()>;
// Called after every chunk: bytes done and total of the current pass, the chunk's share of the
// file's own size, and the seconds the chunk took.
using TProgressOperationCallback =
    std::function<void(int64_t doneSize, int64_t totalSize, int64_t partSize, double timeOnPart)>;
// Asks for another password for FILENAME (full path); true when one was given in NEWPASSWORD
// (as typed, UTF-8).
using TInvalidPasswordCallback = std::function<bool(const std::string& fileName, std::string& newPassword)>;
// Asked when an output's name FINALPATH is taken: true lets the output replace that file.
using TReplaceFileCallback = std::function<bool(const std::string& finalPath)>;

enum class TItemType : int { itFile = 0, itFolder = 1, itDrive = 2 };
using TItemsSet = std::set<TItemType>;

}  // namespace tellvane
