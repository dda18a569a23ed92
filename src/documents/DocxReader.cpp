#include "documents/DocxReader.h"

#include <array>
#include <map>

#include "documents/Archive.h"
#include "documents/DocumentFlow.h"
#include "documents/Xml.h"
#include "documents/ZipPackage.h"
#include "platform/Utf.h"

namespace bookloom {

namespace {

constexpr int kNoOutline = -1;
constexpr int kListLevels = 9;

// One level of a numbered or bulleted list: its first number, how numbers look, and the mark's
// pattern ("%1.", "%1.%2)", a bullet).
struct ListLevel {
  int start = 1;
  std::string format = "decimal";
  std::u16string text;
};

struct ParagraphStyle {
  std::string basedOn;
  std::string name;
  int outline = kNoOutline;
};

// The "val" attribute of the child element of that name, "" when there is none.
std::string ValueOf(const xmlNode* node, std::string_view child) {
  return AttributeOf(ChildElement(node, child), "val");
}

// What a paragraph holds that is not its text: its properties, deleted and moved-away text, field
// codes, and the copy of a drawing kept for programs that cannot show it.
bool IsSkippedRun(const xmlNode* node) {
  for (const std::string_view name : {"pPr", "rPr", "del", "delText", "moveFrom", "instrText", "Fallback"})
    if (IsElement(node, name)) return true;
  return false;
}

// The style that heading styles are named by in every language's template: "heading 1" to "heading 9".
int OutlineOfName(std::string name) {
  for (char& c : name) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  if (name.size() == 9 && name.starts_with("heading ") && name[8] >= '1' && name[8] <= '9')
    return name[8] - '1';
  return kNoOutline;
}

char NumberStyle(const std::string& format) {
  if (format == "lowerLetter") return 'a';
  if (format == "upperLetter") return 'A';
  if (format == "lowerRoman") return 'i';
  if (format == "upperRoman") return 'I';
  return '1';
}

// A bullet as the reader can show it: Word's bullets of the Symbol and Wingdings fonts lie in the
// private use area, and stand for a plain bullet.
std::u16string BulletOf(const std::u16string& text) {
  if (text.empty() || (text[0] >= u'\uE000' && text[0] <= u'\uF8FF')) return u"\u2022";
  return text;
}

class DocxReader {
 public:
  DocxReader(const Runtime& runtime, const std::u16string& fileName)
      : runtime_(runtime), fileName_(fileName), package_(runtime, fileName) {
    auto pictures = std::make_unique<EncodedPictures>(runtime, fileName);
    pictures_ = pictures.get();
    document_.pictures = std::move(pictures);
  }

  Document Read() {
    const std::string mainName = MainPart();
    const XmlDocPtr main =
        ParseXml(runtime_, package_.Entry(mainName, "the document's text"), fileName_, mainName);
    ReadRelationships(mainName);
    ReadStyles(ResolveEntryName(mainName, "styles.xml"));
    ReadNumbering(ResolveEntryName(mainName, "numbering.xml"));
    ReadNotes(ResolveEntryName(mainName, "footnotes.xml"), "footnote", footnotes_);
    ReadNotes(ResolveEntryName(mainName, "endnotes.xml"), "endnote", endnotes_);
    ReadProperties();
    const xmlNode* body = ChildElement(RootElement(main.get()), "body");
    if (!body) throw DocumentError(fileName_, mainName, "the document has no <w:body>");
    Blocks(body);
    flow_.Finish();
    return std::move(document_);
  }

 private:
  // The main part as the package's relationships name it; "word/document.xml" as every writer has it.
  std::string MainPart() const {
    const std::string* rels = package_.Find("_rels/.rels");
    if (rels) {
      const XmlDocPtr xml = ParseXml(runtime_, *rels, fileName_, "_rels/.rels");
      for (const xmlNode* c = RootElement(xml.get())->children; c; c = c->next)
        if (IsElement(c, "Relationship") && AttributeOf(c, "Type").ends_with("/officeDocument"))
          if (std::string name = ResolveEntryName("", AttributeOf(c, "Target")); !name.empty()) return name;
    }
    return "word/document.xml";
  }

  // A part that the document may lack (styles, numbering, notes); null when it does.
  XmlDocPtr OptionalPart(const std::string& name) const {
    const std::string* bytes = package_.Find(name);
    return bytes ? ParseXml(runtime_, *bytes, fileName_, name) : nullptr;
  }

  void ReadRelationships(const std::string& mainName) {
    const size_t slash = mainName.rfind('/') + 1;  // 0 without a folder
    const std::string relsName = mainName.substr(0, slash) + "_rels/" + mainName.substr(slash) + ".rels";
    const XmlDocPtr xml = OptionalPart(relsName);
    for (const xmlNode* c = xml ? RootElement(xml.get())->children : nullptr; c; c = c->next)
      if (IsElement(c, "Relationship") && AttributeOf(c, "TargetMode") != "External")
        targets_[AttributeOf(c, "Id")] = ResolveEntryName(mainName, AttributeOf(c, "Target"));
  }

