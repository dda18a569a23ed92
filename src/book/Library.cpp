#include "book/Library.h"

#include <algorithm>
#include <map>

#include "book/DocumentFileItem.h"
#include "book/FileTypes.h"
#include "book/InputFiles.h"
#include "book/PictureFileItem.h"
#include "documents/Archive.h"
#include "documents/EpubReader.h"
#include "documents/Fb2Reader.h"
#include "platform/Collate.h"
#include "platform/Exception.h"
#include "platform/FileSys.h"
#include "platform/Path.h"
#include "platform/Utf.h"
#include "text/AsciiTransliterator.h"

namespace bookloom {

namespace {

constexpr int kMaxDepth = 32;

bool EndsWithIgnoreCase(std::u16string_view text, std::u16string_view end) {
  return text.size() >= end.size() && SameTextIgnoreCase(text.substr(text.size() - end.size()), end);
}

// The name without its extension; ".fb2.zip" is one extension.
std::u16string Stem(std::u16string_view name) {
  if (EndsWithIgnoreCase(name, u".fb2.zip")) return std::u16string(name.substr(0, name.size() - 8));
  const std::u16string_view ext = PathExtension(name);
  return std::u16string(ext.empty() ? name : name.substr(0, name.size() - ext.size() - 1));
}

// The book's output for a source at `relative` below the folder named (its file name for a file named).
std::u16string OutputOf(std::u16string_view relative) { return Stem(relative) + u".wol"; }

// A document, an e-book or a text, whatever its format: what a folder's file must be to become a book.
bool IsBookClass(const FileItemClass* itemClass) {
  return itemClass && itemClass != &PictureFileItem::Class && itemClass != &DocumentFileItem::FolderClass;
}

bool IsEpubEntry(const std::string& name) { return EndsWithIgnoreCase(Utf8ToUtf16(name), u".epub"); }

bool IsEbookEntry(const std::string& name) {
  const std::u16string wide = Utf8ToUtf16(name);
  return (EndsWithIgnoreCase(wide, u".fb2") || IsEpubEntry(name)) && !PathFileName(wide).starts_with(u".") &&
         !name.starts_with("__MACOSX/");
}

// The FB2 and EPUB books of an archive that holds two or more and no picture; none for any other
// archive (one that cannot be read is one book, whose build tells what is wrong with it).
std::vector<std::string> EbookEntries(const Runtime& runtime, const std::u16string& archiveName) {
  std::vector<std::string> books;
  try {
    ArchiveReader archive(runtime, archiveName);
    while (archive.Next()) {
      if (IsEbookEntry(archive.Name()))
        books.push_back(archive.Name());
      else if (FileTypes().FindItemClass(Utf8ToUtf16(archive.Name())) == &PictureFileItem::Class)
        return {};
    }
  } catch (const DocumentError&) {
    return {};
  }
  if (books.size() < 2) return {};
  std::sort(books.begin(), books.end(), [](const std::string& a, const std::string& b) {
    return CompareNatural(Utf8ToUtf16(a), Utf8ToUtf16(b)) < 0;
  });
  return books;
}

class LibraryWalker {
 public:
  LibraryWalker(const Runtime& runtime, Library& library) : runtime_(runtime), library_(library) {}

  void Input(const std::u16string& name, size_t index) {
    input_ = index;
    if (KindOf(name) != FileKind::kFolder) {
      File(name, std::u16string(PathFileName(name)));
      return;
    }
    std::u16string folder = name;
    while (folder.size() > 1 && folder.ends_with(u'/')) folder.pop_back();
    Walk(folder, u"", 0);
  }

 private:
  void Walk(const std::u16string& folder, const std::u16string& relative, int depth) {
    std::vector<FolderEntry> entries;
    try {
      entries = ListFolder(folder);
    } catch (const FileOpenError& e) {
      library_.unreadable.push_back({folder, e.what()});
      return;
    }
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return CompareNatural(a.name, b.name) < 0; });
    for (const FolderEntry& e : entries) {
      if (e.name.starts_with(u".")) continue;
      const std::u16string path = folder + u"/" + e.name;
      if (e.kind == FileKind::kFolder && !e.link && depth < kMaxDepth)
        Walk(path, relative + e.name + u"/", depth + 1);
      else if (e.kind == FileKind::kRegular && IsBookClass(FileTypes().FindItemClass(path)))
        File(path, relative + e.name);
    }
  }

