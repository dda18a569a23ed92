// The version texts of an executable, as the about box shows them, and this build's own stamp.
#pragma once

#include <string>

#include "platform/VersionInfo.h"

namespace bookloom {

// This build's version, for the stamp that each program's main() places in its executable.
inline constexpr VersionStamp kBookloomVersionStamp = MakeVersionStamp(
    BOOKLOOM_VERSION_MAJOR, BOOKLOOM_VERSION_MINOR, BOOKLOOM_VERSION_PATCH, BOOKLOOM_VERSION_TWEAK);

// Reads the file version of the executable at fileName. Version becomes "major.minor" and Build
// "major.minor.release" with the release of at least two digits; either may be null. Both are
// emptied first; false when the file carries no version information.
bool GetVersionStrings(const std::u16string& fileName, std::u16string* version, std::u16string* build);

}  // namespace bookloom
