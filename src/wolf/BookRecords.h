// The records a Wolf book is made from (description, table of contents, page lists), the escaping
// of its text and the opening tag of its pictures. All text here is Windows-1251 bytes.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "wolf/BookFormat.h"

namespace bookloom {

// One field of the book description: its opening tag, the longest value it keeps, whether it is
// written even when empty, and the name it is shown and set by.
struct DescriptionField {
  const char* tag;
  int32_t maxLength;
  bool alwaysWrite;
  const char* name;
};

extern const std::array<DescriptionField, kDescriptionFieldCount> kDescriptionFields;

// The bytes each character becomes when escaped (1 for all but & " ' < >).
extern const std::array<uint8_t, 256> kEscapedLengths;

// The five replacements of book text, ampersand first: & -> &apos;, " -> &quot;, ' -> &squot;,
// < -> &lt;, > -> &gt;.
std::string WolfEscape(std::string_view text);
// Appends the escaped text to out, without building a temporary string.
void AppendWolfEscaped(std::string& out, std::string_view text);
// The length of WolfEscape(text).
inline size_t WolfEscapedLength(std::string_view text) {
  size_t n = 0;
  for (unsigned char c : text) n += kEscapedLengths[c];
  return n;
}
// WolfEscapedLength of each beginning of text: `before[i]` for its first i bytes, up to the whole text.
// The escaped length of any stretch of it is then a difference.
void SumEscapedLengths(std::string_view text, std::vector<uint32_t>& before);

// The opening tag of a picture: <img bitcount=B compact=C width=W height=H length=L>.
std::string WolfImageTag(int width, int height, int bitCount, uint32_t length, int compact);

// The text with every line end (CR LF, CR or LF) as the CR LF that a book's description holds;
// texts in memory end their lines with LF.
std::string WithBookLineEnds(std::string_view text);

// The book description: 18 values, cut to their field's length and trimmed, and the size of the
// block they serialize to.
class DescriptionRecord {
 public:
  DescriptionRecord() { Clear(); }

  const std::string& GetValue(DescriptionFieldId field) const;
  // Keeps the first maxLength bytes of text, its line ends made CR LF, without leading and trailing
  // bytes up to 32; control bytes other than tabs and line ends are left out first.
  void SetValue(DescriptionFieldId field, std::string_view text);
  // The description block: tag, escaped value and CR LF for every value that is set or always
  // written.
  std::string GetText() const;
  void Clear();
  // The byte length of GetText().
  int32_t Size() const { return size_; }

 private:
  void UpdateSize();

  std::array<std::string, kDescriptionFieldCount> values_;
  int32_t size_ = 0;
};

// One entry of the table of contents, numbered by chapter, section and subsection.
class TocEntry {
 public:
  TocEntry(uint8_t chapter, uint8_t section, uint8_t subsection, std::string_view title, uint32_t position);

  // Chapter * 65536 + Section * 256 + Subsection.
  uint32_t Key() const { return key_; }
  // 1 for a chapter (section and subsection 0), 2 for a section (subsection 0), 3 otherwise.
  int32_t Level() const { return level_; }
  // The first 254 bytes of the title given.
  const std::string& Title() const { return title_; }
  // The absolute file position the entry leads to.
  uint32_t Position() const { return position_; }

  uint8_t Chapter() const { return static_cast<uint8_t>(key_ >> 16); }
  uint8_t Section() const { return static_cast<uint8_t>(key_ >> 8); }
  uint8_t Subsection() const { return static_cast<uint8_t>(key_); }

 private:
  uint32_t key_;
  int32_t level_;
  std::string title_;
  uint32_t position_;
};

// The keys an entry's 80-byte record links to (0 when there is none to look up), by the entry's
// numbers alone.
struct TocLinks {
  uint32_t parent, previous, next, firstChild;
};
TocLinks TocLinksOf(uint32_t key, int32_t level);
// The level of an entry with that key.
int32_t TocLevelOf(uint32_t key);

// The table of contents: entries in the order added until Sort.
class TocList {
 public:
  void Add(uint8_t chapter, uint8_t section, uint8_t subsection, std::string_view title, uint32_t position);
  // By level, then by key.
  void Sort();
  // The index of the first entry with that key, -1 when there is none.
  int IndexOfKey(uint32_t key) const;
  // The 80-byte record of entry `index` with its links to the records starting at recordsStart;
  // the target and title positions (its first 8 bytes) are left zero for the writer.
  std::string BuildRecord(int index, uint32_t recordsStart) const;

  int Count() const { return static_cast<int>(items_.size()); }
  const TocEntry& Items(int index) const { return *items_[index]; }

 private:
  // Lookups by key and the children counted per parent, built on first use after a change.
  void IndexKeys() const;

  std::vector<std::unique_ptr<TocEntry>> items_;
  mutable bool indexed_ = false;
  mutable std::unordered_map<uint32_t, int> firstIndexOfKey_;
  mutable std::unordered_map<uint64_t, int> childCount_;  // (level << 32 | parent key) -> count
};

// The page starts of one layout.
class PageList {
 public:
  void Add(uint32_t value) { items_.push_back(value); }
  // Appends the last value plus bytes (0 plus bytes when empty).
  void AddRelative(uint32_t bytes) { items_.push_back((items_.empty() ? 0 : items_.back()) + bytes); }
  int Count() const { return static_cast<int>(items_.size()); }
  uint32_t Items(int index) const { return items_[index]; }
  uint32_t ByteSize() const { return 4 * static_cast<uint32_t>(items_.size()); }

 private:
  std::vector<uint32_t> items_;
};

// The page starts of every layout, one group per layout.
class PageTable {
 public:
  explicit PageTable(int groupCount);
  // The group at index modulo the group count.
  PageList& Group(int index) { return groups_[index % groups_.size()]; }
  const PageList& Group(int index) const { return groups_[index % groups_.size()]; }
  // Appends position to every group, unless it is the section start recorded last.
  void AddSectionStart(uint32_t position);

 private:
  std::vector<PageList> groups_;
  uint32_t lastSectionStart_ = 0xFFFFFFFFu;
};

// One of the device's four page layouts: font, text width and lines per page.
struct PageLayout {
  int32_t fontIndex;
  int32_t textWidth;
  int32_t linesPerPage;
};

// The four layouts, each feeding the page list of the same number.
inline constexpr std::array<PageLayout, 4> kPageLayouts = {{
    {0, 576, 28},
    {1, 576, 21},
    {0, 776, 21},
    {1, 776, 16},
}};

}  // namespace bookloom
