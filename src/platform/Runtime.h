// What the work of one program run shares: the libraries of the system and the program's modules,
// each loaded at the first input that needs it, once, and kept until the program ends. main() (and
// the test main) makes one Runtime and hands it to what loads a library; two books built at once
// ask it from two threads.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <typeindex>
#include <vector>

#include "platform/Modules.h"

namespace bookloom {

class Runtime {
 public:
  Runtime() = default;
  Runtime(const Runtime&) = delete;
  Runtime& operator=(const Runtime&) = delete;

  // The functions of `Functions` (a BOOKLOOM_LIBRARY_FUNCTIONS struct) in the library `soname`,
  // loaded at the first call; `ready` then sets the library up once, when it loaded.
  template <class Functions>
  const LoadedFunctions<Functions>& Library(const char* soname,
                                            void (*ready)(const Functions&) = nullptr) const {
    return Loaded<LoadedFunctions<Functions>>(soname, [&] {
      auto loaded = std::make_shared<LoadedFunctions<Functions>>(LoadLibraryFunctions<Functions>(soname));
      if (loaded->functions && ready) ready(*loaded->functions);
      return loaded;
    });
  }

  // The program's module `fileName`, opened and started through `startEntry` at the first call.
  template <class Functions>
  const ModuleFunctions<Functions>& Module(const char* fileName, const char* startEntry, int version) const {
    return Loaded<ModuleFunctions<Functions>>(fileName, [&] {
      return std::make_shared<ModuleFunctions<Functions>>(
          OpenModuleFunctions<Functions>(fileName, startEntry, version));
    });
  }

  // What `load` makes of the library or module `name` at the first call for the type T and that name;
  // every later call, from any thread, gets the same object. For a module with a start of its own.
  // `load` must not ask the Runtime itself.
  template <class T>
  const T& Loaded(const char* name, const std::function<std::shared_ptr<const T>()>& load) const {
    return *static_cast<const T*>(
        LoadedOnce(typeid(T), name, [&]() -> std::shared_ptr<const void> { return load(); }));
  }

  // What the library or module `name` has become as a T when it has been asked for; null when not.
  template <class T>
  const T* IfLoaded(const char* name) const {
    return static_cast<const T*>(Find(typeid(T), name));
  }

  // The names of the libraries and modules asked for so far, in the order they were first asked for.
  std::vector<std::string> LoadedNames() const;

 private:
  struct Entry {
    std::type_index type;
    std::string name;
    std::shared_ptr<const void> value;
  };

  const void* LoadedOnce(std::type_index type, const char* name,
                         const std::function<std::shared_ptr<const void>()>& load) const;
  const void* Find(std::type_index type, const char* name) const;

  // Shared by every thread that reads an input: held while a library is looked for or loaded, so
  // that each is loaded once, never while it is used.
  mutable std::mutex sharedLock_;
  mutable std::vector<Entry> sharedEntries_;  // guarded by sharedLock_
};

}  // namespace bookloom
