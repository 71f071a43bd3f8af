// Work of the shred operation: the chosen wiping method overwrites and removes the file itself;
// what it could not do is reported.
#include <cerrno>
#include <set>
#include <stdexcept>
#include <sys/stat.h>

#include "engine/NotCompletedReports.h"
#include "engine/Operations.h"
#include "l10n/TextConstants.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/StorageDevice.h"
#include "platform/TextFormat.h"
#include "shred/ShredAlgorithms.h"

namespace tellvane {

void TShred::BeforeRun(const std::vector<std::string>& fileNames) {
    // One look per device; the first copy-on-write file system and the first flash device are
    // each named once for the run.
    std::set<dev_t> seen;
    bool copyOnWriteTold = false, flashTold = false;
    for (const auto& name : fileNames) {
        if (copyOnWriteTold && flashTold) return;
        struct stat st {};
        if (lstat(name.c_str(), &st) != 0 || !seen.insert(st.st_dev).second) continue;
        if (!copyOnWriteTold && OnCopyOnWriteFileSystem(name)) {
            WarnFromWorker(Format(GetConstantValue("Copy_on_write_shred"), {name}));
            copyOnWriteTold = true;
        }
        if (!flashTold && NonRotationalDevice(st.st_dev, SysDevBlockFolder)) {
            WarnFromWorker(Format(GetConstantValue("Non_rotational_shred"), {name}));
            flashTold = true;
        }
    }
}

void TShred::Work(const std::string& fileName) {
    if (Algo == nullptr) throw std::logic_error("A shred operation needs a wiping method");
    const std::optional<TFileIdentity> id = PathIdentity(fileName);
    Algo->Shred(fileName, OnHalt, OnProgress);
    // The other names still lead to the (now overwritten) content.
    if (id && S_ISREG(id->mode) && id->links > 1 && !(OnHalt && OnHalt()))
        NoteAboutFile(fileName, Format(GetConstantValue("File_has_hard_links"), {fileName}));
}

}  // namespace tellvane
