// Libraries that the programs load only when an input needs them, so that a run which reads no such
// input neither loads them nor resolves their symbols at start (Debian's libraries resolve every
// symbol as they are loaded): the program's own modules (bookloom-magick.so, bookloom-pdf.so), and
// libraries of the system called through a table of the functions used.
#pragma once

#include <functional>
#include <string>

namespace bookloom {

// A library opened at run time and never closed: its handle, or null and why it could not be opened.
struct OpenedLibrary {
  void* handle = nullptr;
  std::string problem;
};

// Opens the program's module `fileName` ("bookloom-pdf.so") from beside the program, as in the build
// folder where programs and modules share bin/, else from the module folder of an installed program,
// and starts it: `start` gets each module opened and returns "" when it takes it, else what is wrong
// with it ("is of another version").
OpenedLibrary OpenProgramModule(const char* fileName, const std::function<std::string(void* handle)>& start);

// The library's symbol of that name; null when it has none.
void* FindSymbol(void* handle, const char* name);

}  // namespace bookloom
