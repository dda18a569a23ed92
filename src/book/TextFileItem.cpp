#include "book/TextFileItem.h"

#include <memory>
#include <utility>

#include "book/FileTypes.h"
#include "platform/Exception.h"
#include "platform/FileSys.h"
#include "text/Chapters.h"
#include "text/TextFile.h"
#include "text/Unwrapping.h"
#include "text/Win1251.h"
#include "wolf/BookWriter.h"

namespace bookloom {

namespace {

// An account of the table-of-contents entries of one text that the book cannot hold.
class Contents {
 public:
  // What became of the entry of the heading on `line` (from 1; 0 for the file's own entry).
  void Add(FileItem::EntryResult result, const std::u16string& title, size_t line) {
    if (result == FileItem::EntryResult::kTooDeep) Count(tooDeep_, title, line);
    if (result == FileItem::EntryResult::kNoRoom) Count(leftOut_, title, line);
  }

  // Warnings of the entries that are not in the book.
  std::vector<std::string> Warnings() const {
    std::vector<std::string> warnings;
    if (leftOut_.count > 0)
      warnings.push_back(
          Format("%d table-of-contents entries left out, as a book holds at most 255 under one entry "
                 "(the first: \"%s\"%s)",
                 {leftOut_.count, leftOut_.first, leftOut_.where}));
    if (tooDeep_.count > 0)
      warnings.push_back(
          Format("%d headings below the third level of the table of contents have no entry "
                 "(the first: \"%s\"%s)",
                 {tooDeep_.count, tooDeep_.first, tooDeep_.where}));
    return warnings;
  }

 private:
  struct Missing {
    size_t count = 0;
    std::u16string first;
    std::string where;
  };
  static void Count(Missing& missing, const std::u16string& title, size_t line) {
    if (missing.count++ > 0) return;
    missing.first = title;
    if (line > 0) missing.where = " on line " + std::to_string(line);
  }

  Missing leftOut_, tooDeep_;
};

}  // namespace

const FileItemClass TextFileItem::Class = {
    [](const Runtime& runtime, const std::u16string& fileName) -> std::unique_ptr<FileItem> {
      return std::make_unique<TextFileItem>(runtime, fileName);
    },
};

void TextFileItem::Load() {
  DecodedTextFile file = DecodeTextFile(ReadFileBytes(FileName()), Settings().text.encoding);
  for (std::string& warning : DecodingWarnings(file)) Warn(std::move(warning));
  if (FileTypes().FindItemClass(FileName()) != &Class)
    Note("no known file type, but the content is text: read as " + file.encoding + " text");
  text_ = std::move(file.text);
  lines_ = SplitLines(text_);
  FileItem::Load();
}

void TextFileItem::Unload() {
  lines_.clear();
  text_.clear();
  text_.shrink_to_fit();
  FileItem::Unload();
}

std::vector<LineRange> TextFileItem::Paragraphs(const std::vector<Heading>& headings) {
  const Unwrap unwrap = Settings().text.unwrap;
  const UnwrapDecision decision = unwrap == Unwrap::kOff ? UnwrapDecision() : DecideUnwrap(lines_);
  if (unwrap == Unwrap::kAuto) Note("lines " + decision.reason);
  if (unwrap == Unwrap::kOff || (unwrap == Unwrap::kAuto && !decision.wrapped)) {
    std::vector<LineRange> paragraphs(lines_.size());
    for (size_t i = 0; i < lines_.size(); ++i) paragraphs[i].first = i;
    return paragraphs;
  }
  std::vector<size_t> headingLines;
  for (const Heading& heading : headings) headingLines.push_back(heading.line);
  return JoinedParagraphs(lines_, headingLines, decision.wrapped ? &decision : nullptr);
}

TextFileItem::Outline TextFileItem::MakeOutline() const {
  Outline outline;
  const TextSettings& settings = Settings().text;
  if (settings.chapters) outline.headings = FindHeadings(lines_, ChapterPatterns(settings.chapterPatterns));
  // With other inputs beside it, or without headings, the file has an entry of its own.
  outline.fileEntry = outline.headings.empty() || !OnlyInput();
  if (outline.fileEntry) outline.entries.push_back({TitleOf(*this), 1});
  for (const Heading& heading : outline.headings)
    outline.entries.push_back({heading.title, heading.level + (outline.fileEntry ? 1 : 0)});
  return outline;
}

std::vector<ContentsEntry> TextFileItem::ContentsEntries() {
  return ListWhileLoaded([this] { return MakeOutline().entries; });
}

void TextFileItem::WriteTo(BookWriter& writer) {
  FileItem::WriteTo(writer);
  const Outline outline = MakeOutline();
  const std::vector<Heading>& headings = outline.headings;
  const std::vector<LineRange> paragraphs = Paragraphs(headings);

  writer.BeginText();
  BeginEntries(outline.entries);
  Contents contents;
  if (outline.fileEntry) contents.Add(WriteEntry(writer), TitleOf(*this), 0);
  FallbackReport report;
  auto heading = headings.begin();
  size_t headingEnd = 0;        // the line after the last heading's lines
  bool sectionHasText = false;  // a heading right after another shares its section
  for (const LineRange& paragraph : paragraphs) {
    if (heading != headings.end() && heading->line == paragraph.first) {
      if (sectionHasText) {
        writer.CloseSection();
        writer.BeginText();
        sectionHasText = false;
      }
      contents.Add(WriteEntry(writer), heading->title, heading->line + 1);
      headingEnd = heading->line + heading->lineCount;
      ++heading;
    }
    const std::u16string_view line = lines_[paragraph.first];
    if (paragraph.count == 1) {
      writer.AddParagraph(WideToWin1251(Libraries(), line, &report, paragraph.first + 1));
    } else {
      writer.AddParagraph(
          WideToWin1251(Libraries(), JoinLines(lines_, paragraph), &report, paragraph.first + 1));
    }
    sectionHasText = sectionHasText || (paragraph.first >= headingEnd && !IsBlankLine(line));
  }
  writer.CloseSection();

  for (const std::string& warning : contents.Warnings()) Warn(warning);
  WarnOfFallback(report);
}

int DetectChapters(FileList& files) {
  int changed = 0;
  for (int i = 0; i < files.Count(); ++i) {
    FileItem& item = files.Items(i);
    if (!dynamic_cast<TextFileItem*>(&item) || item.Settings().text.chapters) continue;
    FileSettings settings = item.Settings();
    settings.text.chapters = true;
    item.SetSettings(settings, true);
    ++changed;
  }
  return changed;
}

const FileItemClass* TextClassByContent(const std::u16string& fileName) {
  if (FileTypes().FindItemClass(fileName)) return nullptr;
  try {
    return LooksLikeText(ReadFileBytes(fileName, kTextSniffBytes)) ? &TextFileItem::Class : nullptr;
  } catch (const Exception&) {
    return nullptr;
  }
}

std::vector<FileType> TextFileTypes() {
  std::vector<FileType> rows;
  for (const auto& [ext, description] : {std::pair{u"txt", u"Plain text file"},
                                         {u"text", u"Plain text file"},
                                         {u"nfo", u"Release notes"},
                                         {u"log", u"Log file"}})
    rows.push_back({ext, u"Text documents", description, &TextFileItem::Class, "built-in"});
  return rows;
}

}  // namespace bookloom
