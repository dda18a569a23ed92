// The words of a scanned page set again at a size of the reader's choosing: the page cut into its
// columns, lines and words (pictures of words, never recognised letters), and the words laid out line
// after line across the device's page.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "pictures/BorderCrop.h"
#include "pictures/GrayImage.h"
#include "pictures/PageFitting.h"
#include "platform/Runtime.h"

namespace bookloom {

// The letters' x-height on the device that reflow sets words at by default, and its range.
inline constexpr int kDefaultReflowHeight = 10;
inline constexpr int kMinReflowHeight = 4, kMaxReflowHeight = 60;

// One line of a scanned page, or a part of it kept whole.
struct ScanLine {
  PictureBox box;
  int baseline = 0;               // the row the letters stand on
  bool figure = false;            // a photograph, drawing, table or formula: kept whole
  bool table = false;             // a figure that is a table without rules, set at the words' size
  bool paragraphStart = false;    // the line is indented, or follows a short line or a wider gap
  int room = 0;                   // between its end and the right edge of its column, in page pixels
  std::vector<PictureBox> words;  // left to right
};

struct ScanLayout {
  int xHeight = 0;  // of the page's letters, in its pixels; 0 when the page holds no lines of text
  std::vector<ScanLine> lines;  // in reading order
};

// Cuts a clean page (dark print on white, see CleanScan) into lines in reading order. The print's
// parts are its 8-connected ink; parts as large as CleanScan's pictures are figures, and take in
// what stands inside or just beside them, and their light greys as far as these reach without
// white. Blocks are split at white gutters at least 2.5 x-heights wide running down the whole block
// (columns, read left to right), else at their widest white gap across (top first), until each is
// one line; a block a gutter cuts in two whose sides are five rows or more of short lines on shared
// baselines is a table, kept whole as a figure; dots, commas and accents join the nearest line. A
// line higher than four x-heights is a figure. Words are split at gaps wider than Leptonica's word
// spacing for the page. A short line alone (3 x-heights from any other) in the page's top or bottom
// twelfth (a running header, a page number) is left out. A page whose letters are less than 3
// pixels high holds no text. The first line of the page begins a paragraph only when it is
// indented: it may go on with the paragraph the page before ended with. With `words` false the
// lines' words are not set, nor running lines left out or paragraphs marked: enough to find the
// figures, and far quicker. Loads the runtime's Leptonica.
ScanLayout SegmentScan(const Runtime& runtime, const GrayView& page, bool words = true);

struct ReflowOptions {
  int xHeight = kDefaultReflowHeight;  // of the letters on the device, in pixels
  PageColors colors = PageColors::kGray4;
  Margins margins;
};

// One word of a scanned page at the device's size, or a figure fitted to the device's page.
struct SetPiece {
  GrayImage picture;
  int ascent = 0;               // a word's rows above its baseline
  bool figure = false;          // kept whole, on a line of its own
  bool paragraphStart = false;  // a word that begins a paragraph
};

// A scanned page's words and figures at the device's size, in reading order, to be set on device pages
// after those of the pages before it.
struct ScaledPage {
  std::vector<SetPiece> pieces;
  // The room left after the page's last line of text, in device pixels: its paragraph ended there when
  // the next page's first word would have fitted. -1 when the page ends with a figure.
  int endRoom = -1;
};

// The words of the page's layout cut out of the page scaled so that its x-height becomes the one asked
// (enlarged four times at most), and its figures fitted to the width of the device's page (never
// enlarged; a table no larger than its words). Nothing when the layout holds no text.
ScaledPage ScalePage(const GrayView& page, const ScanLayout& layout, const ReflowOptions& options);

// Sets the words of scanned pages, one page after another, on device pages, each handed to `takePage`
// as FitPictureToPage makes it: words laid left to right (baselines in line) within a margin of one
// x-height, a new line where the next word does not fit and at each paragraph start (indented by two
// x-heights), a new page where the next line does not; figures on a line of their own. A page's first
// line goes on with the paragraph the page before ended with, unless it is indented, that paragraph
// ended short of its column (the word would have fitted) or the page before ended with a figure.
class ReflowSetter {
 public:
  ReflowSetter(const ReflowOptions& options, std::function<void(Bitmap& page)> takePage);
  ReflowSetter(const ReflowSetter&) = delete;
  ReflowSetter& operator=(const ReflowSetter&) = delete;
  ~ReflowSetter();

  // Sets the page's words after those set before.
  void Add(ScaledPage page);
  // Sets the line begun and hands over the page begun, so that what comes next (a page of its own, a
  // new section) starts a new page; the next scanned page still goes on with the paragraph.
  void Finish();
  // The device pages handed over so far.
  int Pages() const;

 private:
  class Composer;
  std::unique_ptr<Composer> composer_;
};

// Sets the lines of one page's layout on device pages of their own (ScalePage, then a ReflowSetter).
// Returns the number of pages made: none when the layout holds no text.
int ReflowPage(const GrayView& page, const ScanLayout& layout, const ReflowOptions& options,
               const std::function<void(Bitmap& page)>& takePage);

}  // namespace bookloom
