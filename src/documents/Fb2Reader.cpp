#include "documents/Fb2Reader.h"

#include <algorithm>
#include <map>
#include <optional>
#include <utility>

#include "documents/Archive.h"
#include "documents/Xml.h"
#include "platform/FileSys.h"
#include "platform/Utf.h"
#include "text/TextFile.h"

namespace bookloom {

namespace {

// The paragraphs under a node (an annotation's), each a line of the text.
void AddLines(const xmlNode* node, std::u16string& text) {
  for (const xmlNode* c = node ? node->children : nullptr; c; c = c->next) {
    if (c->type != XML_ELEMENT_NODE) continue;
    const std::string_view name = LocalName(c);
    if (name != "p" && name != "v" && name != "subtitle" && name != "text-author") {
      AddLines(c, text);
      continue;
    }
    const std::u16string line = TextOf(c);
    if (!line.empty()) text += (text.empty() ? u"" : u"\n") + line;
  }
}

// "First Middle Last" of an <author> or <translator>, or its nickname when it has no names.
std::u16string PersonName(const xmlNode* person) {
  std::u16string name;
  for (const char* part : {"first-name", "middle-name", "last-name"}) {
    const std::u16string text = TextOf(ChildElement(person, part));
    if (!text.empty()) name += (name.empty() ? u"" : u" ") + text;
  }
  return name.empty() ? TextOf(ChildElement(person, "nickname")) : name;
}

// Every person of that element under `info`, joined by ", ".
std::u16string People(const xmlNode* info, std::string_view element) {
  std::u16string people;
  for (const xmlNode* c = info ? info->children : nullptr; c; c = c->next) {
    if (!IsElement(c, element)) continue;
    const std::u16string name = PersonName(c);
    if (!name.empty()) people += (people.empty() ? u"" : u", ") + name;
  }
  return people;
}

class Fb2Reader {
 public:
  Fb2Reader(const Runtime& runtime, const std::u16string& fileName, Document& document)
      : fileName_(fileName), document_(document) {
    auto pictures = std::make_unique<EncodedPictures>(runtime, fileName);
    pictures_ = pictures.get();
    document_.pictures = std::move(pictures);
  }

  void Read(const xmlNode* root) {
    if (!IsElement(root, "FictionBook"))
      throw DocumentError(fileName_, "",
                          Format("not an FB2 book: its root is <%s>", {std::string(LocalName(root))}));
    for (const xmlNode* c = root->children; c; c = c->next)
      if (IsElement(c, "binary")) binaries_[AttributeOf(c, "id")] = c;
    Description(ChildElement(root, "description"));
    std::vector<const xmlNode*> notes;
    for (const xmlNode* c = root->children; c; c = c->next) {
      if (!IsElement(c, "body")) continue;
      const std::string name = AttributeOf(c, "name");
      if (name == "notes" || name == "comments")
        notes.push_back(c);
      else
        Body(c);
    }
    for (const xmlNode* body : notes) Notes(body);
  }

 private:
  void Description(const xmlNode* description) {
    const xmlNode* title = ChildElement(description, "title-info");
    const xmlNode* publish = ChildElement(description, "publish-info");
    DocumentInfo& info = document_.info;
    info.title = TextOf(ChildElement(title, "book-title"));
    info.author = People(title, "author");
    info.translator = People(title, "translator");
    info.publisher = TextOf(ChildElement(publish, "publisher"));
    info.publishTime = TextOf(ChildElement(publish, "year"));
    if (info.publishTime.empty()) info.publishTime = TextOf(ChildElement(title, "date"));
    info.isbn = TextOf(ChildElement(publish, "isbn"));
    if (const xmlNode* sequence = ChildElement(title, "sequence")) {
      info.subject = Utf8ToUtf16(AttributeOf(sequence, "name"));
      if (const std::string number = AttributeOf(sequence, "number"); !number.empty())
        info.subject += u" #" + Utf8ToUtf16(number);
      info.series = info.subject;
    }
    if (info.subject.empty()) info.subject = TextOf(ChildElement(title, "keywords"));
    AddLines(ChildElement(title, "annotation"), info.annotation);
    if (const xmlNode* cover = ChildElement(title, "coverpage"))
      for (const xmlNode* c = cover->children; c; c = c->next)
        if (IsElement(c, "image")) {
          document_.cover = PictureOf(c);
          if (document_.cover) break;
        }
  }

