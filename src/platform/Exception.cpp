#include "platform/Exception.h"

#include <cstdio>
#include <cstring>

#include "platform/Utf.h"

namespace bookloom {

FormatArg::FormatArg(const std::u16string& v) : value_(Utf16ToUtf8(v)) {}

namespace {

int64_t AsInteger(const FormatArg& arg) {
  const auto& v = arg.Value();
  if (auto i = std::get_if<int64_t>(&v)) return *i;
  if (auto d = std::get_if<double>(&v)) return static_cast<int64_t>(*d);
  return 0;
}

double AsDouble(const FormatArg& arg) {
  const auto& v = arg.Value();
  if (auto d = std::get_if<double>(&v)) return *d;
  if (auto i = std::get_if<int64_t>(&v)) return static_cast<double>(*i);
  return 0.0;
}

std::string AsText(const FormatArg& arg) {
  const auto& v = arg.Value();
  if (auto s = std::get_if<std::string>(&v)) return *s;
  if (auto i = std::get_if<int64_t>(&v)) return std::to_string(*i);
  return std::to_string(std::get<double>(v));
}

}  // namespace

std::string Format(const std::string& pattern, const std::vector<FormatArg>& args) {
  std::string out;
  size_t next = 0;
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] != '%') {
      out += pattern[i];
      continue;
    }
    size_t j = i + 1;
    if (j < pattern.size() && pattern[j] == '%') {
      out += '%';
      i = j;
      continue;
    }
    // Flags, width and precision as printf has them.
    std::string conversion = "%";
    while (j < pattern.size() && std::strchr("-0123456789.", pattern[j])) conversion += pattern[j++];
    if (j >= pattern.size()) {
      out += pattern.substr(i);
      break;
    }
    const char conv = pattern[j];
    const FormatArg empty(std::string{});
    const FormatArg& arg = next < args.size() ? args[next] : empty;
    ++next;
    char buf[128];
    switch (conv) {
      case 'd':
        std::snprintf(buf, sizeof buf, (conversion + "lld").c_str(), static_cast<long long>(AsInteger(arg)));
        out += buf;
        break;
      case 'x':  // upper-case digits, as the program's messages show codes
      case 'X':
        std::snprintf(buf, sizeof buf, (conversion + "llX").c_str(),
                      static_cast<unsigned long long>(AsInteger(arg)));
        out += buf;
        break;
      case 'f':
        std::snprintf(buf, sizeof buf, (conversion + "f").c_str(), AsDouble(arg));
        out += buf;
        break;
      case 's':
        out += AsText(arg);
        break;
      default:
        out += pattern.substr(i, j - i + 1);
        --next;
        break;
    }
    i = j;
  }
  return out;
}

std::string SystemErrorText(int error) { return std::strerror(error); }

}  // namespace bookloom
