#include "wolf/BookRecords.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "platform/LittleEndian.h"
#include "platform/Vectors.h"

namespace bookloom {

const std::array<DescriptionField, kDescriptionFieldCount> kDescriptionFields = {{
    {"<title>", 128, true, "title"},
    {"<subject>", 128, true, "subject"},
    {"<author>", 128, true, "author"},
    {"<adpter>", 128, true, "adapter"},
    {"<translator>", 128, true, "translator"},
    {"<time_write>", 16, false, "write-time"},
    {"<publisher>", 128, true, "publisher"},
    {"<time_publish>", 16, true, "publish-time"},
    {"<rights>", 128, false, "rights"},
    {"<charset>", 128, false, "charset"},
    {"<patent>", 128, false, "patent"},
    {"<introduction>", 1024, true, "annotation"},
    {"<ISBN>", 128, true, "isbn"},
    {"<publishing_corporation>", 128, false, "publishing-corporation"},
    {"<wolf_id>", 16, false, "wolf-id"},
    {"<softversion>", 16, false, "software-version"},
    {"<time_produce>", 16, false, "production-time"},
    {"<allinfo>", 128, false, "all-info"},
}};

namespace {

// The replacement of each escaped character; nullptr for characters written as they are.
constexpr const char* EscapeOf(unsigned char c) {
  switch (c) {
    case '&':
      return "&apos;";
    case '"':
      return "&quot;";
    case '\'':
      return "&squot;";
    case '<':
      return "&lt;";
    case '>':
      return "&gt;";
    default:
      return nullptr;
  }
}

constexpr std::array<uint8_t, 256> MakeEscapedLengths() {
  std::array<uint8_t, 256> t{};
  for (int c = 0; c < 256; ++c) {
    const char* e = EscapeOf(static_cast<unsigned char>(c));
    t[c] = static_cast<uint8_t>(e ? std::char_traits<char>::length(e) : 1);
  }
  return t;
}

}  // namespace

const std::array<uint8_t, 256> kEscapedLengths = MakeEscapedLengths();

namespace {

#if BOOKLOOM_X86_VECTORS
// Past the blocks of 32 bytes from `from` on that hold none of the five escaped bytes.
__attribute__((target("avx2"))) size_t SkipPlainBytes(std::string_view text, size_t from) {
  size_t i = from;
  for (; i + 32 <= text.size(); i += 32) {
    const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text.data() + i));
    __m256i escaped = _mm256_setzero_si256();
    for (const char c : {'&', '"', '\'', '<', '>'})
      escaped = _mm256_or_si256(escaped, _mm256_cmpeq_epi8(bytes, _mm256_set1_epi8(c)));
    if (!_mm256_testz_si256(escaped, escaped)) break;
  }
  return i;
}
#endif

}  // namespace

namespace {

// The first byte from `from` on that is escaped; the text's size when there is none.
size_t FindEscaped(std::string_view text, size_t from) {
  size_t i = from;
#if BOOKLOOM_X86_VECTORS
  if (HasAvx2()) i = SkipPlainBytes(text, i);
#endif
  while (i < text.size() && kEscapedLengths[static_cast<unsigned char>(text[i])] == 1) ++i;
  return i;
}

}  // namespace

void AppendWolfEscaped(std::string& out, std::string_view text) {
  size_t plainFrom = 0;
  for (size_t i; (i = FindEscaped(text, plainFrom)) < text.size(); plainFrom = i + 1) {
    out.append(text.data() + plainFrom, i - plainFrom);
    out.append(EscapeOf(static_cast<unsigned char>(text[i])));
  }
  out.append(text.data() + plainFrom, text.size() - plainFrom);
}

void SumEscapedLengths(std::string_view text, std::vector<uint32_t>& before) {
  before.resize(text.size() + 1);
  uint32_t sum = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    before[i] = sum;
    sum += kEscapedLengths[static_cast<unsigned char>(text[i])];
  }
  before[text.size()] = sum;
}

std::string WolfEscape(std::string_view text) {
  std::string out;
  out.reserve(WolfEscapedLength(text));
  AppendWolfEscaped(out, text);
  return out;
}

std::string WolfImageTag(int width, int height, int bitCount, uint32_t length, int compact) {
  const int64_t values[] = {bitCount, compact, width, height, length};
  std::string tag;
  for (size_t i = 0; i < std::size(values); ++i) {
    tag += kImageTagParts[i];
    tag += std::to_string(values[i]);
  }
  tag += kImageTagEnd;
  return tag;
}

// ---- DescriptionRecord

const std::string& DescriptionRecord::GetValue(DescriptionFieldId field) const {
  return values_[static_cast<size_t>(field)];
}

std::string WithBookLineEnds(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    if (text[i] == '\r' || text[i] == '\n')
      out += "\r\n";
    else
      out += text[i];
  }
  return out;
}

void DescriptionRecord::SetValue(DescriptionFieldId field, std::string_view text) {
  const auto index = static_cast<size_t>(field);
  const std::string withLineEnds = WithBookLineEnds(text);
  text = withLineEnds;
  const auto isControl = [](char c) {
    return static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r';
  };
  std::string withoutControls;
  if (std::any_of(text.begin(), text.end(), isControl)) {
    std::remove_copy_if(text.begin(), text.end(), std::back_inserter(withoutControls), isControl);
    text = withoutControls;
  }
  text = text.substr(0, kDescriptionFields[index].maxLength);
  const auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  if (values_[index] == text) return;
  values_[index] = text;
  UpdateSize();
}

