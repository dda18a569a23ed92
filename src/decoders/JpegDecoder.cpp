#include "decoders/JpegDecoder.h"

// clang-format off
#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

namespace bookloom {

namespace {

// A progressive file may repeat its scans without end; real files have a few dozen.
constexpr int kMaxScans = 1000;

// libjpeg reports a fatal error through error_exit, which must not return: ours jumps back to the
// setjmp of the step that is running. Only libjpeg's C frames lie between the two, so no C++ object
// is skipped; everything the steps touch lives in a Reader owned by the caller.
struct ErrorManager {
  jpeg_error_mgr pub;  // first member: libjpeg's pointer to it is a pointer to the whole
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
  bool fileEnded;    // the data ended without an end marker
  bool dataMissing;  // the decoder needed coded data that was not there
};

ErrorManager& ErrorsOf(j_common_ptr cinfo) { return *reinterpret_cast<ErrorManager*>(cinfo->err); }

void ErrorExit(j_common_ptr cinfo) {
  ErrorManager& err = ErrorsOf(cinfo);
  (*cinfo->err->format_message)(cinfo, err.message);
  std::longjmp(err.jump, 1);
}

// Warnings are not printed: libjpeg goes on and fills what it cannot decode. They are noted to tell
// a file cut short (the coded data runs out at the end of the file) from one that lacks no more
// than its end marker or holds a damaged stretch that the decoder got past.
void EmitMessage(j_common_ptr cinfo, int level) {
  if (level >= 0) return;
  ErrorManager& err = ErrorsOf(cinfo);
  ++err.pub.num_warnings;
  if (err.pub.msg_code == JWRN_JPEG_EOF) err.fileEnded = true;
  if (err.pub.msg_code == JWRN_HIT_MARKER) err.dataMissing = true;
}

void ProgressMonitor(j_common_ptr cinfo) {
  auto* dinfo = reinterpret_cast<j_decompress_ptr>(cinfo);
  if (dinfo->input_scan_number > kMaxScans) {
    ErrorManager& err = ErrorsOf(cinfo);
    std::snprintf(err.message, sizeof err.message, "it has more than %d scans", kMaxScans);
    std::longjmp(err.jump, 1);
  }
}

struct Reader {
  jpeg_decompress_struct cinfo{};
  ErrorManager err{};
  jpeg_progress_mgr progress{};

