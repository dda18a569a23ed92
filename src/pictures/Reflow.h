// The words of a scanned page set again at a size of the reader's choosing: the page cut into its
// columns, lines and words (pictures of words, never recognised letters), and the words laid out line
// after line across the device's page.
#pragma once

#include <functional>
#include <vector>

#include "pictures/BorderCrop.h"
#include "pictures/GrayImage.h"
#include "pictures/PageFitting.h"

namespace bookloom {

// The letters' x-height on the device that reflow sets words at by default, and its range.
inline constexpr int kDefaultReflowHeight = 10;
inline constexpr int kMinReflowHeight = 4, kMaxReflowHeight = 60;

// One line of a scanned page, or a part of it kept whole.
struct ScanLine {
  PictureBox box;
  int baseline = 0;               // the row the letters stand on
  bool figure = false;            // a photograph, drawing, table or formula: kept whole
  bool paragraphStart = false;    // the line is indented, or follows a short line or a wider gap
  std::vector<PictureBox> words;  // left to right, each as high as the line
};

struct ScanLayout {
  int xHeight = 0;  // of the page's letters, in its pixels; 0 when the page holds no lines of text
  std::vector<ScanLine> lines;  // in reading order
};

// Cuts a clean page (dark print on white, see CleanScan) into lines in reading order. The print's
// parts are its 8-connected ink; parts as large as CleanScan's pictures are figures, and take in what
// stands inside or just beside them. Blocks are split at white gutters at least 2.5 x-heights wide
// running down the whole block (columns, read left to right), else at their widest white gap across
// (top first), until each is one line; dots, commas and accents join the nearest line. A line higher
// than four x-heights is a figure. Words are split at gaps wider than Leptonica's word spacing for the
// page. A short line alone (3 x-heights from any other) in the page's top or bottom twelfth (a running
// header, a page number) is left out. A page whose letters are less than 3 pixels high holds no text.
// With `words` false the lines' words are not set, nor running lines left out or paragraphs marked:
// enough to find the figures, and far quicker.
ScanLayout SegmentScan(const GrayView& page, bool words = true);

struct ReflowOptions {
  int xHeight = kDefaultReflowHeight;  // of the letters on the device, in pixels
  PageColors colors = PageColors::kGray4;
  Margins margins;
};

// Sets the lines of the page's layout again on device pages, each handed to `takePage` as
// FitPictureToPage makes it: the page scaled so that its x-height becomes the one asked (enlarged four
// times at most), its words
// laid left to right (baselines in line) within a margin of one x-height, a new line where the next
// word does not fit and at each paragraph start (indented by two x-heights), a new page where the next
// line does not; figures are fitted to the page's width (never enlarged) on a line of their own.
// Returns the number of pages made: none when the layout holds no text.
int ReflowPage(const GrayView& page, const ScanLayout& layout, const ReflowOptions& options,
               const std::function<void(Bitmap& page)>& takePage);

}  // namespace bookloom
