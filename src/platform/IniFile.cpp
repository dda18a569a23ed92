#include "platform/IniFile.h"

#include "platform/Exception.h"
#include "platform/FileSys.h"
#include "platform/Stream.h"
#include "platform/Utf.h"

namespace bookloom {

namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

std::u16string_view Trim(std::u16string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

char16_t AsciiLower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }

bool SameName(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return true;
}

// The name of a "[name]" line; false for any other line.
bool SectionName(std::u16string_view line, std::u16string_view& name) {
  line = Trim(line);
  if (line.empty() || line.front() != u'[') return false;
  const size_t close = line.find(u']');
  if (close == std::u16string_view::npos) return false;
  name = Trim(line.substr(1, close - 1));
  return true;
}

// The key and value of a "key=value" line; false for comments and lines without "=".
bool KeyValue(std::u16string_view line, std::u16string_view& key, std::u16string_view& value) {
  const std::u16string_view trimmed = Trim(line);
  if (trimmed.empty() || trimmed.front() == u';') return false;
  const size_t eq = line.find(u'=');
  if (eq == std::u16string_view::npos) return false;
  key = Trim(line.substr(0, eq));
  value = Trim(line.substr(eq + 1));
  return true;
}

}  // namespace

IniFile::IniFile(std::u16string fileName) : fileName_(std::move(fileName)) {
  std::string bytes;
  try {
    bytes = ReadFileBytes(fileName_);
  } catch (const Exception&) {
    return;  // no file yet: an empty profile
  }
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.erase(0, 3);
  const std::u16string text = Utf8ToUtf16(bytes);
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(u'\n', start);
    if (end == std::u16string::npos) end = text.size();
    std::u16string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == u'\r') line.pop_back();
    lines_.push_back(std::move(line));
    start = end + 1;
  }
}

size_t IniFile::FindSection(std::u16string_view section) const {
  std::u16string_view name;
  for (size_t i = 0; i < lines_.size(); ++i)
    if (SectionName(lines_[i], name) && SameName(name, section)) return i;
  return lines_.size();
}

size_t IniFile::SectionEnd(size_t header) const {
  std::u16string_view name;
  size_t i = header + 1;
  while (i < lines_.size() && !SectionName(lines_[i], name)) ++i;
  return i;
}

size_t IniFile::FindKey(size_t begin, size_t end, std::u16string_view key) const {
  std::u16string_view k, v;
  for (size_t i = begin; i < end; ++i)
    if (KeyValue(lines_[i], k, v) && SameName(k, key)) return i;
  return end;
}

std::u16string IniFile::ReadString(std::u16string_view section, std::u16string_view key,
                                   std::u16string_view def) const {
  const size_t header = FindSection(section);
  if (header == lines_.size()) return std::u16string(def);
  const size_t end = SectionEnd(header);
  const size_t line = FindKey(header + 1, end, key);
  if (line == end) return std::u16string(def);
  std::u16string_view k, value;
  KeyValue(lines_[line], k, value);
  if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return std::u16string(value.substr(0, kMaxValueLength));
}

void IniFile::WriteString(std::u16string_view section, std::u16string_view key, std::u16string_view value) {
  std::u16string entry(key);
  entry += u'=';
  entry += value;
  const size_t header = FindSection(section);
  if (header == lines_.size()) {
    lines_.push_back(u"[" + std::u16string(section) + u"]");
    lines_.push_back(std::move(entry));
    return;
  }
  const size_t end = SectionEnd(header);
  const size_t line = FindKey(header + 1, end, key);
  if (line != end) {
    lines_[line] = std::move(entry);
    return;
  }
  size_t after = end;  // after the last line that is not blank, so a gap before the next section stays
  while (after > header + 1 && Trim(lines_[after - 1]).empty()) --after;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(after), std::move(entry));
}

bool IniFile::UpdateFile() const {
  std::u16string text;
  for (const auto& line : lines_) {
    text += line;
    text += u'\n';
  }
  try {
    FileOutputStream out(fileName_);
    out.WriteStr(Utf16ToUtf8(text));
    out.Close();
  } catch (const Exception&) {
    return false;
  }
  return true;
}

}  // namespace bookloom