  Reader() {
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = ErrorExit;
    err.pub.emit_message = EmitMessage;
    progress.progress_monitor = ProgressMonitor;
  }
  ~Reader() { jpeg_destroy_decompress(&cinfo); }  // harmless before creation: cinfo.mem is null
  Reader(const Reader&) = delete;
  Reader& operator=(const Reader&) = delete;
};

bool ReadHeader(Reader& r, const unsigned char* data, unsigned long size) {
  if (setjmp(r.err.jump)) return false;
  jpeg_create_decompress(&r.cinfo);
  r.cinfo.progress = &r.progress;
  jpeg_mem_src(&r.cinfo, data, size);
  jpeg_save_markers(&r.cinfo, JPEG_APP0 + 1, 0xFFFF);  // Exif
  jpeg_read_header(&r.cinfo, TRUE);
  return true;
}

bool StartDecompress(Reader& r) {
  if (setjmp(r.err.jump)) return false;
  jpeg_start_decompress(&r.cinfo);
  return true;
}

// Rows asked of the decoder at once: a whole band of its output spares it copying rows out of its
// own buffers one at a time.
constexpr int kRowsPerRead = 16;

// Reads the rows: RGB straight into the graphic, CMYK through `cmykRow` and converted.
bool ReadRows(Reader& r, Graphic& graphic, unsigned char* cmykRow) {
  if (setjmp(r.err.jump)) return false;
  jpeg_decompress_struct& cinfo = r.cinfo;
  // Photoshop and most other writers mark their CMYK files with an Adobe marker and store the inks
  // inverted, as the light they leave (0 = full ink); files without the marker store the inks.
  // XOR with toLight gives the light in both cases.
  const unsigned toLight = cinfo.saw_Adobe_marker ? 0 : 255;
  while (cinfo.output_scanline < cinfo.output_height) {
    const int first = static_cast<int>(cinfo.output_scanline);
    JSAMPROW rows[kRowsPerRead];
    JDIMENSION wanted = 1;
    if (cmykRow) {
      rows[0] = cmykRow;
    } else {
      wanted = std::min<JDIMENSION>(kRowsPerRead, cinfo.output_height - cinfo.output_scanline);
      for (JDIMENSION i = 0; i < wanted; ++i) rows[i] = graphic.Row(first + static_cast<int>(i));
    }
    if (jpeg_read_scanlines(&cinfo, rows, wanted) == 0) {
      // Only a suspending data source returns no row; ours never should.
      r.err.fileEnded = r.err.dataMissing = true;
      return true;
    }
    if (!cmykRow) continue;
    const unsigned char* in = cmykRow;
    unsigned char* out = graphic.Row(first);
    for (JDIMENSION x = 0; x < cinfo.output_width; ++x, in += 4, out += 3) {
      const unsigned k = in[3] ^ toLight;
      out[0] = static_cast<unsigned char>(((in[0] ^ toLight) * k + 127) / 255);
      out[1] = static_cast<unsigned char>(((in[1] ^ toLight) * k + 127) / 255);
      out[2] = static_cast<unsigned char>(((in[2] ^ toLight) * k + 127) / 255);
    }
  }
  return true;
}

// Goes through the coded data as ReadRows does, but without making the pixels: the decoder skips
// every row but the last (it still reads every block of the coded data, which is where damage
// shows), then the last row is read into `lastRow`. A skip to the very end would read nothing.
bool SkipRows(Reader& r, unsigned char* lastRow) {
  if (setjmp(r.err.jump)) return false;
  jpeg_decompress_struct& cinfo = r.cinfo;
  while (cinfo.output_scanline + 1 < cinfo.output_height)
    if (jpeg_skip_scanlines(&cinfo, cinfo.output_height - 1 - cinfo.output_scanline) == 0) {
      r.err.fileEnded = r.err.dataMissing = true;  // as in ReadRows
      return true;
    }
  JSAMPROW row = lastRow;
  if (jpeg_read_scanlines(&cinfo, &row, 1) != 1) r.err.fileEnded = r.err.dataMissing = true;
  return true;
}

bool FinishDecompress(Reader& r) {
  if (setjmp(r.err.jump)) return false;
  jpeg_finish_decompress(&r.cinfo);
  return true;
}

// The orientation tag of the Exif data (1 to 8: how the stored rows must be turned to stand
// upright), 1 when the file has none.
int ExifOrientation(const jpeg_decompress_struct& cinfo) {
  for (jpeg_saved_marker_ptr m = cinfo.marker_list; m; m = m->next) {
    if (m->marker != JPEG_APP0 + 1 || m->data_length < 14 || std::memcmp(m->data, "Exif\0\0", 6) != 0)
      continue;
    const std::string_view tiff(reinterpret_cast<const char*>(m->data) + 6, m->data_length - 6);
    const bool bigEndian = tiff.starts_with("MM");
    if (!bigEndian && !tiff.starts_with("II")) continue;
    const auto u16 = [&](size_t at) -> unsigned {
      const auto b0 = static_cast<uint8_t>(tiff[at]), b1 = static_cast<uint8_t>(tiff[at + 1]);
      return bigEndian ? b0 << 8 | b1 : b1 << 8 | b0;
    };
    const auto u32 = [&](size_t at) -> uint64_t {
      return bigEndian ? uint64_t{u16(at)} << 16 | u16(at + 2) : uint64_t{u16(at + 2)} << 16 | u16(at);
    };
    if (u16(2) != 42) continue;
    const uint64_t ifd = u32(4);
    if (ifd + 2 > tiff.size()) continue;
    const unsigned count = u16(ifd);
    for (unsigned i = 0; i < count && ifd + 2 + 12 * (i + 1) <= tiff.size(); ++i) {
      const size_t entry = ifd + 2 + 12 * i;
      if (u16(entry) != 0x0112 || u16(entry + 2) != 3) continue;  // Orientation, a SHORT
      const unsigned orientation = u16(entry + 8);
      return orientation >= 1 && orientation <= 8 ? static_cast<int>(orientation) : 1;
    }
  }
  return 1;
}

// The picture turned upright from how an Exif orientation says its rows are stored: orientations 5
// to 8 swap rows and columns, then the picture may be mirrored left to right and top to bottom.
std::unique_ptr<Graphic> Upright(const Graphic& stored, int orientation) {
  const bool transpose = orientation >= 5;
  const bool mirrorX = orientation == 2 || orientation == 3 || orientation == 6 || orientation == 7;
  const bool mirrorY = orientation == 3 || orientation == 4 || orientation == 7 || orientation == 8;
  const int w = stored.Width(), h = stored.Height();
  auto upright =
      std::make_unique<Graphic>(transpose ? h : w, transpose ? w : h, false, Graphic::Pixels::kUninitialised);
  for (int y = 0; y < h; ++y) {
    const unsigned char* in = stored.Row(y);
    for (int x = 0; x < w; ++x, in += 3) {
      int tx = transpose ? y : x, ty = transpose ? x : y;
      if (mirrorX) tx = upright->Width() - 1 - tx;
      if (mirrorY) ty = upright->Height() - 1 - ty;
      std::memcpy(upright->Row(ty) + 3 * static_cast<size_t>(tx), in, 3);
    }
  }
  return upright;
}

[[noreturn]] void Fail(const Reader& r, const std::u16string& fileName) {
  RaiseDecodeError(fileName, std::string("not a readable JPEG file: ") + r.err.message);
}

// Reads the header and starts the decoder: RGB out, or CMYK for CMYK and YCCK files.
void Start(Reader& r, std::string_view bytes, const std::u16string& fileName, int64_t maxPixels) {
  if (!ReadHeader(r, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size())) Fail(r, fileName);
  CheckPictureSize(r.cinfo.image_width, r.cinfo.image_height, fileName, maxPixels);
  const bool cmyk = r.cinfo.jpeg_color_space == JCS_CMYK || r.cinfo.jpeg_color_space == JCS_YCCK;
  r.cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;  // greyscale is expanded to RGB as well
  if (!StartDecompress(r)) Fail(r, fileName);
  if (r.cinfo.output_width != r.cinfo.image_width || r.cinfo.output_height != r.cinfo.image_height ||
      r.cinfo.output_components != (cmyk ? 4 : 3))
    RaiseDecodeError(fileName, "the JPEG decoder delivered an unexpected picture layout");
}

// Whether the coded data from `scan` on is followed by the end-of-image marker: the first marker in
// it, past stuffed bytes and restart markers, is that one. Decoding such data can never run out of
// it, whatever it holds: damage inside only ever shows as warnings, so a picture of one scan whose
// data does this is refused by decoding no more than its header is.
bool ScanRunsIntoImageEnd(const unsigned char* scan, const unsigned char* end) {
  const unsigned char* p = scan;
  while (p < end &&
         (p = static_cast<const unsigned char*>(std::memchr(p, 0xFF, static_cast<size_t>(end - p))))) {
    while (++p < end && *p == 0xFF) {
    }
    if (p == end) return false;
    const unsigned char code = *p++;
    if (code == 0x00 || (code >= 0xD0 && code <= 0xD7)) continue;  // a stuffed byte, a restart marker
    return code == 0xD9;
  }
  return false;
}

// After the last row: a file whose coded data ran out fails.
void Finish(Reader& r, const std::u16string& fileName) {
  if (r.err.fileEnded && r.err.dataMissing)
    RaiseDecodeError(fileName, "the JPEG file ends before the picture does");
  // What follows the last row (a missing end marker, trailing bytes) does not spoil the picture.
  FinishDecompress(r);
}

}  // namespace

std::unique_ptr<Graphic> DecodeJpeg(std::string_view bytes, const std::u16string& fileName,
                                    int64_t maxPixels) {
  Reader r;
  Start(r, bytes, fileName, maxPixels);
  // Cameras store the rows as the sensor read them and say in the Exif data how to turn them.
  const int orientation = ExifOrientation(r.cinfo);
  const bool cmyk = r.cinfo.out_color_space == JCS_CMYK;
  auto graphic = std::make_unique<Graphic>(static_cast<int>(r.cinfo.output_width),
                                           static_cast<int>(r.cinfo.output_height), false,
                                           Graphic::Pixels::kUninitialised);
  std::vector<unsigned char> cmykRow(cmyk ? size_t{4} * r.cinfo.output_width : 0);
  if (!ReadRows(r, *graphic, cmyk ? cmykRow.data() : nullptr)) Fail(r, fileName);
  Finish(r, fileName);
  return orientation == 1 ? std::move(graphic) : Upright(*graphic, orientation);
}

void CheckJpeg(std::string_view bytes, const std::u16string& fileName, int64_t maxPixels) {
  Reader r;
  Start(r, bytes, fileName, maxPixels);
  // A picture of one scan is read from its coded data only as its rows are made, so the decoder
  // now stands at the start of that data.
  const auto* end = reinterpret_cast<const unsigned char*>(bytes.data() + bytes.size());
  if (!jpeg_has_multiple_scans(&r.cinfo) && ScanRunsIntoImageEnd(r.cinfo.src->next_input_byte, end)) return;
  std::vector<unsigned char> lastRow(size_t{r.cinfo.output_width} * r.cinfo.output_components);
  if (!SkipRows(r, lastRow.data())) Fail(r, fileName);
  Finish(r, fileName);
}

}  // namespace bookloom
