#include "documents/MobiReader.h"

#include <mobi.h>
#include <unicode/uchar.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <vector>

#include "documents/HtmlText.h"
#include "documents/Xml.h"
#include "platform/FileSys.h"
#include "platform/Modules.h"
#include "platform/Utf.h"

namespace bookloom {

namespace {

// The functions of libmobi that the reader calls.
// clang-format off
#define LIBMOBI_FUNCTIONS(F)                                                                        \
  F(mobi_init) F(mobi_free) F(mobi_load_file) F(mobi_is_encrypted) F(mobi_init_rawml)           \
  F(mobi_parse_rawml) F(mobi_free_rawml) F(mobi_get_exthrecord_by_tag) F(mobi_decode_exthvalue)     \
  F(mobi_get_resource_by_uid) F(mobi_meta_get_title) F(mobi_meta_get_author)                        \
  F(mobi_meta_get_publisher) F(mobi_meta_get_description) F(mobi_meta_get_isbn)                     \
  F(mobi_meta_get_subject) F(mobi_meta_get_publishdate)
// clang-format on
BOOKLOOM_LIBRARY_FUNCTIONS(Libmobi, LIBMOBI_FUNCTIONS);

const Libmobi& LibmobiFor(const Runtime& runtime, const std::u16string& fileName) {
  const LoadedFunctions<Libmobi>& libmobi = runtime.Library<Libmobi>(BOOKLOOM_LIBMOBI);
  if (!libmobi.functions) throw DocumentError(fileName, "", "libmobi cannot be loaded: " + libmobi.problem);
  return *libmobi.functions;
}

// The extension a picture resource is named with, so that its decoder is found; "" for what is no
// picture (fonts, style sheets, the table of contents).
const char* PictureExtension(MOBIFiletype type) {
  switch (type) {
    case T_JPG:
      return "jpg";
    case T_GIF:
      return "gif";
    case T_PNG:
      return "png";
    case T_BMP:
      return "bmp";
    default:
      return "";
  }
}

// Whether the file is a Palm database whose records start in order, after the table of them and
// within the file (78 bytes of header, then 8 bytes for each record, its start first, big-endian),
// and whose indexes claim no more entries than the file has bytes: libmobi makes room for every
// entry an index claims before it reads one.
bool RecordsWithin(std::string_view bytes) {
  const auto u16 = [&](size_t at) {
    return static_cast<uint8_t>(bytes[at]) << 8 | static_cast<uint8_t>(bytes[at + 1]);
  };
  const auto u32 = [&](size_t at) {
    return static_cast<size_t>(u16(at)) << 16 | static_cast<size_t>(u16(at + 2));
  };
  if (bytes.size() < 78) return false;
  const size_t count = static_cast<size_t>(u16(76));
  size_t previous = 78 + 8 * count;
  if (count == 0 || previous > bytes.size()) return false;
  for (size_t i = 0; i < count; ++i) {
    const size_t start = u32(78 + 8 * i);
    if (start < previous || start > bytes.size()) return false;
    previous = start;
    // An index record: "INDX", then its total count of entries at offset 36.
    if (start + 40 <= bytes.size() && bytes.substr(start, 4) == "INDX" && u32(start + 36) > bytes.size())
      return false;
  }
  return true;
}

// One entry of the book's table of contents.
struct NavEntry {
  int level;
  std::u16string title;
  std::string link;  // "part00001.html#id"
};

// The name libmobi gives a resource in the HTML it rebuilds ("resource00003.jpg").
std::string ResourceName(size_t uid, const char* extension) {
  char name[40];
  std::snprintf(name, sizeof name, "resource%05zu.%s", uid, extension);
  return name;
}

class MobiReader {
 public:
  MobiReader(const Runtime& runtime, const std::u16string& fileName, const Libmobi& libmobi)
      : runtime_(runtime),
        fileName_(fileName),
        libmobi_(libmobi),
        book_(libmobi.mobi_init(), libmobi.mobi_free),
        rawml_(nullptr, libmobi.mobi_free_rawml) {
    auto pictures = std::make_unique<EncodedPictures>(runtime, fileName);
    pictures_ = pictures.get();
    document_.pictures = std::move(pictures);
  }

