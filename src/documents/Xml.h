// XML and HTML read through libxml2 and nothing else: never from the network, never an external
// entity or DTD, never an entity of the document's own expanded into text; a document that is not
// well formed raises DocumentError naming the part and the line. Small helpers walk the tree.
// libxml2 is loaded into the run's Runtime at the first document parsed, so that programs which read
// none do not load it; the documents it makes keep its functions in their _private field.
#pragma once

#include <libxml/tree.h>

#include <memory>
#include <string>
#include <string_view>

namespace bookloom {

class Runtime;

struct XmlDocFree {
  void operator()(xmlDoc* doc) const;
};
using XmlDocPtr = std::unique_ptr<xmlDoc, XmlDocFree>;

// An XML document, or DocumentError naming the file, the part (an archive entry, "" for the file
// itself) and the line where it is not well formed, or why libxml2 cannot be loaded. The encoding is
// the one the document declares.
XmlDocPtr ParseXml(const Runtime& runtime, std::string_view bytes, const std::u16string& fileName,
                   const std::string& part);

// An HTML or XHTML document as libxml2's HTML parser reads it, which mends what browsers mend; the
// encoding is the one it declares (an XML declaration, a BOM, a <meta> charset), else UTF-8 where the
// bytes are UTF-8, else the parser's guess. DocumentError when nothing can be made of the bytes.
XmlDocPtr ParseHtml(const Runtime& runtime, std::string_view bytes, const std::u16string& fileName,
                    const std::string& part);

// The document's root element, or null.
xmlNode* RootElement(const xmlDoc* doc);
// An element's name without its namespace prefix ("image" of "svg:image" and of "l:image").
std::string_view LocalName(const xmlNode* node);
// Whether the node is an element of that local name (ASCII case ignored, as HTML has it).
bool IsElement(const xmlNode* node, std::string_view localName);
// The first child element of that local name, or null.
xmlNode* ChildElement(const xmlNode* node, std::string_view localName);
// Whether a list of words parted by blanks (an attribute's "class" or "properties") holds the word.
bool HasWord(std::string_view list, std::string_view word);
// Whether the element has an attribute of that local name, with a value or without ("hidden").
bool HasAttribute(const xmlNode* node, std::string_view localName);
// The value of the attribute of that local name, whatever its namespace or prefix ("href" finds
// "xlink:href" and "l:href"); "" when there is none.
std::string AttributeOf(const xmlNode* node, std::string_view localName);

// An SVG drawing held inside an (X)HTML page, as a file of its own: the <svg> element and all inside
// it written out again with the SVG and XLink namespaces declared, whatever the page declared or the
// HTML parser kept of them; comments and processing instructions left out.
std::string SvgFileOf(const xmlNode* svg);

// All the text inside the node as it reads, blanks collapsed. References to entities a document
// declares are left out (so that no document can make its text grow without bound), but for the
// names of HTML's characters (&nbsp;, &mdash;), which EPUB books use without declaring them.
std::u16string TextOf(const xmlNode* node);
// The same without collapsing: the text as it stands, line ends and all.
std::u16string RawTextOf(const xmlNode* node);

}  // namespace bookloom
