#include "platform/StorageDevice.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <filesystem>
#include <fstream>

namespace tellvane {
namespace {

// The first character of FILE, or 0 when it cannot be read.
char FirstChar(const std::filesystem::path& file) {
    std::ifstream in(file);
    char c = 0;
    return in.get(c) ? c : 0;
}

}  // namespace

bool NonRotationalDevice(dev_t device, const std::string& sysDevBlock) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path node = fs::canonical(fs::path(sysDevBlock) / (std::to_string(major(device)) + ":" +
                                                          std::to_string(minor(device))),
                                  ec);
    if (ec) return false;
    // A partition has no queue of its own; its disk is the folder above it.
    if (!fs::exists(node / "queue/rotational", ec) && fs::exists(node / "partition", ec)) node = node.parent_path();
    return FirstChar(node / "queue/rotational") == '0';
}

bool OnNonRotationalDevice(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) return false;
    return NonRotationalDevice(st.st_dev, "/sys/dev/block/");
}

}  // namespace tellvane
