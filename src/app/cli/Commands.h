// The commands of bookloom-cli: each takes the arguments after its name and returns the exit status.
#pragma once

#include <string>
#include <vector>

namespace bookloom::cli {

using Args = std::vector<std::string>;

// Prints the usage text.
void PrintUsage();

// prepare IN OUT.png [--mode 1|2] [--enlarge] [--margins L,R,T,B]: the device page of a picture.
int CmdPrepare(const Args& args);

}  // namespace bookloom::cli
