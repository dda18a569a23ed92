// The commands of bookloom-cli: each takes the arguments after its name and returns the exit status.
#pragma once

#include <string>
#include <vector>

namespace bookloom::cli {

using Args = std::vector<std::string>;

// Prints the usage text.
void PrintUsage();

// info BOOK.wol: prints what a book holds and checks it; 1 for a damaged book.
int InfoCommand(const Args& args);
// extract BOOK.wol DIR: writes the cover and pictures as PNG and the text as UTF-8 into DIR.
int ExtractCommand(const Args& args);
// prepare IN OUT.png [--mode 1|2] [--enlarge] [--margins L,R,T,B]: the device page of a picture.
int PrepareCommand(const Args& args);

// make -o BOOK.wol [description and cover options] FILE...: builds a book.
int MakeCommand(const Args& args);
// formats: the open-dialog filter and the registered extensions.
int FormatsCommand(const Args& args);

}  // namespace bookloom::cli
