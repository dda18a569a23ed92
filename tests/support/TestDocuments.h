// Documents made in the tests themselves: JPEG pictures, archives written with libarchive and PDF
// files drawn with cairo.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace bookloom::test {

// A baseline JPEG of one grey level.
std::string JpegPicture(int width, int height, int grey);

// An FB2 book of that description and body (with the "l:" prefix of links declared), and a
// <binary> of a JPEG picture to put after the body.
std::string Fb2Book(const std::string& description, const std::string& body,
                    const std::string& binaries = "");
std::string Fb2Binary(const std::string& id, const std::string& bytes);

// The kinds of archive libarchive writes.
enum class ArchiveKind { kZip, kSevenZip, kTar, kTarGzip };

// An archive of the (name, content) entries in the order given; with a passphrase, a zip whose entries
// are encrypted.
std::string ArchiveOf(const std::vector<std::pair<std::string, std::string>>& entries,
                      ArchiveKind kind = ArchiveKind::kZip, const std::string& passphrase = {});

// One page of a test PDF: its size in points and its grey (0 black to 1 white).
struct PdfPage {
  double width, height, grey;
};
// One outline entry: its title, the page it leads to (from 1; 0 for a web page outside the
// document) and its parent (an index into the entries before it, -1 for a top entry).
struct PdfOutlineEntry {
  std::string title;
  int page;
  int parent = -1;
};
std::string PdfOf(const std::vector<PdfPage>& pages, const std::vector<PdfOutlineEntry>& outline = {},
                  const std::string& title = {});

// A one-page PDF that opens only with a user password.
std::string EncryptedPdf();

}  // namespace bookloom::test
