#include "book/DocumentFileItem.h"

#include <algorithm>
#include <deque>
#include <future>
#include <mutex>
#include <set>
#include <system_error>

#include "book/FileTypes.h"
#include "book/FolderReader.h"
#include "book/PicturePages.h"
#include "decoders/Picture.h"
#include "documents/ComicArchiveReader.h"
#include "documents/DjvuReader.h"
#include "documents/DocxReader.h"
#include "documents/EpubReader.h"
#include "documents/Fb2Reader.h"
#include "documents/HtmlReader.h"
#include "documents/MarkdownReader.h"
#include "documents/MobiReader.h"
#include "documents/OdtReader.h"
#include "documents/PdfReader.h"
#include "documents/RtfReader.h"
#include "platform/FileSys.h"
#include "platform/Utf.h"
#include "text/Win1251.h"
#include "wolf/BookWriter.h"

namespace bookloom {

namespace {

template <auto read>
std::unique_ptr<FileItem> Create(const Runtime& runtime, const std::u16string& fileName) {
  return std::make_unique<DocumentFileItem>(runtime, fileName, read);
}

// A picture's pages, and whether the picture could be read only in part.
struct PreparedPicture {
  PicturePages pages;
  bool incomplete = false;
};

// Decodes the next pictures of a document and prepares their pages on other threads while the book
// writes the pages before: decoding, scaling and dithering then overlap compressing and writing, as a
// build loads the next picture file while it writes the one before. Two pictures are prepared at
// once, so that a second core is busy while the writer waits, and no more, so that the memory a
// build needs does not grow with the number of pictures. The document's pictures are decoded and
// named by one thread at a time.
class PicturesAhead {
 public:
  static constexpr size_t kAhead = 2;

  PicturesAhead(const Runtime& runtime, DocumentPictures& pictures, const PictureSettings& settings)
      : runtime_(runtime), pictures_(pictures), settings_(settings) {}

  // The pages of the picture, prepared ahead when it was started, else now. Pictures are taken in the
  // order they are started.
  PreparedPicture Take(size_t index) {
    if (!pending_.empty() && pending_.front().index == index) {
      std::future<PreparedPicture> pages = std::move(pending_.front().pages);
      pending_.pop_front();
      return pages.get();
    }
    return Prepare(index);
  }

  // Starts preparing a picture that will be taken after those started before, unless it is one of
  // them or kAhead are under way.
  void Start(size_t index) {
    if (pending_.size() >= kAhead) return;
    for (const Pending& p : pending_)
      if (p.index == index) return;
    try {
      pending_.push_back({index, std::async(std::launch::async, [this, index] { return Prepare(index); })});
    } catch (const std::system_error&) {
      // No thread to be had: the picture is prepared when it is taken.
    }
  }

  std::u16string Name(size_t index) {
    const std::lock_guard lock(decoding_);
    return pictures_.Name(index);
  }

 private:
  PreparedPicture Prepare(size_t index) {
    Picture picture;
    bool incomplete = false;
    {
      const std::lock_guard lock(decoding_);
      DecodedFrames decoded = pictures_.DecodeFrames(index);
      incomplete = decoded.incomplete;
      picture.Assign(std::move(decoded.frames.front()));
    }
    picture.SetTransparent(true);
    return {PreparePicturePages(runtime_, picture, settings_, settings_.reflow), incomplete};
  }

