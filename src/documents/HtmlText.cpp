#include "documents/HtmlText.h"

#include <algorithm>
#include <cstdlib>
#include <span>
#include <utility>
#include <vector>

#include "documents/Xml.h"
#include "platform/Utf.h"

namespace bookloom {

namespace {

// Elements that end the paragraph before them and start a new one.
constexpr std::string_view kBlockElements[] = {
    "p",      "div",    "li",  "blockquote", "pre",        "br",      "hr",      "ul",      "ol",
    "dl",     "dt",     "dd",  "table",      "tr",         "caption", "section", "article", "aside",
    "header", "footer", "nav", "figure",     "figcaption", "address", "center",  "main",    "body",
    "h1",     "h2",     "h3",  "h4",         "h5",         "h6"};

// Elements whose content is not part of the text.
constexpr std::string_view kSkipped[] = {"head", "script", "style", "noscript", "template", "title"};

// Whether an SVG element shows a picture (an <image> inside it): then it is that picture, not a drawing.
bool HasImage(const xmlNode* node) {
  for (const xmlNode* c = node->children; c; c = c->next)
    if (IsElement(c, "image") || HasImage(c)) return true;
  return false;
}

bool IsOneOf(const xmlNode* node, std::span<const std::string_view> names) {
  return std::any_of(names.begin(), names.end(), [&](std::string_view n) { return IsElement(node, n); });
}

int HeadingRank(const xmlNode* node) {
  static constexpr std::string_view kHeadings[] = {"h1", "h2", "h3", "h4", "h5", "h6"};
  for (int i = 0; i < 6; ++i)
    if (IsElement(node, kHeadings[i])) return i + 1;
  return 0;
}

class HtmlWalker {
 public:
  HtmlWalker(Document& document, const HtmlReading& reading) : document_(document), reading_(reading) {}

  void Walk(const xmlNode* node) {
    for (; node; node = node->next) Visit(node);
  }

  void Flush() {
    if (preformatted_ > 0) {
      // Each line of preformatted text is a paragraph of its own, its blanks kept.
      size_t start = 0;
      while (start <= text_.size()) {
        size_t end = text_.find(u'\n', start);
        if (end == std::u16string::npos) end = text_.size();
        std::u16string line = text_.substr(start, end - start);
        while (!line.empty() && (line.back() == u'\r' || line.back() == u' ' || line.back() == u'\t'))
          line.pop_back();
        if (!line.empty() || end < text_.size()) document_.AddParagraph(std::move(line), true);
        start = end + 1;
      }
    } else {
      std::u16string paragraph = CollapseSpaces(text_);
      // A list item's bullet or number goes before its first text, however deep inside it that is.
      if (!paragraph.empty() && !marker_.empty()) paragraph.insert(0, std::exchange(marker_, {}));
      document_.AddParagraph(std::move(paragraph));
    }
    text_.clear();
  }

 private:
  void Visit(const xmlNode* node) {
    switch (node->type) {
      case XML_TEXT_NODE:
      case XML_CDATA_SECTION_NODE:
        if (node->content) text_ += Utf8ToUtf16(reinterpret_cast<const char*>(node->content));
        return;
      case XML_ELEMENT_NODE:
        break;
      default:
        return;
    }
    if (IsOneOf(node, kSkipped) || IsHidden(node) || IsBackLink(node)) return;
    const int rank = HeadingRank(node);
    const bool block = rank > 0 || IsOneOf(node, kBlockElements);
    // An element that starts a paragraph ends the one before it before its id is placed.
    if (block) Flush();
    if (reading_.anchor) {
      std::string id = AttributeOf(node, "id");
      if (id.empty() && IsElement(node, "a")) id = AttributeOf(node, "name");
      if (!id.empty()) reading_.anchor(id, document_.blocks.size());
    }
    if (IsElement(node, "svg") && reading_.drawing && !HasImage(node)) {
      if (const std::optional<size_t> picture = reading_.drawing(SvgFileOf(node))) {
        Flush();
        document_.AddPicture(*picture);
      }
      return;
    }
    if (IsElement(node, "img") || IsElement(node, "image")) {
      std::string reference = AttributeOf(node, IsElement(node, "img") ? "src" : "href");
      if (reference.empty() && IsElement(node, "img")) reference = AttributeOf(node, "href");
      if (!reference.empty() && reading_.picture) {
        if (const std::optional<size_t> picture = reading_.picture(reference)) {
          Flush();
          document_.AddPicture(*picture);
        }
      }
      return;
    }
    if (rank > 0) {
      document_.AddHeading(reading_.headingEntries ? std::min(rank, 3) : 0, TextOf(node));
      Walk(node->children);
      Flush();
      return;
    }
    if (IsElement(node, "td") || IsElement(node, "th")) {
      // The cells of a row make one paragraph.
      if (!text_.empty()) text_ += u" | ";
      Walk(node->children);
      return;
    }
    if (IsNoteReference(node)) {
      // A note's number stays in the text, in brackets as an FB2 book's notes have it.
      const std::u16string number = TextOf(node);
      text_ += number.starts_with(u"[") ? number : u"[" + number + u"]";
      return;
    }
    const bool pre = IsElement(node, "pre");
    if (block) Flush();
    preformatted_ += pre;
    const bool item = IsElement(node, "li");
    if (item) marker_ = NextMarker();
    if (IsElement(node, "ul") || IsElement(node, "ol"))
      WalkList(node);
    else
      Walk(node->children);
    if (block) Flush();
    if (item) marker_.clear();  // an item without text
    preformatted_ -= pre;
  }