  void File(const std::u16string& path, const std::u16string& relative) {
    if (FileTypes().FindItemClass(path) == &DocumentFileItem::ComicArchiveClass) {
      const std::vector<std::string> entries = EbookEntries(runtime_, path);
      for (const std::string& entry : entries)
        library_.books.push_back({path, entry, Stem(relative) + u"/" + OutputOf(Utf8ToUtf16(entry)), input_});
      if (!entries.empty()) return;
    }
    library_.books.push_back({path, "", OutputOf(relative), input_});
  }

  const Runtime& runtime_;
  Library& library_;
  size_t input_ = 0;
};

// Gives the books that would share an output their source's whole name, then a number.
void SeparateOutputs(std::vector<LibraryBook>& books) {
  std::map<std::u16string, int> uses;
  for (const LibraryBook& b : books) ++uses[b.output];
  for (LibraryBook& b : books) {
    if (uses[b.output] < 2) continue;
    const std::u16string shown = b.Shown();
    b.output = std::u16string(PathFolder(b.output)) + std::u16string(PathFileName(shown)) + u".wol";
  }
  NumberSharedOutputs(books);
}

constexpr size_t kMaxNameLength = 100;

// A field's text as one file name on any file system: characters that some systems refuse become
// "_", runs of blanks one space, blanks and dots at the ends go, and at most kMaxNameLength remain.
std::u16string SafeName(std::u16string_view text) {
  std::u16string name;
  for (const char16_t c : text) {
    if (c < 0x20 || c == u' ' || c == 0x7F || c == 0xA0) {
      if (!name.empty() && name.back() != u' ') name += u' ';
    } else {
      name += std::u16string_view(u"/\\:*?\"<>|").find(c) == std::u16string_view::npos ? c : u'_';
    }
  }
  if (name.size() > kMaxNameLength) {
    name.resize(kMaxNameLength);
    if ((name.back() & 0xFC00) == 0xD800) name.pop_back();  // no half of a pair of surrogates
  }
  const size_t first = name.find_first_not_of(u" .");
  if (first == std::u16string::npos) return {};
  return name.substr(first, name.find_last_not_of(u" .") - first + 1);
}

// Every character outside printable ASCII as "_".
std::u16string AsciiOnly(std::u16string text) {
  for (char16_t& c : text)
    if (c < 0x20 || c > 0x7E) c = u'_';
  return text;
}

// A path of folders and a name, each made a safe name, in printable ASCII only with `asciiOnly`
// (other characters become "_"); folders left empty are dropped.
std::u16string SafeFolders(std::u16string_view path, bool asciiOnly) {
  std::u16string safe;
  for (size_t at = 0; at <= path.size();) {
    const size_t slash = std::min(path.find(u'/', at), path.size());
    const std::u16string name = SafeName(path.substr(at, slash - at));
    if (!name.empty()) safe += (safe.empty() ? u"" : u"/") + (asciiOnly ? AsciiOnly(name) : name);
    at = slash + 1;
  }
  return safe;
}

// 64-bit FNV-1a: the same on every machine and every build.
uint64_t StableHash(std::string_view bytes) {
  uint64_t hash = 14695981039346656037ull;
  for (const char c : bytes) {
    hash ^= static_cast<uint8_t>(c);
    hash *= 1099511628211ull;
  }
  return hash;
}

Document ReadEbookEntry(const Runtime& runtime, const std::u16string& archiveName, const std::string& entry) {
  ArchiveReader archive(runtime, archiveName);
  while (archive.Next()) {
    if (archive.Name() != entry) continue;
    const std::string bytes = archive.Read();
    const std::u16string shown = archiveName + u": " + Utf8ToUtf16(entry);
    return IsEpubEntry(entry) ? ReadEpubBytes(runtime, bytes, shown) : ReadFb2(runtime, bytes, shown);
  }
  throw DocumentError(archiveName, entry, "is no longer in the archive");
}

}  // namespace

