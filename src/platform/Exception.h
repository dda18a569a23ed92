// The error classes of Bookloom and the message helper that fills their printf-like texts.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace bookloom {

// Every error of the program: a UTF-8 message.
class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
};

class FileOpenError : public Exception {
  using Exception::Exception;
};  // a file cannot be opened
class FileCreateError : public Exception {
  using Exception::Exception;
};  // a file cannot be created
class ReadError : public Exception {
  using Exception::Exception;
};  // a read failed or fell short
class WriteError : public Exception {
  using Exception::Exception;
};  // a write failed
class ConvertError : public Exception {
  using Exception::Exception;
};  // Assign between unrelated classes
class OutOfMemoryError : public Exception {
  using Exception::Exception;
};
class GraphicOperationError : public Exception {
  using Exception::Exception;
};
class ColorReductionError : public Exception {
  using Exception::Exception;
};  // colour reduction errors
// A picture file cannot be decoded; the reason is the message without the file's name.
class DecodeError : public Exception {
 public:
  DecodeError(const std::string& message, std::string reason)
      : Exception(message), reason_(std::move(reason)) {}
  const std::string& Reason() const { return reason_; }

 private:
  std::string reason_;
};
class BookFormatError : public Exception {
  using Exception::Exception;
};  // a damaged book

// One argument of Format: an integer, a floating-point number or a text (UTF-8 or UTF-16).
class FormatArg {
 public:
  FormatArg(int v) : value_(static_cast<int64_t>(v)) {}
  FormatArg(unsigned v) : value_(static_cast<int64_t>(v)) {}
  FormatArg(long v) : value_(static_cast<int64_t>(v)) {}
  FormatArg(unsigned long v) : value_(static_cast<int64_t>(v)) {}
  FormatArg(long long v) : value_(static_cast<int64_t>(v)) {}
  FormatArg(unsigned long long v) : value_(static_cast<int64_t>(v)) {}
  FormatArg(double v) : value_(v) {}
  FormatArg(const char* v) : value_(std::string(v)) {}
  FormatArg(const std::string& v) : value_(v) {}
  FormatArg(const std::u16string& v);

  const std::variant<int64_t, double, std::string>& Value() const { return value_; }

 private:
  std::variant<int64_t, double, std::string> value_;
};

// Fills a message pattern: %s, %d, %x / %X (upper-case hexadecimal), %f with optional width,
// zero padding and precision ("%4.4x", "%2.2d", "%0.1f"), and %% for a percent sign.
std::string Format(const std::string& pattern, const std::vector<FormatArg>& args);

// The text of errno, for the "%s" reason of file errors.
std::string SystemErrorText(int error);

// Thrown with the formatted message: Raise<FileOpenError>("Cannot open file \"%s\". %s", {name, why}).
template <class E>
[[noreturn]] void Raise(const std::string& pattern, const std::vector<FormatArg>& args = {}) {
  throw E(Format(pattern, args));
}

}  // namespace bookloom