  Document Read() {
    if (!book_) throw DocumentError(fileName_, "", "out of memory");
    Load();
    if (libmobi_.mobi_is_encrypted(book_.get()))
      throw DocumentError(fileName_, "", "the book is protected by DRM and cannot be read");
    rawml_.reset(libmobi_.mobi_init_rawml(book_.get()));
    if (!rawml_) throw DocumentError(fileName_, "", "out of memory");
    if (const MOBI_RET status = libmobi_.mobi_parse_rawml(rawml_.get(), book_.get()); status != MOBI_SUCCESS)
      throw DocumentError(fileName_, "",
                          "the book's text cannot be read (libmobi error " + std::to_string(status) + ")");
    Description();
    Pictures();
    Cover();
    const std::vector<NavEntry> toc = Contents();
    for (const MOBIPart* part = rawml_->markup; part; part = part->next)
      if (part->type == T_HTML) Page(*part, toc.empty());
    PlaceContents(toc);
    return std::move(document_);
  }

 private:
  // Hands the file to libmobi from memory, once its table of records is known to lie within it: libmobi
  // allocates each record as large as the table says, which a damaged table makes gigabytes.
  void Load() {
    std::string bytes = ReadFileBytes(fileName_);
    if (bytes.size() > kMaxDocumentBytes)
      throw DocumentError(fileName_, "",
                          "larger than the limit of " + std::to_string(kMaxDocumentBytes >> 20) + " MB");
    if (!RecordsWithin(bytes))
      throw DocumentError(fileName_, "",
                          "not a MOBI book, or a damaged one: its records lie outside the file or its "
                          "indexes claim more entries than it holds");
    const std::unique_ptr<FILE, int (*)(FILE*)> file(fmemopen(bytes.data(), bytes.size(), "rb"), std::fclose);
    if (!file) throw DocumentError(fileName_, "", "out of memory");
    if (const MOBI_RET status = libmobi_.mobi_load_file(book_.get(), file.get()); status != MOBI_SUCCESS)
      throw DocumentError(fileName_, "",
                          "not a MOBI book, or a damaged one (libmobi error " + std::to_string(status) + ")");
  }

  void Description() {
    DocumentInfo& info = document_.info;
    const auto text = [&](char* (*get)(const MOBIData*)) {
      const std::unique_ptr<char, void (*)(void*)> value(get(book_.get()), std::free);
      return value ? CollapseSpaces(Utf8ToUtf16(value.get())) : std::u16string();
    };
    info.title = text(libmobi_.mobi_meta_get_title);
    info.author = text(libmobi_.mobi_meta_get_author);
    info.publisher = text(libmobi_.mobi_meta_get_publisher);
    info.isbn = text(libmobi_.mobi_meta_get_isbn);
    info.subject = text(libmobi_.mobi_meta_get_subject);
    info.publishTime = text(libmobi_.mobi_meta_get_publishdate).substr(0, 4);
    const std::unique_ptr<char, void (*)(void*)> description(libmobi_.mobi_meta_get_description(book_.get()),
                                                             std::free);
    if (description) info.annotation = HtmlAnnotation(runtime_, description.get(), fileName_);
  }

  void Pictures() {
    for (const MOBIPart* part = rawml_->resources; part; part = part->next) {
      const char* extension = PictureExtension(part->type);
      if (!*extension || !part->data) continue;
      const std::string name = ResourceName(part->uid, extension);
      const std::optional<size_t> index = pictures_->AddOrLeaveOut(
          name, std::string(reinterpret_cast<const char*>(part->data), part->size), document_);
      pictureOf_[name] = index;
      pictureOfUid_[part->uid] = index;
    }
  }

  // The picture the book names as its cover, by its place among the resources.
  void Cover() {
    const MOBIExthHeader* record = libmobi_.mobi_get_exthrecord_by_tag(book_.get(), EXTH_COVEROFFSET);
    if (!record || !record->data) return;
    const uint32_t offset =
        libmobi_.mobi_decode_exthvalue(static_cast<const unsigned char*>(record->data), record->size);
    if (const auto cover = pictureOfUid_.find(offset); cover != pictureOfUid_.end())
      document_.cover = cover->second;
  }

