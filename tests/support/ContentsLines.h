// A book's table of contents as the tests compare it.
#pragma once

#include <string>
#include <vector>

#include "wolf/BookReader.h"

namespace bookloom::test {

// Every entry as "LEVEL TITLE" (the title in UTF-8), in the order of the tree.
std::vector<std::string> ContentsLines(const BookReader& reader);

}  // namespace bookloom::test
