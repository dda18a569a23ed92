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

#include "platform/FileSys.h"

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

// Reads the rows: grey or RGB straight into the graphic, CMYK through `cmykRow` and converted to RGB.
// False when the decoder gave up before the last row.
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
    // Only a suspending data source returns no row; ours never should.
    if (jpeg_read_scanlines(&cinfo, rows, wanted) == 0) return false;
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
  const size_t channels = static_cast<size_t>(stored.Channels());
  auto upright = std::make_unique<Graphic>(transpose ? h : w, transpose ? w : h, stored.Layout(),
                                           Graphic::Pixels::kUninitialised);
  for (int y = 0; y < h; ++y) {
    const unsigned char* in = stored.Row(y);
    for (int x = 0; x < w; ++x, in += channels) {
      int tx = transpose ? y : x, ty = transpose ? x : y;
      if (mirrorX) tx = upright->Width() - 1 - tx;
      if (mirrorY) ty = upright->Height() - 1 - ty;
      std::memcpy(upright->Row(ty) + channels * static_cast<size_t>(tx), in, channels);
    }
  }
  return upright;
}

[[noreturn]] void Fail(const Reader& r, const std::u16string& fileName) {
  RaiseDecodeError(fileName, std::string("not a readable JPEG file: ") + r.err.message);
}

// Reads the header and starts the decoder: CMYK out for CMYK and YCCK files; for the others RGB, or
// with `gray` the Y channel of files stored as YCbCr or grey (libjpeg-turbo then leaves the colour
// channels undecoded). The integer DCT, libjpeg's default, makes the same pixels on every machine.
void Start(Reader& r, std::string_view bytes, const std::u16string& fileName, bool gray, int64_t maxPixels) {
  if (!ReadHeader(r, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size())) Fail(r, fileName);
  CheckPictureSize(r.cinfo.image_width, r.cinfo.image_height, fileName, maxPixels);
  const J_COLOR_SPACE stored = r.cinfo.jpeg_color_space;
  if (stored == JCS_CMYK || stored == JCS_YCCK)
    r.cinfo.out_color_space = JCS_CMYK;
  else if (gray && (stored == JCS_YCbCr || stored == JCS_GRAYSCALE))
    r.cinfo.out_color_space = JCS_GRAYSCALE;
  else
    r.cinfo.out_color_space = JCS_RGB;  // greyscale is expanded to RGB as well
  r.cinfo.dct_method = JDCT_ISLOW;
  if (!StartDecompress(r)) Fail(r, fileName);
  const int components = r.cinfo.out_color_space == JCS_CMYK ? 4 : r.cinfo.out_color_space == JCS_RGB ? 3 : 1;
  if (r.cinfo.output_width != r.cinfo.image_width || r.cinfo.output_height != r.cinfo.image_height ||
      r.cinfo.output_components != components)
    RaiseDecodeError(fileName, "the JPEG decoder delivered an unexpected picture layout");
}

// After the rows: whether the picture is whole. Coded data that ran out leaves the rest of the picture
// as libjpeg filled it; what follows the last row (a missing end marker, trailing bytes) does not
// spoil it.
bool Finish(Reader& r) {
  if (r.err.fileEnded && r.err.dataMissing) return false;
  FinishDecompress(r);
  return true;
}

}  // namespace

DecodedFrames DecodeJpeg(std::string_view bytes, const std::u16string& fileName, const DecodeOptions& options,
                         int64_t maxPixels) {
  Reader r;
  Start(r, bytes, fileName, options.gray, maxPixels);
  // Cameras store the rows as the sensor read them and say in the Exif data how to turn them.
  const int orientation = ExifOrientation(r.cinfo);
  const bool cmyk = r.cinfo.out_color_space == JCS_CMYK;
  const PixelLayout layout =
      r.cinfo.out_color_space == JCS_GRAYSCALE ? PixelLayout::kGray : PixelLayout::kRgb;
  auto graphic = std::make_unique<Graphic>(static_cast<int>(r.cinfo.output_width),
                                           static_cast<int>(r.cinfo.output_height), layout,
                                           Graphic::Pixels::kUninitialised);
  std::vector<unsigned char> cmykRow(cmyk ? size_t{4} * r.cinfo.output_width : 0);
  DecodedFrames decoded;
  if (ReadRows(r, *graphic, cmyk ? cmykRow.data() : nullptr)) {
    decoded.incomplete = !Finish(r);
  } else {
    // The decoder gave up amid the rows: those it did not deliver stay white.
    for (int y = static_cast<int>(r.cinfo.output_scanline); y < graphic->Height(); ++y)
      std::memset(graphic->Row(y), 255, graphic->Stride());
    decoded.incomplete = true;
  }
  if (orientation != 1) graphic = Upright(*graphic, orientation);
  if (options.gray) graphic->MakeGray();
  decoded.frames.push_back(std::move(graphic));
  return decoded;
}

void CheckJpeg(std::string_view bytes, const std::u16string& fileName, int64_t maxPixels) {
  // Once the decoder has started, whatever the coded data holds makes a picture, whole or in part.
  Reader r;
  Start(r, bytes, fileName, false, maxPixels);
}

DecodedFrames JpegDecoder::Decode(std::string_view bytes, const std::u16string& fileName,
                                  const DecodeOptions& options) const {
  return DecodeJpeg(bytes, fileName, options);
}

void JpegDecoder::CheckFile(const std::u16string& fileName) const {
  Check(ReadFileBytes(fileName), fileName);
}

void JpegDecoder::Check(std::string_view bytes, const std::u16string& fileName) const {
  CheckJpeg(bytes, fileName);
}

}  // namespace bookloom
