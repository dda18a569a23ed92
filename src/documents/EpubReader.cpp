#include "documents/EpubReader.h"

#include <algorithm>
#include <map>
#include <set>
#include <vector>

#include "documents/Archive.h"
#include "documents/HtmlText.h"
#include "documents/Xml.h"
#include "platform/Utf.h"

namespace bookloom {

namespace {

// The algorithms of font obfuscation, which only hide embedded fonts: a book that uses nothing else
// of encryption.xml is not protected.
constexpr std::string_view kFontObfuscation[] = {"http://www.idpf.org/2008/embedding",
                                                 "http://ns.adobe.com/pdf/enc#RC"};

struct ManifestItem {
  std::string entry;  // the archive entry it names
  std::string mediaType;
  std::string properties;
};

// One entry of the book's own table of contents.
struct NavEntry {
  int level;
  std::u16string title;
  std::string entry;     // the page it leads to
  std::string fragment;  // the element of that page, "" for its start
};

// Fonts, style sheets and scripts, which a Wolf book has no use for: never read into memory.
bool IsStyling(std::string_view name) {
  const size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return false;
  std::string ext(name.substr(dot + 1));
  for (char& c : ext) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  for (const char* styling : {"css", "js", "ttf", "otf", "woff", "woff2", "eot"})
    if (ext == styling) return true;
  return false;
}

std::string FragmentOf(std::string_view reference) {
  const size_t hash = reference.find('#');
  return hash == std::string_view::npos ? std::string() : std::string(reference.substr(hash + 1));
}

// An ISBN in an identifier ("urn:isbn:978...", "978-5-...", "ISBN 5-..."), "" when it holds none.
std::u16string IsbnOf(std::string_view identifier, std::string_view scheme) {
  std::string text(identifier);
  for (std::string_view prefix : {"urn:isbn:", "isbn:", "ISBN:", "ISBN "})
    if (text.starts_with(prefix)) {
      text = text.substr(prefix.size());
      scheme = "ISBN";
    }
  const size_t digits = std::count_if(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
  const bool looksLikeIsbn =
      (digits == 10 || digits == 13 || (digits == 9 && (text.back() == 'X' || text.back() == 'x'))) &&
      text.find_first_not_of("0123456789-Xx ") == std::string::npos;
  return scheme == "ISBN" || looksLikeIsbn ? Utf8ToUtf16(text) : std::u16string();
}

class EpubReader {
 public:
  EpubReader(const Runtime& runtime, const std::u16string& fileName)
      : runtime_(runtime), fileName_(fileName) {
    auto pictures = std::make_unique<EncodedPictures>(runtime, fileName);
    pictures_ = pictures.get();
    document_.pictures = std::move(pictures);
  }

  // Reads the book from its file, or from `bytes` when they are given (a book inside an archive).
  Document Read(std::optional<std::string_view> bytes = std::nullopt) {
    ArchiveReader archive =
        bytes ? ArchiveReader(runtime_, *bytes, fileName_) : ArchiveReader(runtime_, fileName_);
    while (archive.Next())
      if (!IsStyling(archive.Name())) entries_[archive.Name()] = archive.Read();
    RefuseDrm();
    const std::string opfName = PackageName();
    const XmlDocPtr opf = ParseXml(runtime_, Entry(opfName, "the package"), fileName_, opfName);
    const xmlNode* package = RootElement(opf.get());
    Manifest(ChildElement(package, "manifest"), opfName);
    Metadata(ChildElement(package, "metadata"));
    const xmlNode* spine = ChildElement(package, "spine");
    if (!spine) throw DocumentError(fileName_, opfName, "the package has no <spine>");
    const std::vector<NavEntry> toc = Contents(spine);
    for (const xmlNode* c = spine->children; c; c = c->next)
      if (IsElement(c, "itemref")) Page(AttributeOf(c, "idref"), toc.empty());
    PlaceContents(toc);
    return std::move(document_);
  }

 private:
  const std::string& Entry(const std::string& name, const std::string& what) const {
    const auto found = entries_.find(name);
    if (found == entries_.end()) throw DocumentError(fileName_, name, what + " is missing from the book");
    return found->second;
  }

  void RefuseDrm() const {
    if (entries_.contains("META-INF/rights.xml"))
      throw DocumentError(fileName_, "META-INF/rights.xml",
                          "the book is protected by DRM and cannot be read");
    const auto encryption = entries_.find("META-INF/encryption.xml");
    if (encryption == entries_.end()) return;
    const XmlDocPtr xml = ParseXml(runtime_, encryption->second, fileName_, encryption->first);
    // Every <EncryptionMethod> must be font obfuscation.
    std::vector<const xmlNode*> nodes = {RootElement(xml.get())};
    while (!nodes.empty()) {
      const xmlNode* node = nodes.back();
      nodes.pop_back();
      if (IsElement(node, "EncryptionMethod")) {
        const std::string algorithm = AttributeOf(node, "Algorithm");
        if (std::find(std::begin(kFontObfuscation), std::end(kFontObfuscation), algorithm) ==
            std::end(kFontObfuscation))
          throw DocumentError(fileName_, encryption->first,
                              "the book is protected by DRM and cannot be read");
      }
      for (const xmlNode* c = node->children; c; c = c->next)
        if (c->type == XML_ELEMENT_NODE) nodes.push_back(c);
    }
  }

  std::string PackageName() const {
    const std::string containerName = "META-INF/container.xml";
    const XmlDocPtr container =
        ParseXml(runtime_, Entry(containerName, "the container"), fileName_, containerName);
    const xmlNode* rootfiles = ChildElement(RootElement(container.get()), "rootfiles");
    for (const xmlNode* c = rootfiles ? rootfiles->children : nullptr; c; c = c->next)
      if (IsElement(c, "rootfile")) {
        const std::string name = PlainEntryName(AttributeOf(c, "full-path"));
        if (name.empty()) break;
        return name;
      }
    throw DocumentError(fileName_, containerName, "it names no package");
  }

  void Manifest(const xmlNode* manifest, const std::string& opfName) {
    for (const xmlNode* c = manifest ? manifest->children : nullptr; c; c = c->next)
      if (IsElement(c, "item"))
        manifest_[AttributeOf(c, "id")] = {ResolveEntryName(opfName, AttributeOf(c, "href")),
                                           AttributeOf(c, "media-type"), AttributeOf(c, "properties")};
  }

  void Metadata(const xmlNode* metadata) {
    DocumentInfo& info = document_.info;
    // EPUB 3 gives a creator's role in a <meta refines="#id" property="role">.
    std::map<std::string, std::string> roles;
    std::string coverId, series, seriesIndex;
    std::u16string subjects;
    for (const xmlNode* c = metadata ? metadata->children : nullptr; c; c = c->next) {
      if (!IsElement(c, "meta")) continue;
      const std::string property = AttributeOf(c, "property"), name = AttributeOf(c, "name");
      if (property == "role") roles[AttributeOf(c, "refines")] = Utf16ToUtf8(TextOf(c));
      if (property == "belongs-to-collection") series = Utf16ToUtf8(TextOf(c));
      if (property == "group-position") seriesIndex = Utf16ToUtf8(TextOf(c));
      if (name == "cover") coverId = AttributeOf(c, "content");
      if (name == "calibre:series") series = AttributeOf(c, "content");
      if (name == "calibre:series_index") seriesIndex = AttributeOf(c, "content");
    }
    for (const xmlNode* c = metadata ? metadata->children : nullptr; c; c = c->next) {
      if (c->type != XML_ELEMENT_NODE) continue;
      const std::string_view name = LocalName(c);
      const std::u16string text = TextOf(c);
      if (text.empty()) continue;
      const auto join = [&](std::u16string& field) { field += (field.empty() ? u"" : u", ") + text; };
      if (name == "title" && info.title.empty()) {
        info.title = text;
      } else if (name == "creator" || name == "contributor") {
        std::string role = AttributeOf(c, "role");
        if (const auto refined = roles.find("#" + AttributeOf(c, "id")); refined != roles.end())
          role = refined->second;
        if (role == "trl")
          join(info.translator);
        else if (name == "creator" && (role.empty() || role == "aut"))
          join(info.author);
      } else if (name == "publisher" && info.publisher.empty()) {
        info.publisher = text;
      } else if (name == "date" && info.publishTime.empty()) {
        info.publishTime = text.substr(0, 4);
      } else if (name == "identifier" && info.isbn.empty()) {
        info.isbn = IsbnOf(Utf16ToUtf8(text), AttributeOf(c, "scheme"));
      } else if (name == "description" && info.annotation.empty()) {
        info.annotation = HtmlAnnotation(runtime_, Utf16ToUtf8(RawTextOf(c)), fileName_);
      } else if (name == "subject") {
        join(subjects);
      }
    }
    if (!series.empty())
      info.series = Utf8ToUtf16(series) + (seriesIndex.empty() ? u"" : u" #" + Utf8ToUtf16(seriesIndex));
    info.subject = series.empty() ? subjects : info.series;
    for (const auto& [id, item] : manifest_)
      if (HasWord(item.properties, "cover-image")) coverId = id;
    if (const auto cover = manifest_.find(coverId);
        cover != manifest_.end() && entries_.contains(cover->second.entry))
      document_.cover = PictureAt(cover->second.entry, cover->second.mediaType);
  }

  std::optional<size_t> PictureAt(const std::string& entry, const std::string& mediaType = {}) {
    if (const auto known = pictureOf_.find(entry); known != pictureOf_.end()) return known->second;
    const std::optional<size_t> index =
        pictures_->AddOrLeaveOut(entry, entries_.at(entry), document_, mediaType);
    pictureOf_[entry] = index;
    return index;
  }

  // The book's own table of contents: the navigation document, else the NCX; empty when it has none.
  std::vector<NavEntry> Contents(const xmlNode* spine) {
    std::vector<NavEntry> toc;
    for (const auto& [id, item] : manifest_)
      if (HasWord(item.properties, "nav") && entries_.contains(item.entry)) {
        const XmlDocPtr nav = ParseHtml(runtime_, entries_.at(item.entry), fileName_, item.entry);
        NavList(NavElement(RootElement(nav.get())), item.entry, 1, toc);
        if (!toc.empty()) return toc;
      }
    std::string ncxId = AttributeOf(spine, "toc");
    if (!manifest_.contains(ncxId))
      for (const auto& [id, item] : manifest_)
        if (item.mediaType == "application/x-dtbncx+xml") ncxId = id;
    const auto ncx = manifest_.find(ncxId);
    if (ncx == manifest_.end() || !entries_.contains(ncx->second.entry)) return toc;
    const XmlDocPtr xml = ParseXml(runtime_, entries_.at(ncx->second.entry), fileName_, ncx->second.entry);
    NavPoints(ChildElement(RootElement(xml.get()), "navMap"), ncx->second.entry, 1, toc);
    return toc;
  }

  // The <nav epub:type="toc"> of a navigation document (its first <nav> when none says so).
  static const xmlNode* NavElement(const xmlNode* root) {
    const xmlNode* first = nullptr;
    std::vector<const xmlNode*> nodes = {root};
    while (!nodes.empty()) {
      const xmlNode* node = nodes.back();
      nodes.pop_back();
      if (IsElement(node, "nav")) {
        if (HasWord(AttributeOf(node, "type"), "toc")) return node;
        if (!first) first = node;
      }
      for (const xmlNode* c = node->last; c; c = c->prev)
        if (c->type == XML_ELEMENT_NODE) nodes.push_back(c);
    }
    return first;
  }

  static void NavList(const xmlNode* parent, const std::string& from, int level, std::vector<NavEntry>& toc) {
    const xmlNode* list = ChildElement(parent, "ol");
    if (!list) list = ChildElement(parent, "ul");
    for (const xmlNode* li = list ? list->children : nullptr; li; li = li->next) {
      if (!IsElement(li, "li")) continue;
      const xmlNode* link = ChildElement(li, "a");
      if (!link) link = ChildElement(li, "span");
      const std::string href = AttributeOf(link, "href");
      if (link && !href.empty())
        toc.push_back({level, TextOf(link), ResolveEntryName(from, href), FragmentOf(href)});
      NavList(li, from, level + 1, toc);
    }
  }

  static void NavPoints(const xmlNode* parent, const std::string& from, int level,
                        std::vector<NavEntry>& toc) {
    for (const xmlNode* point = parent ? parent->children : nullptr; point; point = point->next) {
      if (!IsElement(point, "navPoint")) continue;
      const std::string src = AttributeOf(ChildElement(point, "content"), "src");
      toc.push_back({level, TextOf(ChildElement(ChildElement(point, "navLabel"), "text")),
                     ResolveEntryName(from, src), FragmentOf(src)});
      NavPoints(point, from, level + 1, toc);
    }
  }

  // One page of the spine.
  void Page(const std::string& idref, bool headingEntries) {
    const auto item = manifest_.find(idref);
    if (item == manifest_.end()) {
      document_.warnings.push_back("the spine names \"" + idref +
                                   "\", which the package does not list: left out");
      return;
    }
    const std::string& entry = item->second.entry;
    // Books that split a page into parts name it once for each part ("page.xhtml#part2"): the page
    // is read once, at its first place in the spine.
    if (!pagesRead_.insert(entry).second) return;
    const std::string& bytes = Entry(entry, "a page of the spine");
    const size_t start = document_.blocks.size();
    anchors_[{entry, ""}] = start;
    document_.AddHeading(0, {});
    if (item->second.mediaType.starts_with("image/")) {
      if (const auto picture = PictureAt(entry, item->second.mediaType)) document_.AddPicture(*picture);
      return;
    }
    const XmlDocPtr page = ParseHtml(runtime_, bytes, fileName_, entry);
    ReadHtmlBody(*page, document_,
                 {.headingEntries = headingEntries,
                  .picture = [&](const std::string& reference) { return PageImage(entry, reference); },
                  .drawing = [&](std::string svg) { return Drawing(entry, std::move(svg)); },
                  .anchor =
                      [&](const std::string& id, size_t block) {
                        anchors_.try_emplace({entry, id}, block);
                      }});
    // A page that shows nothing but the cover picture is the cover, not a page of the book.
    const auto isPicture = [](const DocumentBlock& b) { return b.kind == DocumentBlock::Kind::kPicture; };
    const auto& blocks = document_.blocks;
    if (document_.cover && blocks.size() == start + 2 && isPicture(blocks.back()) &&
        blocks.back().picture == *document_.cover)
      document_.blocks.pop_back();
  }

  // A drawing made in a page, as a picture of the book; left out with a warning when no SVG decoder
  // is there.
  std::optional<size_t> Drawing(const std::string& page, std::string svg) {
    return pictures_->AddOrLeaveOut(page + ": drawing " + std::to_string(++drawings_), std::move(svg),
                                    document_, "image/svg+xml");
  }

  // The picture a page shows; a picture the book does not hold is left out with a warning, as one no
  // decoder reads is, and the rest of the book is read.
  std::optional<size_t> PageImage(const std::string& page, const std::string& reference) {
    const auto leftOut = [&](const std::string& why) -> std::optional<size_t> {
      document_.warnings.push_back(page + ": picture \"" + reference.substr(0, 80) + "\" " + why +
                                   ": left out");
      return std::nullopt;
    };
    if (reference.starts_with("http:") || reference.starts_with("https:") || reference.starts_with("data:"))
      return leftOut("is not inside the book");
    const std::string entry = ResolveEntryName(page, reference);
    if (entry.empty()) return leftOut("leads out of the book");
    if (!entries_.contains(entry)) return leftOut("is missing from the book");
    return PictureAt(entry);
  }

  // Puts the table of contents' entries before the blocks their links lead to.
  void PlaceContents(const std::vector<NavEntry>& toc) {
    if (toc.empty()) return;
    std::multimap<size_t, const NavEntry*> places;
    for (const NavEntry& e : toc) {
      auto at = anchors_.find({e.entry, e.fragment});
      if (at == anchors_.end()) at = anchors_.find({e.entry, ""});
      if (at == anchors_.end()) {
        document_.warnings.push_back("table of contents: \"" + Utf16ToUtf8(e.title) +
                                     "\" leads to no page of the book: left out");
        continue;
      }
      places.emplace(at->second, &e);
    }
    std::vector<DocumentBlock> blocks;
    blocks.reserve(document_.blocks.size() + places.size());
    auto place = places.begin();
    for (size_t i = 0; i <= document_.blocks.size(); ++i) {
      for (; place != places.end() && place->first == i; ++place)
        blocks.push_back(
            {DocumentBlock::Kind::kHeading, std::min(place->second->level, 3), place->second->title});
      if (i < document_.blocks.size()) blocks.push_back(std::move(document_.blocks[i]));
    }
    document_.blocks = std::move(blocks);
  }

  const Runtime& runtime_;
  const std::u16string& fileName_;
  Document document_;
  EncodedPictures* pictures_ = nullptr;  // owned by the document
  std::map<std::string, std::string> entries_;
  std::map<std::string, ManifestItem> manifest_;
  std::map<std::string, std::optional<size_t>> pictureOf_;
  int drawings_ = 0;  // the drawings made in pages so far, which name them
  std::map<std::pair<std::string, std::string>, size_t> anchors_;
  std::set<std::string> pagesRead_;
};

}  // namespace

Document ReadEpub(const Runtime& runtime, const std::u16string& fileName) {
  return EpubReader(runtime, fileName).Read();
}

Document ReadEpubBytes(const Runtime& runtime, std::string_view bytes, const std::u16string& fileName) {
  return EpubReader(runtime, fileName).Read(bytes);
}

}  // namespace bookloom