  struct Pending {
    size_t index;
    std::future<PreparedPicture> pages;
  };
  const Runtime& runtime_;
  DocumentPictures& pictures_;
  const PictureSettings& settings_;
  std::mutex decoding_;
  std::deque<Pending> pending_;  // waited for when the writing stops early
};

// Starts preparing the pictures of the blocks from `from` on, as many as PicturesAhead takes.
void StartPictures(PicturesAhead& ahead, const std::vector<DocumentBlock>& blocks, size_t from) {
  size_t started = 0;
  for (size_t i = from; i < blocks.size() && started < PicturesAhead::kAhead; ++i)
    if (blocks[i].kind == DocumentBlock::Kind::kPicture) {
      ahead.Start(blocks[i].picture);
      ++started;
    }
}

bool HasEntryBeforeContent(const Document& document) {
  for (const DocumentBlock& b : document.blocks) {
    if (b.kind != DocumentBlock::Kind::kHeading) return false;
    if (b.level > 0 && !b.text.empty()) return true;
  }
  return true;
}

// Whether a heading block of the document has an entry.
bool IsEntry(const DocumentBlock& block) {
  return block.kind == DocumentBlock::Kind::kHeading && block.level > 0 && !block.text.empty();
}

// The document's entries: its title's when content comes before its first heading, then one for each
// heading, whose level never skips one (a book's entries each need a parent) nor goes below the third.
// The title of the entry that leads to the content before the first heading; empty when there is none.
std::u16string LeadTitle(const Document& document, const std::u16string& fileTitle) {
  if (HasEntryBeforeContent(document)) return u"";
  return document.info.title.empty() ? fileTitle : document.info.title;
}

std::vector<ContentsEntry> EntriesOf(const Document& document, const std::u16string& fileTitle) {
  std::vector<ContentsEntry> entries;
  if (const std::u16string lead = LeadTitle(document, fileTitle); !lead.empty()) entries.push_back({lead, 1});
  int last = entries.empty() ? 0 : 1;
  for (const DocumentBlock& block : document.blocks) {
    if (!IsEntry(block)) continue;
    last = std::min({block.level, last + 1, kDeepestContentsLevel});
    entries.push_back({block.text, last});
  }
  return entries;
}

struct DocumentFormat {
  const char16_t* ext;
  const char16_t* group;
  const char16_t* description;
  const FileItemClass& itemClass;
  const char* reader;
};

const DocumentFormat kFormats[] = {
    {u"fb2", u"FictionBook books", u"FB2 books", DocumentFileItem::Fb2Class, "libxml2"},
    {u"fb2.zip", u"FictionBook books", u"FB2 books in zip archives", DocumentFileItem::Fb2Class,
     "libarchive, libxml2"},
    {u"epub", u"EPUB books", u"", DocumentFileItem::EpubClass, "libarchive, libxml2"},
    {u"html", u"Web pages", u"HTML pages", DocumentFileItem::HtmlClass, "libxml2"},
    {u"htm", u"Web pages", u"HTML pages", DocumentFileItem::HtmlClass, "libxml2"},
    {u"xhtml", u"Web pages", u"XHTML pages", DocumentFileItem::HtmlClass, "libxml2"},
    {u"mobi", u"Kindle books", u"MOBI books", DocumentFileItem::MobiClass, "libmobi"},
    {u"azw3", u"Kindle books", u"KF8 books", DocumentFileItem::MobiClass, "libmobi"},
    {u"prc", u"Kindle books", u"Mobipocket books", DocumentFileItem::MobiClass, "libmobi"},
    {u"docx", u"Word documents", u"", DocumentFileItem::DocxClass, "libarchive, libxml2"},
    {u"odt", u"OpenDocument texts", u"", DocumentFileItem::OdtClass, "libarchive, libxml2"},
    {u"rtf", u"Rich text documents", u"", DocumentFileItem::RtfClass, "built-in"},
    {u"md", u"Markdown texts", u"", DocumentFileItem::MarkdownClass, "cmark"},
    {u"markdown", u"Markdown texts", u"", DocumentFileItem::MarkdownClass, "cmark"},
    {u"cbz", u"Comic archives", u"Comic book zip archives", DocumentFileItem::ComicArchiveClass,
     "libarchive"},
    {u"zip", u"Comic archives", u"Zip archives of pictures", DocumentFileItem::ComicArchiveClass,
     "libarchive"},
    {u"cbr", u"Comic archives", u"Comic book RAR archives", DocumentFileItem::ComicArchiveClass,
     "libarchive"},
    {u"rar", u"Comic archives", u"RAR archives of pictures", DocumentFileItem::ComicArchiveClass,
     "libarchive"},
    {u"cb7", u"Comic archives", u"Comic book 7z archives", DocumentFileItem::ComicArchiveClass, "libarchive"},
    {u"7z", u"Comic archives", u"7z archives of pictures", DocumentFileItem::ComicArchiveClass, "libarchive"},
    {u"cbt", u"Comic archives", u"Comic book tar archives", DocumentFileItem::ComicArchiveClass,
     "libarchive"},
    {u"tar", u"Comic archives", u"Tar archives of pictures", DocumentFileItem::ComicArchiveClass,
     "libarchive"},
    {u"pdf", u"PDF documents", u"PDF documents (their text, or pictures of their pages)",
     DocumentFileItem::PdfClass, "poppler"},
    {u"djvu", u"DjVu documents", u"DjVu documents (their hidden text, or pictures of their pages)",
     DocumentFileItem::DjvuClass, "DjVuLibre"},
    {u"djv", u"DjVu documents", u"DjVu documents (their hidden text, or pictures of their pages)",
     DocumentFileItem::DjvuClass, "DjVuLibre"},
};

}  // namespace

const FileItemClass DocumentFileItem::Fb2Class = {Create<ReadFb2File>};
const FileItemClass DocumentFileItem::EpubClass = {Create<ReadEpub>};
const FileItemClass DocumentFileItem::HtmlClass = {Create<ReadHtmlFile>};
const FileItemClass DocumentFileItem::ComicArchiveClass = {Create<ReadComicArchive>};
const FileItemClass DocumentFileItem::PdfClass = {Create<ReadPdf>};
const FileItemClass DocumentFileItem::DjvuClass = {Create<ReadDjvu>};
const FileItemClass DocumentFileItem::FolderClass = {Create<ReadFolder>};
const FileItemClass DocumentFileItem::DocxClass = {Create<ReadDocx>};
const FileItemClass DocumentFileItem::OdtClass = {Create<ReadOdt>};
const FileItemClass DocumentFileItem::RtfClass = {Create<ReadRtfFile>};
const FileItemClass DocumentFileItem::MarkdownClass = {Create<ReadMarkdownFile>};
const FileItemClass DocumentFileItem::MobiClass = {Create<ReadMobi>};

void DocumentFileItem::Load() { LoadAs(Settings().documentMode); }

void DocumentFileItem::LoadAs(DocumentMode mode) {
  document_ = readPaged_ ? readPaged_(Libraries(), FileName(), mode) : read_(Libraries(), FileName());
  loadedMode_ = mode;
  FileItem::Load();
}

void DocumentFileItem::DropIfModeChanged() {
  if (Loaded() && readPaged_ && loadedMode_ != Settings().documentMode) Unload();
}

void DocumentFileItem::Unload() {
  document_ = Document();
  FileItem::Unload();
}

void DocumentFileItem::Verify() {
  // A paged document is checked by opening it, which its pages mode does without reading its text.
  if (!Loaded()) LoadAs(readPaged_ ? DocumentMode::kPages : Settings().documentMode);
  if (!document_.pictures) return;
  const std::vector<std::pair<size_t, std::string>> problems = document_.pictures->Check();
  if (problems.empty()) return;
  if (!Settings().skipBadParts) {
    std::string list;
    for (const auto& [picture, why] : problems)
      list += "\n    " + Utf16ToUtf8(document_.pictures->Name(picture)) + ": " + why;
    const size_t n = problems.size();
    throw DocumentError(
        FileName(), "",
        std::to_string(n) + (n == 1 ? " picture cannot" : " pictures cannot") + " be decoded:" + list);
  }
  // The bad pictures are left out of this reading of the document, each with its warning.
  std::set<size_t> bad;
  for (const auto& [picture, why] : problems) {
    bad.insert(picture);
    document_.warnings.push_back(Utf16ToUtf8(document_.pictures->Name(picture)) + ": " + why + ": left out");
  }
  std::erase_if(document_.blocks, [&](const DocumentBlock& b) {
    return b.kind == DocumentBlock::Kind::kPicture && bad.contains(b.picture);
  });
  if (document_.cover && bad.contains(*document_.cover)) document_.cover.reset();
}

bool DocumentFileItem::ReadsFile(const std::u16string& fileName) {
  if (FileItem::ReadsFile(fileName)) return true;
  if (readPaged_) return false;  // a PDF or DjVu file is read alone
  const bool wasLoaded = Loaded();
  if (!wasLoaded) Load();
  const bool reads = std::any_of(document_.files.begin(), document_.files.end(),
                                 [&](const std::u16string& file) { return SameFile(fileName, file); });
  if (!wasLoaded) Unload();
  return reads;
}

std::string DocumentFileItem::ToBookText(std::u16string_view text) {
  return WideToWin1251(Libraries(), text, &fallback_);
}

void DocumentFileItem::WriteEntry(BookWriter& writer) {
  writer.CloseSection();
  if (FileItem::WriteEntry(writer, &fallback_) == EntryResult::kNoRoom) ++leftOutEntries_;
}

std::vector<ContentsEntry> DocumentFileItem::ContentsEntries() {
  DropIfModeChanged();
  return ListWhileLoaded([this] { return EntriesOf(document_, TitleOf(*this)); });
}

void DocumentFileItem::LeaveOutOrRaise(const std::string& part) {
  if (!Settings().skipBadParts) throw;
  Warn(part + ": left out");
}

PictureSettings DocumentFileItem::PictureSettingsOf(const Document& document) {
  PictureSettings settings = Settings().picture;
  // A scan's paper is made white and its lines straight; in reflow its words are set again.
  if (!settings.clean) settings.clean = document.scanned;
  settings.reflow = loadedMode_ == DocumentMode::kReflow;
  if (settings.split != Split::kAuto) return settings;
  settings.split = document.rightToLeft ? Split::kRightToLeft : Split::kLeftToRight;
  if (document.rightToLeft) Note("a manga, read from right to left: each spread's right half first");
  return settings;
}

void DocumentFileItem::WriteTo(BookWriter& writer) {
  // The document is released when the writing ends, however it ends.
  struct UnloadAtEnd {
    DocumentFileItem& item;
    ~UnloadAtEnd() { item.Unload(); }
  } unload{*this};
  DropIfModeChanged();
  FileItem::WriteTo(writer);
  for (std::string& warning : document_.warnings) Warn(std::move(warning));
  document_.warnings.clear();
  for (std::string& note : document_.notes) Note(std::move(note));
  document_.notes.clear();
  leftOutEntries_ = 0;
  fallback_ = FallbackReport();
  BeginEntries(EntriesOf(document_, TitleOf(*this)));
  if (!LeadTitle(document_, TitleOf(*this)).empty()) WriteEntry(writer);
  const std::vector<DocumentBlock>& blocks = document_.blocks;
  const PictureSettings pictureSettings = PictureSettingsOf(document_);
  PicturesAhead ahead(Libraries(), *document_.pictures, pictureSettings);
  // The words of scanned pages are set on device pages in the document's order, each page's after the
  // page's before it; a section or a paragraph of text starts a new page.
  PictureFlow flow(writer, pictureSettings);
  StartPictures(ahead, blocks, 0);
  for (size_t i = 0; i < blocks.size(); ++i) {
    const DocumentBlock& block = blocks[i];
    switch (block.kind) {
      case DocumentBlock::Kind::kHeading:
        flow.Finish();
        if (IsEntry(block))
          WriteEntry(writer);
        else
          writer.CloseSection();
        break;
      case DocumentBlock::Kind::kParagraph:
        flow.Finish();
        writer.AddParagraph(ToBookText(block.text));
        break;
      case DocumentBlock::Kind::kPicture: {
        PreparedPicture prepared;
        try {
          prepared = ahead.Take(block.picture);
          if (prepared.incomplete) Warn(Utf16ToUtf8(ahead.Name(block.picture)) + ": " + kIncompletePicture);
        } catch (const DocumentError& e) {
          LeaveOutOrRaise(e.Reason());
        } catch (const DecodeError& e) {
          LeaveOutOrRaise(Utf16ToUtf8(ahead.Name(block.picture)) + ": " + e.Reason());
        }
        StartPictures(ahead, blocks, i + 1);
        flow.Write(std::move(prepared.pages));
        ReportProgress(i + 1, blocks.size());
        break;
      }
    }
  }
  flow.Finish();
  writer.CloseSection();
  WarnOfFallback(fallback_);
  if (leftOutEntries_ > 0)
    Warn(Format("table of contents: %d entries are left out (one entry of a book holds at most 255)",
                {leftOutEntries_}));
}

const Document& DocumentFileItem::LoadedAsSet() {
  DropIfModeChanged();
  if (!Loaded()) Load();
  return document_;
}

BookDescription DocumentFileItem::OfferedDescription() {
  const DocumentInfo& info = LoadedAsSet().info;
  BookDescription offered;
  offered.title = info.title;
  offered.author = info.author;
  offered.subject = info.subject;
  offered.translator = info.translator;
  offered.publisher = info.publisher;
  offered.publishTime = info.publishTime;
  offered.isbn = info.isbn;
  offered.annotation = info.annotation;
  return offered;
}

std::u16string DocumentFileItem::OfferedSeries() { return LoadedAsSet().info.series; }

bool DocumentFileItem::LoadOfferedCover(Picture& picture) {
  if (!LoadedAsSet().cover) return false;
  try {
    picture.Assign(document_.pictures->Decode(*document_.cover));
  } catch (const DocumentError& e) {
    LeaveOutOrRaise("the cover: " + e.Reason());
    return false;
  } catch (const DecodeError& e) {
    LeaveOutOrRaise("the cover: " + e.Reason());
    return false;
  }
  picture.SetTransparent(true);
  return true;
}

std::vector<FileType> DocumentFileTypes() {
  std::vector<FileType> rows;
  for (const DocumentFormat& f : kFormats)
    rows.push_back({f.ext, f.group, f.description, &f.itemClass, f.reader});
  return rows;
}

}  // namespace bookloom
