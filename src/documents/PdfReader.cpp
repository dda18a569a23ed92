#include "documents/PdfReader.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>
#include <vector>

#include "platform/Utf.h"

namespace bookloom {

namespace {

constexpr PagedFormat kPdf = {"PDF", kPdfPluginFile, kPdfPluginStartEntry};

bool IsPdfSpace(char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == '\0'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

constexpr int64_t kHuge = int64_t{1} << 62;

// Reads the number at `at` (after blanks), moving past it; -1 when there is none. Numbers of more
// digits than any count holds are kHuge.
int64_t NumberAt(std::string_view bytes, size_t& at) {
  while (at < bytes.size() && IsPdfSpace(bytes[at])) ++at;
  if (at >= bytes.size() || !IsDigit(bytes[at])) return -1;
  int64_t value = 0;
  for (; at < bytes.size() && IsDigit(bytes[at]); ++at)
    value = value < kHuge / 10 ? value * 10 + (bytes[at] - '0') : kHuge;
  return value;
}

// The number that ends just before `end` (after blanks), or -1; `end` moves to its first digit.
int64_t NumberBefore(std::string_view bytes, size_t& end) {
  while (end > 0 && IsPdfSpace(bytes[end - 1])) --end;
  size_t start = end;
  while (start > 0 && IsDigit(bytes[start - 1])) --start;
  if (start == end) return -1;
  size_t at = start;
  const int64_t value = NumberAt(bytes, at);
  end = start;
  return value;
}

// Every place of the bytes where `word` stands.
template <class Visit>
void ForEach(std::string_view bytes, std::string_view word, Visit visit) {
  for (size_t at = bytes.find(word); at != std::string_view::npos; at = bytes.find(word, at + 1)) visit(at);
}

}  // namespace

int64_t LargestPdfObjectNumber(std::string_view bytes) {
  int64_t largest = 0;
  const auto note = [&](int64_t n) { largest = std::max(largest, n); };
  ForEach(bytes, "obj", [&](size_t at) {  // "12 0 obj"
    size_t end = at;
    if (end == 0 || !IsPdfSpace(bytes[end - 1])) return;
    if (NumberBefore(bytes, end) < 0 || end == 0 || !IsPdfSpace(bytes[end - 1])) return;
    const int64_t number = NumberBefore(bytes, end);
    if (end == 0 || !std::isalnum(static_cast<unsigned char>(bytes[end - 1]))) note(number);
  });
  ForEach(bytes, "/Size", [&](size_t at) {
    at += 5;
    note(NumberAt(bytes, at));
  });
  ForEach(bytes, "xref", [&](size_t at) {  // a table's first subsection: "xref\n0 5\n"
    at += 4;
    const int64_t first = NumberAt(bytes, at), count = NumberAt(bytes, at);
    if (first >= 0 && count >= 0) note(std::min(first + count, kHuge));
  });
  ForEach(bytes, "/Index", [&](size_t at) {  // an xref stream's subsections: "/Index [0 5 10 2]"
    at += 6;
    while (at < bytes.size() && IsPdfSpace(bytes[at])) ++at;
    if (at >= bytes.size() || bytes[at] != '[') return;
    ++at;
    for (int pair = 0; pair < 4096; ++pair) {
      const int64_t first = NumberAt(bytes, at), count = NumberAt(bytes, at);
      if (first < 0 || count < 0) return;
      note(std::min(first + count, kHuge));
    }
  });
  return largest;
}

int64_t MostPdfObjectsIn(int64_t fileSize) { return std::max<int64_t>(fileSize / 4, 1 << 16); }

Document ReadPdf(const Runtime& runtime, const std::u16string& fileName, DocumentMode mode) {
  CheckPdfObjectNumbers(fileName);
  return ReadPagedDocument(runtime, kPdf, fileName, mode);
}

void CheckPdfObjectNumbers(const std::u16string& fileName) {
  std::ifstream file(Utf16ToUtf8(fileName), std::ios::binary);
  if (!file) return;  // the reader says why it cannot be opened
  // Read in pieces, each beginning with the end of the one before so that no word is cut in two.
  constexpr size_t kPiece = 1 << 20, kOverlap = 256;
  std::vector<char> buffer(kPiece + kOverlap);
  size_t kept = 0;
  int64_t largest = 0, size = 0;
  while (file) {
    file.read(buffer.data() + kept, static_cast<std::streamsize>(kPiece));
    const size_t got = static_cast<size_t>(file.gcount());
    if (got == 0) break;
    size += static_cast<int64_t>(got);
    largest = std::max(largest, LargestPdfObjectNumber({buffer.data(), kept + got}));
    const size_t end = kept + got;
    kept = std::min(end, kOverlap);
    std::memmove(buffer.data(), buffer.data() + end - kept, kept);
  }
  if (largest > MostPdfObjectsIn(size))
    throw DocumentError(fileName, "",
                        "damaged: it names object " + std::to_string(largest) + ", more than a file of " +
                            std::to_string(size) + " bytes can hold");
}

void StartPdfReader(const Runtime& runtime) { PagedModule(runtime, kPdf); }

}  // namespace bookloom
