// The version texts of an executable, as the about box shows them.
#pragma once

#include <string>

#include "platform/VersionInfo.h"

namespace bookloom {

// Reads the file version of the executable at fileName. Version becomes "major.minor" and Build
// "major.minor.release" with the release of at least two digits; either may be null. Both are
// emptied first; false when the file carries no version information.
bool GetVersionStrings(const std::u16string& fileName, std::u16string* version, std::u16string* build);

}  // namespace bookloom
