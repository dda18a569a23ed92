// The commands of bookloom-cli: each takes the arguments after its name and returns the exit status.
#pragma once

#include <string>
#include <vector>

namespace bookloom::cli {

using Args = std::vector<std::string>;

// Prints the usage text.
void PrintUsage();

}  // namespace bookloom::cli
