// The program's UTF-16 texts as Qt's strings, for every window and dialog.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace bookloom {

inline QString Q(std::u16string_view text) {
  return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

}  // namespace bookloom
