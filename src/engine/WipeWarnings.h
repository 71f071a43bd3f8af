#pragma once
// The warnings of a run that overwrites files: where overwriting in place cannot reach the blocks
// that held the old content.
#include <string>
#include <vector>

namespace tellvane {

// Warns once when an entry of FILENAMES lies on a copy-on-write file system, and once when one
// lies on a device that is not rotational (flash), as SYSDEVBLOCKFOLDER tells of block devices.
// One look per device.
void WarnAboutWipeLimits(const std::vector<std::string>& fileNames,
                         const std::string& sysDevBlockFolder = "/sys/dev/block/");

}  // namespace tellvane
