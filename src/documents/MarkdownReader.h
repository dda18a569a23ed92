// Markdown files read with cmark (CommonMark): headings as sections and contents, paragraphs, lists
// with their marks, block quotes, code blocks line by line, pictures beside the file, and the title
// and author of a leading YAML block. cmark is loaded at the first Markdown file read.
#pragma once

#include <string>
#include <string_view>

#include "documents/Document.h"

namespace bookloom {

// Reads a Markdown file; DocumentError names the file and the part that failed (a missing picture).
Document ReadMarkdownFile(const Runtime& runtime, const std::u16string& fileName);

// The document the Markdown text makes; `fileName` is the file whose folder holds its pictures.
Document ReadMarkdown(const Runtime& runtime, std::string_view text, const std::u16string& fileName);

}  // namespace bookloom