  void ReadStyles(const std::string& name) {
    const XmlDocPtr xml = OptionalPart(name);
    for (const xmlNode* c = xml ? RootElement(xml.get())->children : nullptr; c; c = c->next)
      if (IsElement(c, "style") && AttributeOf(c, "type") == "paragraph")
        styles_[AttributeOf(c, "styleId")] = {
            ValueOf(c, "basedOn"), ValueOf(c, "name"),
            NumberOr(ValueOf(ChildElement(c, "pPr"), "outlineLvl"), kNoOutline)};
  }

  // The outline level of a style, its own or that of the styles it is based on.
  int StyleOutline(std::string id) const {
    for (int depth = 0; depth < 16; ++depth) {
      const auto style = styles_.find(id);
      if (style == styles_.end()) return kNoOutline;
      if (style->second.outline != kNoOutline) return style->second.outline;
      if (const int byName = OutlineOfName(style->second.name); byName != kNoOutline) return byName;
      id = style->second.basedOn;
    }
    return kNoOutline;
  }

  void ReadNumbering(const std::string& name) {
    const XmlDocPtr xml = OptionalPart(name);
    if (!xml) return;
    std::map<std::string, std::array<ListLevel, kListLevels>> abstracts;
    for (const xmlNode* c = RootElement(xml.get())->children; c; c = c->next) {
      if (!IsElement(c, "abstractNum")) continue;
      auto& levels = abstracts[AttributeOf(c, "abstractNumId")];
      for (const xmlNode* l = c->children; l; l = l->next) {
        const int level = NumberOr(AttributeOf(l, "ilvl"), -1);
        if (!IsElement(l, "lvl") || level < 0 || level >= kListLevels) continue;
        levels[level] = {NumberOr(ValueOf(l, "start"), 1), ValueOf(l, "numFmt"),
                         Utf8ToUtf16(ValueOf(l, "lvlText"))};
      }
    }
    for (const xmlNode* c = RootElement(xml.get())->children; c; c = c->next)
      if (IsElement(c, "num"))
        if (const auto levels = abstracts.find(ValueOf(c, "abstractNumId")); levels != abstracts.end())
          lists_[AttributeOf(c, "numId")].levels = levels->second;
  }

  void ReadNotes(const std::string& name, std::string_view element,
                 std::map<std::string, std::vector<std::u16string>>& notes) {
    const XmlDocPtr xml = OptionalPart(name);
    for (const xmlNode* c = xml ? RootElement(xml.get())->children : nullptr; c; c = c->next) {
      if (!IsElement(c, element) || !AttributeOf(c, "type").empty()) continue;  // separators have a type
      std::vector<std::u16string>& paragraphs = notes[AttributeOf(c, "id")];
      for (const xmlNode* p = c->children; p; p = p->next)
        if (IsElement(p, "p")) paragraphs.push_back(PlainText(p));
    }
  }

  void ReadProperties() {
    const XmlDocPtr xml = OptionalPart("docProps/core.xml");
    DocumentInfo& info = document_.info;
    for (const xmlNode* c = xml ? RootElement(xml.get())->children : nullptr; c; c = c->next) {
      const std::string_view name = LocalName(c);
      if (name == "title") info.title = TextOf(c);
      if (name == "creator") info.author = TextOf(c);
      if (name == "subject") info.subject = TextOf(c);
      if (name == "description") info.annotation = TextOf(c);
    }
  }

  void Blocks(const xmlNode* parent) {
    for (const xmlNode* c = parent->children; c; c = c->next) {
      if (IsElement(c, "p"))
        Paragraph(c);
      else if (IsElement(c, "tbl") || IsElement(c, "tr") || IsElement(c, "tc") || IsElement(c, "sdt") ||
               IsElement(c, "sdtContent") || IsElement(c, "customXml"))
        Blocks(c);
    }
  }

  void Paragraph(const xmlNode* p) {
    const xmlNode* properties = ChildElement(p, "pPr");
    int outline = NumberOr(ValueOf(properties, "outlineLvl"), kNoOutline);
    if (outline == kNoOutline) outline = StyleOutline(ValueOf(properties, "pStyle"));
    if (const xmlNode* numbering = ChildElement(properties, "numPr"))
      flow_.Text(ListMark(ValueOf(numbering, "numId"), NumberOr(ValueOf(numbering, "ilvl"), 0)));
    Runs(p);
    // Outline level 9 is body text.
    if (outline >= 0 && outline < kListLevels)
      flow_.EndHeading(outline + 1);
    else
      flow_.EndParagraph();
  }

