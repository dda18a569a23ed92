// The exact bytes of books made from real texts and pictures: a digest of each book is kept here, so
// that any change to what a book holds (the text conversion, the line breaking and page tables, the
// picture pipeline, the LZSS match choice) fails a test. A digest changes only in a commit that says
// why the books changed.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "support/CliRun.h"
#include "support/TestData.h"

namespace bookloom {
namespace {

// The book's size and its 64-bit FNV-1a hash, as "size:hash".
std::string Digest(const std::string& bytes) {
  uint64_t hash = 0xCBF29CE484222325ull;
  for (unsigned char c : bytes) hash = (hash ^ c) * 0x100000001B3ull;
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
  return std::to_string(bytes.size()) + ":" + hex;
}

TEST(BookDigest, BooksOfRealFilesKeepTheirExactBytes) {
  REQUIRE_TESTDATA();
  const std::string texts = test::Quoted(test::TestDataPath("texts")) + "/";
  const std::string pictures = test::Quoted(test::TestDataPath("pictures")) + "/";
  const struct {
    std::string name, arguments, digest;
  } books[] = {
      {"a Russian novel with its chapters, lines joined",
       "--chapters --unwrap auto " + texts + "ru/crime_and_punishment.utf8.txt", "1124443:506fd223012a492f"},
      {"an English novel with its chapters", "--chapters " + texts + "en/moby_dick_pg2701.txt",
       "1319923:010a74d54aec3955"},
      {"verse and texts in several encodings, described",
       "--title 'Евгений Онегин' --author 'А. С. Пушкин' --annotation 'Роман в стихах & <проза>' " + texts +
           "ru/eugene_onegin.utf8.txt --input-encoding CP866 " + texts +
           "encodings/passage.cp866.txt --input-encoding auto " + texts + "encodings/passage.koi8r.txt " +
           texts + "encodings/passage.utf16le-bom.txt " + texts + "edge/beyond-cp1251.utf8.txt",
       "165198:621ab8b3e19a52b0"},
      {"pictures of several formats in four greys, with a grey cover",
       "--cover " + pictures + "jpeg/Storm.jpg --cover-mode gray " + pictures + "jpeg/hopper.jpe " +
           pictures + "png/basn6a08.png " + pictures + "png/kodim23.png " + pictures + "bmp/pal8.bmp " +
           pictures + "tiff/hopper.tif " + pictures + "tga/CTC24.TGA " + pictures + "pcx/animals.pcx " +
           pictures + "psd/hopper.psd",
       "194824:37e0cda979361bd9"},
      {"pictures in black and white, split, turned, cropped and levelled, with a black and white cover",
       "--picture-mode mono --cover " + pictures +
           "png/kodim23.png --cover-mode mono --split ltr --rotate auto "
           "--crop --autolevel --gamma 1.4 --enlarge " +
           pictures + "jpeg/Storm.jpg " + pictures + "jpeg/cat-progressive.jpg " + pictures +
           "tga/CBW8.TGA " + pictures + "png/basn0g01.png",
       "301236:b4813067bc8b77a5"},
  };
  for (const auto& book : books) {
    test::ScratchDir dir;
    const test::CliRun made = test::RunCli(dir.Path(), "make -q -o book.wol " + book.arguments);
    ASSERT_EQ(made.status, 0) << book.name << ": " << made.errors;
    EXPECT_EQ(Digest(test::ReadBytes(dir / "book.wol")), book.digest) << book.name;
  }
}

}  // namespace
}  // namespace bookloom
