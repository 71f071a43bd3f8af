#pragma once
// The per-user list of hidden volumes (our counterpart of the Explorer policy "NoDrives"): the
// mount points the user has hidden, kept in the registry stand-in under the current user's
// Explorer policies as the text value "NoVolumes", mount points separated by blanks with blank,
// tab, line break and backslash written as octal escapes (as /proc/self/mounts writes them).
// The drive tree leaves these volumes out.
#include <string>
#include <vector>

namespace tellvane {

inline constexpr const char* PoliciesRoot = "HKEY_CURRENT_USER";
inline constexpr const char* PoliciesKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
inline constexpr const char* HiddenVolumesValue = "NoVolumes";

// The mount point of a drive path: no trailing "/" except for the root itself.
std::string VolumeMountPoint(const std::string& drivePath);

std::vector<std::string> ParseVolumeList(const std::string& text);
std::string FormatVolumeList(const std::vector<std::string>& volumes);
// The list with MOUNTPOINT added at its end (unchanged when already there), and without it;
// other entries, whoever put them there, keep their order.
std::vector<std::string> WithVolume(const std::vector<std::string>& volumes, const std::string& mountPoint);
std::vector<std::string> WithoutVolume(const std::vector<std::string>& volumes, const std::string& mountPoint);

// The stored list (empty when absent). REGISTRYFILE empty: the stand-in in the data folder.
std::vector<std::string> ReadHiddenVolumes(const std::string& registryFile = {});
// Throws ERegistryError when the value cannot be written.
void WriteHiddenVolumes(const std::vector<std::string>& volumes, const std::string& registryFile = {});
bool IsVolumeHidden(const std::string& mountPoint, const std::string& registryFile = {});

}  // namespace tellvane
