#pragma once
// What the kernel tells of the device that holds a file: whether it is rotational. Flash storage
// (SSD, memory card, USB stick) spreads writes over its cells, so overwriting a file in place
// need not reach the cells that held its content.
#include <string>
#include <sys/types.h>

namespace tellvane {

// True when the block device DEVICE is not rotational, as SYSDEVBLOCK + "MAJOR:MINOR" (in sysfs
// "/sys/dev/block/") says: its "queue/rotational", or its whole disk's for a partition, is 0.
// False when sysfs has no answer (no block device, or no such file).
bool NonRotationalDevice(dev_t device, const std::string& sysDevBlock);
// The same for the device holding PATH, asked of /sys/dev/block/.
bool OnNonRotationalDevice(const std::string& path);

}  // namespace tellvane
