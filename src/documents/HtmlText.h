// The content of an HTML or XHTML page as a document's blocks: block elements (p, div, h1-h6, li,
// blockquote, pre, br, ...) become paragraphs, headings start sections, inline markup is dropped,
// and <img> and SVG <image> pictures become picture blocks.
#pragma once

#include <libxml/tree.h>

#include <functional>
#include <optional>
#include <string>

#include "documents/Document.h"

namespace bookloom {

struct HtmlReading {
  // Whether h1 to h3 become table-of-contents entries of levels 1 to 3 (h4 to h6 at level 3); when
  // not (the book has a table of contents of its own), headings only start sections.
  bool headingEntries = true;
  // The index among the document's pictures of the picture a reference names (an <img>'s src, an
  // SVG <image>'s href); nullopt leaves it out.
  std::function<std::optional<size_t>(const std::string& reference)> picture = {};
  // The index among the document's pictures of a drawing made in the page (an <svg> without an
  // <image>), given as an SVG file; nullopt leaves it out. Without it, the drawing's text is read.
  std::function<std::optional<size_t>(std::string svg)> drawing = {};
  // Called for each element with an id (or an <a> with a name) with the index of the block it
  // starts at, so that links into the page can be placed.
  std::function<void(const std::string& id, size_t block)> anchor = {};
};

// Appends the blocks of the page's <body> (the whole page when it has none) to the document.
void ReadHtmlBody(const xmlDoc& page, Document& document, const HtmlReading& reading);

// A description that may be HTML itself (an e-book's annotation): its paragraphs joined by CR LF, or
// the text with its blanks collapsed when it holds no markup. `fileName` names the book in messages.
std::u16string HtmlAnnotation(const Runtime& runtime, const std::string& text,
                              const std::u16string& fileName);

// The text of the page's <head><title>, "" when it has none.
std::u16string HtmlTitle(const xmlDoc& page);
// The content of the page's <meta name="NAME" content="...">, those of several joined by ", " (a
// page's authors); "" when it has none.
std::u16string HtmlMeta(const xmlDoc& page, std::string_view name);

}  // namespace bookloom
