#include "wolf/BookReader.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <unordered_map>

#include "platform/Exception.h"
#include "platform/LittleEndian.h"
#include "platform/Utf.h"
#include "wolf/BookFormat.h"
#include "wolf/BookRecords.h"
#include "wolf/Lzss.h"
#include "wolf/PageFlow.h"

namespace bookloom {

size_t PictureData::RowBytes() const {
  return (static_cast<size_t>(width) * static_cast<size_t>(bitCount) + 7) / 8;
}

namespace {

// One escaped character: its entity and the character it stands for.
struct Entity {
  std::string_view text;
  char character;
};
constexpr Entity kEntities[] = {
    {"&apos;", '&'}, {"&quot;", '"'}, {"&squot;", '\''}, {"&lt;", '<'}, {"&gt;", '>'}};

// The control bytes a text may hold: tabs, and in a description value the line ends of an annotation
// (in a text section CR ends the paragraph).
constexpr std::string_view kTextControls = "\t";
constexpr std::string_view kDescriptionControls = "\t\n\r";

// Reads the book front to back; every access goes through a bounds check first.
class BookParser {
 public:
  explicit BookParser(std::string_view bytes, BookContents& book) : b_(bytes), book_(book) {}

  void Parse();

 private:
  // Names the offset, and the part of the book being read when there is one.
  [[noreturn]] void Fail(uint64_t at, const std::string& pattern,
                         const std::vector<FormatArg>& args = {}) const {
    throw BookFormatError("Offset " + std::to_string(at) + ": " + (part_.empty() ? "" : part_ + ": ") +
                          Format(pattern, args));
  }

  // The bytes [at, at + count) must lie before limit.
  void Need(uint64_t at, uint64_t count, uint64_t limit, const char* what) const {
    if (at > limit || count > limit - at)
      Fail(at, "%s needs %d bytes but its block ends at offset %d", {what, count, limit});
  }
  bool At(uint64_t at, std::string_view literal, uint64_t limit) const {
    return at <= limit && literal.size() <= limit - at && b_.compare(at, literal.size(), literal) == 0;
  }
  void Expect(uint64_t at, std::string_view literal, uint64_t limit) const {
    if (!At(at, literal, limit)) Fail(at, "expected \"%s\"", {std::string(literal)});
  }
  uint16_t U16(uint64_t at, uint64_t limit, const char* what) const {
    Need(at, 2, limit, what);
    return GetU16(b_, at);
  }
  uint32_t U32(uint64_t at, uint64_t limit, const char* what) const {
    Need(at, 4, limit, what);
    return GetU32(b_, at);
  }
  // A header field; the header has been checked to be there.
  uint32_t Field(HeaderField field) const {
    return field.width == 2 ? GetU16(b_, field.offset) : GetU32(b_, field.offset);
  }

  // Appends the unescaped form of b_[from, to) to out; a byte that escaping never leaves raises, and
  // so does a control byte other than those `allowedControls` holds.
  void Unescape(uint64_t from, uint64_t to, std::string& out, std::string_view allowedControls) const;
  // A decimal number as printf writes it: no sign, no leading zeros.
  uint32_t Number(uint64_t& at, uint64_t limit, const char* what) const;

  void ParseHeader();
  void ParseDescription(uint64_t start, uint64_t end);
  void ParseCover(uint64_t start, uint64_t end);
  void CheckPictureData(const PictureData& picture) const;
  void ParseBody(uint64_t start, uint64_t end);
  uint64_t ParsePictureSection(SectionData& section, uint64_t at, uint64_t end);
  uint64_t ParseTextSection(SectionData& section, uint64_t at, uint64_t end);
  void ParseSubcatalog(uint64_t start, uint64_t end);
  void CheckTOCLinks();
  void ParseCatalog(uint64_t start, uint64_t end);
  void CheckTOCTargets() const;
  void ParsePageTable(uint64_t start, uint64_t end);
  void CheckPageLists() const;

