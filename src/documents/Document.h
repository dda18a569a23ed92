// A book read from another format (FB2, EPUB, HTML, a comic archive, a PDF, a folder), whatever the
// format: what describes it, its cover, and its content as headings, paragraphs and pictures in
// reading order. Each reader makes one; one file item writes any of them into a Wolf book.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "decoders/Graphic.h"
#include "platform/Exception.h"
#include "platform/Runtime.h"

namespace bookloom {

// A document that cannot be read: the file, the part of it that failed (an archive entry, a line of
// the XML, a page) and why. The reason is the message without the file's name.
class DocumentError : public Exception {
 public:
  DocumentError(const std::u16string& fileName, const std::string& part, const std::string& why);
  const std::string& Reason() const { return reason_; }

 private:
  std::string reason_;
};

// The texts that describe a book, where the document has them (empty otherwise).
struct DocumentInfo {
  std::u16string title;
  std::u16string author;      // every author, "First Middle Last", joined by ", "
  std::u16string subject;     // the series ("Series #3") where there is one, else the subjects
  std::u16string series;      // the series ("Series #3") where the document names one
  std::u16string translator;  // every translator, joined as the authors
  std::u16string publisher;
  std::u16string publishTime;  // the year of publication, or the date as the document gives it
  std::u16string isbn;
  std::u16string annotation;  // paragraphs joined by CR LF
};

// One step of the reading order.
struct DocumentBlock {
  enum class Kind {
    kHeading,    // a new section of the book; a table-of-contents entry when it has a level
    kParagraph,  // one paragraph of text
    kPicture,    // one picture, a page of its own
  };
  Kind kind;
  int level = 0;        // a heading's table-of-contents level, 1 to 3; 0 for a section without entry
  std::u16string text;  // a heading's title or a paragraph
  size_t picture = 0;   // a picture's index in the document's pictures
};

// The pictures of a document, decoded one by one only when they are written. Decode and Name are
// called from one thread at a time, though not always the same one: the build decodes the next
// picture on a second thread while the main thread writes the one before.
class DocumentPictures {
 public:
  virtual ~DocumentPictures() = default;
  virtual size_t Count() const = 0;
  // The picture's name inside the document, for messages ("images/cover.jpg", "page 3").
  virtual std::u16string Name(size_t index) const = 0;
  // Raises DecodeError or DocumentError when the picture cannot be read.
  virtual std::unique_ptr<Graphic> Decode(size_t index) = 0;
  // The same, telling also whether the picture could be read only in part (a JPEG cut short), as
  // the pictures that are read by a decoder can tell; the others say it is whole.
  virtual DecodedFrames DecodeFrames(size_t index);
  // Checks every picture as cheaply as its format allows (the header and the size of a JPEG), before
  // any is decoded: the indexes of the pictures that decoding would refuse, with the reasons.
  virtual std::vector<std::pair<size_t, std::string>> Check() { return {}; }
};

struct Document;

// Pictures held as the bytes of their files (inside an FB2, an EPUB, an HTML page's folder), each
// decoded by its content, its name or its media type.
class EncodedPictures : public DocumentPictures {
 public:
  // The document they are in, which messages name; the run whose decoders read them.
  EncodedPictures(const Runtime& runtime, std::u16string documentName)
      : runtime_(runtime), documentName_(std::move(documentName)) {}

  // Adds a picture held in memory, or one that is a file of its own (read when it is decoded) when
  // `fileName` is given; returns its index, or nullopt when no decoder reads such a picture: the
  // document then leaves it out.
  std::optional<size_t> Add(std::u16string name, std::string bytes, std::string mediaType = {},
                            std::u16string fileName = {});
  // Adds a picture held in memory as Add does; one that no decoder reads is left out with the
  // document's warning "NAME: no decoder reads this kind of picture: left out".
  std::optional<size_t> AddOrLeaveOut(const std::string& name, std::string bytes, Document& document,
                                      std::string mediaType = {});

  size_t Count() const override { return pictures_.size(); }
  std::u16string Name(size_t index) const override { return pictures_[index].name; }
  std::unique_ptr<Graphic> Decode(size_t index) override;
  DecodedFrames DecodeFrames(size_t index) override;
  std::vector<std::pair<size_t, std::string>> Check() override;

 private:
  struct Encoded {
    std::u16string name;
    std::string bytes;
    std::string mediaType;
    std::u16string fileName;
  };
  template <typename Use>
  auto WithDecoder(size_t index, Use use);

  const Runtime& runtime_;
  std::u16string documentName_;
  std::vector<Encoded> pictures_;
};

struct Document {
  DocumentInfo info;
  std::vector<DocumentBlock> blocks;
  std::optional<size_t> cover;  // the picture the document names as its cover
  bool rightToLeft = false;     // read from right to left (a manga): a spread's right half comes first
  bool scanned = false;         // its pages are scans: pictures of paper, to be cleaned (see CleanScan)
  std::unique_ptr<DocumentPictures> pictures;
  // What the reader left out without failing (a picture of a kind no decoder reads, a table-of-
  // contents entry that leads nowhere), for the build to report.
  std::vector<std::string> warnings;
  // The files of the disk the document is read from besides the one named: a folder's pictures and
  // texts, the pictures beside a page. A book must never replace one of them.
  std::vector<std::u16string> files;
  // What the reader decided that only a detailed account tells (whether a PDF is read as its text).
  std::vector<std::string> notes;

  void AddHeading(int level, std::u16string title);
  // Adds the paragraph unless it is empty; `keepEmpty` keeps an empty one (an empty line of a poem).
  void AddParagraph(std::u16string text, bool keepEmpty = false);
  void AddPicture(size_t picture);
};

// The text with every run of white space (blanks, tabs, line ends, no-break spaces kept) made one
// blank, and none at either end.
std::u16string CollapseSpaces(std::u16string_view text);

// The bytes of base64 text (a picture inside an FB2 book or a data: link); blanks and line ends
// between the characters are allowed, anything else that is not base64 is passed over.
std::string DecodeBase64(std::string_view text);

// The readers' limits on what a document may hold, so that no file makes a build allocate without
// bound: the bytes of one part (an archive entry, a picture, a page of XML) and of all parts.
inline constexpr uint64_t kMaxPartBytes = uint64_t{256} << 20;
inline constexpr uint64_t kMaxDocumentBytes = uint64_t{2} << 30;

}  // namespace bookloom
