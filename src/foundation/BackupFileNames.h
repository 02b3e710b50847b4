#pragma once

// The names of the files a backup folder holds besides its stored files, each named after the
// file it stands for. The manifest database is the pair of "Manifest.mbdx" and "Manifest.mbdb";
// "Manifest.db" is the SQLite catalogue of later backups.
#include <string_view>

namespace salvora {

inline constexpr std::string_view ManifestMbdxName = "Manifest.mbdx";
inline constexpr std::string_view ManifestMbdbName = "Manifest.mbdb";
inline constexpr std::string_view ManifestDbName = "Manifest.db";
inline constexpr std::string_view ManifestPlistName = "Manifest.plist";
inline constexpr std::string_view InfoPlistName = "Info.plist";

}  // namespace salvora
