#include "documents/MarkdownReader.h"

#include <cmark.h>

#include <memory>
#include <vector>

#include "documents/DocumentFlow.h"
#include "documents/HtmlReader.h"
#include "platform/FileSys.h"
#include "platform/Modules.h"
#include "platform/Utf.h"
#include "text/TextFile.h"

namespace bookloom {

namespace {

// The functions of cmark that the reader calls.
// clang-format off
#define CMARK_FUNCTIONS(F)                                                                          \
  F(cmark_parse_document) F(cmark_node_free) F(cmark_iter_new) F(cmark_iter_next)                   \
  F(cmark_iter_get_node) F(cmark_iter_free) F(cmark_node_get_type) F(cmark_node_get_literal)        \
  F(cmark_node_get_heading_level) F(cmark_node_get_list_type) F(cmark_node_get_list_start)          \
  F(cmark_node_get_list_delim) F(cmark_node_get_url)
// clang-format on
BOOKLOOM_LIBRARY_FUNCTIONS(Cmark, CMARK_FUNCTIONS);

const Cmark& CmarkFor(const Runtime& runtime, const std::u16string& fileName) {
  const LoadedFunctions<Cmark>& cmark = runtime.Library<Cmark>(BOOKLOOM_CMARK);
  if (!cmark.functions) throw DocumentError(fileName, "", "cmark cannot be loaded: " + cmark.problem);
  return *cmark.functions;
}

// A YAML value without the blanks around it and its quotes.
std::string Unquoted(std::string_view value) {
  while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
  while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.remove_suffix(1);
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return std::string(value);
}

// The value of a YAML line "key: value".
std::string YamlValue(std::string_view line) { return Unquoted(line.substr(line.find(':') + 1)); }

// Takes a leading YAML block ("---" lines around "key: value" lines) off the text, and keeps its
// title and author (an author, or a list of them, one "- name" a line).
std::string_view TakeYamlBlock(std::string_view text, DocumentInfo& info) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  if (!text.starts_with("---\n") && !text.starts_with("---\r\n")) return text;
  size_t at = text.find('\n') + 1;
  bool inAuthors = false;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(at, end - at);
    if (line.ends_with('\r')) line.remove_suffix(1);
    at = end + 1;
    if (line == "---" || line == "...") return text.substr(std::min(at, text.size()));
    if (inAuthors && (line.starts_with("- ") || line.starts_with("  - "))) {
      info.author +=
          (info.author.empty() ? u"" : u", ") + Utf8ToUtf16(Unquoted(line.substr(line.find('-') + 1)));
      continue;
    }
    inAuthors = false;
    if (line.starts_with("title:")) info.title = Utf8ToUtf16(YamlValue(line));
    if (line.starts_with("author:")) {
      info.author = Utf8ToUtf16(YamlValue(line));
      inAuthors = info.author.empty();
    }
  }
  info = {};  // no closing line: no YAML block
  return text;
}

// "%20" and the like in a link as cmark keeps it, made the characters they stand for.
std::string Unescaped(std::string_view url) {
  std::string out;
  for (size_t i = 0; i < url.size(); ++i) {
    const auto hex = [](char c) {
      const char lower = static_cast<char>(c | 32);
      return c >= '0' && c <= '9' ? c - '0' : lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
    };
    if (url[i] == '%' && i + 2 < url.size() && hex(url[i + 1]) >= 0 && hex(url[i + 2]) >= 0) {
      out += static_cast<char>(hex(url[i + 1]) * 16 + hex(url[i + 2]));
      i += 2;
    } else {
      out += url[i];
    }
  }
  return out;
}

class MarkdownWalker {
 public:
  MarkdownWalker(const Cmark& cmark, const std::u16string& fileName, Document& document)
      : cmark_(cmark), fileName_(fileName), document_(document), flow_(document) {}

  // Walks the tree with cmark's iterator, which needs no stack however deep the quotes and lists.
  void Walk(cmark_node* root) {
    const std::unique_ptr<cmark_iter, void (*)(cmark_iter*)> iter(cmark_.cmark_iter_new(root),
                                                                  cmark_.cmark_iter_free);
    for (cmark_event_type event; (event = cmark_.cmark_iter_next(iter.get())) != CMARK_EVENT_DONE;) {
      cmark_node* node = cmark_.cmark_iter_get_node(iter.get());
      if (event == CMARK_EVENT_ENTER)
        Enter(node);
      else
        Exit(node);
    }
    flow_.Finish();
  }