  void Body(const xmlNode* body) {
    for (const xmlNode* c = body->children; c; c = c->next) {
      if (IsElement(c, "section"))
        Section(c, 1);
      else
        Content(c, c->next);
    }
  }

  // The notes as one last chapter: its title, then each note's title and text as paragraphs.
  void Notes(const xmlNode* body) {
    std::u16string title = Title(ChildElement(body, "title"));
    document_.AddHeading(1, title.empty() ? u"Notes" : title);
    if (title.empty()) document_.AddParagraph(u"Notes");
    for (const xmlNode* c = body->children; c; c = c->next) {
      if (IsElement(c, "section"))
        Content(c->children);
      else
        Content(c, c->next);
    }
  }

  void Section(const xmlNode* section, int depth) {
    document_.AddHeading(std::min(depth, 3), Title(ChildElement(section, "title")));
    for (const xmlNode* c = section->children; c; c = c->next) {
      if (IsElement(c, "section"))
        Section(c, depth + 1);
      else
        Content(c, c->next);
    }
  }

  // A <title>'s lines joined into one line, for the table of contents.
  static std::u16string Title(const xmlNode* title) {
    std::u16string text;
    for (const xmlNode* c = title ? title->children : nullptr; c; c = c->next) {
      const std::u16string line = TextOf(c);
      if (c->type == XML_ELEMENT_NODE && !line.empty()) text += (text.empty() ? u"" : u" ") + line;
    }
    return text.empty() ? TextOf(title) : text;
  }

  // The elements from `node` up to `end` in reading order.
  void Content(const xmlNode* node, const xmlNode* end = nullptr) {
    for (; node && node != end; node = node->next) {
      if (node->type != XML_ELEMENT_NODE) continue;
      const std::string_view name = LocalName(node);
      if (name == "p" || name == "subtitle" || name == "text-author" || name == "v" || name == "date") {
        Paragraph(node);
      } else if (name == "empty-line") {
        document_.AddParagraph({}, true);
      } else if (name == "image") {
        if (const auto picture = PictureOf(node)) document_.AddPicture(*picture);
      } else if (name == "stanza") {
        if (stanzas_++ > 0) document_.AddParagraph({}, true);  // a blank line between stanzas
        Content(node->children);
      } else if (name == "poem") {
        const int outer = std::exchange(stanzas_, 0);
        Content(node->children);
        stanzas_ = outer;
      } else if (name == "tr") {
        std::u16string row;
        for (const xmlNode* cell = node->children; cell; cell = cell->next)
          if (cell->type == XML_ELEMENT_NODE) row += (row.empty() ? u"" : u" | ") + TextOf(cell);
        document_.AddParagraph(std::move(row));
      } else if (name != "binary") {
        // title, epigraph, cite, annotation, table and whatever else holds the above.
        Content(node->children);
      }
    }
  }

  // One paragraph; pictures inside it follow it.
  void Paragraph(const xmlNode* node) {
    document_.AddParagraph(TextOf(node));
    for (const xmlNode* c = node->children; c; c = c->next)
      if (IsElement(c, "image"))
        if (const auto picture = PictureOf(c)) document_.AddPicture(*picture);
  }

  // The picture an <image> shows, added to the document's pictures on its first use.
  std::optional<size_t> PictureOf(const xmlNode* image) {
    const std::string href = AttributeOf(image, "href");
    if (!href.starts_with("#")) {
      document_.warnings.push_back("picture \"" + href + "\" is not inside the book: left out");
      return std::nullopt;
    }
    const std::string id = href.substr(1);
    if (const auto known = used_.find(id); known != used_.end()) return known->second;
    const auto binary = binaries_.find(id);
    if (binary == binaries_.end())
      throw DocumentError(fileName_, "picture \"" + href + "\"", "the book has no <binary> of that id");
    std::string raw;
    for (const xmlNode* t = binary->second->children; t; t = t->next)
      if (t->type == XML_TEXT_NODE && t->content) raw += reinterpret_cast<const char*>(t->content);
    const std::optional<size_t> index =
        pictures_->Add(Utf8ToUtf16(id), DecodeBase64(raw), AttributeOf(binary->second, "content-type"));
    if (!index)
      document_.warnings.push_back("picture \"" + href +
                                   "\": no decoder reads this kind of picture: left out");
    used_[id] = index;
    return index;
  }