  std::string_view b_;
  BookContents& book_;
  std::string part_;  // the section, paragraph or picture being read, for messages
  uint64_t catalogStart_ = 0;
  uint64_t pageTableStart_ = 0;
  uint16_t level1Count_ = 0, otherCount_ = 0;
  uint32_t headerList0Count_ = 0;
  std::array<uint64_t, 8> listStarts_{};
};

void BookParser::Unescape(uint64_t from, uint64_t to, std::string& out,
                          std::string_view allowedControls) const {
  for (uint64_t i = from; i < to;) {
    const char c = b_[i];
    if (static_cast<unsigned char>(c) < 0x20 && allowedControls.find(c) == std::string_view::npos)
      Fail(i, "control byte 0x%02x in text", {static_cast<unsigned char>(c)});
    if (c == '&') {
      const Entity* found = nullptr;
      for (const Entity& e : kEntities)
        if (!found && At(i, e.text, to)) found = &e;
      if (!found) Fail(i, "\"&\" that begins none of &apos; &quot; &squot; &lt; &gt;");
      out += found->character;
      i += found->text.size();
      continue;
    }
    if (c == '"' || c == '\'' || c == '<' || c == '>')
      Fail(i, "unescaped \"%s\" in text", {std::string(1, c)});
    out += c;
    ++i;
  }
}

uint32_t BookParser::Number(uint64_t& at, uint64_t limit, const char* what) const {
  const uint64_t start = at;
  uint64_t value = 0;
  while (at < limit && b_[at] >= '0' && b_[at] <= '9' && at - start < 10) {
    value = value * 10 + static_cast<uint64_t>(b_[at] - '0');
    ++at;
  }
  const uint64_t digits = at - start;
  if (digits == 0 || (digits > 1 && b_[start] == '0') || value > 0x7FFFFFFF ||
      (at < limit && b_[at] >= '0' && b_[at] <= '9'))
    Fail(start, "%s is not a decimal number of the picture tag", {what});
  return static_cast<uint32_t>(value);
}

void BookParser::Parse() {
  book_.fileSize = b_.size();
  ParseHeader();
  const uint64_t descriptionStart = kHeaderSize;
  const uint64_t coverStart = descriptionStart + Field(kDescriptionLengthField);
  const uint64_t bodyStart = coverStart + Field(kCoverLengthField);
  const uint64_t bodyEnd = bodyStart + Field(kBodyLengthField);
  catalogStart_ = bodyEnd;
  const uint64_t catalogEnd = catalogStart_ + Field(kCatalogLengthField);
  pageTableStart_ = catalogEnd;
  const uint64_t pageTableEnd = pageTableStart_ + Field(kPageTableLengthField);
  if (pageTableEnd != b_.size())
    Fail(0, "the header's block lengths add up to %d bytes, the file has %d", {pageTableEnd, b_.size()});

  ParseDescription(descriptionStart, coverStart);
  if (coverStart != bodyStart) ParseCover(coverStart, bodyStart);
  ParseBody(bodyStart, bodyEnd);
  if (Field(kSubcatalogField) != 0) ParseSubcatalog(Field(kSubcatalogField), catalogEnd);
  ParseCatalog(catalogStart_, catalogEnd);
  CheckTOCTargets();
  ParsePageTable(pageTableStart_, pageTableEnd);
  CheckPageLists();
}

void BookParser::ParseHeader() {
  Need(0, kHeaderSize, b_.size(), "the header");
  if (b_.compare(kMagicField.offset, kBookMagic.size(), kBookMagic) != 0)
    Fail(0, "not a Wolf book (no \"%s\")", {std::string(kBookMagic)});
  bool used[kHeaderSize] = {};
  for (const HeaderField& f : kHeaderFields) std::fill(used + f.offset, used + f.offset + f.width, true);
  for (size_t i = 0; i < kHeaderSize; ++i)
    if (!used[i] && b_[i] != 0)
      Fail(i, "header byte is %d where it must be 0", {static_cast<uint8_t>(b_[i])});
  for (const auto& [field, value] :
       {std::pair{kFormatVersionField, kFormatVersion}, std::pair{kPageTableVersionField, kPageTableVersion}})
    if (Field(field) != value)
      Fail(field.offset, "header field is %d where it must be %d", {Field(field), value});
  if (Field(kPageCountField) != Field(kPageCountAgainField))
    Fail(kPageCountAgainField.offset, "page count %d differs from the %d at offset %d",
         {Field(kPageCountAgainField), Field(kPageCountField), kPageCountField.offset});
  level1Count_ = static_cast<uint16_t>(Field(kChapterCountField));
  otherCount_ = static_cast<uint16_t>(Field(kLowerEntryCountField));
  headerList0Count_ = Field(kPageCountField);
}

void BookParser::ParseDescription(uint64_t start, uint64_t end) {
  Need(start, end - start, b_.size(), "the description block");
  int next = 0;  // fields stand in index order, each at most once
  uint64_t at = start;
  const auto requireAlwaysWritten = [&](int upTo, uint64_t where) {
    for (int j = next; j < upTo; ++j)
      if (kDescriptionFields[j].alwaysWrite)
        Fail(where, "description field %s is missing", {kDescriptionFields[j].tag});
  };
  while (at < end) {
    int index = -1;
    for (int j = next; j < kDescriptionFieldCount && index < 0; ++j)
      if (At(at, kDescriptionFields[j].tag, end)) index = j;
    if (index < 0) Fail(at, "unknown, repeated or misplaced description field");
    requireAlwaysWritten(index, at);
    const uint64_t valueStart = at + std::strlen(kDescriptionFields[index].tag);
    // Escaped values hold no "<": the value runs to the next tag or the end of the block.
    uint64_t lineEnd = valueStart;
    while (lineEnd < end && b_[lineEnd] != '<') ++lineEnd;
    if (lineEnd - valueStart < 2 || b_[lineEnd - 2] != '\r' || b_[lineEnd - 1] != '\n')
      Fail(lineEnd, "description field %s does not end with CR LF", {kDescriptionFields[index].tag});
    std::string& value = book_.description[index];
    Unescape(valueStart, lineEnd - 2, value, kDescriptionControls);
    const auto blank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
    if (static_cast<int64_t>(value.size()) > kDescriptionFields[index].maxLength ||
        (!value.empty() && (blank(value.front()) || blank(value.back()))) ||
        (value.empty() && !kDescriptionFields[index].alwaysWrite))
      Fail(valueStart, "description field %s holds a value it cannot be set to",
           {kDescriptionFields[index].tag});
    next = index + 1;
    at = lineEnd;
  }
  requireAlwaysWritten(kDescriptionFieldCount, end);
}

void BookParser::ParseCover(uint64_t start, uint64_t end) {
  Need(start, kCoverRecordSize + 1, end, "the cover");
  part_ = "the cover";
  PictureData cover;
  cover.position = static_cast<uint32_t>(start);
  if (GetU16(b_, start) != kCoverRecordMark)
    Fail(start, "cover record starts with %d instead of %d", {GetU16(b_, start), kCoverRecordMark});
  cover.width = GetU16(b_, start + kCoverWidthAt);
  cover.bitCount = GetU16(b_, start + kCoverBitCountAt);
  cover.height = GetU16(b_, start + kCoverHeightAt);
  if (cover.bitCount != 1 && cover.bitCount != 2)
    Fail(start + kCoverBitCountAt, "cover has %d bits per pixel instead of 1 or 2", {cover.bitCount});
  const unsigned rowField = GetU16(b_, start + kCoverRowBytesAt);
  if (rowField != static_cast<unsigned>(cover.bitCount * cover.width / 8))
    Fail(start + kCoverRowBytesAt, "cover row length %d does not match width %d at %d bits",
         {rowField, cover.width, cover.bitCount});
  cover.dataStart = static_cast<uint32_t>(start + kCoverRecordSize);
  cover.dataLength = static_cast<uint32_t>(end - start - kCoverRecordSize);
  CheckPictureData(cover);
  part_.clear();
  if (cover.width != kCoverWidth || cover.height != kCoverHeight)
    book_.warnings.push_back(Format("the cover is %d x %d pixels, not the %d x %d of the reader's screen",
                                    {cover.width, cover.height, kCoverWidth, kCoverHeight}));
  book_.cover = cover;
}

// Decodes the rows of a picture whose data lies within the bytes; "" when it decodes to other
// than height rows of RowBytes.
std::string DecodeExactRows(std::string_view bytes, const PictureData& picture, uint64_t expected) {
  if (picture.dataLength == 0) return {};
  const std::string_view packed = bytes.substr(picture.dataStart, picture.dataLength - 1);
  return LzssDecode(packed, expected + 1);
}

void BookParser::CheckPictureData(const PictureData& picture) const {
  const uint64_t end = static_cast<uint64_t>(picture.dataStart) + picture.dataLength;
  if (picture.dataLength == 0 || b_[end - 1] != 0)
    Fail(end - 1, "picture data does not end with a zero byte");
  const uint64_t expected = static_cast<uint64_t>(picture.height) * picture.RowBytes();
  // A group of 17 compressed bytes expands to at most 144 bytes.
  if (expected > 9 * static_cast<uint64_t>(picture.dataLength) + 144)
    Fail(picture.dataStart, "%d bytes of picture data cannot hold %d rows of %d bytes",
         {picture.dataLength, picture.height, picture.RowBytes()});
  const std::string rows = DecodeExactRows(b_, picture, expected);
  if (rows.size() != expected)
    Fail(picture.dataStart, "picture data decodes to %s bytes where %d rows of %d bytes were expected",
         {rows.size() > expected ? std::string("more") : std::to_string(rows.size()), picture.height,
          picture.RowBytes()});
  // The compression is fixed to the byte, so the data must be exactly what compressing these rows
  // gives: a changed byte that still decodes to rows of the right size shows here.
  const std::string_view stored = b_.substr(picture.dataStart, picture.dataLength - 1);
  const std::string written = LzssCompress(rows);
  if (written != stored) {
    const auto differ = std::mismatch(stored.begin(), stored.end(), written.begin(), written.end());
    Fail(picture.dataStart + static_cast<uint64_t>(differ.first - stored.begin()),
         "picture data differs here from the compression of the pixels it decodes to");
  }
}

void BookParser::ParseBody(uint64_t start, uint64_t end) {
  Need(start, end - start, b_.size(), "the body");
  book_.bodyStart = static_cast<uint32_t>(start);
  book_.bodyLength = static_cast<uint32_t>(end - start);
  Expect(start, kBodyOpen, end);
  uint64_t at = start + kBodyOpen.size();
  while (!(At(at, kBodyClose, end) && at + kBodyClose.size() == end)) {
    if (!At(at, kSectionOpen, end)) {
      if (At(at, kBodyClose, end))
        Fail(at + kBodyClose.size(), "the body ends here, its length says %d", {end});
      Fail(at, "expected \"<catalog>\" or \"</wolf>\"");
    }
    SectionData& section = book_.sections.emplace_back();
    section.position = static_cast<uint32_t>(at);
    part_ = Format("section %d", {book_.sections.size()});
    at += kSectionOpen.size();
    at = At(at, kImageTagOpen, end) ? ParsePictureSection(section, at, end)
                                    : ParseTextSection(section, at, end);
  }
  part_.clear();
}

uint64_t BookParser::ParsePictureSection(SectionData& section, uint64_t at, uint64_t end) {
  section.pictures = true;
  while (At(at, "<", end) && !At(at, kSectionClose, end)) {
    PictureData& picture = section.images.emplace_back();
    picture.position = static_cast<uint32_t>(at);
    part_ = Format("section %d, picture %d", {book_.sections.size(), section.images.size()});
    // The tag's five numbers in order: bit count, compact, width, height, length.
    static constexpr const char* kNames[] = {"bitcount", "compact", "width", "height", "length"};
    uint32_t values[std::size(kImageTagParts)];
    for (size_t i = 0; i < std::size(kImageTagParts); ++i) {
      Expect(at, kImageTagParts[i], end);
      at += kImageTagParts[i].size();
      const uint64_t valueAt = at;
      values[i] = Number(at, end, kNames[i]);
      if (i == 1 && values[i] != 1) Fail(valueAt, "picture is not compact=1");
    }
    Expect(at, kImageTagEnd, end);
    at += kImageTagEnd.size();
    picture.bitCount = static_cast<int>(values[0]);
    picture.width = static_cast<int>(values[2]);
    picture.height = static_cast<int>(values[3]);
    picture.dataLength = values[4];
    if (picture.bitCount != 1 && picture.bitCount != 2)
      Fail(picture.position, "picture has %d bits per pixel instead of 1 or 2", {picture.bitCount});
    picture.dataStart = static_cast<uint32_t>(at);
    Need(at, picture.dataLength, end, "the picture data");
    if (!At(at + picture.dataLength, kImageClose, end))
      Fail(at + picture.dataLength, "picture length %d does not end at \"</img>\"", {picture.dataLength});
    CheckPictureData(picture);
    at += picture.dataLength + kImageClose.size();
  }
  Expect(at, kSectionClose, end);
  return at + kSectionClose.size();
}

uint64_t BookParser::ParseTextSection(SectionData& section, uint64_t at, uint64_t end) {
  std::string text;
  while (!At(at, kSectionClose, end)) {
    part_ = Format("section %d, paragraph %d", {book_.sections.size(), section.paragraphs.size() + 1});
    uint64_t cr = at;
    while (cr < end && b_[cr] != '\r' && b_[cr] != '<') ++cr;
    if (cr == at && cr < end && b_[cr] == '<') Expect(at, kSectionClose, end);
    if (cr == end || b_[cr] != '\r') Fail(cr, "paragraph at offset %d is not ended by CR", {at});
    text.clear();
    Unescape(at, cr, text, kTextControls);
    section.paragraphs.push_back(text);
    section.paragraphStarts.push_back(static_cast<uint32_t>(at));
    at = cr + 1;
  }
  return at + kSectionClose.size();
}

void BookParser::ParseSubcatalog(uint64_t start, uint64_t end) {
  if (start < catalogStart_ + kSectionOpen.size() + kSectionClose.size() || start >= end)
    Fail(kSubcatalogField.offset, "subcatalog position %d lies outside the catalog block", {start});
  book_.subcatalogPosition = static_cast<uint32_t>(start);
  Expect(start, kSubcatalogOpen, end);
  const uint64_t records = start + kSubcatalogOpen.size();
  const uint64_t firstTitle = U32(records + kTocTitlePositionAt, end, "the first subcatalog record");
  if (firstTitle <= records || (firstTitle - records) % kTocRecordSize != 0 || firstTitle > end)
    Fail(records + kTocTitlePositionAt, "title position %d is not right behind whole %d-byte records",
         {firstTitle, kTocRecordSize});
  const uint64_t count = (firstTitle - records) / kTocRecordSize;
  uint64_t titleAt = firstTitle;
  for (uint64_t i = 0; i < count; ++i) {
    const uint64_t r = records + kTocRecordSize * i;
    TocRecord& e = book_.toc.emplace_back();
    e.recordPosition = static_cast<uint32_t>(r);
    e.target = GetU32(b_, r + kTocTargetAt);
    if (GetU32(b_, r + kTocTitlePositionAt) != titleAt)
      Fail(r + kTocTitlePositionAt, "title position %d where the titles place it at %d",
           {GetU32(b_, r + kTocTitlePositionAt), titleAt});
    const uint16_t length = GetU16(b_, r + kTocTitleLengthAt);
    if (length > kTocTitleMax)
      Fail(r + kTocTitleLengthAt, "title length %d is above %d", {length, kTocTitleMax});
    e.childCount = GetU16(b_, r + kTocChildCountAt);
    e.previous = GetU32(b_, r + kTocPreviousAt);
    e.next = GetU32(b_, r + kTocNextAt);
    e.firstChild = GetU32(b_, r + kTocFirstChildAt);
    e.parent = GetU32(b_, r + kTocParentAt);
    e.subsection = static_cast<uint8_t>(b_[r + kTocSubsectionAt]);
    e.section = static_cast<uint8_t>(b_[r + kTocSectionAt]);
    e.chapter = static_cast<uint8_t>(b_[r + kTocChapterAt]);
    Need(titleAt, length, end - kSubcatalogClose.size(), "the entry's title");
    e.title.assign(b_.substr(titleAt, length));
    // After the numbers: a zero byte, then the title's first bytes and zeros to the record's end.
    std::string inRecord(kTocRecordSize - kTocRecordTitleAt, '\0');
    e.title.copy(inRecord.data(), kTocRecordTitleMax);
    const size_t zeroAt = kTocChapterAt + 1;
    if (b_[r + zeroAt] != 0 || b_.compare(r + kTocRecordTitleAt, inRecord.size(), inRecord) != 0)
      Fail(r + zeroAt, "record bytes %d to %d are not the title's first bytes followed by zeros",
           {zeroAt, kTocRecordSize - 1});
    titleAt += length;
  }
  Expect(titleAt, kSubcatalogClose, end);
  if (titleAt + kSubcatalogClose.size() != end)
    Fail(titleAt + kSubcatalogClose.size(), "the subcatalog ends here, the catalog length says %d", {end});
  CheckTOCLinks();
}

void BookParser::CheckTOCLinks() {
  auto& toc = book_.toc;
  std::unordered_map<uint32_t, int> indexOfKey;
  std::unordered_map<uint64_t, int> childCount;  // (level << 32 | parent key) -> count
  const auto keyOf = [](const TocRecord& e) {
    return static_cast<uint32_t>(e.chapter) << 16 | static_cast<uint32_t>(e.section) << 8 | e.subsection;
  };
  for (size_t i = 0; i < toc.size(); ++i) {
    TocRecord& e = toc[i];
    const uint32_t key = keyOf(e);
    e.level = TocLevelOf(key);
    if (key == 0) Fail(e.recordPosition + kTocSubsectionAt, "entry numbered 0.0.0");
    if (i > 0) {
      const TocRecord& before = toc[i - 1];
      if (before.level > e.level || (before.level == e.level && keyOf(before) >= key))
        Fail(e.recordPosition + kTocSubsectionAt, "entries are not ordered by level and number");
    }
    indexOfKey.emplace(key, static_cast<int>(i));
    if (e.level > 1) ++childCount[static_cast<uint64_t>(e.level) << 32 | TocLinksOf(key, e.level).parent];
  }
  const auto recordOf = [&](uint32_t key) -> uint32_t {
    const auto found = indexOfKey.find(key);
    return found == indexOfKey.end() ? 0 : toc[found->second].recordPosition;
  };
  for (TocRecord& e : toc) {
    const TocLinks related = TocLinksOf(keyOf(e), e.level);
    const struct {
      uint32_t value, expected;
      size_t offset;
      const char* name;
    } links[] = {{e.previous, recordOf(related.previous), kTocPreviousAt, "previous sibling"},
                 {e.next, recordOf(related.next), kTocNextAt, "next sibling"},
                 {e.firstChild, recordOf(related.firstChild), kTocFirstChildAt, "first child"},
                 {e.parent, recordOf(related.parent), kTocParentAt, "parent"}};
    for (const auto& link : links)
      if (link.value != link.expected)
        Fail(e.recordPosition + link.offset, "%s link is %d where it must be %d",
             {link.name, link.value, link.expected});
    const auto children = childCount.find(static_cast<uint64_t>(e.level + 1) << 32 | keyOf(e));
    const int expectedChildren = children == childCount.end() ? 0 : children->second;
    if (e.childCount != expectedChildren)
      Fail(e.recordPosition + kTocChildCountAt, "child count %d where the entries give %d",
           {e.childCount, expectedChildren});
    if (e.parent != 0) {
      e.parentIndex = indexOfKey.at(related.parent);
      toc[e.parentIndex].children.push_back(static_cast<int>(&e - toc.data()));
    }
  }
}

void BookParser::ParseCatalog(uint64_t start, uint64_t end) {
  const uint64_t itemsEnd = book_.subcatalogPosition != 0 ? book_.subcatalogPosition : end;
  Expect(start, kSectionOpen, itemsEnd);
  // The items name the chapters of the table of contents, or the book when it has none.
  std::vector<CatalogEntry> expected;
  if (book_.toc.empty()) {
    const uint32_t target = book_.sections.empty() ? 0 : book_.sections.front().position - book_.bodyStart;
    expected.push_back({book_.description[static_cast<size_t>(DescriptionFieldId::kTitle)], target});
  } else {
    for (const TocRecord& e : book_.toc)
      if (e.level == 1) expected.push_back({e.title, e.target});
  }
  if (level1Count_ != expected.size())
    Fail(kChapterCountField.offset, "the header counts %d catalog items where there are %d",
         {level1Count_, expected.size()});
  const uint64_t others = book_.toc.empty() ? 0 : book_.toc.size() - expected.size();
  if ((others & 0xFFFF) != otherCount_)
    Fail(kLowerEntryCountField.offset, "the header counts %d lower entries, the table of contents has %d",
         {otherCount_, others});
  uint64_t at = start + kSectionOpen.size();
  for (CatalogEntry& item : expected) {
    if (item.title.empty()) item.title = kUntitledItem;
    const std::string text = std::string(kCatalogItemOpen) + item.title + std::string(kCatalogItemClose);
    if (!At(at, text, itemsEnd)) Fail(at, "catalog item %d is not \"%s\"", {book_.catalog.size() + 1, text});
    const uint32_t position = U32(at + text.size(), itemsEnd, "the catalog item");
    if (position != item.position)
      Fail(at + text.size(), "catalog item leads to %d, its entry to %d", {position, item.position});
    book_.catalog.push_back(item);
    at += text.size() + 4;
  }
  Expect(at, kSectionClose, itemsEnd);
  if (at + kSectionClose.size() != itemsEnd)
    Fail(at + kSectionClose.size(), "the catalog ends here but its block goes on to %d", {itemsEnd});
}

void BookParser::CheckTOCTargets() const {
  // An entry leads to a section, a picture page, or the end of the sections.
  std::vector<uint32_t> targets;
  for (const SectionData& s : book_.sections) {
    targets.push_back(s.position - book_.bodyStart);
    for (const PictureData& p : s.images) targets.push_back(p.position - book_.bodyStart);
  }
  targets.push_back(book_.bodyLength - static_cast<uint32_t>(kBodyClose.size()));
  std::sort(targets.begin(), targets.end());
  for (const TocRecord& e : book_.toc)
    if (!std::binary_search(targets.begin(), targets.end(), e.target))
      Fail(e.recordPosition, "entry leads to body offset %d, which starts no section or picture", {e.target});
}

void BookParser::ParsePageTable(uint64_t start, uint64_t end) {
  Expect(start, kPageTableOpen, end);
  const uint64_t p = start + kPageTableOpen.size();
  Need(p, kPageTablePositionsSize, end, "the page table header");
  const uint64_t endPosition = p + 12 * kPageTableSections;  // the position where the lists end
  Expect(endPosition + 4, kPageTableClose, end);
  uint64_t listStart = p + kPageTablePositionsSize;
  for (int k = 0; k < kPageTableSections; ++k) {
    const uint64_t a = GetU32(b_, p + 12 * k), b = GetU32(b_, p + 12 * k + 4), c = GetU32(b_, p + 12 * k + 8);
    if (a != listStart) Fail(p + 12 * k, "page list %d starts at %d instead of %d", {2 * k, a, listStart});
    if (b < a || c < b || (b - a) % 4 != 0) Fail(p + 12 * k + 4, "page list %d starts at %d", {2 * k + 1, b});
    if ((c - b) % 4 != 0) Fail(p + 12 * k + 8, "end of page lists %d and %d at %d", {2 * k, 2 * k + 1, c});
    if (U32(c, end, "the end of a page table section") != kPageListEnd)
      Fail(c, "page table section does not end with -1");
    for (uint64_t at = a; at < c; at += 4)
      book_.pageLists[at < b ? 2 * k : 2 * k + 1].push_back(GetU32(b_, at));
    listStarts_[2 * k] = a;
    listStarts_[2 * k + 1] = b;
    listStart = c + 4;
  }
  if (GetU32(b_, endPosition) != listStart || listStart != end)
    Fail(endPosition, "page table end %d where the lists end at %d and the block at %d",
         {GetU32(b_, endPosition), listStart, end});
  if (headerList0Count_ != book_.pageLists[0].size())
    Fail(kPageCountField.offset, "the header counts %d pages, page list 0 has %d",
         {headerList0Count_, book_.pageLists[0].size()});
}

void BookParser::CheckPageLists() const {
  for (int layout = 0; layout < 4; ++layout) {
    // Every section starts a page; so does every further picture, and every line of a text section
    // that follows a full page.
    PageFlow flow(kPageLayouts[layout]);
    std::vector<uint32_t> pages;
    std::string paragraph;
    ParagraphBreaker breaker;
    for (const SectionData& s : book_.sections) {
      pages.push_back(s.position);
      for (size_t i = 1; i < s.images.size(); ++i) pages.push_back(s.images[i].position);
      flow.StartSection();
      for (size_t i = 0; i < s.paragraphs.size(); ++i) {
        paragraph.assign(s.paragraphs[i]);
        paragraph += '\r';
        uint32_t lineStart = s.paragraphStarts[i];
        breaker.Start(paragraph);
        flow.AddParagraph(breaker, [&](std::string_view line, bool startsPage) {
          if (startsPage) pages.push_back(lineStart);
          lineStart += static_cast<uint32_t>(WolfEscapedLength(line));
        });
      }
    }
    // The table holds every layout's list twice, in sections 0 and 1 and again in 2 and 3.
    for (int j : {layout, layout + 4}) {
      const auto& list = book_.pageLists[j];
      const size_t common = std::min(list.size(), pages.size());
      for (size_t i = 0; i < common; ++i)
        if (list[i] != pages[i])
          Fail(listStarts_[j] + 4 * i, "page list %d entry %d is %d where page %d of layout %d starts at %d",
               {j, i, list[i], i + 1, layout, pages[i]});
      if (list.size() != pages.size())
        Fail(listStarts_[j] + 4 * common, "page list %d has %d entries, layout %d has %d pages",
             {j, list.size(), layout, pages.size()});
    }
  }
}

}  // namespace

BookReader::BookReader(std::string bytes) : bytes_(std::move(bytes)) { BookParser(bytes_, book_).Parse(); }

std::string BookReader::DecodeRows(const PictureData& picture) const {
  const uint64_t expected = static_cast<uint64_t>(picture.height) * picture.RowBytes();
  std::string rows = DecodeExactRows(bytes_, picture, expected);
  rows.resize(expected);  // a checked picture decodes to exactly this
  return rows;
}

bool LooksLikeWolfBook(const std::u16string& fileName) {
  std::ifstream file(Utf16ToUtf8(fileName), std::ios::binary);
  std::string start(kBookMagic.size(), '\0');
  return file.read(start.data(), static_cast<std::streamsize>(start.size())) && start == kBookMagic;
}

std::vector<uint8_t> PackedRowsToGray(const PictureData& picture, std::string_view rows) {
  static constexpr uint8_t kLevels2[4] = {0, 128, 192, 255};
  const size_t rowBytes = picture.RowBytes();
  std::vector<uint8_t> gray(static_cast<size_t>(picture.width) * picture.height);
  for (int y = 0; y < picture.height; ++y) {
    const auto* row = reinterpret_cast<const uint8_t*>(rows.data()) + rowBytes * y;
    uint8_t* out = gray.data() + static_cast<size_t>(picture.width) * y;
    for (int x = 0; x < picture.width; ++x) {
      if (picture.bitCount == 1)
        out[x] = (row[x / 8] >> (7 - x % 8)) & 1 ? 0 : 255;
      else
        out[x] = kLevels2[(row[x / 4] >> (6 - 2 * (x % 4))) & 3];
    }
  }
  return gray;
}

}  // namespace bookloom
