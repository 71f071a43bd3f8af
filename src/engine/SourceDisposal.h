#pragma once
// The end of a source whose output is safely on the device: its name removed, and on request its
// content overwritten first.
#include <string>

#include "base/OperationCallbacks.h"

namespace tellvane {

struct TFileIdentity;    // platform/FileSystem.h
struct TParentFolder;    // platform/FolderWalk.h
class TShredAlgorithm;   // shred/ShredAlgorithms.h

// How a source goes.
struct TSourceWipe {
    const TShredAlgorithm* method = nullptr;  // overwrites the content first; null: the name only goes
    THaltOperationCallback onHalt;            // stops an overwrite part-way; the source then stays
};

// Removes FILENAME through its parent folder, but only while the name still holds the file READ,
// unchanged. With a wiping method the file is first opened through that folder, checked to be the
// file read, overwritten pass after pass and removed only while the name still holds it. A file
// with other hard links is not overwritten (the other names still show it): this name alone goes,
// with a note. Throws EFileSkipped, the source kept, for a changed or vanished file, one that
// cannot be opened for writing or overwritten, an overwrite stopped part-way, or a failed deletion.
void DisposeSource(const std::string& fileName, const TFileIdentity& read, const TSourceWipe& wipe);
// The same in PARENT, the folder already reached (the one whose outputs were flushed).
void DisposeSourceIn(const TParentFolder& parent, const std::string& fileName, const TFileIdentity& read,
                     const TSourceWipe& wipe);

}  // namespace tellvane
