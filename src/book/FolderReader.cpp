#include "book/FolderReader.h"

#include <algorithm>

#include "book/FileTypes.h"
#include "book/PictureFileItem.h"
#include "book/TextFileItem.h"
#include "platform/Collate.h"
#include "platform/FileSys.h"
#include "platform/Path.h"
#include "platform/Utf.h"
#include "text/TextFile.h"

namespace bookloom {

namespace {

constexpr int kMaxDepth = 32;

class FolderWalker {
 public:
  FolderWalker(const Runtime& runtime, const std::u16string& top, Document& document) : document_(document) {
    auto pictures = std::make_unique<EncodedPictures>(runtime, top);
    pictures_ = pictures.get();
    document_.pictures = std::move(pictures);
  }

  void Walk(const std::u16string& folder, const std::u16string& relative, int depth) {
    std::vector<FolderEntry> entries = ListFolder(folder);
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return CompareNatural(a.name, b.name) < 0; });
    const int level = std::min(depth, 3);
    for (const FolderEntry& e : entries) {
      if (e.name.starts_with(u".")) continue;
      const std::u16string path = folder + u"/" + e.name, name = relative + e.name;
      if (e.kind == FileKind::kFolder) {
        if (e.link || depth >= kMaxDepth) continue;
        const size_t mark = document_.blocks.size();
        document_.AddHeading(level, e.name);
        Walk(path, name + u"/", depth + 1);
        if (document_.blocks.size() == mark + 1) document_.blocks.pop_back();  // nothing in it
      } else if (e.kind == FileKind::kRegular) {
        File(path, name, level, depth == 1);
      }
    }
  }

 private:
  void File(const std::u16string& path, const std::u16string& name, int level, bool top) {
    const FileItemClass* itemClass = FileTypes().FindItemClass(path);
    if (itemClass == &PictureFileItem::Class) {
      // A picture file's extension is one a decoder reads.
      const size_t picture = pictures_->Add(name, {}, {}, path).value();
      document_.files.push_back(path);
      document_.AddPicture(picture);
      const std::u16string_view title = PathNameWithoutExtension(name);
      if (top && !document_.cover &&
          (SameTextIgnoreCase(title, u"cover") || SameTextIgnoreCase(title, u"folder")))
        document_.cover = picture;
    } else if (itemClass == &TextFileItem::Class) {
      document_.AddHeading(level, std::u16string(PathNameWithoutExtension(PathFileName(name))));
      DecodedTextFile text = DecodeTextFile(ReadFileBytes(path));
      document_.files.push_back(path);
      for (const std::string& warning : DecodingWarnings(text))
        document_.warnings.push_back(Utf16ToUtf8(name) + ": " + warning);
      for (const std::u16string_view line : SplitLines(text.text))
        document_.AddParagraph(std::u16string(line), true);
    } else if (itemClass) {
      document_.warnings.push_back(Utf16ToUtf8(name) +
                                   ": only pictures and texts are taken from a folder: left out");
    }
  }

  Document& document_;
  EncodedPictures* pictures_ = nullptr;  // owned by the document
};

}  // namespace

Document ReadFolder(const Runtime& runtime, const std::u16string& folder) {
  Document document;
  std::u16string top = folder;
  while (top.size() > 1 && top.ends_with(u'/')) top.pop_back();
  FolderWalker(runtime, top, document).Walk(top, u"", 1);
  if (document.blocks.empty())
    throw DocumentError(folder, "", "the folder holds no picture and no text file");
  return document;
}

}  // namespace bookloom