  const std::u16string& fileName_;
  Document& document_;
  EncodedPictures* pictures_ = nullptr;  // owned by the document
  std::map<std::string, const xmlNode*> binaries_;
  std::map<std::string, std::optional<size_t>> used_;
  int stanzas_ = 0;
};

// The length of the reference to a control character at the start of the text ("&#7;", "&#x1B;"),
// which XML refuses as it refuses the character; 0 when the text starts with none.
size_t ControlReferenceLength(std::string_view text) {
  if (!text.starts_with("&#")) return 0;
  const bool hex = text.size() > 2 && (text[2] == 'x' || text[2] == 'X');
  const int base = hex ? 16 : 10;
  uint32_t value = 0;
  size_t i = hex ? 3 : 2;
  for (; i < text.size() && i < 12; ++i) {
    const char c = static_cast<char>(text[i] | 0x20);  // a hex digit in lower case
    const int digit = c >= '0' && c <= '9' ? c - '0' : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
    if (digit < 0) break;
    value = value * base + static_cast<uint32_t>(digit);
  }
  const bool number = i > (hex ? 3u : 2u) && i < text.size() && text[i] == ';';
  return number && IsControlChar(value) ? i + 1 : 0;
}

// The bytes of a book in a single-byte or UTF-8 encoding without its control characters, written
// out or as references, which XML refuses and a book has no use for; nullopt when it holds none. A
// book in UTF-16 (its text holds zero bytes) is left as it is.
std::optional<std::string> WithoutControlBytes(std::string_view bytes, LeftOutControls& controls) {
  if (bytes.find('\0') != std::string_view::npos) return std::nullopt;
  std::string kept;
  size_t line = 1, copied = 0;
  for (size_t i = 0; i < bytes.size(); ++i) {
    line += bytes[i] == '\n';
    const size_t length = bytes[i] == '&' ? ControlReferenceLength(bytes.substr(i))
                          : IsControlChar(static_cast<unsigned char>(bytes[i])) ? 1
                                                                                : 0;
    if (length == 0) continue;
    if (controls.count++ == 0) controls.firstLine = line;
    kept.append(bytes, copied, i - copied);
    copied = i + length;
    i = copied - 1;
  }
  if (controls.count == 0) return std::nullopt;
  kept.append(bytes, copied);
  return kept;
}

}  // namespace

Document ReadFb2(const Runtime& runtime, std::string_view bytes, const std::u16string& fileName) {
  LeftOutControls controls;
  const std::optional<std::string> kept = WithoutControlBytes(bytes, controls);
  const XmlDocPtr xml = ParseXml(runtime, kept ? *kept : bytes, fileName, "");
  Document document;
  Fb2Reader(runtime, fileName, document).Read(RootElement(xml.get()));
  if (controls.count > 0) document.warnings.push_back(DescribeControls(controls));
  return document;
}

Document ReadFb2File(const Runtime& runtime, const std::u16string& fileName) {
  const std::string bytes = ReadFileBytes(fileName);
  if (!bytes.starts_with("PK\x03\x04")) return ReadFb2(runtime, bytes, fileName);
  ArchiveReader archive(runtime, std::string_view(bytes), fileName);
  while (archive.Next()) {
    std::string name = archive.Name();
    std::transform(name.begin(), name.end(), name.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; });
    if (name.ends_with(".fb2"))
      return ReadFb2(runtime, archive.Read(), fileName + u": " + Utf8ToUtf16(archive.Name()));
  }
  throw DocumentError(fileName, "", "the archive holds no .fb2 book");
}

}  // namespace bookloom
