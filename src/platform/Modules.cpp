#include "platform/Modules.h"

#include <dlfcn.h>

#include <filesystem>

namespace bookloom {

OpenedLibrary OpenProgramModule(const char* fileName, const std::function<std::string(void* handle)>& start) {
  std::error_code error;
  const std::filesystem::path programDir =
      std::filesystem::read_symlink("/proc/self/exe", error).parent_path();
  std::string failures;
  for (const std::filesystem::path& dir : {programDir, programDir / BOOKLOOM_MODULE_DIR_FROM_PROGRAM}) {
    const std::filesystem::path file = dir / fileName;
    if (!std::filesystem::exists(file, error)) continue;
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
      failures += std::string(dlerror()) + "; ";
      continue;
    }
    const std::string wrong = start(handle);
    if (wrong.empty()) return {handle, {}};
    failures += file.string() + " " + wrong + "; ";
  }
  if (failures.empty()) return {nullptr, std::string(fileName) + " is not installed beside the program"};
  return {nullptr, failures.substr(0, failures.size() - 2)};
}

OpenedLibrary OpenSystemLibrary(const char* soname) {
  if (void* handle = dlopen(soname, RTLD_NOW | RTLD_LOCAL)) return {handle, {}};
  return {nullptr, dlerror()};
}

void* FindSymbol(void* handle, const char* name) { return dlsym(handle, name); }

}  // namespace bookloom
