// Libraries that the programs load only when an input needs them, so that a run which reads no such
// input neither loads them nor resolves their symbols at start (Debian's libraries resolve every
// symbol as they are loaded): the program's own modules (bookloom-magick.so, bookloom-emf.so,
// bookloom-pdf.so), and libraries of the system called through a table of the functions used.
#pragma once

#include <functional>
#include <optional>
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

// Opens a library of the system by the name it is loaded under ("libxml2.so.2").
OpenedLibrary OpenSystemLibrary(const char* soname);

// The library's symbol of that name; null when it has none.
void* FindSymbol(void* handle, const char* name);

// A program's module whose start entry takes the version of the interface the program speaks and
// returns the module's table of functions, or null when the module speaks another.
template <class Functions>
struct ModuleFunctions {
  const Functions* functions = nullptr;  // null when the module cannot be used
  std::string problem;                   // then why
};

// Opens the module `fileName` and starts it through its entry `startEntry`.
template <class Functions>
ModuleFunctions<Functions> OpenModuleFunctions(const char* fileName, const char* startEntry, int version) {
  using Start = const Functions* (*)(int version);
  ModuleFunctions<Functions> module;
  module.problem = OpenProgramModule(fileName, [&](void* handle) -> std::string {
                     const auto start = reinterpret_cast<Start>(FindSymbol(handle, startEntry));
                     if (!start) return "has no entry point";
                     module.functions = start(version);
                     return module.functions ? "" : "is of another version";
                   }).problem;
  return module;
}

// The functions a unit calls in a library of the system that it loads at first use, one typed
// pointer each, declared from the list of their names (`#define LIBXML2_FUNCTIONS(F) F(xmlFreeDoc)
// F(xmlNewParserCtxt)`): BOOKLOOM_LIBRARY_FUNCTIONS(Libxml2, LIBXML2_FUNCTIONS) declares the struct
// Libxml2, which LoadLibraryFunctions<Libxml2>(soname) fills.
#define BOOKLOOM_LIBRARY_FUNCTIONS(Name, LIST)                                          \
  struct Name {                                                                         \
    LIST(BOOKLOOM_LIBRARY_FUNCTION_POINTER)                                             \
    /* Looks every function up in the library: the name of one it lacks, "" if none. */ \
    const char* FindIn(void* handle) {                                                  \
      LIST(BOOKLOOM_LIBRARY_FUNCTION_FIND)                                              \
      return "";                                                                        \
    }                                                                                   \
  }
#define BOOKLOOM_LIBRARY_FUNCTION_POINTER(function) decltype(&::function) function = nullptr;
#define BOOKLOOM_LIBRARY_FUNCTION_FIND(function)                                              \
  function = reinterpret_cast<decltype(function)>(::bookloom::FindSymbol(handle, #function)); \
  if (!function) return #function;

template <class Functions>
struct LoadedFunctions {
  std::optional<Functions> functions;  // none when the library or one of its functions is missing
  std::string problem;                 // then why
};

// Opens the library and looks up the functions of `Functions` (a BOOKLOOM_LIBRARY_FUNCTIONS struct).
template <class Functions>
LoadedFunctions<Functions> LoadLibraryFunctions(const char* soname) {
  const OpenedLibrary library = OpenSystemLibrary(soname);
  if (!library.handle) return {std::nullopt, library.problem};
  Functions functions;
  const std::string missing = functions.FindIn(library.handle);
  if (!missing.empty()) return {std::nullopt, std::string(soname) + " has no function " + missing};
  return {functions, {}};
}

}  // namespace bookloom
