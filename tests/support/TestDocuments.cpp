#include "support/TestDocuments.h"

#include <archive.h>
#include <archive_entry.h>
#include <cairo-pdf.h>
#include <cairo.h>
#include <jpeglib.h>

#include <cstdio>
#include <memory>
#include <stdexcept>

namespace bookloom::test {

std::string JpegPicture(int width, int height, int grey) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = 1;
  info.in_color_space = JCS_GRAYSCALE;
  jpeg_set_defaults(&info);
  jpeg_start_compress(&info, TRUE);
  std::vector<unsigned char> row(static_cast<size_t>(width), static_cast<unsigned char>(grey));
  while (info.next_scanline < info.image_height) {
    JSAMPROW rows[] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::string bytes(reinterpret_cast<const char*>(buffer), size);
  std::free(buffer);
  return bytes;
}

std::string Fb2Book(const std::string& description, const std::string& body, const std::string& binaries) {
  return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
         "<FictionBook xmlns=\"http://www.gribuser.ru/xml/fictionbook/2.0\" "
         "xmlns:l=\"http://www.w3.org/1999/xlink\"><description>" +
         description + "</description>" + body + binaries + "</FictionBook>";
}

std::string Fb2Binary(const std::string& id, const std::string& bytes) {
  static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string text;
  for (size_t i = 0; i < bytes.size(); i += 3) {
    uint32_t v = static_cast<uint32_t>(static_cast<uint8_t>(bytes[i])) << 16;
    if (i + 1 < bytes.size()) v |= static_cast<uint32_t>(static_cast<uint8_t>(bytes[i + 1])) << 8;
    if (i + 2 < bytes.size()) v |= static_cast<uint8_t>(bytes[i + 2]);
    text += kAlphabet[v >> 18];
    text += kAlphabet[(v >> 12) & 63];
    text += i + 1 < bytes.size() ? kAlphabet[(v >> 6) & 63] : '=';
    text += i + 2 < bytes.size() ? kAlphabet[v & 63] : '=';
    if (i % 57 == 54) text += "\n";
  }
  return "<binary id=\"" + id + "\" content-type=\"image/jpeg\">" + text + "</binary>";
}

std::string ArchiveOf(const std::vector<std::pair<std::string, std::string>>& entries, ArchiveKind kind,
                      const std::string& passphrase) {
  std::string bytes;
  const std::unique_ptr<archive, int (*)(archive*)> a(archive_write_new(), archive_write_free);
  switch (kind) {
    case ArchiveKind::kZip:
      archive_write_set_format_zip(a.get());
      break;
    case ArchiveKind::kSevenZip:
      archive_write_set_format_7zip(a.get());
      break;
    case ArchiveKind::kTar:
      archive_write_set_format_pax_restricted(a.get());
      break;
    case ArchiveKind::kTarGzip:
      archive_write_set_format_pax_restricted(a.get());
      archive_write_add_filter_gzip(a.get());
      break;
  }
  if (!passphrase.empty()) {
    archive_write_set_options(a.get(), "zip:encryption=zipcrypt");
    archive_write_set_passphrase(a.get(), passphrase.c_str());
  }
  archive_write_set_bytes_in_last_block(a.get(), 1);
  const auto write = [](archive*, void* out, const void* data, size_t size) -> la_ssize_t {
    static_cast<std::string*>(out)->append(static_cast<const char*>(data), size);
    return static_cast<la_ssize_t>(size);
  };
  if (archive_write_open(a.get(), &bytes, nullptr, write, nullptr) != ARCHIVE_OK)
    throw std::runtime_error(archive_error_string(a.get()));
  for (const auto& [name, content] : entries) {
    const std::unique_ptr<archive_entry, void (*)(archive_entry*)> entry(archive_entry_new(),
                                                                         archive_entry_free);
    archive_entry_set_pathname(entry.get(), name.c_str());
    archive_entry_set_filetype(entry.get(), AE_IFREG);
    archive_entry_set_perm(entry.get(), 0644);
    archive_entry_set_size(entry.get(), static_cast<la_int64_t>(content.size()));
    archive_write_header(a.get(), entry.get());
    archive_write_data(a.get(), content.data(), content.size());
  }
  archive_write_close(a.get());
  return bytes;
}

std::string PdfOf(const std::vector<PdfPage>& pages, const std::vector<PdfOutlineEntry>& outline,
                  const std::string& title) {
  std::string bytes;
  const auto write = [](void* out, const unsigned char* data, unsigned int size) {
    static_cast<std::string*>(out)->append(reinterpret_cast<const char*>(data), size);
    return CAIRO_STATUS_SUCCESS;
  };
  cairo_surface_t* surface =
      cairo_pdf_surface_create_for_stream(write, &bytes, pages.at(0).width, pages.at(0).height);
  if (!title.empty()) cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_TITLE, title.c_str());
  cairo_t* cr = cairo_create(surface);
  for (const PdfPage& page : pages) {
    cairo_pdf_surface_set_size(surface, page.width, page.height);
    cairo_set_source_rgb(cr, page.grey, page.grey, page.grey);
    cairo_paint(cr);
    cairo_show_page(cr);
  }
  std::vector<int> ids;
  for (const PdfOutlineEntry& e : outline) {
    const int parent = e.parent < 0 ? CAIRO_PDF_OUTLINE_ROOT : ids.at(static_cast<size_t>(e.parent));
    const std::string link = e.page > 0 ? "page=" + std::to_string(e.page) : "uri='https://example.org/'";
    ids.push_back(
        cairo_pdf_surface_add_outline(surface, parent, e.title.c_str(), link.c_str(), CAIRO_PDF_OUTLINE_FLAG_OPEN));
  }
  cairo_destroy(cr);
  cairo_surface_finish(surface);
  cairo_surface_destroy(surface);
  return bytes;
}

std::string EncryptedPdf() {
  // The standard security handler, revision 2, whose user password is not empty: no reader can open
  // it without the password, and poppler reports it locked.
  const std::string objects[] = {
      "<< /Type /Catalog /Pages 2 0 R >>",
      "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
      "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] >>",
      "<< /Filter /Standard /V 1 /R 2 /Length 40 /P -4 "
      "/O <0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef> "
      "/U <fedcba9876543210fedcba9876543210fedcba9876543210fedcba9876543210> >>",
  };
  std::string pdf = "%PDF-1.4\n";
  std::vector<size_t> offsets;
  for (size_t i = 0; i < std::size(objects); ++i) {
    offsets.push_back(pdf.size());
    pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
  }
  const size_t xref = pdf.size();
  pdf += "xref\n0 5\n0000000000 65535 f \n";
  for (const size_t offset : offsets) {
    char line[32];
    std::snprintf(line, sizeof line, "%010zu 00000 n \n", offset);
    pdf += line;
  }
  pdf +=
      "trailer\n<< /Size 5 /Root 1 0 R /Encrypt 4 0 R /ID [<00112233445566778899aabbccddeeff> "
      "<00112233445566778899aabbccddeeff>] >>\nstartxref\n" +
      std::to_string(xref) + "\n%%EOF\n";
  return pdf;
}

}  // namespace bookloom::test
