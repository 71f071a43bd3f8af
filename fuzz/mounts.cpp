// The mount-table reader over a mounts text; readiness is decided by the input too, and the
// removable flags are looked for in an empty folder.
#include "FuzzSupport.h"
#include "FuzzTargets.h"
#include "hide/Drives.h"

using namespace tellvane;

int tellvane::fuzz::Mounts(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string sysBlock = fuzz::ScratchFolder();
    const auto ready = [&](const std::string& mountPoint) { return mountPoint.size() % 3 != 1; };
    const std::vector<TDrive> drives = ParseDrives(text, ready, sysBlock);
    for (size_t i = 0; i < drives.size(); ++i) {
        const TDrive& d = drives[i];
        if (d.MountPoint.empty() || !ready(d.MountPoint)) fuzz::Fail("a drive that is not ready");
        if (d.Root().back() != '/') fuzz::Fail("a root without a trailing slash");
        if (FindDriveByName(drives, d.MountPoint) == nullptr) fuzz::Fail("a drive that cannot be found by name");
    }
    return 0;
}
