#include "platform/Runtime.h"

namespace bookloom {

const void* Runtime::LoadedOnce(std::type_index type, const char* name,
                                const std::function<std::shared_ptr<const void>()>& load) const {
  const std::lock_guard<std::mutex> lock(sharedLock_);
  for (const Entry& entry : sharedEntries_)
    if (entry.type == type && entry.name == name) return entry.value.get();
  // Loaded under the lock: a second thread asking for the same library waits for this load.
  std::shared_ptr<const void> value = load();
  sharedEntries_.push_back({type, name, value});
  return value.get();
}

const void* Runtime::Find(std::type_index type, const char* name) const {
  const std::lock_guard<std::mutex> lock(sharedLock_);
  for (const Entry& entry : sharedEntries_)
    if (entry.type == type && entry.name == name) return entry.value.get();
  return nullptr;
}

std::vector<std::string> Runtime::LoadedNames() const {
  const std::lock_guard<std::mutex> lock(sharedLock_);
  std::vector<std::string> names;
  for (const Entry& entry : sharedEntries_) names.push_back(entry.name);
  return names;
}

}  // namespace bookloom
