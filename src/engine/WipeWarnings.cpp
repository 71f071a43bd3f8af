#include "engine/WipeWarnings.h"

#include <sys/stat.h>

#include <set>

#include "engine/NotCompletedReports.h"
#include "l10n/TextConstants.h"
#include "platform/FileSystem.h"
#include "platform/StorageDevice.h"
#include "platform/TextFormat.h"

namespace tellvane {

void WarnAboutWipeLimits(const std::vector<std::string>& fileNames, const std::string& sysDevBlockFolder) {
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
        if (!flashTold && NonRotationalDevice(st.st_dev, sysDevBlockFolder)) {
            WarnFromWorker(Format(GetConstantValue("Non_rotational_shred"), {name}));
            flashTold = true;
        }
    }
}

}  // namespace tellvane
