#pragma once
// Names the program shares with the file managers' helper, which links only this layer.
namespace tellvane {

// The program's file name beside its folder ("AppPath").
inline constexpr const char* ProgramFileName = "tellvane";
// Where the program records its folder for outside components.
inline constexpr const char* RegistryRootKey = "HKEY_CURRENT_USER";
inline constexpr const char* AppRegistryKey = "Software\\Kalvessa\\Brevikon\\";

}  // namespace tellvane
