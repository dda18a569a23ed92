#include "documents/OdtReader.h"

#include <algorithm>
#include <map>

#include "documents/Archive.h"
#include "documents/DocumentFlow.h"
#include "documents/Xml.h"
#include "documents/ZipPackage.h"
#include "platform/Utf.h"

namespace bookloom {

namespace {

// Generated indexes (a table of contents, a list of figures) repeat what the document holds, and
// the rest hold no text of the document.
constexpr std::string_view kSkipped[] = {
    "table-of-content",   "illustration-index", "table-index",     "object-index",  "user-index",
    "alphabetical-index", "bibliography",       "tracked-changes", "annotation",    "sequence-decls",
    "variable-decls",     "user-field-decls",   "forms",           "table-columns", "table-column"};

bool IsSkipped(const xmlNode* node) {
  for (const std::string_view name : kSkipped)
    if (IsElement(node, name)) return true;
  return false;
}

// How one level of a list style marks its items.
struct ListLevelStyle {
  bool numbered = false;
  char16_t bullet = u'\u2022';
  char format = '1';
  std::u16string prefix, suffix;
  int start = 1;
};

class OdtReader {
 public:
  OdtReader(const Runtime& runtime, const std::u16string& fileName)
      : runtime_(runtime), fileName_(fileName), package_(runtime, fileName) {
    auto pictures = std::make_unique<EncodedPictures>(runtime, fileName);
    pictures_ = pictures.get();
    document_.pictures = std::move(pictures);
  }

  Document Read() {
    if (const std::string* manifest = package_.Find("META-INF/manifest.xml");
        manifest && manifest->find("encryption-data") != std::string::npos)
      throw DocumentError(fileName_, "META-INF/manifest.xml",
                          "the document is encrypted with a password and cannot be read");
    const XmlDocPtr content =
        ParseXml(runtime_, package_.Entry("content.xml", "the document's text"), fileName_, "content.xml");
    if (const std::string* styles = package_.Find("styles.xml")) {
      const XmlDocPtr xml = ParseXml(runtime_, *styles, fileName_, "styles.xml");
      ReadStyles(RootElement(xml.get()));
    }
    ReadStyles(RootElement(content.get()));
    ReadMetadata();
    const xmlNode* body = ChildElement(RootElement(content.get()), "body");
    const xmlNode* text = ChildElement(body, "text");
    if (!text) throw DocumentError(fileName_, "content.xml", "the document has no <office:text>");
    Blocks(text);
    flow_.Finish();
    return std::move(document_);
  }

 private:
  // The paragraph and list styles of office:styles and office:automatic-styles.
  void ReadStyles(const xmlNode* root) {
    for (const xmlNode* group = root->children; group; group = group->next) {
      if (!IsElement(group, "styles") && !IsElement(group, "automatic-styles")) continue;
      for (const xmlNode* s = group->children; s; s = s->next) {
        const std::string name = AttributeOf(s, "name");
        if (IsElement(s, "style")) {
          Style& style = styles_[name];
          style.parent = AttributeOf(s, "parent-style-name");
          style.displayName = AttributeOf(s, "display-name");
          style.outline = NumberOr(AttributeOf(s, "default-outline-level"), 0);
        } else if (IsElement(s, "list-style")) {
          ReadListStyle(s, listStyles_[name]);
        }
      }
    }
  }

  static void ReadListStyle(const xmlNode* style, std::map<int, ListLevelStyle>& levels) {
    for (const xmlNode* l = style->children; l; l = l->next) {
      ListLevelStyle& level = levels[NumberOr(AttributeOf(l, "level"), 1)];
      if (IsElement(l, "list-level-style-number")) {
        const std::string format = AttributeOf(l, "num-format");
        level.numbered = !format.empty();
        level.format = format.empty() ? '1' : format[0];
        level.prefix = Utf8ToUtf16(AttributeOf(l, "num-prefix"));
        level.suffix = Utf8ToUtf16(AttributeOf(l, "num-suffix"));
        level.start = NumberOr(AttributeOf(l, "start-value"), 1);
      } else if (IsElement(l, "list-level-style-bullet")) {
        const std::u16string bullet = Utf8ToUtf16(AttributeOf(l, "bullet-char"));
        // Bullets of symbol fonts lie in the private use area and stand for a plain bullet.
        if (!bullet.empty() && (bullet[0] < u'\uE000' || bullet[0] > u'\uF8FF')) level.bullet = bullet[0];
      }
    }
  }

  // The outline level of a paragraph style, its own or its parents' ("Heading 2" is level 2); 0 for
  // body text.
  int StyleOutline(std::string name) const {
    for (int depth = 0; depth < 16; ++depth) {
      const auto style = styles_.find(name);
      if (style != styles_.end() && style->second.outline > 0) return style->second.outline;
      const std::string shown =
          style != styles_.end() && !style->second.displayName.empty() ? style->second.displayName : name;
      for (const std::string prefix : {"Heading_20_", "Heading "})
        if (shown.starts_with(prefix)) return NumberOr(shown.substr(prefix.size()), 0);
      if (style == styles_.end()) return 0;
      name = style->second.parent;
    }
    return 0;
  }

