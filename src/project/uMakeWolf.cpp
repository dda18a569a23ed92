#include "project/uMakeWolf.h"

#include "pictures/cBookCoverPage.h"
#include "platform/Bitmap.h"
#include "platform/FileSys.h"
#include "platform/Stream.h"
#include "project/cBlmFileItem.h"
#include "project/cBookDescription.h"
#include "text/uUniWin1251.h"
#include "wolf/cWolfWriter.h"

namespace bookloom {

std::u16string GetBookTitle(const TBookDescription& description) {
  return description.Title.empty() ? u"(no title)" : description.Title;
}

std::u16string GetBookAuthor(const TBookDescription& description) {
  return description.Author.empty() ? u"(no author)" : description.Author;
}

namespace {

void FillDescription(TWolfDescription& wolf, const TBookDescription& description) {
  const std::pair<int, std::u16string> values[] = {
      {0, GetBookTitle(description)}, {2, GetBookAuthor(description)}, {1, description.Subject},
      {3, description.Adapter},       {4, description.Translator},     {6, description.Publisher},
      {7, description.PublishTime},   {11, description.Annotation},    {12, description.ISBN},
  };
  for (const auto& [index, value] : values) wolf.SetValue(index, WideToWin1251(value));
}

bool WantsCover(const TBookCoverPage& cover) {
  return !cover.FileName.empty() && FileExists(cover.FileName) && cover.CoverMode > 0;
}

void WriteBook(OutputStream& stream, TBlmFileList& files, const TBookDescription& description,
               const TBookCoverPage& coverPage, const MakeWolfProgress& progress) {
  TWolfWriter writer(stream);
  FillDescription(writer.Description(), description);
  writer.WriteDescription();
  if (WantsCover(coverPage)) {
    Bitmap cover;
    if (coverPage.RenderCover(cover)) writer.WriteCoverPicture(cover, static_cast<uint16_t>(coverPage.CoverMode));
  }
  writer.BeginBody();
  const int count = files.Count();
  for (int i = 0; i < count; ++i) {
    if (progress) progress(i, count, files.Items(i));
    files.Items(i).WriteTo(writer);
  }
  writer.EndBody();
  writer.Finish();
}

}  // namespace

void MakeWolf(const std::u16string& fileName, TBlmFileList& files, const TBookDescription& description,
              const TBookCoverPage& coverPage, const MakeWolfProgress& progress) {
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
