#include "book/BookBuild.h"

#include <algorithm>
#include <deque>
#include <future>
#include <system_error>
#include <vector>

#include "book/BookDescription.h"
#include "book/FileItem.h"
#include "decoders/Picture.h"
#include "pictures/CoverPage.h"
#include "pictures/TitleCover.h"
#include "platform/Bitmap.h"
#include "platform/FileSys.h"
#include "platform/SignalCleanup.h"
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

void FillDescription(const Runtime& runtime, DescriptionRecord& wolf, const BookDescription& description) {
  BookDescription filled = description;
  filled.title = GetBookTitle(description);
  filled.author = GetBookAuthor(description);
  for (const DescriptionText& t : DescriptionTexts())
    wolf.SetValue(t.field, WideToWin1251(runtime, filled.*t.text));
}

// The description with each text the user left empty taken from the first input that offers one. An
// offered text longer than the book can hold is cut, with a warning.
BookDescription WithOfferedTexts(const Runtime& runtime, const BookDescription& given, FileList& files,
                                 BuildObserver& observer) {
  BookDescription result = given;
  std::vector<const FileItem*> sources(DescriptionTexts().size(), nullptr);
  for (int i = 0; i < files.Count(); ++i) {
    const BookDescription offered = files.Items(i).OfferedDescription();
    for (size_t t = 0; t < DescriptionTexts().size(); ++t) {
      std::u16string BookDescription::*text = DescriptionTexts()[t].text;
      if (!(result.*text).empty() || (offered.*text).empty()) continue;
      result.*text = offered.*text;
      sources[t] = &files.Items(i);
    }
  }
  for (const DescriptionOverflow& o : FindDescriptionOverflows(runtime, result))
    for (size_t t = 0; t < sources.size(); ++t)
      if (sources[t] && DescriptionTexts()[t].field == o.field)
        observer.Warning(*sources[t],
                         Format("the %s it gives the book is cut to %d of its %d characters",
                                {kDescriptionFields[static_cast<size_t>(o.field)].name, o.limit, o.length}));
  return result;
}

// The first series an input names, "" when none does.
std::u16string OfferedSeries(FileList& files) {
  for (int i = 0; i < files.Count(); ++i)
    if (std::u16string series = files.Items(i).OfferedSeries(); !series.empty()) return series;
  return {};
}

// The picture of the cover when the user chose a kind of cover page but no picture for it: the cover an
// input offers, else, when the user asked for one, a cover made from the book's title, author and
// series. False when there is none.
bool LoadUnchosenCover(const Runtime& runtime, Picture& picture, FileList& files, const CoverPage& coverPage,
                       const BookDescription& described) {
  if (!coverPage.fileName.empty() || coverPage.coverMode <= 0) return false;
  for (int i = 0; i < files.Count(); ++i)
    if (files.Items(i).LoadOfferedCover(picture)) return true;
  if (!coverPage.fromTitle) return false;
  picture.Assign(DrawTitleCover(runtime, {GetBookTitle(described), described.author, OfferedSeries(files)}));
  return true;
}

bool WantsCover(const CoverPage& cover) {
  return !cover.fileName.empty() && FileExists(cover.fileName) && cover.coverMode > 0;
}

void WriteCover(const Runtime& runtime, BookWriter& writer, FileList& files, const CoverPage& coverPage,
                const BookDescription& described) {
  Bitmap cover;
  if (WantsCover(coverPage)) {
    if (!coverPage.RenderCover(runtime, cover)) return;
  } else {
    Picture picture;
    if (!LoadUnchosenCover(runtime, picture, files, coverPage, described)) return;
    coverPage.RenderCover(picture, cover);
  }
  writer.WriteCoverPicture(cover, static_cast<uint16_t>(coverPage.coverMode));
}

// Readies the next items on other threads while the current one is written, where the items allow
// it: the next pictures are decoded, fitted and compressed while the writer places the pages before,
// so that every core is busy. At most kAhead items are readied ahead, so the memory a build needs
// does not grow with the number of items. The other threads run only the items' LoadToWrite (see
// FileItem::LoadsAlongside); the main thread does not touch such an item until Finish has waited
// for it.
class LoadAhead {
 public:
  static constexpr size_t kAhead = 2;

  LoadAhead() = default;
  LoadAhead(const LoadAhead&) = delete;
  LoadAhead& operator=(const LoadAhead&) = delete;
  // A build that stops leaves nothing loaded: the items readied ahead are waited for and dropped.
  ~LoadAhead() {
    for (Pending& p : pending_) {
      p.done.wait();
      p.item->Unload();
    }
  }

