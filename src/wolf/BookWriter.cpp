#include "wolf/BookWriter.h"

#include "wolf/PictureEncoding.h"
#include "platform/Exception.h"
#include "platform/LittleEndian.h"
#include "text/LineBreaking.h"

namespace bookloom {

namespace {

constexpr size_t kHeaderSize = 128;
constexpr std::string_view kMagic = "WolfEbook1.11";
constexpr std::string_view kSectionOpen = "<catalog>";
constexpr std::string_view kSectionClose = "</catalog>";

[[noreturn]] void RaiseTooLarge() {
  Raise<WriteError>("The book would reach 4 GiB, more than a Wolf book can hold");
}

}  // namespace

BookWriter::BookWriter(OutputStream& stream) : stream_(stream), header_(kHeaderSize, '\0') {
  header_.replace(0, kMagic.size(), kMagic);
  PutU16(header_, 17, 513);
  PutU16(header_, 64, 1);
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
  PutU16(header_, 23, static_cast<uint16_t>(description_.Size() & 0xFFFF));
}

void BookWriter::WriteCoverPicture(const Bitmap& bitmap, uint16_t bitCount) {
  std::string record;
  AppendU16(record, 1);
  AppendU16(record, static_cast<uint16_t>(bitmap.Width()));
  AppendU16(record, bitCount);
  AppendU16(record, static_cast<uint16_t>(bitCount * bitmap.Width() / 8));
  AppendU16(record, static_cast<uint16_t>(bitmap.Height()));
  WriteStr(record);
  const uint32_t n = EncodePicture(stream_, bitmap, bitCount);
  if (n == 0) Raise<Exception>("Bad input image!");
  Position();  // the cover data must leave the book within 32-bit positions
  PutU32(header_, 25, n + 10);
}

void BookWriter::BeginBody() {
  bodyStart_ = Position();
  WriteStr("<wolf>\r\n");
}

void BookWriter::EndBody() {
  CloseSection();
  WriteStr("</wolf>");
  PutU32(header_, 38, Position() - bodyStart_);
}

void BookWriter::OpenSection() {
  pageTable_.AddSectionStart(Position());
  for (auto& layout : layouts_) {
    layout.pageBytes = kSectionOpen.size();
    layout.lineCount = 0;
  }
  WriteStr(kSectionOpen);
  sectionMode_ = 1;
}

void BookWriter::NewSection() {
  CloseSection();
  OpenSection();
}

void BookWriter::CloseSection() {
  if (sectionMode_ != 0) WriteStr(kSectionClose);
  sectionMode_ = 0;
}

void BookWriter::BeginText() {
  if (sectionMode_ != 1 && sectionMode_ != 2) NewSection();
  sectionMode_ = 2;
}

void BookWriter::AddParagraph(const std::string& text) {
  BeginText();
  WriteParagraph(text);
}

void BookWriter::WriteParagraph(std::string_view text) {
  escaped_.clear();
  AppendWolfEscaped(escaped_, text);
  escaped_ += '\r';
  WriteStr(escaped_);

  paragraph_.assign(text);
  paragraph_ += '\r';
  const bool plain = escaped_.size() == paragraph_.size();  // then a line's bytes are its length
  for (size_t i = 0; i < layouts_.size(); ++i) {
    PageLayout& layout = layouts_[i];
    std::string_view rest = paragraph_;
    while (!rest.empty()) {
      const size_t n = static_cast<size_t>(BreakLine(rest, layout.textWidth, layout.fontIndex));
      const std::string_view line = rest.substr(0, n);
      rest.remove_prefix(n);
      if (layout.lineCount >= layout.linesPerPage) {
        pageTable_.Group(static_cast<int>(i)).AddRelative(static_cast<uint32_t>(layout.pageBytes));
        layout.lineCount = 0;
        layout.pageBytes = 0;
      }
      ++layout.lineCount;
      layout.pageBytes += plain ? line.size() : WolfEscapedLength(line);
    }
  }
}

void BookWriter::AddPicture(const Bitmap& bitmap, uint16_t bitCount) {
  picture_.Bytes().clear();
  picture_.Seek(0);
  const uint32_t n = EncodePicture(picture_, bitmap, bitCount);
  if (n == 0) Raise<Exception>("Bad input image!");

  switch (sectionMode_) {
    case 0:
      OpenSection();
      break;
    case 2:
      NewSection();
      break;
    case 3:  // the picture is a page of its own inside the open section
      pageTable_.AddSectionStart(Position());
      break;
    default:
      break;
  }
  sectionMode_ = 3;
  WriteStr(WolfImageTag(bitmap.Width(), bitmap.Height(), bitCount, n, 1));
  WriteStr(std::string_view(picture_.Bytes()).substr(0, n));
  WriteStr("</img>");
}

void BookWriter::AddTOCEntry(int kind, const std::string& title) {
  if (kind < 1 || kind > 3) return;
  // Below an entry that was left out, its would-be children are left out too.
  if (droppedTOCLevel_ != 0 && kind > droppedTOCLevel_) return;
  uint8_t& counter = kind == 1 ? chapter_ : kind == 2 ? section_ : subsection_;
  if (counter == 255) {  // the numbers of one parent's entries end at 255; 0 would mean "none"
    droppedTOCLevel_ = kind;
    return;
  }
  droppedTOCLevel_ = 0;
  ++counter;
  if (kind == 1) section_ = 0;
  if (kind <= 2) subsection_ = 0;
  const uint32_t position = sectionMode_ == 0 ? Position() : pageTable_.LastSectionStart();
  toc_.Add(chapter_, section_, subsection_, title, position);
}

void BookWriter::WriteCatalogItem(std::string_view title, uint32_t position) {
  std::string item = "<item>";
  item += title.empty() ? "NoName" : title;
  item += "</item>";
  AppendU32(item, position);
  WriteStr(item);
}

void BookWriter::WriteCatalog() {
  const uint32_t start = Position();
  toc_.Sort();
  WriteStr(kSectionOpen);
  uint32_t level1Count = 0, otherCount = 0;
  if (toc_.Count() == 0) {
    // One entry for the whole book; a body without sections points at its own start.
    const PageList& pages = pageTable_.Group(0);
    const uint32_t target = pages.Count() > 0 ? pages.Items(0) : bodyStart_;
    WriteCatalogItem(description_.GetValue(0), target - bodyStart_);
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
    PutU32(header_, 97, 0);
  } else {
    PutU32(header_, 97, Position());
    WriteStr("<subcatalog>");
    const uint32_t recordsStart = Position();
    uint32_t titleAt = recordsStart + static_cast<uint32_t>(kTocRecordSize * toc_.Count());
    for (int i = 0; i < toc_.Count(); ++i) {
      const TocEntry& item = toc_.Items(i);
      std::string record = toc_.BuildRecord(i, recordsStart);
      PutU32(record, 0, item.Position() - bodyStart_);
      PutU32(record, 4, titleAt);
      titleAt += static_cast<uint32_t>(item.Title().size());
      WriteStr(record);
    }
    for (int i = 0; i < toc_.Count(); ++i) WriteStr(toc_.Items(i).Title());
    WriteStr("\x08</subcatalog>");
  }
  PutU32(header_, 30, Position() - start);
  PutU16(header_, 34, static_cast<uint16_t>(level1Count));
  PutU16(header_, 95, static_cast<uint16_t>(otherCount));
}

void BookWriter::WritePageTable() {
  const uint32_t start = Position();
  WriteStr("<pagetable ver=\"001\">");
  // Four sections of two lists and a -1 each; the 13 positions say where each part starts.
  std::string positions;
  uint32_t at = Position() + 64;
  for (int k = 0; k < 4; ++k) {
    AppendU32(positions, at);
    at += pageTable_.Group(2 * k).ByteSize();
    AppendU32(positions, at);
    at += pageTable_.Group(2 * k + 1).ByteSize();
    AppendU32(positions, at);
    at += 4;
  }
  AppendU32(positions, at);
  positions += "</pagetable>";
  WriteStr(positions);

  std::string lists;
  for (int k = 0; k < 4; ++k) {
    lists.clear();
    for (int g = 2 * k; g <= 2 * k + 1; ++g) {
      const PageList& group = pageTable_.Group(g);
      for (int i = 0; i < group.Count(); ++i) AppendU32(lists, group.Items(i));
    }
    AppendU32(lists, 0xFFFFFFFFu);
    WriteStr(lists);
  }
  PutU32(header_, 60, Position() - start);
  PutU32(header_, 66, static_cast<uint32_t>(pageTable_.Group(0).Count()));
  PutU32(header_, 75, static_cast<uint32_t>(pageTable_.Group(4).Count()));
}

void BookWriter::Finish() {
  WriteCatalog();
  WritePageTable();
  WriteHeader();
}

}  // namespace bookloom
