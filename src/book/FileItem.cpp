#include "book/FileItem.h"

#include <algorithm>
#include <utility>

#include "platform/Exception.h"
#include "platform/FileSys.h"
#include "platform/Path.h"
#include "platform/Utf.h"
#include "text/Win1251.h"
#include "wolf/BookWriter.h"

namespace bookloom {

FileItem::FileItem(const Runtime& runtime, const std::u16string& fileName)
    : runtime_(runtime), fileName_(fileName), size_(FileSize(fileName)) {}

void FileItem::Load() { loaded_ = true; }

void FileItem::Unload() { loaded_ = false; }

void FileItem::WriteTo(BookWriter&) {
  if (!loaded_) Load();
}

std::u16string FileItem::ShortName() const { return std::u16string(PathFileName(fileName_)); }

std::u16string FileItem::Folder() const { return std::u16string(PathFolder(fileName_)); }

size_t FileList::Checked(int index) const {
  if (index < 0 || static_cast<size_t>(index) >= items_.size())
    Raise<Exception>("List index out of bounds (%d)", {index});
  return static_cast<size_t>(index);
}

FileItem& FileList::Items(int index) const { return *items_[Checked(index)]; }

void FileList::Add(std::unique_ptr<FileItem> item) { items_.push_back(std::move(item)); }

void FileList::Delete(int index) { Take(index); }

std::unique_ptr<FileItem> FileList::Take(int index) {
  const auto at = items_.begin() + static_cast<ptrdiff_t>(Checked(index));
  std::unique_ptr<FileItem> item = std::move(*at);
  items_.erase(at);
  return item;
}

void FileList::Insert(int index, std::unique_ptr<FileItem> item) {
  if (index < 0 || static_cast<size_t>(index) > items_.size())
    Raise<Exception>("List index out of bounds (%d)", {index});
  items_.insert(items_.begin() + index, std::move(item));
}

void FileList::Exchange(int index1, int index2) {
  std::swap(items_[Checked(index1)], items_[Checked(index2)]);
}

void FileList::SetBookSettings(const FileSettings& settings) {
  for (const auto& item : items_)
    if (!item->HasOwnSettings()) item->SetSettings(settings);
}

std::u16string TitleOf(const FileItem& item) {
  return std::u16string(PathNameWithoutExtension(item.FileName()));
}

bool FileItem::ReadsFile(const std::u16string& fileName) { return SameFile(fileName, fileName_); }

std::vector<ContentsEntry> FileItem::ListWhileLoaded(
    const std::function<std::vector<ContentsEntry>()>& list) {
  const bool wasLoaded = loaded_;
  const size_t warnings = warnings_.size(), notes = notes_.size();
  struct Restore {
    FileItem& item;
    bool wasLoaded;
    size_t warnings, notes;
    ~Restore() {
      if (!wasLoaded && item.loaded_) item.Unload();
      item.warnings_.resize(std::min(warnings, item.warnings_.size()));
      item.notes_.resize(std::min(notes, item.notes_.size()));
    }
  } restore{*this, wasLoaded, warnings, notes};
  if (!wasLoaded) Load();
  return list();
}

void FileItem::BeginEntries(const std::vector<ContentsEntry>& entries) {
  plannedEntries_ = PlanContents(entries, edits_);
  nextEntry_ = 0;
}

FileItem::EntryResult FileItem::WriteEntry(BookWriter& writer, FallbackReport* report) {
  if (nextEntry_ >= plannedEntries_.size())
    Raise<Exception>("%s wrote more table-of-contents entries than it lists", {fileName_});
  const PlannedEntry& entry = plannedEntries_[nextEntry_++];
  if (entry.omitted) return EntryResult::kOmitted;
  if (entry.level > kDeepestContentsLevel) return EntryResult::kTooDeep;
  return writer.AddTOCEntry(entry.level, WideToWin1251(runtime_, entry.title, report)) ? EntryResult::kWritten
                                                                                       : EntryResult::kNoRoom;
}

void FileItem::WarnOfFallback(const FallbackReport& report) {
  if (report.Empty()) return;
  Warn(report.Summary(kFallbackChangesShown));
  for (const std::string& detail : report.Details()) Note(detail);
}

}  // namespace bookloom