  // Starts readying those of the kAhead items from `first` on that are not under way yet.
  void Start(FileList& files, int first) {
    const int end = std::min(files.Count(), first + static_cast<int>(kAhead));
    for (int i = first; i < end && pending_.size() < kAhead; ++i) {
      FileItem& item = files.Items(i);
      const bool started =
          std::any_of(pending_.begin(), pending_.end(), [&](const Pending& p) { return p.item == &item; });
      if (started || item.Loaded() || !item.LoadsAlongside()) continue;
      try {
        pending_.push_back({&item, std::async(std::launch::async, [&item] { item.LoadToWrite(); })});
      } catch (const std::system_error&) {
        return;  // no thread to be had: the items are loaded when they are written, as any other
      }
    }
  }

  // Before `item` is written: waits for its readying, when it was started, and raises what that raised.
  void Finish(FileItem& item) {
    if (pending_.empty() || pending_.front().item != &item) return;
    std::future<void> done = std::move(pending_.front().done);
    pending_.pop_front();
    try {
      done.get();
    } catch (...) {
      item.Unload();
      throw;
    }
  }

 private:
  struct Pending {
    FileItem* item;
    std::future<void> done;
  };
  std::deque<Pending> pending_;  // in the order of the items
};

ItemReport ReportSince(BookWriter& writer, const ItemReport& before) {
  return {writer.ParagraphCount() - before.paragraphs, writer.PictureCount() - before.pictures,
          writer.PageCount(0) - before.pages};
}

// Writes one item and tells the observer what it became and what it warned of.
void WriteItem(BookWriter& writer, FileItem& item, int index, int count, BuildObserver& observer) {
  const ItemReport before = ReportSince(writer, {});
  struct StopListening {
    FileItem& item;
    ~StopListening() { item.SetProgressListener(nullptr); }
  } stop{item};
  item.SetProgressListener([&](double part) { observer.Progress(index, count, item, part); });
  item.WriteTo(writer);
  observer.Written(index, count, item, ReportSince(writer, before));
  for (const std::string& warning : item.TakeWarnings()) observer.Warning(item, warning);
  for (const std::string& note : item.TakeNotes()) observer.Note(item, note);
}

// Refuses a book that would take the place of one of the files it is made from: an input, a file a
// folder or a page brings in, or the cover.
void CheckNotAnInput(const std::u16string& fileName, const FileList& files, const CoverPage& coverPage) {
  if (KindOf(fileName) == FileKind::kMissing) return;
  for (int i = 0; i < files.Count(); ++i) {
    FileItem& item = files.Items(i);
    if (SameFile(fileName, item.FileName()))
      Raise<Exception>("The book \"%s\" would replace its own input file \"%s\"",
                       {fileName, item.FileName()});
    if (item.ReadsFile(fileName))
      Raise<Exception>("The book \"%s\" would replace a file of its input \"%s\"",
                       {fileName, item.FileName()});
  }
  if (!coverPage.fileName.empty() && SameFile(fileName, coverPage.fileName))
    Raise<Exception>("The book \"%s\" would replace its own cover picture", {fileName});
}

void WriteBook(const Runtime& runtime, OutputStream& stream, FileList& files,
               const BookDescription& description, const CoverPage& coverPage, BuildObserver& observer) {
  BookWriter writer(stream);
  const BookDescription described = WithOfferedTexts(runtime, description, files, observer);
  FillDescription(runtime, writer.Description(), described);
  writer.WriteDescription();
  WriteCover(runtime, writer, files, coverPage, described);
  writer.BeginBody();
  const int count = files.Count();
  LoadAhead ahead;
  for (int i = 0; i < count; ++i) {
    if (observer.CancelRequested()) throw BuildCancelledError("The build was cancelled");
    observer.Starting(i, count, files.Items(i));
    files.Items(i).SetOnlyInput(count == 1);
    ahead.Finish(files.Items(i));
    ahead.Start(files, i + 1);
    WriteItem(writer, files.Items(i), i, count, observer);
  }
  writer.EndBody();
  writer.Finish();
}

}  // namespace

std::string BuildBookInMemory(const Runtime& runtime, FileList& files, const BookDescription& description,
                              const CoverPage& coverPage) {
  MemoryOutputStream stream;
  BuildObserver silent;
  WriteBook(runtime, stream, files, description, coverPage, silent);
  return std::move(stream.Bytes());
}

void BuildBook(const Runtime& runtime, const std::u16string& fileName, FileList& files,
               const BookDescription& description, const CoverPage& coverPage, BuildObserver* observer) {
  CheckNotAnInput(fileName, files, coverPage);
  BuildObserver silent;
  const std::u16string temporary = TemporaryNameBeside(fileName);
  const TemporaryFileRegistration removedOnSignal(temporary);
  try {
    FileOutputStream file(temporary, fileName);
    WriteBook(runtime, file, files, description, coverPage, observer ? *observer : silent);
    file.Close();
    ReplaceFile(temporary, fileName);
  } catch (...) {
    DeleteFile(temporary);
    throw;
  }
}

}  // namespace bookloom
