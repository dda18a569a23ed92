#include "book/BookBuild.h"

#include <future>
#include <system_error>

#include "book/BookDescription.h"
#include "book/FileItem.h"
#include "pictures/CoverPage.h"
#include "platform/Bitmap.h"
#include "platform/FileSys.h"
#include "platform/Stream.h"
#include "text/Win1251.h"
#include "wolf/BookWriter.h"

namespace bookloom {

std::u16string GetBookTitle(const BookDescription& description) {
  return description.title.empty() ? u"(no title)" : description.title;
}

std::u16string GetBookAuthor(const BookDescription& description) {
  return description.author.empty() ? u"(no author)" : description.author;
}

namespace {

void FillDescription(DescriptionRecord& wolf, const BookDescription& description) {
  using enum DescriptionFieldId;
  const std::pair<DescriptionFieldId, std::u16string> values[] = {
      {kTitle, GetBookTitle(description)},
      {kAuthor, GetBookAuthor(description)},
      {kSubject, description.subject},
      {kAdapter, description.adapter},
      {kTranslator, description.translator},
      {kPublisher, description.publisher},
      {kTimePublish, description.publishTime},
      {kIntroduction, description.annotation},
      {kIsbn, description.isbn},
  };
  for (const auto& [field, value] : values) wolf.SetValue(field, WideToWin1251(value));
}

bool WantsCover(const CoverPage& cover) {
  return !cover.fileName.empty() && FileExists(cover.fileName) && cover.coverMode > 0;
}

// Loads the next item on a second thread while the current one is written, where the item allows
// it: decoding the next picture then overlaps fitting and compressing this one. At most one item is
// loaded ahead, so the memory a build needs does not grow with the number of items. The second
// thread runs only the item's Load (see FileItem::LoadsAlongside); the main thread does not touch
// that item until Finish has waited for it.
class LoadAhead {
 public:
  LoadAhead() = default;
  LoadAhead(const LoadAhead&) = delete;
  LoadAhead& operator=(const LoadAhead&) = delete;
  // A build that stops leaves nothing loaded: the item loading ahead is waited for and dropped.
  ~LoadAhead() {
    if (!item_) return;
    pending_.wait();
    item_->Unload();
  }

  void Start(FileItem& item) {
    if (item.Loaded() || !item.LoadsAlongside()) return;
    try {
      pending_ = std::async(std::launch::async, [&item] { item.Load(); });
      item_ = &item;
    } catch (const std::system_error&) {
      // No thread to be had: the item is loaded when it is written, as any other.
    }
  }

  // Before `item` is written: waits for its loading, when it was started, and raises what that raised.
  void Finish(FileItem& item) {
    if (item_ != &item) return;
    item_ = nullptr;
    try {
      pending_.get();
    } catch (...) {
      item.Unload();
      throw;
    }
  }

 private:
  FileItem* item_ = nullptr;
  std::future<void> pending_;
};

void WriteBook(OutputStream& stream, FileList& files, const BookDescription& description,
               const CoverPage& coverPage, const BuildProgress& progress) {
  BookWriter writer(stream);
  FillDescription(writer.Description(), description);
  writer.WriteDescription();
  if (WantsCover(coverPage)) {
    Bitmap cover;
    if (coverPage.RenderCover(cover))
      writer.WriteCoverPicture(cover, static_cast<uint16_t>(coverPage.coverMode));
  }
  writer.BeginBody();
  const int count = files.Count();
  LoadAhead ahead;
  for (int i = 0; i < count; ++i) {
    if (progress) progress(i, count, files.Items(i));
    ahead.Finish(files.Items(i));
    if (i + 1 < count) ahead.Start(files.Items(i + 1));
    files.Items(i).WriteTo(writer);
  }
  writer.EndBody();
  writer.Finish();
}

}  // namespace

void BuildBook(const std::u16string& fileName, FileList& files, const BookDescription& description,
               const CoverPage& coverPage, const BuildProgress& progress) {
  const std::u16string temporary = TemporaryNameBeside(fileName);
  try {
    FileOutputStream file(temporary, fileName);
    WriteBook(file, files, description, coverPage, progress);
    file.Close();
    ReplaceFile(temporary, fileName);
  } catch (...) {
    DeleteFile(temporary);
    throw;
  }
}

}  // namespace bookloom
