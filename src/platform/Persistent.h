// The base of value objects that copy themselves from one another with Assign.
#pragma once

#include <string>

namespace bookloom {

class TPersistent {
 public:
  virtual ~TPersistent() = default;
  // Copies from another object; this base refuses every source with EConvertError.
  virtual void Assign(const TPersistent& source);
  // The class name shown in the assignment error.
  virtual std::string ClassName() const = 0;
};

}  // namespace bookloom