  void ReadMetadata() {
    const std::string* meta = package_.Find("meta.xml");
    if (!meta) return;
    const XmlDocPtr xml = ParseXml(runtime_, *meta, fileName_, "meta.xml");
    DocumentInfo& info = document_.info;
    const xmlNode* fields = ChildElement(RootElement(xml.get()), "meta");
    for (const xmlNode* m = fields ? fields->children : nullptr; m; m = m->next) {
      const std::string_view name = LocalName(m);
      if (name == "title") info.title = TextOf(m);
      if (name == "creator" || (name == "initial-creator" && info.author.empty())) info.author = TextOf(m);
      if (name == "subject") info.subject = TextOf(m);
      if (name == "description") info.annotation = TextOf(m);
    }
  }

  void Blocks(const xmlNode* parent) {
    for (const xmlNode* c = parent->children; c; c = c->next) Block(c);
  }

  void Block(const xmlNode* node) {
    if (node->type != XML_ELEMENT_NODE || IsSkipped(node)) return;
    if (IsElement(node, "h")) {
      Inline(node);
      flow_.EndHeading(NumberOr(AttributeOf(node, "outline-level"), 1));
    } else if (IsElement(node, "p")) {
      Inline(node);
      if (const int outline = StyleOutline(AttributeOf(node, "style-name")); outline > 0)
        flow_.EndHeading(outline);
      else
        flow_.EndParagraph();
    } else if (IsElement(node, "list")) {
      List(node, AttributeOf(node, "style-name"), 1);
    } else if (IsElement(node, "frame")) {
      Frame(node);
    } else {
      Blocks(node);  // sections, tables, rows, cells
    }
  }

  // A list and the lists inside it: each item's first paragraph starts with the item's mark.
  void List(const xmlNode* list, std::string styleName, int level) {
    if (const std::string own = AttributeOf(list, "style-name"); !own.empty()) styleName = own;
    const ListLevelStyle& style = listStyles_[styleName][level];
    int number = NumberOr(AttributeOf(list, "start-value"), style.start);
    for (const xmlNode* item = list->children; item; item = item->next) {
      if (!IsElement(item, "list-item") && !IsElement(item, "list-header")) continue;
      bool marked = IsElement(item, "list-header");
      for (const xmlNode* c = item->children; c; c = c->next) {
        if (IsElement(c, "list")) {
          List(c, styleName, level + 1);
          continue;
        }
        if (!marked && (IsElement(c, "p") || IsElement(c, "h"))) {
          flow_.Text(style.numbered ? style.prefix + ListNumber(number, style.format) + style.suffix + u" "
                                    : std::u16string(1, style.bullet) + u" ");
          marked = true;
        }
        Block(c);
      }
      if (IsElement(item, "list-item")) ++number;
    }
  }

  // The text of a paragraph or heading: spans, links, spaces, notes and pictures.
  void Inline(const xmlNode* parent) {
    for (const xmlNode* c = parent->children; c; c = c->next) {
      if (c->type == XML_TEXT_NODE && c->content) {
        flow_.Text(Utf8ToUtf16(reinterpret_cast<const char*>(c->content)));
      } else if (c->type != XML_ELEMENT_NODE || IsSkipped(c)) {
      } else if (IsElement(c, "s")) {
        flow_.Text(std::u16string(std::clamp(NumberOr(AttributeOf(c, "c"), 1), 1, 1000), u' '));
      } else if (IsElement(c, "tab")) {
        flow_.Text(u" ");
      } else if (IsElement(c, "line-break")) {
        flow_.EndParagraph();
      } else if (IsElement(c, "note")) {
        Note(c);
      } else if (IsElement(c, "frame")) {
        Frame(c);
      } else {
        Inline(c);
      }
    }
  }

  void Note(const xmlNode* note) {
    std::vector<std::u16string> paragraphs;
    const xmlNode* body = ChildElement(note, "note-body");
    for (const xmlNode* p = body ? body->children : nullptr; p; p = p->next)
      if (p->type == XML_ELEMENT_NODE) paragraphs.push_back(TextOf(p));
    std::u16string mark = TextOf(ChildElement(note, "note-citation"));
    if (mark.empty()) mark = Utf8ToUtf16(std::to_string(++noteCount_));
    flow_.Note(mark, std::move(paragraphs));
  }

  // A frame's picture (a drawing's replacement picture when it has nothing better), or the
  // paragraphs of its text box.
  void Frame(const xmlNode* frame) {
    for (const xmlNode* c = frame->children; c; c = c->next) {
      if (IsElement(c, "image")) {
        const std::string entry = ResolveEntryName("", AttributeOf(c, "href"));
        if (entry.empty() || !package_.Find(entry)) continue;
        if (const std::optional<size_t> picture = package_.Picture(entry, *pictures_, document_)) {
          flow_.Picture(*picture);
          return;
        }
      } else if (IsElement(c, "text-box")) {
        flow_.EndParagraph();
        Blocks(c);
        return;
      }
    }
  }

  struct Style {
    std::string parent;
    std::string displayName;
    int outline = 0;
  };

  const Runtime& runtime_;
  std::u16string fileName_;
  ZipPackage package_;
  Document document_;
  EncodedPictures* pictures_;
  DocumentFlow flow_{document_};
  std::map<std::string, Style> styles_;
  std::map<std::string, std::map<int, ListLevelStyle>> listStyles_;
  int noteCount_ = 0;
};

}  // namespace

Document ReadOdt(const Runtime& runtime, const std::u16string& fileName) {
  return OdtReader(runtime, fileName).Read();
}

}  // namespace bookloom
