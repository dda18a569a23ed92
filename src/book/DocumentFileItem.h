// The file item of books in other formats and of albums: FB2, EPUB, HTML pages, word-processor
// files (DOCX, ODT, RTF), Markdown, Kindle books, comic archives, PDF and DjVu files and folders. Each
// format's reader makes a document; this item writes any document into the book: its headings as
// sections and table-of-contents entries, its paragraphs, its pictures as pages.
#pragma once

#include <functional>
#include <string>
#include <utility>

#include "book/FileItem.h"
#include "book/FileTypes.h"
#include "documents/Document.h"
#include "documents/DocumentMode.h"

namespace bookloom {

// Reads a file (or a folder) of one format into a document with the run's libraries.
using DocumentReadFunction = Document (*)(const Runtime& runtime, const std::u16string& fileName);
// Reads the document of the item's file name: a format's read function, or one that reads a part of
// another file (an e-book inside an archive).
using DocumentReader = std::function<Document(const Runtime& runtime, const std::u16string& fileName)>;
// Reads a paged document (PDF, DjVu) as its text or as its pages, as the mode says.
using PagedDocumentReadFunction = Document (*)(const Runtime& runtime, const std::u16string& fileName,
                                               DocumentMode mode);

class DocumentFileItem : public FileItem {
 public:
  // One class per format, each with its reader.
  static const FileItemClass Fb2Class, EpubClass, HtmlClass, ComicArchiveClass, PdfClass, DjvuClass,
      FolderClass, DocxClass, OdtClass, RtfClass, MarkdownClass, MobiClass;

  DocumentFileItem(const Runtime& runtime, const std::u16string& fileName, DocumentReader read)
      : FileItem(runtime, fileName), read_(std::move(read)) {}
  DocumentFileItem(const Runtime& runtime, const std::u16string& fileName,
                   PagedDocumentReadFunction readPaged)
      : FileItem(runtime, fileName), readPaged_(readPaged) {}

  // Reads the document: its text and the list of its pictures, which are decoded only when written.
  void Load() override;
  void Unload() override;
  // Reads the document, which stays loaded for the build: a file that is damaged or not well formed,
  // or that names a picture it lacks, is refused (DocumentError).
  void Verify() override;
  // The document's file, and the files of the disk it is made of (a folder's pictures and texts, a
  // page's pictures).
  bool ReadsFile(const std::u16string& fileName) override;
  // The pictures of a document become pages as the picture settings say; its text has its own
  // encoding and structure. A paged document is read as the document mode says.
  SettingGroups UsedSettings() const override {
    return {.pictures = true, .document = readPaged_ != nullptr};
  }
  // The document's headings, paragraphs and pictures in order, then the document is released. Content
  // before the document's first table-of-contents entry gets a first-level entry with the document's
  // title, or else the file's name, as a text file's chapter has. A picture that cannot be decoded fails the
  // build, or is left out with a warning when the settings say to skip bad parts.
  void WriteTo(BookWriter& writer) override;

  // The document's headings, and its title's entry first when content comes before them. Reads the
  // document when it is not loaded, and releases it again.
  std::vector<ContentsEntry> ContentsEntries() override;

  BookDescription OfferedDescription() override;
  std::u16string OfferedSeries() override;
  bool LoadOfferedCover(Picture& picture) override;

 private:
  // Reads the document as `mode` says (a paged document; other documents have one way to be read).
  void LoadAs(DocumentMode mode);
  // Releases a paged document read in another mode than its settings now say, to be read again.
  void DropIfModeChanged();
  // The document as the settings read it, loaded now when it is not yet.
  const Document& LoadedAsSet();
  // The one conversion of the document's texts into the book's Windows-1251, each character the code
  // page lacks in its nearest form, counted for the warning.
  std::string ToBookText(std::u16string_view text);
  // Closes the section before a heading and writes its entry, counting those the book has no room for.
  void WriteEntry(BookWriter& writer);
  // The picture settings of the document's pages: a manga's spreads split with the book's settings
  // come right half first; a file's own settings are kept as they are.
  PictureSettings PictureSettingsOf(const Document& document);
  // Called while a damaged part's error is handled: raises it again, or, when the settings say to
  // skip bad parts, notes that the part is left out.
  void LeaveOutOrRaise(const std::string& part);

  DocumentReader read_;  // one of the two
  PagedDocumentReadFunction readPaged_ = nullptr;
  DocumentMode loadedMode_ = DocumentMode::kAuto;
  Document document_;
  int leftOutEntries_ = 0;  // entries the book had no room for
  FallbackReport fallback_;
};

// The document items' rows of the table of file types: books, documents, comic archives and folders.
std::vector<FileType> DocumentFileTypes();

}  // namespace bookloom
