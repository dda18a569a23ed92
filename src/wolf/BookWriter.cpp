#include "wolf/BookWriter.h"

#include <algorithm>
#include <iterator>

#include "platform/Exception.h"
#include "platform/LittleEndian.h"
#include "wolf/BookFormat.h"
#include "wolf/PictureEncoding.h"

namespace bookloom {

namespace {

[[noreturn]] void RaiseTooLarge() {
  Raise<WriteError>("The book would reach 4 GiB, more than a Wolf book can hold");
}

void PutField(std::string& header, HeaderField field, uint32_t value) {
  if (field.width == 2)
    PutU16(header, field.offset, static_cast<uint16_t>(value));
  else
    PutU32(header, field.offset, value);
}

}  // namespace

BookWriter::BookWriter(OutputStream& stream) : stream_(stream), header_(kHeaderSize, '\0') {
  header_.replace(kMagicField.offset, kBookMagic.size(), kBookMagic);
  PutField(header_, kFormatVersionField, kFormatVersion);
  PutField(header_, kPageTableVersionField, kPageTableVersion);
  WriteHeader();
}

void BookWriter::WriteStr(std::string_view bytes) {
  if (stream_.Position() + bytes.size() > kMaxBookPosition) RaiseTooLarge();
  stream_.WriteStr(bytes);
}

uint32_t BookWriter::Position() const {
  const uint64_t position = stream_.Position();
  if (position > kMaxBookPosition) RaiseTooLarge();
  return static_cast<uint32_t>(position);
}

void BookWriter::WriteHeader() {
  stream_.Seek(0);
  stream_.WriteStr(header_);
}

void BookWriter::WriteDescription() {
  WriteStr(description_.GetText());
  PutField(header_, kDescriptionLengthField, static_cast<uint16_t>(description_.Size() & 0xFFFF));
}

void BookWriter::WriteCoverPicture(const Bitmap& bitmap, uint16_t bitCount) {
  std::string record(kCoverRecordSize, '\0');
  PutU16(record, 0, kCoverRecordMark);
  PutU16(record, kCoverWidthAt, static_cast<uint16_t>(bitmap.Width()));
  PutU16(record, kCoverBitCountAt, bitCount);
  PutU16(record, kCoverRowBytesAt, static_cast<uint16_t>(bitCount * bitmap.Width() / 8));
  PutU16(record, kCoverHeightAt, static_cast<uint16_t>(bitmap.Height()));
  WriteStr(record);
  const uint32_t n = EncodePicture(stream_, bitmap, bitCount);
  if (n == 0) Raise<Exception>("Bad input image!");
  Position();  // the cover data must leave the book within 32-bit positions
  PutField(header_, kCoverLengthField, n + static_cast<uint32_t>(kCoverRecordSize));
}

void BookWriter::BeginBody() {
  bodyStart_ = Position();
  WriteStr(kBodyOpen);
}

void BookWriter::EndBody() {
  CloseSection();
  WriteStr(kBodyClose);
  PutField(header_, kBodyLengthField, Position() - bodyStart_);
}

void BookWriter::AddSectionStart(bool newSection) {
  lastSectionStart_ = Position();
  pages_.AddSectionStart(lastSectionStart_, newSection);
}

void BookWriter::OpenSection() {
  AddSectionStart(true);
  WriteStr(kSectionOpen);
  section_ = SectionState::kOpened;
}

void BookWriter::NewSection() {
  CloseSection();
  OpenSection();
}

void BookWriter::CloseSection() {
  if (section_ != SectionState::kClosed) WriteStr(kSectionClose);
  section_ = SectionState::kClosed;
}

void BookWriter::BeginText() {
  if (section_ != SectionState::kOpened && section_ != SectionState::kText) NewSection();
  section_ = SectionState::kText;
}

void BookWriter::AddParagraph(const std::string& text) {
  BeginText();
  WriteParagraph(text);
}

void BookWriter::WriteParagraph(std::string_view text) {
  ++paragraphCount_;
  escaped_.clear();
  AppendWolfEscaped(escaped_, text);
  escaped_ += '\r';
  WriteStr(escaped_);

  pages_.AddParagraph(text, escaped_.size() == text.size() + 1);
}

void BookWriter::AddPicture(const Bitmap& bitmap, uint16_t bitCount) {
  AddPicture(EncodePage(bitmap, bitCount));
}

void BookWriter::AddPicture(const EncodedPicture& picture) {
  switch (section_) {
    case SectionState::kClosed:
      OpenSection();
      break;
    case SectionState::kText:
      NewSection();
      break;
    case SectionState::kPictures:  // the picture is a page of its own inside the open section
      AddSectionStart(false);
      break;
    case SectionState::kOpened:
      break;
  }
  section_ = SectionState::kPictures;
  WriteStr(WolfImageTag(picture.width, picture.height, picture.bitCount,
                        static_cast<uint32_t>(picture.data.size()), 1));
  WriteStr(picture.data);
  WriteStr(kImageClose);
  ++pictureCount_;
}

bool BookWriter::AddTOCEntry(int kind, const std::string& title) {
  if (kind < 1 || kind > 3) return false;
  // Below an entry that was left out, its would-be children are left out too.
  if (droppedTOCLevel_ != 0 && kind > droppedTOCLevel_) return false;
  // Subsections have no kind below them to be grouped in.
  const int most = kind == 3 ? static_cast<int>(kMostEntriesUnderOne)
                             : static_cast<int>(kMostEntriesUnderOne * kMostEntriesUnderOne);
  int& count = entryCounts_[kind - 1];
  if (count == most) {
    droppedTOCLevel_ = kind;
    return false;
  }
  droppedTOCLevel_ = 0;
  ++count;
  std::fill(entryCounts_ + kind, std::end(entryCounts_), 0);
  const uint32_t position = section_ == SectionState::kClosed ? Position() : lastSectionStart_;
  contents_.push_back({kind, title, position});
  return true;
}

void BookWriter::NumberContents() {
  // The numbers of one parent's entries end at 255; 0 would mean "none". Below an entry that is
  // left out, its children are left out too.
  uint8_t numbers[3] = {};
  int dropped = 0;
  for (const ContentsItem& item : GroupedContents(contents_)) {
    if (dropped != 0 && item.kind > dropped) continue;
    uint8_t& number = numbers[item.kind - 1];
    if (number == kMostEntriesUnderOne) {
      dropped = item.kind;
      continue;
    }
    dropped = 0;
    ++number;
    std::fill(numbers + item.kind, std::end(numbers), 0);
    toc_.Add(numbers[0], numbers[1], numbers[2], item.title, item.position);
  }
  contents_.clear();
}

void BookWriter::WriteCatalogItem(std::string_view title, uint32_t position) {
  std::string item(kCatalogItemOpen);
  item += title.empty() ? kUntitledItem : title;
  item += kCatalogItemClose;
  AppendU32(item, position);
  WriteStr(item);
}

void BookWriter::WriteCatalog() {
  const uint32_t start = Position();
  NumberContents();
  toc_.Sort();
  WriteStr(kSectionOpen);
  uint32_t level1Count = 0, otherCount = 0;
  if (toc_.Count() == 0) {
    // One entry for the whole book; a body without sections points at its own start.
    const PageList& pages = pages_.Table().Group(0);
    const uint32_t target = pages.Count() > 0 ? pages.Items(0) : bodyStart_;
    WriteCatalogItem(description_.GetValue(DescriptionFieldId::kTitle), target - bodyStart_);
    level1Count = 1;
  } else {
    for (int i = 0; i < toc_.Count(); ++i) {
      const TocEntry& item = toc_.Items(i);
      if (item.Level() != 1) {
        ++otherCount;
        continue;
      }
      WriteCatalogItem(item.Title(), item.Position() - bodyStart_);
      ++level1Count;
    }
  }
  WriteStr(kSectionClose);

  if (toc_.Count() == 0) {
    PutField(header_, kSubcatalogField, 0);
  } else {
    PutField(header_, kSubcatalogField, Position());
    WriteStr(kSubcatalogOpen);
    const uint32_t recordsStart = Position();
    uint32_t titleAt = recordsStart + static_cast<uint32_t>(kTocRecordSize * toc_.Count());
    for (int i = 0; i < toc_.Count(); ++i) {
      const TocEntry& item = toc_.Items(i);
      std::string record = toc_.BuildRecord(i, recordsStart);
      PutU32(record, kTocTargetAt, item.Position() - bodyStart_);
      PutU32(record, kTocTitlePositionAt, titleAt);
      titleAt += static_cast<uint32_t>(item.Title().size());
      WriteStr(record);
    }
    for (int i = 0; i < toc_.Count(); ++i) WriteStr(toc_.Items(i).Title());
    WriteStr(kSubcatalogClose);
  }
  PutField(header_, kCatalogLengthField, Position() - start);
  PutField(header_, kChapterCountField, static_cast<uint16_t>(level1Count));
  PutField(header_, kLowerEntryCountField, static_cast<uint16_t>(otherCount));
}

void BookWriter::WritePageTable() {
  const PageTable& pageTable = pages_.Table();
  const uint32_t start = Position();
  WriteStr(kPageTableOpen);
  // Four sections of two lists and an end mark each; the 13 positions say where each part starts.
  std::string positions;
  uint32_t at = Position() + static_cast<uint32_t>(kPageTablePositionsSize);
  for (int k = 0; k < kPageTableSections; ++k) {
    AppendU32(positions, at);
    at += pageTable.Group(2 * k).ByteSize();
    AppendU32(positions, at);
    at += pageTable.Group(2 * k + 1).ByteSize();
    AppendU32(positions, at);
    at += 4;
  }
  AppendU32(positions, at);
  positions += kPageTableClose;
  WriteStr(positions);

  std::string lists;
  for (int k = 0; k < kPageTableSections; ++k) {
    lists.clear();
    for (int g = 2 * k; g <= 2 * k + 1; ++g) {
      const PageList& group = pageTable.Group(g);
      for (int i = 0; i < group.Count(); ++i) AppendU32(lists, group.Items(i));
    }
    AppendU32(lists, kPageListEnd);
    WriteStr(lists);
  }
  PutField(header_, kPageTableLengthField, Position() - start);
  PutField(header_, kPageCountField, static_cast<uint32_t>(pageTable.Group(0).Count()));
  PutField(header_, kPageCountAgainField, static_cast<uint32_t>(pageTable.Group(4).Count()));
}

void BookWriter::Finish() {
  WriteCatalog();
  WritePageTable();
  WriteHeader();
}

}  // namespace bookloom
