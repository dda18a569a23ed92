// The input files of a book: the base of the file items, which read one kind of file and write
// it into the book, and the ordered list that owns them.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "book/BookDescription.h"
#include "book/Contents.h"
#include "book/FileSettings.h"
#include "platform/Runtime.h"
#include "text/Win1251Fallback.h"

namespace bookloom {

class BookWriter;
class FileItem;
class Picture;

// One kind of file item: how to create an item for a file. Every item class has exactly one such
// object; the table of file types tells classes apart by its address.
struct FileItemClass {
  std::unique_ptr<FileItem> (*create)(const Runtime& runtime, const std::u16string& fileName);
};

class FileItem {
 public:
  // Takes the size of the file now; a missing file gives 0 and no error. The item reads its file with
  // the libraries of `runtime`, which outlives it.
  FileItem(const Runtime& runtime, const std::u16string& fileName);
  virtual ~FileItem() = default;
  FileItem(const FileItem&) = delete;
  FileItem& operator=(const FileItem&) = delete;

  // Reads the file into memory (a subclass first reads, then calls this).
  virtual void Load();
  // Drops the content (a subclass first drops its own, then calls this).
  virtual void Unload();
  // Checks the file once when it is added to the list; an error refuses it.
  virtual void Verify() = 0;
  // Whether writing the item reads that existing file: its own, or one a folder or a page brings
  // in. Loads the item to know when it is not loaded, and leaves it as it found it.
  virtual bool ReadsFile(const std::u16string& fileName);
  // Loads the file when it is not loaded; a subclass then writes its content.
  virtual void WriteTo(BookWriter& writer);
  // Loads the file and does the part of writing it that needs nothing of the book (a picture's pages
  // are fitted and compressed), so that WriteTo only places what it made.
  virtual void LoadToWrite() { Load(); }
  // Whether LoadToWrite may run on another thread while other items are written: it then shares
  // nothing with writing. A build readies such items while the ones before them are written.
  virtual bool LoadsAlongside() const { return false; }

  // What the file tells of the whole book (an e-book's title, authors, annotation...), for the texts
  // the user leaves empty; empty texts where it tells nothing. Loads the file when it is not loaded.
  virtual BookDescription OfferedDescription() { return {}; }
  // The series the input names ("Series #3"), "" when it names none.
  virtual std::u16string OfferedSeries() { return {}; }
  // Decodes the cover picture the file names into `picture` and returns true; false when it names
  // none. Loads the file when it is not loaded.
  virtual bool LoadOfferedCover(Picture& picture) { return false; }

  // Called while the item is written with the part of it written so far (0 to 1), as often as a
  // page or so is written; the build sets it for the writing and takes it away after.
  void SetProgressListener(std::function<void(double part)> listener) { progress_ = std::move(listener); }

  // What went wrong without stopping the build (characters replaced, a picture read in part), in the
  // order it happened; taking them empties the list.
  std::vector<std::string> TakeWarnings() { return std::exchange(warnings_, {}); }
  // What the item did that only a detailed account tells (every character replaced, what it decided
  // about a text's lines), in order; taking them empties the list.
  std::vector<std::string> TakeNotes() { return std::exchange(notes_, {}); }

  // The table-of-contents entries the item writes, in order, with their levels before the user's
  // edits: what WriteTo writes with the same settings and OnlyInput. Reads the file when it is not
  // loaded, and leaves it as it found it; the errors of reading pass on.
  virtual std::vector<ContentsEntry> ContentsEntries() { return {}; }
  // The user's edits of those entries (Contents.h), applied whenever the item writes them.
  const ContentsEdits& Edits() const { return edits_; }
  void SetEdits(ContentsEdits edits) { edits_ = std::move(edits); }

  // What became of an entry the item was to write.
  enum class EntryResult { kWritten, kOmitted, kTooDeep, kNoRoom };

  // The settings the file is read and written with, and whether they are its own or the book's.
  const FileSettings& Settings() const { return settings_; }
  bool HasOwnSettings() const { return ownSettings_; }
  void SetSettings(const FileSettings& settings, bool own = false) {
    settings_ = settings;
    ownSettings_ = own;
  }
  // The settings this kind of file is read and written with; the others change nothing in its pages.
  virtual SettingGroups UsedSettings() const { return {}; }

  // Whether the item is the book's only input, which the build tells it before writing: a text's
  // chapters then head the table of contents instead of standing below the file's own entry.
  bool OnlyInput() const { return onlyInput_; }
  void SetOnlyInput(bool only) { onlyInput_ = only; }

  const std::u16string& FileName() const { return fileName_; }
  // The run's libraries and modules, which the item reads its file and pictures with.
  const Runtime& Libraries() const { return runtime_; }
  int64_t Size() const { return size_; }
  bool Loaded() const { return loaded_; }

  // The name after the last path separator, and the folder up to and including it.
  std::u16string ShortName() const;
  std::u16string Folder() const;

 protected:
  // Notes a warning for the build to report; Load may call it on the build's second thread.
  void Warn(std::string message) { warnings_.push_back(std::move(message)); }
  void Note(std::string message) { notes_.push_back(std::move(message)); }
  // Tells the progress listener, when there is one, that `done` of `total` steps are written.
  void ReportProgress(size_t done, size_t total) const {
    if (progress_ && total > 0) progress_(static_cast<double>(done) / static_cast<double>(total));
  }
  // Warns of the characters of the file's text that the book's code page lacks, when there were
  // any: a summary, and a note for each distinct change.
  void WarnOfFallback(const FallbackReport& report);

  // Lists the entries with `list` while the file is loaded: loads it when it is not, and then
  // unloads it again; the warnings and notes of that reading are dropped (the build gives its own).
  std::vector<ContentsEntry> ListWhileLoaded(const std::function<std::vector<ContentsEntry>()>& list);

  // Every item writes its entries through these two: BeginEntries with the entries that
  // ContentsEntries lists, then WriteEntry for each in turn, at the book's place of the entry. The
  // user's edits are applied there: the new title and level written, an omitted entry not. Titles
  // that Windows-1251 lacks characters of are counted in `report` when there is one.
  void BeginEntries(const std::vector<ContentsEntry>& entries);
  EntryResult WriteEntry(BookWriter& writer, FallbackReport* report = nullptr);

 private:
  const Runtime& runtime_;
  const std::u16string fileName_;
  const int64_t size_;
  bool loaded_ = false;
  bool onlyInput_ = false;
  FileSettings settings_;
  bool ownSettings_ = false;
  ContentsEdits edits_;
  std::vector<PlannedEntry> plannedEntries_;  // while the entries are written
  size_t nextEntry_ = 0;
  std::vector<std::string> warnings_;
  std::vector<std::string> notes_;
  std::function<void(double)> progress_;
};

// The file name without its folder and extension (from the last "." of the name on): the
// title of the item's table-of-contents entry.
std::u16string TitleOf(const FileItem& item);

// The book's input files in order; the list owns them.
class FileList {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  FileItem& Items(int index) const;
  void Add(std::unique_ptr<FileItem> item);
  void Delete(int index);
  // Takes the item out of the list; the ones after it move up.
  std::unique_ptr<FileItem> Take(int index);
  // Puts the item at `index` (Count() for the end); the ones from there on move down.
  void Insert(int index, std::unique_ptr<FileItem> item);
  void Exchange(int index1, int index2);
  void Clear() { items_.clear(); }
  // Gives the book's settings to every item without settings of its own.
  void SetBookSettings(const FileSettings& settings);

 private:
  size_t Checked(int index) const;

  std::vector<std::unique_ptr<FileItem>> items_;
};

}  // namespace bookloom