  // The book's own table of contents, which libmobi rebuilds as an NCX; empty when it has none.
  std::vector<NavEntry> Contents() const {
    std::vector<NavEntry> toc;
    for (const MOBIPart* part = rawml_->resources; part; part = part->next) {
      if (part->type != T_NCX || !part->data) continue;
      const XmlDocPtr ncx =
          ParseXml(runtime_, std::string_view(reinterpret_cast<const char*>(part->data), part->size),
                   fileName_, "the table of contents");
      NavPoints(ChildElement(RootElement(ncx.get()), "navMap"), 1, toc);
    }
    return toc;
  }

  static void NavPoints(const xmlNode* parent, int level, std::vector<NavEntry>& toc) {
    for (const xmlNode* c = parent ? parent->children : nullptr; c; c = c->next) {
      if (!IsElement(c, "navPoint")) continue;
      std::u16string title = TextOf(ChildElement(ChildElement(c, "navLabel"), "text"));
      // calibre lists the links of footnotes too ("1", "↩"): only entries with words are kept.
      if (std::any_of(title.begin(), title.end(), [](char16_t ch) { return u_isalpha(ch); }))
        toc.push_back({std::min(level, 3), std::move(title), AttributeOf(ChildElement(c, "content"), "src")});
      NavPoints(c, level + 1, toc);
    }
  }

  // Each entry of the table of contents becomes a heading before the block its link leads to.
  void PlaceContents(const std::vector<NavEntry>& toc) {
    std::vector<std::pair<size_t, const NavEntry*>> placed;
    for (const NavEntry& entry : toc) {
      const auto at = anchors_.find(entry.link);
      if (at == anchors_.end()) {
        document_.warnings.push_back("table of contents: \"" + Utf16ToUtf8(entry.title) +
                                     "\" leads to no page of the book: left out");
        continue;
      }
      placed.push_back({at->second, &entry});
    }
    std::stable_sort(placed.begin(), placed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto p = placed.rbegin(); p != placed.rend(); ++p)
      document_.blocks.insert(document_.blocks.begin() + static_cast<ptrdiff_t>(p->first),
                              {DocumentBlock::Kind::kHeading, p->second->level, p->second->title});
  }

  void Page(const MOBIPart& part, bool headingEntries) {
    const std::string name = ResourceName(part.uid, "html").replace(0, 8, "part");
    anchors_[name] = document_.blocks.size();
    const XmlDocPtr page = ParseHtml(
        runtime_, std::string_view(reinterpret_cast<const char*>(part.data), part.size), fileName_, name);
    const auto picture = [&](const std::string& reference) -> std::optional<size_t> {
      const size_t slash = reference.rfind('/');
      const auto found = pictureOf_.find(reference.substr(slash == std::string::npos ? 0 : slash + 1));
      return found == pictureOf_.end() ? std::nullopt : found->second;
    };
    const auto anchor = [&](const std::string& id, size_t block) {
      anchors_.try_emplace(name + "#" + id, block);
    };
    ReadHtmlBody(*page, document_, {.headingEntries = headingEntries, .picture = picture, .anchor = anchor});
  }

  const Runtime& runtime_;
  std::u16string fileName_;
  const Libmobi& libmobi_;
  std::unique_ptr<MOBIData, void (*)(MOBIData*)> book_;
  std::unique_ptr<MOBIRawml, void (*)(MOBIRawml*)> rawml_;
  Document document_;
  EncodedPictures* pictures_;
  std::map<std::string, std::optional<size_t>> pictureOf_;
  std::map<size_t, std::optional<size_t>> pictureOfUid_;
  std::map<std::string, size_t> anchors_;  // "part00001.html#id" and "part00001.html" → the block they start
};

}  // namespace

Document ReadMobi(const Runtime& runtime, const std::u16string& fileName) {
  return MobiReader(runtime, fileName, LibmobiFor(runtime, fileName)).Read();
}

}  // namespace bookloom