std::string DescriptionRecord::GetText() const {
  std::string text;
  text.reserve(size_);
  for (int i = 0; i < kDescriptionFieldCount; ++i) {
    if (values_[i].empty() && !kDescriptionFields[i].alwaysWrite) continue;
    text += kDescriptionFields[i].tag;
    AppendWolfEscaped(text, values_[i]);
    text += "\r\n";
  }
  return text;
}

void DescriptionRecord::Clear() {
  for (auto& v : values_) v.clear();
  UpdateSize();
}

void DescriptionRecord::UpdateSize() {
  size_t size = 0;
  for (int i = 0; i < kDescriptionFieldCount; ++i) {
    if (values_[i].empty() && !kDescriptionFields[i].alwaysWrite) continue;
    size += std::strlen(kDescriptionFields[i].tag) + WolfEscapedLength(values_[i]) + 2;
  }
  size_ = static_cast<int32_t>(size);
}

// ---- Table of contents

int32_t TocLevelOf(uint32_t key) {
  const uint8_t section = static_cast<uint8_t>(key >> 8), subsection = static_cast<uint8_t>(key);
  if (section == 0 && subsection == 0) return 1;
  if (subsection == 0) return 2;
  return 3;
}

TocLinks TocLinksOf(uint32_t key, int32_t level) {
  // The entry's own number sits in byte 2 (chapter), 1 (section) or 0 (subsection) of the key.
  const int shift = level == 1 ? 16 : level == 2 ? 8 : 0;
  const uint32_t own = (key >> shift) & 0xFF;
  const uint32_t ownCleared = key & ~(0xFFu << shift);
  TocLinks r{};
  r.parent = level == 1 ? 0 : level == 2 ? (key & ~0xFF00u) : (key & ~0xFFu);
  r.previous = own <= 1 ? 0 : ownCleared | ((own - 1) << shift);
  r.next = own == 255 ? 0 : ownCleared | ((own + 1) << shift);
  r.firstChild = level == 3 ? 0 : level == 1 ? (key | 0x100u) : (key | 0x1u);
  return r;
}

TocEntry::TocEntry(uint8_t chapter, uint8_t section, uint8_t subsection, std::string_view title,
                   uint32_t position)
    : key_(static_cast<uint32_t>(chapter) << 16 | static_cast<uint32_t>(section) << 8 | subsection),
      level_(TocLevelOf(key_)),
      title_(title.substr(0, kTocTitleMax)),
      position_(position) {}

void TocList::Add(uint8_t chapter, uint8_t section, uint8_t subsection, std::string_view title,
                  uint32_t position) {
  items_.push_back(std::make_unique<TocEntry>(chapter, section, subsection, title, position));
  indexed_ = false;
}

void TocList::Sort() {
  std::stable_sort(items_.begin(), items_.end(), [](const auto& a, const auto& b) {
    return a->Level() != b->Level() ? a->Level() < b->Level() : a->Key() < b->Key();
  });
  indexed_ = false;
}

void TocList::IndexKeys() const {
  if (indexed_) return;
  firstIndexOfKey_.clear();
  childCount_.clear();
  for (int i = 0; i < Count(); ++i) {
    const TocEntry& item = *items_[i];
    firstIndexOfKey_.try_emplace(item.Key(), i);
    if (item.Level() > 1) {
      const uint32_t parent = TocLinksOf(item.Key(), item.Level()).parent;
      ++childCount_[static_cast<uint64_t>(item.Level()) << 32 | parent];
    }
  }
  indexed_ = true;
}

int TocList::IndexOfKey(uint32_t key) const {
  IndexKeys();
  const auto found = firstIndexOfKey_.find(key);
  return found == firstIndexOfKey_.end() ? -1 : found->second;
}

std::string TocList::BuildRecord(int index, uint32_t recordsStart) const {
  IndexKeys();
  const TocEntry& item = *items_[index];
  std::string record(kTocRecordSize, '\0');
  PutU16(record, kTocTitleLengthAt, static_cast<uint16_t>(item.Title().size()));
  const auto children = childCount_.find(static_cast<uint64_t>(item.Level() + 1) << 32 | item.Key());
  PutU16(record, kTocChildCountAt,
         static_cast<uint16_t>(children == childCount_.end() ? 0 : children->second));
  const auto recordOf = [&](uint32_t key) -> uint32_t {
    const int i = IndexOfKey(key);
    return i < 0 ? 0 : recordsStart + static_cast<uint32_t>(kTocRecordSize) * static_cast<uint32_t>(i);
  };
  const TocLinks related = TocLinksOf(item.Key(), item.Level());
  PutU32(record, kTocPreviousAt, recordOf(related.previous));
  PutU32(record, kTocNextAt, recordOf(related.next));
  PutU32(record, kTocFirstChildAt, recordOf(related.firstChild));
  PutU32(record, kTocParentAt, recordOf(related.parent));
  record[kTocSubsectionAt] = static_cast<char>(item.Subsection());
  record[kTocSectionAt] = static_cast<char>(item.Section());
  record[kTocChapterAt] = static_cast<char>(item.Chapter());
  item.Title().copy(record.data() + kTocRecordTitleAt, kTocRecordTitleMax);
  return record;
}

// ---- Page table

PageTable::PageTable(int groupCount) : groups_(groupCount) {}

void PageTable::AddSectionStart(uint32_t position) {
  if (position == lastSectionStart_) return;
  lastSectionStart_ = position;
  for (auto& g : groups_) g.Add(position);
}

}  // namespace bookloom