void NumberSharedOutputs(std::vector<LibraryBook>& books) {
  std::map<std::u16string, int> seen;
  for (LibraryBook& b : books) {
    const int n = ++seen[b.output];
    if (n > 1) b.output = Stem(b.output) + u" (" + Utf8ToUtf16(std::to_string(n)) + u").wol";
  }
}

OutputNamePattern::OutputNamePattern(std::u16string_view text) {
  const std::u16string pattern(text);
  static constexpr std::pair<std::u16string_view, std::u16string BookNameFields::*> kFields[] = {
      {u"author", &BookNameFields::author},
      {u"series", &BookNameFields::series},
      {u"title", &BookNameFields::title}};
  bool named = false;
  for (size_t at = 0; at < pattern.size();) {
    const size_t open = pattern.find(u'{', at);
    if (open != at) {
      parts_.push_back({std::u16string(pattern.substr(at, open - at))});
      if (open == std::u16string_view::npos) break;
    }
    const size_t close = pattern.find(u'}', open);
    if (close == std::u16string_view::npos)
      Raise<Exception>("the name pattern \"%s\" opens a { that it does not close", {pattern});
    const std::u16string name = pattern.substr(open + 1, close - open - 1);
    Part part;
    part.file = name == u"file";
    for (const auto& [fieldName, field] : kFields)
      if (name == fieldName) part.field = field;
    if (!part.file && !part.field)
      Raise<Exception>("the name pattern \"%s\" names {%s}: it knows {author}, {series}, {title} and {file}",
                       {pattern, name});
    parts_.push_back(part);
    named = true;
    at = close + 1;
  }
  if (!named) Raise<Exception>("the name pattern \"%s\" names no field of the books", {pattern});
}

std::u16string OutputNamePattern::OutputOf(const LibraryBook& book, const BookNameFields& fields,
                                           const AsciiTransliterator* ascii) const {
  const auto written = [&](const std::u16string& text) { return ascii ? (*ascii)(text) : text; };
  const std::u16string file = Stem(PathFileName(book.entry.empty() ? book.source : Utf8ToUtf16(book.entry)));
  std::u16string path;
  for (const Part& part : parts_) {
    if (!part.file && !part.field) {
      path += written(part.text);
      continue;
    }
    std::u16string value = part.file ? file : fields.*part.field;
    if (part.field == &BookNameFields::title && SafeName(value).empty()) value = file;
    path += SafeName(written(value));
  }
  std::u16string output = SafeFolders(path, ascii != nullptr);
  if (output.empty()) output = SafeFolders(written(file), ascii != nullptr);
  return output + u".wol";
}

std::u16string AsciiOutputOf(std::u16string_view output, const AsciiTransliterator& ascii) {
  return SafeFolders(ascii(Stem(output)), true) + u".wol";
}

std::u16string LibraryBook::Shown() const {
  return entry.empty() ? source : source + u"/" + Utf8ToUtf16(entry);
}

Library FindLibraryBooks(const Runtime& runtime, const std::vector<std::u16string>& inputs) {
  Library library;
  LibraryWalker walker(runtime, library);
  for (size_t i = 0; i < inputs.size(); ++i) walker.Input(inputs[i], i);
  SeparateOutputs(library.books);
  return library;
}

bool InShard(const LibraryBook& book, int index, int count) {
  const uint64_t hash = StableHash(Utf16ToUtf8(book.source) + '\n' + book.entry);
  return static_cast<int>(hash % static_cast<uint64_t>(count)) == index - 1;
}

std::unique_ptr<FileItem> MakeLibraryItem(const Runtime& runtime, const LibraryBook& book,
                                          const FileSettings& settings) {
  if (book.entry.empty()) return MakeInputItem(runtime, book.source, settings);
  CheckInputFile(book.source);
  auto item = std::make_unique<DocumentFileItem>(
      runtime, book.Shown(),
      [archive = book.source, entry = book.entry](const Runtime& runtime, const std::u16string&) {
        return ReadEbookEntry(runtime, archive, entry);
      });
  item->SetSettings(settings);
  try {
    item->Verify();
  } catch (const DocumentError& e) {
    throw InputError(book.Shown(), "cannot be read: " + e.Reason());
  }
  return item;
}

}  // namespace bookloom
