#include "documents/Xml.h"

#include <libxml/HTMLparser.h>
#include <libxml/parser.h>
#include <libxml/xmlerror.h>

#include <climits>

#include "documents/Document.h"
#include "platform/Runtime.h"
#include "platform/Utf.h"

namespace bookloom {

namespace {

// The functions of libxml2 that the readers call: its set-up, the XML and HTML parsers, and what
// the documents they make need.
// clang-format off
#define LIBXML2_FUNCTIONS(F)                                                                       \
  F(xmlInitParser) F(xmlSetExternalEntityLoader)                                                   \
  F(xmlNewParserCtxt) F(xmlCtxtReadMemory) F(xmlCtxtGetLastError) F(xmlFreeParserCtxt)             \
  F(htmlNewParserCtxt) F(htmlCtxtReadMemory) F(htmlFreeParserCtxt)                                 \
  F(xmlFreeDoc) F(htmlEntityLookup)
// clang-format on
BOOKLOOM_LIBRARY_FUNCTIONS(Libxml2, LIBXML2_FUNCTIONS);

// Loads no DTD and no external entity, from a file or the network alike.
xmlParserInputPtr NoExternalEntities(const char*, const char*, xmlParserCtxtPtr) { return nullptr; }

// libxml2's functions, to parse a part of the file with: loaded into the run at the first document
// parsed and readied then (its parser, and an entity loader that loads nothing); DocumentError when
// libxml2 cannot be loaded.
const Libxml2& Xml2For(const Runtime& runtime, const std::u16string& fileName, const std::string& part) {
  const auto ready = [](const Libxml2& xml2) {
    xml2.xmlInitParser();
    xml2.xmlSetExternalEntityLoader(NoExternalEntities);
  };
  const LoadedFunctions<Libxml2>& libxml2 = runtime.Library<Libxml2>(BOOKLOOM_LIBXML2, ready);
  if (!libxml2.functions) throw DocumentError(fileName, part, "libxml2 cannot be loaded: " + libxml2.problem);
  return *libxml2.functions;
}

// A parsed document keeps the functions of the libxml2 that made it, for what is done with it later.
XmlDocPtr Parsed(const Libxml2& xml2, xmlDoc* doc) {
  if (doc) doc->_private = const_cast<Libxml2*>(&xml2);
  return XmlDocPtr(doc);
}

// libxml2's functions, for a document or node that a parse has made.
const Libxml2& Xml2Of(const xmlDoc* doc) { return *static_cast<const Libxml2*>(doc->_private); }

using ParserPtr = std::unique_ptr<xmlParserCtxt, void (*)(xmlParserCtxtPtr)>;

int SizeOf(std::string_view bytes, const std::u16string& fileName, const std::string& part) {
  if (bytes.size() > kMaxPartBytes || bytes.size() > INT_MAX)
    throw DocumentError(fileName, part,
                        "larger than the limit of " + std::to_string(kMaxPartBytes >> 20) + " MB");
  return static_cast<int>(bytes.size());
}

[[noreturn]] void RaiseParseError(const Libxml2& xml2, xmlParserCtxt* ctxt, const std::u16string& fileName,
                                  const std::string& part, const std::string& what) {
  const xmlError* error = xml2.xmlCtxtGetLastError(ctxt);
  std::string why = what;
  if (error && error->message) {
    std::string message = error->message;
    while (!message.empty() && (message.back() == '\n' || message.back() == ' ')) message.pop_back();
    why += Format(" at line %d: %s", {error->line, message});
  }
  throw DocumentError(fileName, part, why);
}

// The encoding an XML declaration at the start names ("windows-1251"), "" when there is none.
std::string DeclaredXmlEncoding(std::string_view bytes) {
  if (!bytes.starts_with("<?xml")) return {};
  const std::string_view declaration = bytes.substr(0, bytes.find("?>"));
  const size_t at = declaration.find("encoding");
  if (at == std::string_view::npos) return {};
  const size_t quote = declaration.find_first_of("\"'", at);
  if (quote == std::string_view::npos) return {};
  const size_t end = declaration.find(declaration[quote], quote + 1);
  if (end == std::string_view::npos) return {};
  return std::string(declaration.substr(quote + 1, end - quote - 1));
}

void AppendText(const xmlNode* node, std::u16string& out) {
  for (const xmlNode* c = node; c; c = c->next) {
    switch (c->type) {
      case XML_TEXT_NODE:
      case XML_CDATA_SECTION_NODE:
        if (c->content) out += Utf8ToUtf16(reinterpret_cast<const char*>(c->content));
        break;
      case XML_ENTITY_REF_NODE:
        if (const htmlEntityDesc* e = Xml2Of(c->doc).htmlEntityLookup(c->name)) {
          const char32_t v = e->value;
          std::u16string ch;
          if (v < 0x10000) {
            ch = std::u16string(1, static_cast<char16_t>(v));
          } else {
            ch = {static_cast<char16_t>(0xD800 + ((v - 0x10000) >> 10)),
                  static_cast<char16_t>(0xDC00 + ((v - 0x10000) & 0x3FF))};
          }
          out += ch;
        }
        break;
      case XML_ELEMENT_NODE:
        AppendText(c->children, out);
        break;
      default:
        break;
    }
  }
}

}  // namespace

void XmlDocFree::operator()(xmlDoc* doc) const { Xml2Of(doc).xmlFreeDoc(doc); }

XmlDocPtr ParseXml(const Runtime& runtime, std::string_view bytes, const std::u16string& fileName,
                   const std::string& part) {
  const int size = SizeOf(bytes, fileName, part);
  const Libxml2& xml2 = Xml2For(runtime, fileName, part);
  const ParserPtr ctxt(xml2.xmlNewParserCtxt(), xml2.xmlFreeParserCtxt);
  if (!ctxt) throw DocumentError(fileName, part, "out of memory");
  XmlDocPtr doc =
      Parsed(xml2, xml2.xmlCtxtReadMemory(ctxt.get(), bytes.data(), size, nullptr, nullptr,
                                          XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
  if (!doc || !ctxt->wellFormed)
    RaiseParseError(xml2, ctxt.get(), fileName, part, "the XML is not well formed");
  if (!RootElement(doc.get())) throw DocumentError(fileName, part, "the XML holds no element");
  return doc;
}

XmlDocPtr ParseHtml(const Runtime& runtime, std::string_view bytes, const std::u16string& fileName,
                    const std::string& part) {
  const int size = SizeOf(bytes, fileName, part);
  std::string encoding = DeclaredXmlEncoding(bytes);
  const bool bom =
      bytes.starts_with("\xEF\xBB\xBF") || bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF");
  if (encoding.empty() && !bom && IsValidUtf8(bytes)) encoding = "UTF-8";
  const Libxml2& xml2 = Xml2For(runtime, fileName, part);
  const ParserPtr ctxt(xml2.htmlNewParserCtxt(), xml2.htmlFreeParserCtxt);
  if (!ctxt) throw DocumentError(fileName, part, "out of memory");
  XmlDocPtr doc = Parsed(
      xml2, xml2.htmlCtxtReadMemory(
                ctxt.get(), bytes.data(), size, nullptr, encoding.empty() || bom ? nullptr : encoding.c_str(),
                HTML_PARSE_NONET | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_RECOVER));
  if (!doc || !RootElement(doc.get()))
    RaiseParseError(xml2, ctxt.get(), fileName, part, "nothing can be read as HTML");
  return doc;
}

xmlNode* RootElement(const xmlDoc* doc) {
  for (xmlNode* c = doc ? doc->children : nullptr; c; c = c->next)
    if (c->type == XML_ELEMENT_NODE) return c;
  return nullptr;
}

std::string_view LocalName(const xmlNode* node) {
  if (!node || !node->name) return {};
  const std::string_view name = reinterpret_cast<const char*>(node->name);
  const size_t colon = name.rfind(':');
  return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

bool IsElement(const xmlNode* node, std::string_view localName) {
  if (!node || node->type != XML_ELEMENT_NODE) return false;
  const std::string_view name = LocalName(node);
  if (name.size() != localName.size()) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(name[i]) != lower(localName[i])) return false;
  }
  return true;
}

xmlNode* ChildElement(const xmlNode* node, std::string_view localName) {
  for (xmlNode* c = node ? node->children : nullptr; c; c = c->next)
    if (IsElement(c, localName)) return c;
  return nullptr;
}

namespace {

const xmlAttr* FindAttribute(const xmlNode* node, std::string_view localName) {
  if (!node || node->type != XML_ELEMENT_NODE) return nullptr;
  for (const xmlAttr* a = node->properties; a; a = a->next) {
    std::string_view name = reinterpret_cast<const char*>(a->name);
    if (const size_t colon = name.rfind(':'); colon != std::string_view::npos) name = name.substr(colon + 1);
    if (name == localName) return a;
  }
  return nullptr;
}

}  // namespace

bool HasWord(std::string_view list, std::string_view word) {
  size_t at = 0;
  while ((at = list.find(word, at)) != std::string_view::npos) {
    const bool starts = at == 0 || list[at - 1] == ' ';
    const bool ends = at + word.size() == list.size() || list[at + word.size()] == ' ';
    if (starts && ends) return true;
    at += word.size();
  }
  return false;
}

bool HasAttribute(const xmlNode* node, std::string_view localName) {
  return FindAttribute(node, localName) != nullptr;
}

std::string AttributeOf(const xmlNode* node, std::string_view localName) {
  if (const xmlAttr* a = FindAttribute(node, localName)) {
    std::string value;
    for (const xmlNode* t = a->children; t; t = t->next)
      if (t->type == XML_TEXT_NODE && t->content) value += reinterpret_cast<const char*>(t->content);
    return value;
  }
  return {};
}

namespace {

void AppendEscaped(std::string_view text, std::string& out) {
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
}

void AppendSvgElement(const xmlNode* node, std::string& out, bool root) {
  const std::string name(LocalName(node));
  out += "<" + name;
  if (root) out += R"( xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink")";
  for (const xmlAttr* a = node->properties; a; a = a->next) {
    const std::string_view local = reinterpret_cast<const char*>(a->name);
    if (local == "xmlns" ||
        (a->ns && a->ns->prefix && std::string_view(reinterpret_cast<const char*>(a->ns->prefix)) == "xmlns"))
      continue;
    out += local == "href" ? " xlink:href=\"" : " " + std::string(local) + "=\"";
    AppendEscaped(AttributeOf(node, local), out);
    out += "\"";
  }
  out += ">";
  for (const xmlNode* c = node->children; c; c = c->next) {
    if (c->type == XML_ELEMENT_NODE)
      AppendSvgElement(c, out, false);
    else if ((c->type == XML_TEXT_NODE || c->type == XML_CDATA_SECTION_NODE) && c->content)
      AppendEscaped(reinterpret_cast<const char*>(c->content), out);
  }
  out += "</" + name + ">";
}

}  // namespace

std::string SvgFileOf(const xmlNode* svg) {
  std::string out;
  AppendSvgElement(svg, out, true);
  return out;
}

std::u16string RawTextOf(const xmlNode* node) {
  std::u16string out;
  if (node) AppendText(node->children, out);
  return out;
}

std::u16string TextOf(const xmlNode* node) { return CollapseSpaces(RawTextOf(node)); }

}  // namespace bookloom
