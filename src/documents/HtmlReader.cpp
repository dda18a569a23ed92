#include "documents/HtmlReader.h"

#include "documents/Archive.h"
#include "documents/HtmlText.h"
#include "documents/Xml.h"
#include "platform/FileSys.h"
#include "platform/Path.h"
#include "platform/Utf.h"

namespace bookloom {

namespace {

// The bytes of a "data:image/png;base64,...." link, with its media type.
std::pair<std::string, std::string> DataLink(std::string_view link) {
  const size_t comma = link.find(',');
  if (comma == std::string_view::npos) return {};
  const std::string_view header = link.substr(5, comma - 5);
  if (!header.ends_with(";base64")) return {};
  return {DecodeBase64(link.substr(comma + 1)), std::string(header.substr(0, header.find(';')))};
}

}  // namespace

std::optional<size_t> PictureBeside(const std::u16string& fileName, const std::string& reference,
                                    EncodedPictures& pictures, Document& document) {
  if (reference.starts_with("data:")) {
    auto [bytes, mediaType] = DataLink(reference);
    if (const auto picture = pictures.Add(u"data: link", std::move(bytes), std::move(mediaType)))
      return picture;
  }
  // A picture the page cannot show is left out with a warning; the rest of the page is read.
  const auto leftOut = [&](const std::string& why) -> std::optional<size_t> {
    document.warnings.push_back("picture \"" + reference.substr(0, 80) + "\" " + why + ": left out");
    return std::nullopt;
  };
  if (reference.find("://") != std::string::npos || reference.starts_with("data:"))
    return leftOut("is not next to the page");
  // The pictures of a saved page lie in its folder or below it.
  const std::string name = ResolveEntryName("page", reference);
  if (name.empty()) return leftOut("lies outside the page's folder");
  const std::u16string path = std::u16string(PathFolder(fileName)) + Utf8ToUtf16(name);
  if (!FileExists(path)) return leftOut("is missing (no such file)");
  const auto added = pictures.Add(Utf8ToUtf16(name), {}, {}, path);
  if (added) document.files.push_back(path);
  if (!added)
    document.warnings.push_back("picture \"" + reference +
                                "\": no decoder reads this kind of picture: left out");
  return added;
}

Document ReadHtmlFile(const Runtime& runtime, const std::u16string& fileName) {
  const XmlDocPtr page = ParseHtml(runtime, ReadFileBytes(fileName), fileName, "");
  Document document;
  auto pictures = std::make_unique<EncodedPictures>(runtime, fileName);
  EncodedPictures& list = *pictures;
  document.pictures = std::move(pictures);
  document.info.title = HtmlTitle(*page);
  document.info.author = HtmlMeta(*page, "author");
  document.info.annotation = HtmlMeta(*page, "description");
  const auto picture = [&](const std::string& reference) {
    return PictureBeside(fileName, reference, list, document);
  };
  int drawings = 0;
  const auto drawing = [&](std::string svg) {
    return list.AddOrLeaveOut("drawing " + std::to_string(++drawings), std::move(svg), document,
                              "image/svg+xml");
  };
  ReadHtmlBody(*page, document, {.headingEntries = true, .picture = picture, .drawing = drawing});
  return document;
}

}  // namespace bookloom
