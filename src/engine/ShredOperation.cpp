// Work of the shred operation: the chosen wiping method overwrites and removes the file itself;
// what it could not do is reported.
#include <cerrno>
#include <stdexcept>
#include <sys/stat.h>

#include "engine/NotCompletedReports.h"
#include "engine/Operations.h"
#include "engine/WipeWarnings.h"
#include "l10n/TextConstants.h"
#include "platform/FileSystem.h"
#include "platform/TextFormat.h"
#include "shred/ShredAlgorithms.h"

namespace tellvane {

void TShred::BeforeRun(const std::vector<std::string>& fileNames) {
    WarnAboutWipeLimits(fileNames, SysDevBlockFolder);
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
