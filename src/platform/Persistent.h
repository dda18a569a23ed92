// The base of value objects that copy themselves from one another with Assign.
#pragma once

#include <string>

namespace bookloom {

class Persistent {
 public:
  virtual ~Persistent() = default;
  // Copies from another object; this base refuses every source with ConvertError.
  virtual void Assign(const Persistent& source);
  // The class name shown in the assignment error.
  virtual std::string ClassName() const = 0;
};

}  // namespace bookloom