 private:
  void Enter(cmark_node* node) {
    const cmark_node_type type = cmark_.cmark_node_get_type(node);
    if (insideImage_ > 0) {
      insideImage_ += type == CMARK_NODE_IMAGE;  // the alternative text is not part of the text
      return;
    }
    switch (type) {
      case CMARK_NODE_LIST:
        lists_.push_back({cmark_.cmark_node_get_list_type(node) == CMARK_ORDERED_LIST,
                          cmark_.cmark_node_get_list_start(node),
                          cmark_.cmark_node_get_list_delim(node) == CMARK_PAREN_DELIM ? u")" : u"."});
        break;
      case CMARK_NODE_ITEM:
        if (!lists_.empty()) {
          List& list = lists_.back();
          flow_.Text(list.ordered ? ListNumber(list.next++, '1') + list.delimiter + u" " : u"\u2022 ");
        }
        break;
      case CMARK_NODE_TEXT:
      case CMARK_NODE_CODE:
        flow_.Text(Utf8ToUtf16(Literal(node)));
        break;
      case CMARK_NODE_SOFTBREAK:
        flow_.Text(u" ");
        break;
      case CMARK_NODE_LINEBREAK:
      case CMARK_NODE_THEMATIC_BREAK:
        flow_.EndParagraph();
        break;
      case CMARK_NODE_CODE_BLOCK:
        CodeBlock(node);
        break;
      case CMARK_NODE_IMAGE:
        insideImage_ = 1;
        if (const auto picture = PictureBeside(fileName_, Unescaped(Url(node)), Pictures(), document_))
          flow_.Picture(*picture);
        break;
      default:
        break;
    }
  }

  void Exit(cmark_node* node) {
    switch (cmark_.cmark_node_get_type(node)) {
      case CMARK_NODE_IMAGE:
        if (insideImage_ > 0) --insideImage_;
        break;
      case CMARK_NODE_LIST:
        if (!lists_.empty()) lists_.pop_back();
        break;
      case CMARK_NODE_PARAGRAPH:
        if (insideImage_ == 0) flow_.EndParagraph();
        break;
      case CMARK_NODE_HEADING:
        flow_.EndHeading(cmark_.cmark_node_get_heading_level(node));
        break;
      default:
        break;
    }
  }

  // Each line of a code block is a paragraph, its blanks kept.
  void CodeBlock(cmark_node* node) {
    flow_.EndParagraph();
    std::u16string code = Utf8ToUtf16(Literal(node));
    if (code.ends_with(u'\n')) code.pop_back();
    for (const std::u16string_view line : SplitLines(code))
      document_.AddParagraph(std::u16string(line), true);
  }

  std::string Literal(cmark_node* node) const {
    const char* literal = cmark_.cmark_node_get_literal(node);
    return literal ? literal : "";
  }
  std::string Url(cmark_node* node) const {
    const char* url = cmark_.cmark_node_get_url(node);
    return url ? url : "";
  }
  EncodedPictures& Pictures() { return static_cast<EncodedPictures&>(*document_.pictures); }

  struct List {
    bool ordered;
    int next;
    std::u16string delimiter;
  };

  const Cmark& cmark_;
  const std::u16string& fileName_;
  Document& document_;
  DocumentFlow flow_;
  std::vector<List> lists_;
  int insideImage_ = 0;  // images inside the one being placed, and it
};

}  // namespace

Document ReadMarkdown(const Runtime& runtime, std::string_view text, const std::u16string& fileName) {
  const Cmark& cmark = CmarkFor(runtime, fileName);
  Document document;
  document.pictures = std::make_unique<EncodedPictures>(runtime, fileName);
  text = TakeYamlBlock(text, document.info);
  const std::unique_ptr<cmark_node, void (*)(cmark_node*)> root(
      cmark.cmark_parse_document(text.data(), text.size(), CMARK_OPT_DEFAULT), cmark.cmark_node_free);
  if (!root) throw DocumentError(fileName, "", "out of memory");
  MarkdownWalker(cmark, fileName, document).Walk(root.get());
  return document;
}

Document ReadMarkdownFile(const Runtime& runtime, const std::u16string& fileName) {
  const std::string bytes = ReadFileBytes(fileName);
  if (bytes.size() > kMaxPartBytes)
    throw DocumentError(fileName, "",
                        "larger than the limit of " + std::to_string(kMaxPartBytes >> 20) + " MB");
  // cmark reads UTF-8: a file in another encoding is decoded as a text file is.
  if (IsValidUtf8(bytes)) return ReadMarkdown(runtime, bytes, fileName);
  return ReadMarkdown(runtime, Utf16ToUtf8(DecodeTextFile(bytes).text), fileName);
}

}  // namespace bookloom