  // The items of a list, numbered from its start in an <ol>.
  void WalkList(const xmlNode* list) {
    const bool numbered = IsElement(list, "ol");
    const std::string start = AttributeOf(list, "start");
    const bool unmarked = AttributeOf(list, "style").find("none") != std::string::npos;
    lists_.push_back({numbered, numbered && !start.empty() ? std::atoi(start.c_str()) : 1, unmarked});
    Walk(list->children);
    lists_.pop_back();
  }

  // "• " in a list of bullets, "3. " for the third item of a numbered one.
  std::u16string NextMarker() {
    if (lists_.empty() || lists_.back().unmarked) return {};
    List& list = lists_.back();
    return list.numbered ? Utf8ToUtf16(std::to_string(list.next++)) + u". " : u"\u2022 ";
  }

  // Content a reader does not show: the hidden landmarks of a navigation document and the like.
  static bool IsHidden(const xmlNode* node) {
    return HasAttribute(node, "hidden") || AttributeOf(node, "aria-hidden") == "true";
  }
  static bool IsNoteReference(const xmlNode* node) {
    return IsElement(node, "a") &&
           (HasWord(AttributeOf(node, "type"), "noteref") || AttributeOf(node, "role") == "doc-noteref");
  }
  // The link from a note back to its reference ("↩"), which has no use in a book.
  static bool IsBackLink(const xmlNode* node) {
    return IsElement(node, "a") && (AttributeOf(node, "role") == "doc-backlink" ||
                                    HasWord(AttributeOf(node, "class"), "footnote-back"));
  }

  struct List {
    bool numbered;
    int next;
    bool unmarked;
  };

  Document& document_;
  const HtmlReading& reading_;
  std::u16string text_;
  int preformatted_ = 0;
  std::vector<List> lists_;  // the lists the walk is inside, innermost last
  std::u16string marker_;    // the bullet or number of the list item whose text has not started
};

const xmlNode* HeadOf(const xmlDoc& page) {
  const xmlNode* root = RootElement(&page);
  return IsElement(root, "head") ? root : ChildElement(root, "head");
}

}  // namespace

void ReadHtmlBody(const xmlDoc& page, Document& document, const HtmlReading& reading) {
  const xmlNode* root = RootElement(&page);
  const xmlNode* body = ChildElement(root, "body");
  HtmlWalker walker(document, reading);
  if (body)
    walker.Walk(body->children);
  else
    walker.Walk(root);
  walker.Flush();
}

std::u16string HtmlAnnotation(const Runtime& runtime, const std::string& text,
                              const std::u16string& fileName) {
  if (text.find('<') == std::string::npos) return CollapseSpaces(Utf8ToUtf16(text));
  const XmlDocPtr html =
      ParseHtml(runtime, "<html><body>" + text + "</body></html>", fileName, "the description");
  Document lines;
  ReadHtmlBody(*html, lines, {.headingEntries = false});
  std::u16string annotation;
  for (const DocumentBlock& b : lines.blocks)
    if (b.kind == DocumentBlock::Kind::kParagraph) annotation += (annotation.empty() ? u"" : u"\n") + b.text;
  return annotation;
}

std::u16string HtmlTitle(const xmlDoc& page) { return TextOf(ChildElement(HeadOf(page), "title")); }

std::u16string HtmlMeta(const xmlDoc& page, std::string_view name) {
  std::u16string joined;
  for (const xmlNode* c = HeadOf(page) ? HeadOf(page)->children : nullptr; c; c = c->next)
    if (IsElement(c, "meta") && AttributeOf(c, "name") == name) {
      const std::u16string content = CollapseSpaces(Utf8ToUtf16(AttributeOf(c, "content")));
      if (!content.empty()) joined += (joined.empty() ? u"" : u", ") + content;
    }
  return joined;
}

}  // namespace bookloom
