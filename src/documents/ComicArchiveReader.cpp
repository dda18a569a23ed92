#include "documents/ComicArchiveReader.h"

#include <algorithm>
#include <map>
#include <vector>

#include "decoders/PictureFormats.h"
#include "documents/Archive.h"
#include "documents/Fb2Reader.h"
#include "documents/Xml.h"
#include "platform/Collate.h"
#include "platform/Path.h"
#include "platform/Utf.h"

namespace bookloom {

namespace {

// The pictures of an archive in their order, each read when it is decoded. The archive is read
// forward once when the pictures are asked for in their order; a picture that comes before its turn
// waits in memory while the waiting ones hold less than the bytes given, and is read again by a later
// pass otherwise. One asked for again (the cover, which is also the first page) starts a new pass.
class ArchivePictures : public DocumentPictures {
 public:
  ArchivePictures(const Runtime& runtime, std::u16string fileName, std::vector<std::string> names,
                  size_t waitingBytes)
      : runtime_(runtime),
        fileName_(std::move(fileName)),
        names_(std::move(names)),
        mostWaitingBytes_(waitingBytes) {
    for (size_t i = 0; i < names_.size(); ++i) order_.try_emplace(names_[i], i);
  }

  size_t Count() const override { return names_.size(); }
  std::u16string Name(size_t index) const override { return Utf8ToUtf16(names_[index]); }

  std::unique_ptr<Graphic> Decode(size_t index) override {
    return std::move(DecodeFrames(index).frames.front());
  }

  DecodedFrames DecodeFrames(size_t index) override {
    const std::string bytes = Fetch(index);
    return DecoderOf(bytes, index).Decode(bytes, Shown(index), {.gray = true});
  }

  // One pass over the archive, an entry in memory at a time.
  std::vector<std::pair<size_t, std::string>> Check() override {
    std::vector<std::pair<size_t, std::string>> problems;
    ArchiveReader reader(runtime_, fileName_);
    while (reader.Next()) {
      const auto entry = order_.find(reader.Name());
      if (entry == order_.end()) continue;
      try {
        const std::string bytes = reader.Read();
        DecoderOf(bytes, entry->second).Check(bytes, Shown(entry->second));
      } catch (const DecodeError& e) {
        problems.emplace_back(entry->second, e.Reason());
      }
    }
    std::sort(problems.begin(), problems.end());
    return problems;
  }

 private:
  std::u16string Shown(size_t index) const { return fileName_ + u": " + Name(index); }

  const GraphicDecoder& DecoderOf(std::string_view bytes, size_t index) const {
    const GraphicDecoder* decoder = PictureDecoders(runtime_).FindFor(bytes, Name(index));
    if (!decoder) RaiseDecodeError(Shown(index), "no decoder reads this kind of picture");
    return *decoder;
  }

  std::string Fetch(size_t index) {
    if (const auto waiting = waiting_.find(index); waiting != waiting_.end()) {
      std::string bytes = std::move(waiting->second);
      waiting_.erase(waiting);
      waitingBytes_ -= bytes.size();
      return bytes;
    }
    // A pass from the archive's start that does not find the entry ends the search.
    for (bool fromStart = !reader_;; fromStart = true) {
      if (!reader_) reader_ = std::make_unique<ArchiveReader>(runtime_, fileName_);
      while (reader_->Next()) {
        const auto entry = order_.find(reader_->Name());
        if (entry == order_.end() || entry->second < index) continue;
        if (entry->second == index) return reader_->Read();
        if (waitingBytes_ < mostWaitingBytes_ && !waiting_.contains(entry->second)) {
          std::string& bytes = waiting_[entry->second] = reader_->Read();
          waitingBytes_ += bytes.size();
        }
      }
      reader_.reset();
      if (fromStart)
        throw DocumentError(fileName_, "entry \"" + names_[index] + "\"", "it is no longer in the archive");
    }
  }

  const Runtime& runtime_;
  std::u16string fileName_;
  std::vector<std::string> names_;
  std::map<std::string, size_t> order_;
  std::unique_ptr<ArchiveReader> reader_;
  std::map<size_t, std::string> waiting_;
  const size_t mostWaitingBytes_;
  size_t waitingBytes_ = 0;
};

bool IsPicture(const Runtime& runtime, const std::string& name) {
  const std::u16string wide = Utf8ToUtf16(name);
  const std::u16string_view file = PathFileName(wide);
  // Hidden files and the resource forks macOS leaves in archives are not pages.
  if (file.starts_with(u".") || name.starts_with("__MACOSX/")) return false;
  return PictureDecoders(runtime).Find(wide) != nullptr;
}

void ReadComicInfo(const Runtime& runtime, const std::string& bytes, const std::u16string& fileName,
                   const std::string& part, Document& document) {
  const XmlDocPtr xml = ParseXml(runtime, bytes, fileName, part);
  const xmlNode* root = RootElement(xml.get());
  const auto text = [&](std::string_view name) { return TextOf(ChildElement(root, name)); };
  DocumentInfo& info = document.info;
  std::u16string series = text("Series");
  if (!series.empty() && !text("Number").empty()) series += u" #" + text("Number");
  info.title = text("Title").empty() ? series : text("Title");
  info.subject = series.empty() ? text("Genre") : series;
  info.series = series;
  info.author = text("Writer");
  info.translator = text("Translator");
  info.publisher = text("Publisher");
  info.publishTime = text("Year");
  info.annotation = text("Summary");
  document.rightToLeft = text("Manga") == u"YesAndRightToLeft";
}

}  // namespace

Document ReadComicArchive(const Runtime& runtime, const std::u16string& fileName) {
  return ReadComicArchiveWithin(runtime, fileName, kMostWaitingBytes);
}

Document ReadComicArchiveWithin(const Runtime& runtime, const std::u16string& fileName, size_t waitingBytes) {
  Document document;
  std::vector<std::string> pictures;
  bool fb2 = false;
  ArchiveReader archive(runtime, fileName);
  while (archive.Next()) {
    const std::u16string name = Utf8ToUtf16(archive.Name());
    if (SameTextIgnoreCase(PathFileName(name), u"ComicInfo.xml"))
      ReadComicInfo(runtime, archive.Read(), fileName, archive.Name(), document);
    else if (IsPicture(runtime, archive.Name()))
      pictures.push_back(archive.Name());
    else
      fb2 |= SameTextIgnoreCase(PathExtension(name), u"fb2");
  }
  // A zip of one FB2 book, as libraries hand them out under a plain ".zip".
  if (pictures.empty() && fb2) return ReadFb2File(runtime, fileName);
  if (pictures.empty()) throw DocumentError(fileName, "", "the archive holds no picture");
  std::sort(pictures.begin(), pictures.end(), [](const std::string& a, const std::string& b) {
    return CompareNatural(Utf8ToUtf16(a), Utf8ToUtf16(b)) < 0;
  });
  for (size_t i = 0; i < pictures.size(); ++i) document.AddPicture(i);
  document.cover = 0;
  document.pictures = std::make_unique<ArchivePictures>(runtime, fileName, std::move(pictures), waitingBytes);
  return document;
}

}  // namespace bookloom