  // The mark of the next item of a list at that level ("3. ", "b) ", "• "); the levels below restart.
  std::u16string ListMark(const std::string& numId, int level) {
    const auto list = lists_.find(numId);
    if (list == lists_.end() || level < 0 || level >= kListLevels) return {};
    List& l = list->second;
    l.counters[level] = l.counters[level] == 0 ? l.levels[level].start : l.counters[level] + 1;
    for (int below = level + 1; below < kListLevels; ++below) l.counters[below] = 0;
    const ListLevel& shown = l.levels[level];
    if (shown.format == "none") return {};
    if (shown.format == "bullet") return BulletOf(shown.text) + u" ";
    std::u16string mark;
    for (size_t i = 0; i < shown.text.size(); ++i) {
      const char16_t c = shown.text[i];
      if (c == u'%' && i + 1 < shown.text.size() && shown.text[i + 1] >= u'1' && shown.text[i + 1] <= u'9') {
        const int of = shown.text[++i] - u'1';
        mark += ListNumber(std::max(l.counters[of], l.levels[of].start), NumberStyle(l.levels[of].format));
      } else {
        mark += c;
      }
    }
    return mark + u" ";
  }

  // The runs of a paragraph, hyperlink, insertion or field: text, tabs and breaks, pictures and notes.
  void Runs(const xmlNode* parent) {
    for (const xmlNode* c = parent->children; c; c = c->next) {
      if (c->type != XML_ELEMENT_NODE || IsSkippedRun(c)) continue;
      if (IsElement(c, "t")) {
        flow_.Text(RawTextOf(c));
      } else if (IsElement(c, "tab") || IsElement(c, "noBreakHyphen") || IsElement(c, "softHyphen")) {
        flow_.Text(IsElement(c, "tab") ? u" " : IsElement(c, "noBreakHyphen") ? u"-" : u"");
      } else if (IsElement(c, "br") || IsElement(c, "cr")) {
        flow_.EndParagraph();
      } else if (IsElement(c, "drawing") || IsElement(c, "pict") || IsElement(c, "object")) {
        Pictures(c);
      } else if (IsElement(c, "footnoteReference") || IsElement(c, "endnoteReference")) {
        NoteReference(c);
      } else {
        Runs(c);
      }
    }
  }

  // The pictures a drawing shows: a:blip r:embed, or v:imagedata r:id in older documents.
  void Pictures(const xmlNode* node) {
    for (const xmlNode* c = node->children; c; c = c->next) {
      if (IsElement(c, "Fallback")) continue;
      std::string id;
      if (IsElement(c, "blip")) id = AttributeOf(c, "embed");
      if (IsElement(c, "imagedata")) id = AttributeOf(c, "id");
      const auto target = targets_.find(id);
      if (target != targets_.end()) {
        if (const std::optional<size_t> picture = package_.Picture(target->second, *pictures_, document_))
          flow_.Picture(*picture);
      }
      Pictures(c);
    }
  }

  void NoteReference(const xmlNode* reference) {
    auto& notes = IsElement(reference, "footnoteReference") ? footnotes_ : endnotes_;
    const auto note = notes.find(AttributeOf(reference, "id"));
    if (note == notes.end()) return;
    flow_.Note(Utf8ToUtf16(std::to_string(++noteCount_)), note->second);
  }

  // A note's paragraph as plain text.
  std::u16string PlainText(const xmlNode* p) {
    std::u16string text;
    for (const xmlNode* c = p->children; c; c = c->next) {
      if (IsElement(c, "t")) text += RawTextOf(c);
      if (IsElement(c, "tab")) text += u' ';
      if (c->type == XML_ELEMENT_NODE && !IsElement(c, "t") && !IsSkippedRun(c)) text += PlainText(c);
    }
    return text;
  }

  struct List {
    std::array<ListLevel, kListLevels> levels;
    std::array<int, kListLevels> counters{};  // 0 before a level's first item
  };

  const Runtime& runtime_;
  std::u16string fileName_;
  ZipPackage package_;
  Document document_;
  EncodedPictures* pictures_;
  DocumentFlow flow_{document_};
  std::map<std::string, std::string> targets_;  // relationship id → entry
  std::map<std::string, ParagraphStyle> styles_;
  std::map<std::string, List> lists_;  // numId → its levels and counters
  std::map<std::string, std::vector<std::u16string>> footnotes_, endnotes_;
  int noteCount_ = 0;
};

}  // namespace

Document ReadDocx(const Runtime& runtime, const std::u16string& fileName) {
  return DocxReader(runtime, fileName).Read();
}

}  // namespace bookloom
