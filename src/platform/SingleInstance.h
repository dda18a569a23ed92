// The program's single instances (the registries, the book's codec): each is created and destroyed
// by the start-up object in one fixed order and reached through Instance() in between. They are
// filled before any second thread starts and only read while one runs.
#pragma once

#include <memory>
#include <utility>

#include "platform/Exception.h"

namespace bookloom {

// The base of a class with one program-wide instance; T names it in kNotStartedMessage.
template <class T>
class SingleInstance {
 public:
  // The instance; raises when the start-up has not created it.
  static T& Instance() {
    if (!instance_) throw Exception(T::kNotStartedMessage);
    return *instance_;
  }
  template <class... Args>
  static void CreateInstance(Args&&... args) {
    instance_ = std::make_unique<T>(std::forward<Args>(args)...);
  }
  static void DestroyInstance() { instance_.reset(); }

 private:
  static inline std::unique_ptr<T> instance_;
};

}  // namespace bookloom
