#include "documents/Document.h"

#include "decoders/PictureFormats.h"
#include "platform/FileSys.h"
#include "platform/Utf.h"

namespace bookloom {

namespace {

std::string Describe(const std::string& part, const std::string& why) {
  return part.empty() ? why : part + ": " + why;
}

// The six bits a base64 character stands for; the padding "=" counts as 0, -1 for any other character.
int Base64Value(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return c == '=' ? 0 : -1;
}

}  // namespace

DocumentError::DocumentError(const std::u16string& fileName, const std::string& part, const std::string& why)
    : Exception(Format("Cannot read \"%s\": %s", {fileName, Describe(part, why)})),
      reason_(Describe(part, why)) {}

std::optional<size_t> EncodedPictures::AddOrLeaveOut(const std::string& name, std::string bytes,
                                                     Document& document, std::string mediaType) {
  const std::optional<size_t> index = Add(Utf8ToUtf16(name), std::move(bytes), std::move(mediaType));
  if (!index) document.warnings.push_back(name + ": no decoder reads this kind of picture: left out");
  return index;
}

std::optional<size_t> EncodedPictures::Add(std::u16string name, std::string bytes, std::string mediaType,
                                           std::u16string fileName) {
  if (!PictureDecoders(runtime_).FindFor(bytes, name, mediaType)) return std::nullopt;
  pictures_.push_back({std::move(name), std::move(bytes), std::move(mediaType), std::move(fileName)});
  return pictures_.size() - 1;
}

DecodedFrames DocumentPictures::DecodeFrames(size_t index) {
  DecodedFrames decoded;
  decoded.frames.push_back(Decode(index));
  return decoded;
}

std::unique_ptr<Graphic> EncodedPictures::Decode(size_t index) {
  return std::move(DecodeFrames(index).frames.front());
}

// Calls `use` with the picture's bytes, the name messages give it and the decoder that reads it.
template <typename Use>
auto EncodedPictures::WithDecoder(size_t index, Use use) {
  const Encoded& p = pictures_[index];
  const std::string fileBytes = p.fileName.empty() ? std::string() : ReadFileBytes(p.fileName);
  const std::string_view bytes = p.fileName.empty() ? std::string_view(p.bytes) : fileBytes;
  const std::u16string shown = p.fileName.empty() ? documentName_ + u": " + p.name : p.fileName;
  const GraphicDecoder* decoder = PictureDecoders(runtime_).FindFor(bytes, p.name, p.mediaType);
  if (!decoder) RaiseDecodeError(shown, "no decoder reads this kind of picture");
  return use(bytes, shown, *decoder);
}

DecodedFrames EncodedPictures::DecodeFrames(size_t index) {
  return WithDecoder(index,
                     [](std::string_view bytes, const std::u16string& shown, const GraphicDecoder& decoder) {
                       return decoder.Decode(bytes, shown, {.gray = true});
                     });
}

std::vector<std::pair<size_t, std::string>> EncodedPictures::Check() {
  std::vector<std::pair<size_t, std::string>> problems;
  for (size_t i = 0; i < pictures_.size(); ++i) {
    try {
      WithDecoder(i, [](std::string_view bytes, const std::u16string& shown, const GraphicDecoder& decoder) {
        decoder.Check(bytes, shown);
      });
    } catch (const DecodeError& e) {
      problems.emplace_back(i, e.Reason());
    } catch (const FileOpenError& e) {
      problems.emplace_back(i, e.what());
    }
  }
  return problems;
}

void Document::AddHeading(int level, std::u16string title) {
  blocks.push_back({DocumentBlock::Kind::kHeading, level, std::move(title)});
}

void Document::AddParagraph(std::u16string text, bool keepEmpty) {
  if (text.empty() && !keepEmpty) return;
  blocks.push_back({DocumentBlock::Kind::kParagraph, 0, std::move(text)});
}

void Document::AddPicture(size_t picture) {
  blocks.push_back({DocumentBlock::Kind::kPicture, 0, {}, picture});
}

std::string DecodeBase64(std::string_view text) {
  std::string out;
  out.reserve(text.size() / 4 * 3 + 3);
  uint32_t bits = 0;
  int count = 0;  // the characters of the group of four so far
  char last = 0, beforeLast = 0;
  for (const char c : text) {
    const int value = Base64Value(c);
    if (value < 0) continue;
    bits = bits << 6 | static_cast<uint32_t>(value);
    beforeLast = last;
    last = c;
    if (++count < 4) continue;
    // Each group makes three bytes, less one for each "=" that ends it; a group left unfinished at
    // the end makes none.
    out += static_cast<char>(bits >> 16);
    if (beforeLast != '=') out += static_cast<char>(bits >> 8);
    if (last != '=') out += static_cast<char>(bits);
    count = 0;
  }
  return out;
}

std::u16string CollapseSpaces(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  bool blank = false;
  for (const char16_t c : text) {
    if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f' || c == u'\v') {
      blank = !out.empty();
      continue;
    }
    if (blank) out += u' ';
    blank = false;
    out += c;
  }
  return out;
}

}  // namespace bookloom
